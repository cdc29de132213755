#!/usr/bin/env bash
# Builds Zarnel with its tests and benchmarks and runs every test against a real X server
# (Xvfb) and a real print server (CUPS with a PDF printer as the default).
set -euo pipefail
ZARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$ZARNEL_ROOT/tools/lib/packages.sh"
. "$ZARNEL_ROOT/tools/lib/services.sh"
. "$ZARNEL_ROOT/tools/lib/wayland.sh"

ensure_packages $ZARNEL_BUILD_PACKAGES $ZARNEL_TEST_PACKAGES
build_dir=${ZARNEL_BUILD_DIR:-$ZARNEL_ROOT/build}
build_zarnel "$build_dir"

trap 'stop_services; stop_wayland' EXIT
start_xvfb
if [ -f "$ZARNEL_ROOT/tools/lib/printer.sh" ]; then
    . "$ZARNEL_ROOT/tools/lib/printer.sh"
    start_cups
fi

# The X11 tests run on Xvfb even from a Wayland desktop; the Wayland tests find their own
# headless session through ZARNEL_WAYLAND_*.
unset WAYLAND_DISPLAY XDG_SESSION_TYPE
start_wayland || echo "The Wayland tests will skip: the headless Wayland session did not start." >&2

cd "$build_dir"
# Serial on purpose: screen-capture tests read the whole screen that the other tests draw on.
ctest --output-on-failure "$@"
