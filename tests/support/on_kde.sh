#!/bin/sh
# on_kde.sh command...: runs a test as a Wayland client of the headless KDE session that the
# test command starts when KDE is installed (tools/lib/kde.sh). Without it the test runs
# offscreen and skips, saying why.
set -u
if [ -z "${ZARNEL_KDE_RUNTIME:-}" ]; then
    ZARNEL_KDE_SKIP="no KDE session is running (tools/test.sh starts one where KWin and KDE's portal are installed)" \
        QT_QPA_PLATFORM=offscreen exec "$@"
fi
unset DISPLAY
export XDG_RUNTIME_DIR="$ZARNEL_KDE_RUNTIME" DBUS_SESSION_BUS_ADDRESS="$ZARNEL_KDE_BUS"
export WAYLAND_DISPLAY="$ZARNEL_KDE_SOCKET" QT_QPA_PLATFORM=wayland HOME="$ZARNEL_KDE_HOME"
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland
exec "$@"
