#!/usr/bin/env bash
# Retakes docs/main-window.png under a private Xvfb.
set -euo pipefail
ZARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$ZARNEL_ROOT/tools/lib/packages.sh"
. "$ZARNEL_ROOT/tools/lib/services.sh"

ensure_packages $ZARNEL_BUILD_PACKAGES xvfb xauth
build_zarnel "$ZARNEL_ROOT/build" zarnel_screenshot
trap stop_services EXIT
ZARNEL_SCREEN=1280x720x24 start_xvfb
mkdir -p "$ZARNEL_ROOT/docs"
QT_QPA_PLATFORM=xcb "$ZARNEL_ROOT/build/tools/screenshot/zarnel_screenshot" "$ZARNEL_ROOT/docs/main-window.png"
echo "wrote docs/main-window.png"
