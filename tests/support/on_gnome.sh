#!/bin/sh
# on_gnome.sh MODE command...: runs a test as a client of a headless GNOME Shell session that
# the test command starts (tools/lib/gnome.sh). MODE is
#   wayland   a Wayland client of GNOME Shell on Wayland
#   xwayland  an X11 client of that session's Xwayland
#   x11       an X11 client of GNOME Shell on X11 (gnome-shell --x11 on an Xvfb of its own)
# The test learns the mode from ZARNEL_GNOME_MODE. Without the session the test runs
# offscreen and skips, saying why.
set -u
mode=$1
shift
session=WAYLAND
[ "$mode" = x11 ] && session=X11
eval "runtime=\${ZARNEL_GNOME_${session}_RUNTIME:-}"
if [ -z "$runtime" ]; then
    ZARNEL_GNOME_SKIP="no GNOME Shell session on $mode is running (tools/test.sh starts one)" \
        QT_QPA_PLATFORM=offscreen exec "$@"
fi
eval "bus=\$ZARNEL_GNOME_${session}_BUS display=\$ZARNEL_GNOME_${session}_DISPLAY"
export ZARNEL_GNOME_MODE="$mode" XDG_RUNTIME_DIR="$runtime" DBUS_SESSION_BUS_ADDRESS="$bus"
export DISPLAY="$display" XDG_CURRENT_DESKTOP=GNOME
case $mode in
wayland)
    export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$ZARNEL_GNOME_WAYLAND_SOCKET" XDG_SESSION_TYPE=wayland ;;
xwayland)
    export QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY="$ZARNEL_GNOME_WAYLAND_SOCKET" XDG_SESSION_TYPE=wayland
    export XAUTHORITY="$ZARNEL_GNOME_WAYLAND_XAUTH" ;;
*)
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb XDG_SESSION_TYPE=x11 ;;
esac
exec "$@"
