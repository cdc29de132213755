#!/bin/sh
# unsupported_depth.sh ZARNEL: on a display Qt cannot paint on (the test runs it on an
# 8-bit palette server), Zarnel says so in one line on standard error and ends with
# status 1, instead of showing black windows.
set -u
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
err=$runtime/err
status=0
env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" DISPLAY="$DISPLAY" \
    ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} \
    ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS} \
    timeout 60 "$1" >/dev/null 2>"$err" </dev/null || status=$?
lines=$(wc -l <"$err")
if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] \
    || ! grep -q "colour depth (8 bits) is not supported" "$err"; then
    echo "FAIL: status $status, $lines lines on standard error:"
    cat "$err"
    exit 1
fi
echo "PASS: $(cat "$err")"
