#!/bin/sh
# with_xvfb.sh WxHxD [monitors=LAYOUT] [noshm] [compositor=NAME] command...: runs command
# against a private X server with a screen of that size and depth, on a display number the
# server picks itself, then stops it. With ZARNEL_WM=openbox (or mutter, which composites
# too) the command runs under that window manager; noshm leaves out the shared-memory
# extension; compositor=picom or xcompmgr adds that compositing manager, fading windows in
# and out. A manager that cannot start here makes the run exit 77 (skipped).
# LAYOUT splits the screen into monitors, comma-separated WxH+X+Y[@RATIO], named monitor1,
# monitor2, ...; a RATIO sets that monitor's device pixel ratio (QT_SCREEN_SCALE_FACTORS).
set -u
screen=$1
shift
layout=
extensions=
compositor=
while :; do
    case "${1:-}" in
    monitors=*) layout=${1#monitors=}; shift ;;
    noshm) extensions="-extension MIT-SHM"; shift ;;
    compositor=*) compositor=${1#compositor=}; shift ;;
    *) break ;;
    esac
done

# wait_until PID WHAT TEST...: polls TEST for up to 20 s while process PID lives.
wait_until() {
    pid=$1
    what=$2
    shift 2
    tries=0
    until "$@"; do
        if ! kill -0 "$pid" 2>/dev/null || [ $tries -ge 400 ]; then
            echo "with_xvfb.sh: $what did not start" >&2
            exit 1
        fi
        tries=$((tries + 1))
        sleep 0.05
    done
}

# The server's display number and the window manager's cache, removed on exit.
work=$(mktemp -d)
ready=$work/ready
# Monitors vanish when the server resets after the xrandr client leaves, hence -noreset.
Xvfb -displayfd 3 -screen 0 "$screen" ${layout:+-noreset} $extensions -nolisten tcp -ac 3>"$ready" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
wait_until $server "Xvfb with screen $screen" test -s "$ready"
display=":$(head -n 1 "$ready")"

# The first monitor takes the server's one output, the others none, so no automatic
# monitor is left over. Sizes in millimetres keep 96 dots per inch.
number=1
factors=
for monitor in $(echo "$layout" | tr ',' ' '); do
    geometry=${monitor%@*}
    ratio=1
    [ "$geometry" != "$monitor" ] && ratio=${monitor#*@}
    size=${geometry%%+*}
    width=${size%x*}
    height=${size#*x}
    output=none
    [ $number -eq 1 ] && output=screen
    DISPLAY=$display xrandr --setmonitor "monitor$number" \
        "$width/$((width * 254 / 960))x$height/$((height * 254 / 960))${geometry#"$size"}" "$output" >/dev/null ||
        { echo "with_xvfb.sh: monitor $monitor not set" >&2; exit 1; }
    factors="$factors${factors:+;}monitor$number=$ratio"
    number=$((number + 1))
done
case "$layout" in *@*) export QT_SCREEN_SCALE_FACTORS="$factors" ;; esac

helpers=
stop_all() {
    kill $helpers $server 2>/dev/null
    rm -rf "$work"
}
trap stop_all EXIT
# start_helper NAME command...: starts one of the desktop's programs on the server, or skips
# the run when it is not installed.
start_helper() {
    command -v "$1" >/dev/null 2>&1 || { echo "with_xvfb.sh: $1 is not installed" >&2; exit 77; }
    DISPLAY=$display XDG_CACHE_HOME=$work XDG_CONFIG_HOME=$work "$@" >"$work/$1.log" 2>&1 &
    helpers="$helpers $!"
    helper=$!
}

if [ -n "${ZARNEL_WM:-}" ]; then
    case "$ZARNEL_WM" in
    # mutter reads its settings over a session bus; a private one keeps the user's out. It
    # is stopped with the rest: dbus-run-session, stopped, left its bus running.
    mutter)
        command -v mutter >/dev/null 2>&1 || { echo "with_xvfb.sh: mutter is not installed" >&2; exit 77; }
        bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$work/bus.pid") ||
            { echo "with_xvfb.sh: no session bus for mutter" >&2; exit 1; }
        helpers="$helpers $(cat "$work/bus.pid")"
        DISPLAY=$display XDG_CACHE_HOME=$work XDG_CONFIG_HOME=$work DBUS_SESSION_BUS_ADDRESS=$bus \
            mutter --x11 --replace --sm-disable >"$work/mutter.log" 2>&1 &
        helper=$!
        helpers="$helpers $helper" ;;
    *) start_helper "$ZARNEL_WM" ;;
    esac
    # The manager is up once it has announced itself on the root window.
    announced() { DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    wait_until $helper "$ZARNEL_WM" announced
fi
case "$compositor" in
'') ;;
picom) start_helper picom --fading --fade-in-step 0.03 --fade-out-step 0.03 --backend xrender ;;
xcompmgr) start_helper xcompmgr -cfF ;;
*) echo "with_xvfb.sh: unknown compositor $compositor" >&2; exit 1 ;;
esac
# A compositing manager is up once it owns the selection _NET_WM_CM_S0, which no command
# line tool reads: tests that need it wait for it themselves.

status=0
DISPLAY=$display "$@" || status=$?
exit $status
