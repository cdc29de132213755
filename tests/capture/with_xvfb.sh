#!/bin/sh
# with_xvfb.sh WxHxD command...: runs command against a private X server with a screen of
# that size and depth, on a display number the server picks itself, then stops it.
# With ZARNEL_WM=openbox the command runs under that window manager.
set -u
screen=$1
shift

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

ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -ac 3>"$ready" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$ready"' EXIT
wait_until $server "Xvfb with screen $screen" test -s "$ready"
display=":$(head -n 1 "$ready")"

if [ -n "${ZARNEL_WM:-}" ]; then
    DISPLAY=$display "$ZARNEL_WM" >/dev/null 2>&1 &
    manager=$!
    trap 'kill $manager $server 2>/dev/null; rm -f "$ready"' EXIT
    # The manager is up once it has announced itself on the root window.
    announced() { DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    wait_until $manager "$ZARNEL_WM" announced
fi

status=0
DISPLAY=$display "$@" || status=$?
exit $status
