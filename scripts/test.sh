#!/usr/bin/env bash
# Installs what Clip Dock needs, builds it with its tests and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh -DBUILD_TESTING=ON
cd "${CLIPDOCK_BUILD_DIR:-build}"
# Each test sets its own headless environment (offscreen windows, local servers only).
ctest --output-on-failure --parallel "$(nproc)" "$@"
