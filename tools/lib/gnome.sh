# Headless GNOME Shell sessions for the tests, one on Wayland (with Xwayland) and one on X11
# (on an Xvfb of its own), each with the buses, PipeWire and the desktop portal a user's
# GNOME has. Sourced by tools/test.sh; stop_gnome stops every process they started.
#
# start_gnome [wayland|x11] starts one and exports, with MODE the mode in capitals:
#   ZARNEL_GNOME_MODE_RUNTIME  the session's runtime folder (clients share it: all run as root)
#   ZARNEL_GNOME_MODE_BUS      its session bus, with the portal and the permission store
#   ZARNEL_GNOME_MODE_DISPLAY  the X display (Xwayland's on Wayland) and
#   ZARNEL_GNOME_MODE_XAUTH    the cookie file its X clients need (Wayland only)
#   ZARNEL_GNOME_WAYLAND_SOCKET the shell's Wayland socket (Wayland only)
# Returns non-zero (and says why) when the session cannot start; the GNOME tests then skip.
#
# Every process of a session carries a marker in its environment, passed on to what the
# buses and the shell start later (permission store, dconf, Xwayland): stop_gnome stops the
# processes whose /proc/PID/environ holds it.

ZARNEL_GNOME_MARKS=()
ZARNEL_GNOME_DIRS=()

. "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"

gnome_wait() { session_wait GNOME "$@"; }

# The shell has started, its overview is closed, its animations are on and it answers Eval
# (the test extension's unsafe mode, which the shell's screenshot interface needs as well).
# BUS: its session bus.
gnome_shell_ready() {
    DBUS_SESSION_BUS_ADDRESS=$1 gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval \
        'imports.ui.main.layoutManager._startingUp === false && !imports.ui.main.overview.visible && imports.gi.St.Settings.get().enable_animations' |
        grep -qF "(true, 'true')"
}

# The test-only extension: callers outside the shell may use Eval and the screenshot
# interface, Xwayland starts without a systemd user session, nothing covers the screen (the
# overview the shell opens at start, the banner it shows a privileged user), and windows
# animate as on a desktop with a graphics card.
gnome_write_extension() {
    local dir=$1/.local/share/gnome-shell/extensions/zarnel-test@zarnel
    mkdir -p "$dir"
    cat >"$dir/metadata.json" <<'EOF'
{ "uuid": "zarnel-test@zarnel", "name": "Zarnel test session", "description": "For tests only",
  "shell-version": ["43"] }
EOF
    cat >"$dir/extension.js" <<'EOF'
const Main = imports.ui.main;
const St = imports.gi.St;

// The shell turns its animations off where rendering is not hardware-accelerated, as
// here; on the desktops people use, windows animate as they come and go.
function ready() {
    Main.overview.hide();
    const settings = St.Settings.get();
    if (!settings.enable_animations)
        settings.uninhibit_animations();
}

class Extension {
    enable() {
        global.context.unsafe_mode = true;
        Main.wm._startX11Services = task => task.return_boolean(true);
        Main.messageTray.bannerBlocked = true;
        if (Main.layoutManager._startingUp)
            Main.layoutManager.connect('startup-complete', ready);
        else
            ready();
    }
    disable() {}
}

function init() {
    return new Extension();
}
EOF
}

start_gnome() {
    local mode=${1:-wayland}
    case $mode in wayland | x11) ;; *) echo "start_gnome: no mode $mode" >&2; return 1 ;; esac
    local prefix="ZARNEL_GNOME_${mode^^}"
    local runtime
    runtime=$(mktemp -d /tmp/zarnel-gnome.XXXXXX)
    chmod 0700 "$runtime"
    ZARNEL_GNOME_DIRS+=("$runtime")
    local mark="zarnel-gnome-${runtime##*.}-$$"
    ZARNEL_GNOME_MARKS+=("$mark")
    local home=$runtime/home
    mkdir -p "$home"

    local address="unix:path=$runtime/bus"
    local run=(env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" XDG_RUNTIME_DIR="$runtime"
               DBUS_SESSION_BUS_ADDRESS="$address"
               DBUS_SYSTEM_BUS_ADDRESS="unix:path=$runtime/system_bus"
               ZARNEL_GNOME_MARK="$mark")

    # The shell's login-manager code wants a system bus; there is no logind to find on it.
    cat >"$runtime/system.conf" <<EOF
