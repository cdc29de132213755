# Debian packages the build and the tests need, and a helper that installs the missing ones.
# Sourced by tools/launch.sh and tools/test.sh.

ZARNEL_BUILD_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev
  libpolyclipping-dev libxcb1-dev libxcb-shm0-dev libcups2-dev fonts-dejavu-core qt6-wayland
  libwayland-dev wayland-protocols qt6-base-private-dev"
ZARNEL_TEST_PACKAGES="xvfb xauth xclip x11-utils libbenchmark-dev cups cups-client cups-bsd
  printer-driver-cups-pdf poppler-utils xdotool openbox desktop-file-utils x11-xserver-utils
  sway xwayland dbus xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk pipewire
  grim wl-clipboard picom xcompmgr mutter dbus-daemon gnome-shell gsettings-desktop-schemas
  dconf-service libglib2.0-bin xdg-desktop-portal-gnome wireplumber fuse3 at-spi2-core"

# ensure_packages PKG...: installs what is missing when we may, else prints the install line.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    # One definition of the commands, so the line printed for a user without root is
    # exactly what root runs.
    local update=(apt-get update -q)
    local install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q
                   --no-install-recommends "${missing[@]}")
    local as=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            as=(sudo)
        else
            echo "Zarnel needs these Debian packages, which are not installed:" >&2
            echo "    sudo ${update[*]} && sudo ${install[*]}" >&2
            echo "Run that line (or run this command as root), then run this command again." >&2
            exit 1
        fi
    fi
    echo "Installing ${missing[*]}" >&2
    "${as[@]}" "${update[@]}" >&2 || true
    "${as[@]}" "${install[@]}" >&2
}

# build_zarnel DIR [TARGET...]: configures (once) and builds into DIR with Ninja.
build_zarnel() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$ZARNEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
    fi
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --build "$dir" -j "${ZARNEL_JOBS:-2}" "${targets[@]}" >&2
}
