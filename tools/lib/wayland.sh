# A headless Wayland session for the tests: sway on the headless back end, a session bus,
# PipeWire and the desktop portal, as a user's desktop has them. Sourced by tools/test.sh;
# every process started here is stopped by stop_wayland.
#
# start_wayland [OUTPUTS]: starts the session and exports ZARNEL_WAYLAND_DISPLAY (the
# compositor's socket), ZARNEL_XWAYLAND_DISPLAY, ZARNEL_SWAYSOCK, ZARNEL_WAYLAND_RUNTIME (the
# clients' runtime folder) and ZARNEL_WAYLAND_BUS (the session's bus, with the portal).
# Returns non-zero (and says why) when the session cannot start; tests then skip.

ZARNEL_WAYLAND_PIDS=()
ZARNEL_WAYLAND_DIRS=()
ZARNEL_WAYLAND_USER=${ZARNEL_WAYLAND_USER:-zarnel-wl}

# wayland_wait PID WHAT TEST...: polls TEST for up to 20 s while process PID lives.
wayland_wait() {
    local pid=$1 what=$2 tries=0
    shift 2
    until "$@"; do
        if ! kill -0 "$pid" 2>/dev/null || [ $tries -ge 400 ]; then
            echo "Wayland session: $what did not start" >&2
            return 1
        fi
        tries=$((tries + 1))
        sleep 0.05
    done
}

start_wayland() {
    local outputs=${1:-1}
    # sway refuses to run as root, so under root the compositor gets a user of its own.
    local as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        if ! id -u "$ZARNEL_WAYLAND_USER" >/dev/null 2>&1; then
            useradd -r -M -d /nonexistent -s /usr/sbin/nologin "$ZARNEL_WAYLAND_USER" ||
                { echo "Wayland session: cannot create user $ZARNEL_WAYLAND_USER" >&2; return 1; }
        fi
        as_user=(setpriv --reuid="$ZARNEL_WAYLAND_USER" --regid="$ZARNEL_WAYLAND_USER" --init-groups)
    fi
    local runtime client
    runtime=$(mktemp -d /tmp/zarnel-sway.XXXXXX)
    client=$(mktemp -d /tmp/zarnel-wlclient.XXXXXX)
    ZARNEL_WAYLAND_DIRS+=("$runtime" "$client")
    chmod 0700 "$runtime" "$client"
    [ ${#as_user[@]} -eq 0 ] || chown "$ZARNEL_WAYLAND_USER:" "$runtime"

    # Full HD outputs at scale 1 with no bar or borders, so a client's pixels are the
    # screen's; windows float where they ask to be, as on a stacking desktop; Xwayland
    # starts at once, lets our (root) X11 clients in and tells us its display.
    cat >"$runtime/config" <<EOF
output * resolution ${ZARNEL_WAYLAND_SIZE:-1920x1080} scale 1
xwayland force
default_border none
default_floating_border none
focus_follows_mouse no
for_window [app_id=".*"] floating enable
for_window [class=".*"] floating enable
exec sh -c 'xhost +si:localuser:root >/dev/null; echo "\$DISPLAY" > $runtime/xdisplay'
EOF
    [ ${#as_user[@]} -eq 0 ] || chown "$ZARNEL_WAYLAND_USER:" "$runtime/config"

    env -i PATH=/usr/bin:/bin HOME=/nonexistent XDG_RUNTIME_DIR="$runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS="$outputs" \
        WLR_RENDERER=pixman \
        "${as_user[@]}" sway -c "$runtime/config" >"$runtime/sway.log" 2>&1 &
    ZARNEL_WAYLAND_PIDS+=($!)
    local sway=$!
    wayland_wait $sway "sway (see $runtime/sway.log)" \
        sh -c "ls '$runtime' | grep -q '^wayland-[0-9]*$' && test -s '$runtime/xdisplay'" || return 1
    export ZARNEL_WAYLAND_DISPLAY="$runtime/$(ls "$runtime" | grep '^wayland-[0-9]*$' | head -n 1)"
    export ZARNEL_XWAYLAND_DISPLAY=$(cat "$runtime/xdisplay")
    export ZARNEL_SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock | head -n 1)

    # Root clients keep a runtime folder of their own and reach the compositor by path.
    # The portals are started by the bus, so they see this environment.
    local address
    address=$(env XDG_RUNTIME_DIR="$client" WAYLAND_DISPLAY="$ZARNEL_WAYLAND_DISPLAY" \
        XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland DISPLAY="$ZARNEL_XWAYLAND_DISPLAY" \
        dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$client/bus.pid") ||
        { echo "Wayland session: no session bus" >&2; return 1; }
    ZARNEL_WAYLAND_PIDS+=($(cat "$client/bus.pid"))
    export ZARNEL_WAYLAND_BUS=$address
    export ZARNEL_WAYLAND_RUNTIME=$client

    # The wlr portal aborts at start without PipeWire.
    env XDG_RUNTIME_DIR="$client" pipewire >"$client/pipewire.log" 2>&1 &
    ZARNEL_WAYLAND_PIDS+=($!)
    wayland_wait $! "PipeWire (see $client/pipewire.log)" test -S "$client/pipewire-0" || return 1
    echo "Wayland session: sway on $ZARNEL_WAYLAND_DISPLAY, Xwayland on $ZARNEL_XWAYLAND_DISPLAY" >&2
}

stop_wayland() {
    local pid
    for pid in "${ZARNEL_WAYLAND_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    # Portals started by the bus leave with it.
    sleep 0.2
    fusermount3 -u -q "${ZARNEL_WAYLAND_RUNTIME:-/nonexistent}/doc" 2>/dev/null || true
    rm -rf "${ZARNEL_WAYLAND_DIRS[@]}"
}
