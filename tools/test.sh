#!/usr/bin/env bash
# Builds Zarnel with its tests and benchmarks and runs every test against a real X server
# (Xvfb) and a real print server (CUPS with a PDF printer as the default).
set -euo pipefail
ZARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$ZARNEL_ROOT/tools/lib/packages.sh"
. "$ZARNEL_ROOT/tools/lib/services.sh"

ensure_packages $ZARNEL_BUILD_PACKAGES $ZARNEL_TEST_PACKAGES
build_dir=${ZARNEL_BUILD_DIR:-$ZARNEL_ROOT/build}
build_zarnel "$build_dir"

trap stop_services EXIT
start_xvfb
if [ -f "$ZARNEL_ROOT/tools/lib/printer.sh" ]; then
    . "$ZARNEL_ROOT/tools/lib/printer.sh"
    start_cups
fi

cd "$build_dir"
# Serial on purpose: screen-capture tests read the whole screen that the other tests draw on.
ctest --output-on-failure "$@"
