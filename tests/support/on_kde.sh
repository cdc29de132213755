#!/bin/sh
# on_kde.sh [xwayland] command...: runs a test as a Wayland client of the headless KDE session
# that the test command starts when KDE is installed (tools/lib/kde.sh), or with xwayland as an
# X11 client of its Xwayland. Without it the test runs offscreen and skips, saying why.
set -u
mode=wayland
if [ "${1:-}" = xwayland ]; then
    mode=xwayland
    shift
fi
if [ -z "${ZARNEL_KDE_RUNTIME:-}" ]; then
    ZARNEL_KDE_SKIP="no KDE session is running (tools/test.sh starts one where KWin and KDE's portal are installed)" \
        QT_QPA_PLATFORM=offscreen exec "$@"
fi
unset DISPLAY
export XDG_RUNTIME_DIR="$ZARNEL_KDE_RUNTIME" DBUS_SESSION_BUS_ADDRESS="$ZARNEL_KDE_BUS"
export WAYLAND_DISPLAY="$ZARNEL_KDE_SOCKET" QT_QPA_PLATFORM=wayland HOME="$ZARNEL_KDE_HOME"
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland
if [ "$mode" = xwayland ]; then
    export QT_QPA_PLATFORM=xcb DISPLAY="$ZARNEL_KDE_XDISPLAY"
    [ -z "$ZARNEL_KDE_XAUTHORITY" ] || export XAUTHORITY="$ZARNEL_KDE_XAUTHORITY"
fi
exec "$@"
