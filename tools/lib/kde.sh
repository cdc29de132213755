# A headless KDE Plasma session for the tests: KWin on Wayland with KDE's desktop portal, on
# buses of its own. Sourced by tools/test.sh; stop_kde stops every process it started.
# Optional: its packages are not installed by the test command (KDE's portal needs much of
# Plasma), so the KDE tests skip where they are missing.
#
# start_kde exports ZARNEL_KDE_RUNTIME, ZARNEL_KDE_BUS, ZARNEL_KDE_SOCKET, ZARNEL_KDE_XDISPLAY
# and ZARNEL_KDE_XAUTHORITY (its Xwayland) and ZARNEL_KDE_HOME, or returns non-zero and says
# why.

ZARNEL_KDE_PACKAGES="kwin-wayland xdg-desktop-portal-kde qtwayland5 plasma-workspace
  qml-module-org-kde-kirigami2 qml-module-qtquick-controls2 qml-module-qtquick-layouts"
ZARNEL_KDE_MARK=
ZARNEL_KDE_DIR=

. "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"

kde_wait() { session_wait KDE "$@"; }

start_kde() {
    local package
    for package in $ZARNEL_KDE_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            echo "KDE session: $package is not installed" >&2
            return 1
        fi
    done
    local runtime
    runtime=$(mktemp -d /tmp/zarnel-kde.XXXXXX)
    chmod 0700 "$runtime"
    ZARNEL_KDE_DIR=$runtime
    ZARNEL_KDE_MARK="zarnel-kde-${runtime##*.}-$$"
    local home=$runtime/home
    # KDE's portal saves each screenshot there first, and does not make the folder.
    mkdir -p "$home/Pictures"
    local address="unix:path=$runtime/bus"
    local run=(env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" XDG_RUNTIME_DIR="$runtime"
               DBUS_SESSION_BUS_ADDRESS="$address" ZARNEL_KDE_MARK="$ZARNEL_KDE_MARK"
               XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland KDE_FULL_SESSION=true
               KDE_SESSION_VERSION=5)

    "${run[@]}" dbus-daemon --session --address="$address" --nofork --nopidfile \
        >"$runtime/bus.log" 2>&1 &
    kde_wait $! "the session bus" test -S "$runtime/bus" || return 1
    # The installed binary carries a file capability that a container may not grant; a copy
    # carries none.
    cp /usr/bin/kwin_wayland "$runtime/kwin_wayland"
    # With Xwayland, whose display and authority KWin gives the program it starts once both
    # servers run.
    cat >"$runtime/tell-display" <<EOF
#!/bin/sh
printf '%s\n%s\n' "\$DISPLAY" "\${XAUTHORITY:-}" >"$runtime/xdisplay.new" &&
    mv "$runtime/xdisplay.new" "$runtime/xdisplay"
EOF
    chmod +x "$runtime/tell-display"
    "${run[@]}" "$runtime/kwin_wayland" --virtual --width 1920 --height 1080 --socket wayland-kde \
        --no-lockscreen --xwayland "$runtime/tell-display" >"$runtime/kwin.log" 2>&1 &
    local kwin=$!
    kde_wait $kwin "KWin (see $runtime/kwin.log)" test -S "$runtime/wayland-kde" || return 1
    kde_wait $kwin "KWin's Xwayland" test -s "$runtime/xdisplay" || return 1
    kde_wait $kwin "KWin's screenshots" session_has_name "$address" org.kde.KWin.ScreenShot2 || return 1

    "${run[@]}" WAYLAND_DISPLAY=wayland-kde QT_QPA_PLATFORM=wayland \
        /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde >"$runtime/portal-kde.log" 2>&1 &
    kde_wait $! "xdg-desktop-portal-kde" \
        session_has_name "$address" org.freedesktop.impl.portal.desktop.kde || return 1
    "${run[@]}" WAYLAND_DISPLAY=wayland-kde /usr/libexec/xdg-desktop-portal \
        >"$runtime/portal.log" 2>&1 &
    kde_wait $! "xdg-desktop-portal" session_has_name "$address" org.freedesktop.portal.Desktop ||
        return 1
    export ZARNEL_KDE_RUNTIME=$runtime ZARNEL_KDE_BUS=$address ZARNEL_KDE_HOME=$home
    export ZARNEL_KDE_SOCKET=$runtime/wayland-kde
    export ZARNEL_KDE_XDISPLAY=$(sed -n 1p "$runtime/xdisplay") ZARNEL_KDE_XAUTHORITY=$(sed -n 2p "$runtime/xdisplay")
    echo "KDE session: KWin on $ZARNEL_KDE_SOCKET" >&2
}

stop_kde() {
    [ -n "$ZARNEL_KDE_MARK" ] || return 0
    session_stop "ZARNEL_KDE_MARK=$ZARNEL_KDE_MARK"
    fusermount3 -u -q "$ZARNEL_KDE_DIR/doc" 2>/dev/null || true
    rm -rf "$ZARNEL_KDE_DIR" || echo "KDE session: could not remove $ZARNEL_KDE_DIR" >&2
    ZARNEL_KDE_MARK=
}
