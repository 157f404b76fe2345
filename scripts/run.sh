#!/usr/bin/env bash
# Installs what Clip Dock needs, builds it and starts the app.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh -DBUILD_TESTING=OFF
if [ "$(id -u)" -eq 0 ] && [ -z "${QTWEBENGINE_DISABLE_SANDBOX:-}" ]; then
  # The embedded browser's sandbox cannot run as root. This script is for trying the app on a
  # development machine, often a root shell in a container; a real installation runs as a user.
  echo "run.sh: running as root, so the embedded browser runs without its sandbox" >&2
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
exec "${CLIPDOCK_BUILD_DIR:-build}/clipdock" "$@"
