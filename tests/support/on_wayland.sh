#!/bin/sh
# on_wayland.sh MODE command...: runs a test as a client of the headless Wayland session
# that the test command starts (tools/lib/wayland.sh). MODE is
#   wayland    a Wayland client
#   xwayland   an X11 client of the session's Xwayland
#   scale2     a Wayland client on 4K outputs at scale 2 (back to Full HD at 1 afterwards)
#   noportal   a Wayland client on a session bus where no desktop portal can start
#   titled     a Wayland client whose windows sway gives title bars and borders
# Without a session the test runs offscreen and skips, saying why.
set -u
mode=$1
shift
if [ -z "${ZARNEL_WAYLAND_DISPLAY:-}" ]; then
    ZARNEL_WAYLAND_SKIP="no Wayland session is running (tools/test.sh starts one)" \
        QT_QPA_PLATFORM=offscreen exec "$@"
fi
export XDG_RUNTIME_DIR="$ZARNEL_WAYLAND_RUNTIME" WAYLAND_DISPLAY="$ZARNEL_WAYLAND_DISPLAY"
export XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland DBUS_SESSION_BUS_ADDRESS="$ZARNEL_WAYLAND_BUS"
case $mode in
xwayland)
    export QT_QPA_PLATFORM=xcb DISPLAY="$ZARNEL_XWAYLAND_DISPLAY"
    exec "$@" ;;
scale2)
    swaymsg -s "$ZARNEL_SWAYSOCK" output '*' resolution 3840x2160 scale 2 >/dev/null || exit 1
    status=0
    "$@" || status=$?
    swaymsg -s "$ZARNEL_SWAYSOCK" output '*' resolution 1920x1080 scale 1 >/dev/null
    exit $status ;;
titled)
    border() {
        swaymsg -s "$ZARNEL_SWAYSOCK" default_border "$1" >/dev/null &&
            swaymsg -s "$ZARNEL_SWAYSOCK" default_floating_border "$1" >/dev/null
    }
    border normal || exit 1
    export ZARNEL_WAYLAND_TITLED=1
    status=0
    "$@" || status=$?
    border none
    exit $status ;;
noportal)
    ZARNEL_EXPECT_NO_PORTAL=1 exec dbus-run-session \
        --config-file="$(dirname "$0")/bare-bus.conf" -- "$@" ;;
*)
    exec "$@" ;;
esac