<busconfig><type>system</type><listen>unix:path=$runtime/system_bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/></policy></busconfig>
EOF
    "${run[@]}" dbus-daemon --config-file="$runtime/system.conf" --nofork --nopidfile \
        >"$runtime/system-bus.log" 2>&1 &
    local system_bus=$!
    "${run[@]}" dbus-daemon --session --address="unix:path=$runtime/bus" --nofork --nopidfile \
        >"$runtime/bus.log" 2>&1 &
    local bus=$!
    gnome_wait $system_bus "the system bus" test -S "$runtime/system_bus" || return 1
    gnome_wait $bus "the session bus" test -S "$runtime/bus" || return 1

    "${run[@]}" /usr/libexec/at-spi-bus-launcher --launch-immediately >"$runtime/a11y.log" 2>&1 &
    gnome_wait $! "the accessibility bus" session_has_name "$address" org.a11y.Bus || return 1

    gnome_write_extension "$home"
    # The desktop's background is one known colour that every test can expect.
    local key
    for key in "org.gnome.shell enabled-extensions ['zarnel-test@zarnel']" \
        "org.gnome.shell welcome-dialog-last-shown-version '999'" \
        "org.gnome.mutter attach-modal-dialogs false" \
        "org.gnome.desktop.background picture-uri ''" \
        "org.gnome.desktop.background picture-uri-dark ''" \
        "org.gnome.desktop.background color-shading-type 'solid'" \
        "org.gnome.desktop.background primary-color '#2e8b57'"; do
        # shellcheck disable=SC2086
        "${run[@]}" gsettings set $key || { echo "GNOME session: gsettings set $key failed" >&2; return 1; }
    done

    "${run[@]}" pipewire >"$runtime/pipewire.log" 2>&1 &
    gnome_wait $! "PipeWire (see $runtime/pipewire.log)" test -S "$runtime/pipewire-0" || return 1
    "${run[@]}" wireplumber >"$runtime/wireplumber.log" 2>&1 &

    local shell_env=(XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome XDG_SESSION_TYPE=$mode)
    local shell
    if [ "$mode" = x11 ]; then
        local fifo=$runtime/displayno
        mkfifo "$fifo"
        "${run[@]}" Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -ac 3>"$fifo" \
            >"$runtime/xvfb.log" 2>&1 &
        local number
        read -r -t 20 number <"$fifo" || { echo "GNOME session: Xvfb did not start" >&2; return 1; }
        export "${prefix}_DISPLAY=:$number"
        "${run[@]}" "${shell_env[@]}" DISPLAY=":$number" gnome-shell --x11 --replace \
            >"$runtime/shell.log" 2>&1 &
        shell=$!
    else
        "${run[@]}" "${shell_env[@]}" gnome-shell --headless --wayland --virtual-monitor 1920x1080 \
            >"$runtime/shell.log" 2>&1 &
        shell=$!
    fi
    gnome_wait $shell "gnome-shell (see $runtime/shell.log)" gnome_shell_ready "$address" || return 1

    local portal_env=()
    if [ "$mode" = wayland ]; then
        local socket display auth
        socket=$(ls "$runtime" | grep -m 1 '^wayland-[0-9]*$')
        display=$(grep -o -m 1 'Using public X11 display :[0-9]*' "$runtime/shell.log" | grep -o ':[0-9]*')
        auth=$(ls "$runtime"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1)
        if [ -z "$socket" ] || [ -z "$display" ] || [ -z "$auth" ]; then
            echo "GNOME session: no Wayland socket or Xwayland display (see $runtime/shell.log)" >&2
            return 1
        fi
        export ZARNEL_GNOME_WAYLAND_SOCKET="$runtime/$socket"
        export "${prefix}_DISPLAY=$display" "${prefix}_XAUTH=$auth"
        portal_env=(WAYLAND_DISPLAY="$socket" DISPLAY="$display" XAUTHORITY="$auth")
    else
        portal_env=(DISPLAY="$(eval echo "\$${prefix}_DISPLAY")")
    fi
    "${run[@]}" "${shell_env[@]}" "${portal_env[@]}" /usr/libexec/xdg-desktop-portal-gnome \
        >"$runtime/portal-gnome.log" 2>&1 &
    gnome_wait $! "xdg-desktop-portal-gnome" \
        session_has_name "$address" org.freedesktop.impl.portal.desktop.gnome || return 1
    "${run[@]}" "${shell_env[@]}" "${portal_env[@]}" /usr/libexec/xdg-desktop-portal \
        >"$runtime/portal.log" 2>&1 &
    gnome_wait $! "xdg-desktop-portal" \
        session_has_name "$address" org.freedesktop.portal.Desktop || return 1

    export "${prefix}_RUNTIME=$runtime" "${prefix}_BUS=$address"
    echo "GNOME session: gnome-shell on $mode, X display $(eval echo "\$${prefix}_DISPLAY"), runtime $runtime" >&2
}

stop_gnome() {
    local mark
    for mark in "${ZARNEL_GNOME_MARKS[@]}"; do
        session_stop "ZARNEL_GNOME_MARK=$mark"
    done
    local dir
    for dir in "${ZARNEL_GNOME_DIRS[@]}"; do
        fusermount3 -u -q "$dir/doc" 2>/dev/null || true
        rm -rf "$dir" || echo "GNOME session: could not remove $dir" >&2
    done
    ZARNEL_GNOME_MARKS=()
    ZARNEL_GNOME_DIRS=()
}
