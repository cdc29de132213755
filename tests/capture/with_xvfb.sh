#!/bin/sh
# with_xvfb.sh WxHxD command...: runs command against a private X server with a screen of
# that size and depth, on a display number the server picks itself, then stops it.
set -u
screen=$1
shift
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -ac 3>"$ready" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$ready"' EXIT
tries=0
while [ ! -s "$ready" ]; do
    if ! kill -0 $server 2>/dev/null || [ $tries -ge 400 ]; then
        echo "with_xvfb.sh: Xvfb with screen $screen did not start" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.05
done
status=0
DISPLAY=":$(head -n 1 "$ready")" "$@" || status=$?
exit $status
