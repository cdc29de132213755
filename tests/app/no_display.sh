#!/bin/sh
# no_display.sh ZARNEL: started without a display it can open, Zarnel says so in one line
# on standard error, naming the display it tried, and ends with status 1.
set -u
zarnel=$1
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
failures=0

# check NAME EXPECTED-WORDS ENV...: runs Zarnel under env with nothing else set.
check() {
    name=$1
    expected=$2
    shift 2
    status=0
    env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
        ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} \
        ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS} "$@" \
        timeout 60 "$zarnel" >"$runtime/out" 2>"$runtime/err" </dev/null || status=$?
    lines=$(wc -l <"$runtime/err")
    if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] \
        || ! grep -q "no display could be opened" "$runtime/err" \
        || ! grep -qF "$expected" "$runtime/err"; then
        echo "FAIL $name: status $status, $lines lines on standard error, expected \"$expected\":"
        cat "$runtime/err"
        failures=$((failures + 1))
    else
        echo "PASS $name: $(cat "$runtime/err")"
    fi
}

check "DISPLAY unset" "DISPLAY is not set"
check "DISPLAY wrong" 'X11 display ":9876"' DISPLAY=:9876
check "Wayland chosen, no compositor" 'Wayland display "zarnel-none"' \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zarnel-none
check "Wayland then X11, neither there" 'Wayland display "zarnel-none" or X11 display ":9876"' \
    QT_QPA_PLATFORM="wayland;xcb" WAYLAND_DISPLAY=zarnel-none DISPLAY=:9876
check "X11 session, wrong DISPLAY" 'X11 display ":9876"' XDG_SESSION_TYPE=x11 DISPLAY=:9876
[ "$failures" -eq 0 ]
