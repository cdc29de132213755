#!/bin/sh
# with_xvfb.sh WxHxD [monitors=LAYOUT] [noshm] command...: runs command against a private X
# server with a screen of that size and depth, on a display number the server picks itself,
# then stops it. With ZARNEL_WM=openbox the command runs under that window manager; noshm
# leaves out the shared-memory extension.
# LAYOUT splits the screen into monitors, comma-separated WxH+X+Y[@RATIO], named monitor1,
# monitor2, ...; a RATIO sets that monitor's device pixel ratio (QT_SCREEN_SCALE_FACTORS).
set -u
screen=$1
shift
layout=
extensions=
while :; do
    case "${1:-}" in
    monitors=*) layout=${1#monitors=}; shift ;;
    noshm) extensions="-extension MIT-SHM"; shift ;;
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

if [ -n "${ZARNEL_WM:-}" ]; then
    DISPLAY=$display XDG_CACHE_HOME=$work XDG_CONFIG_HOME=$work "$ZARNEL_WM" >/dev/null 2>&1 &
    manager=$!
    trap 'kill $manager $server 2>/dev/null; rm -rf "$work"' EXIT
    # The manager is up once it has announced itself on the root window.
    announced() { DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    wait_until $manager "$ZARNEL_WM" announced
fi

status=0
DISPLAY=$display "$@" || status=$?
exit $status
