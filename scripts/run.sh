#!/usr/bin/env bash
# Installs what Clip Dock needs, builds it and starts the app.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh -DBUILD_TESTING=OFF
exec "${CLIPDOCK_BUILD_DIR:-build}/clipdock" "$@"
