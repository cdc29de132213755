#!/usr/bin/env bash
# Builds Zarnel and launches it.
set -euo pipefail
ZARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$ZARNEL_ROOT/tools/lib/packages.sh"

ensure_packages $ZARNEL_BUILD_PACKAGES
build_zarnel "$ZARNEL_ROOT/build" zarnel
exec "$ZARNEL_ROOT/build/zarnel" "$@"
