#!/usr/bin/env bash
# Builds Zarnel with its tests and benchmarks and runs every test against a real X server
# (Xvfb) and a real print server (CUPS with a PDF printer as the default).
# With --sanitize: the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# (leak detection on) in build-sanitize/; any sanitizer report fails the run.
set -euo pipefail
ZARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$ZARNEL_ROOT/tools/lib/packages.sh"
. "$ZARNEL_ROOT/tools/lib/services.sh"
. "$ZARNEL_ROOT/tools/lib/wayland.sh"
. "$ZARNEL_ROOT/tools/lib/gnome.sh"
. "$ZARNEL_ROOT/tools/lib/kde.sh"

sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
    sanitize=1
    shift
fi

ensure_packages $ZARNEL_BUILD_PACKAGES $ZARNEL_TEST_PACKAGES
if [ "$sanitize" -eq 1 ]; then
    . "$ZARNEL_ROOT/tools/lib/sanitize.sh"
    build_dir=${ZARNEL_SANITIZE_BUILD_DIR:-$ZARNEL_ROOT/build-sanitize}
    configure_sanitized "$build_dir"
else
    build_dir=${ZARNEL_BUILD_DIR:-$ZARNEL_ROOT/build}
fi
build_zarnel "$build_dir"

trap 'stop_services; stop_wayland; stop_gnome; stop_kde' EXIT
start_runtime
start_xvfb
if [ -f "$ZARNEL_ROOT/tools/lib/printer.sh" ]; then
    . "$ZARNEL_ROOT/tools/lib/printer.sh"
    start_cups
fi

# The X11 tests run on Xvfb even from a Wayland desktop; the Wayland tests find their own
# headless session through ZARNEL_WAYLAND_*.
unset WAYLAND_DISPLAY XDG_SESSION_TYPE
start_wayland || echo "The Wayland tests will skip: the headless Wayland session did not start." >&2
# Once per run, idle between the GNOME tests (about 4 s to start each).
start_gnome wayland || echo "The GNOME Wayland tests will skip: GNOME Shell did not start." >&2
start_gnome x11 || echo "The GNOME X11 tests will skip: GNOME Shell on X11 did not start." >&2
start_kde || echo "The KDE test will skip (its packages: $ZARNEL_KDE_PACKAGES)." >&2

cd "$build_dir"
# Serial on purpose: screen-capture tests read the whole screen that the other tests draw on.
if [ "$sanitize" -eq 1 ]; then
    run_sanitized "$build_dir" "$@"
else
    ctest --output-on-failure "$@"
fi
