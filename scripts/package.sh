#!/usr/bin/env bash
# Builds Clip Dock for release, without its tests, and makes a Debian package of what
# `cmake --install` places under /usr. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >&2
build_dir="${CLIPDOCK_PACKAGE_DIR:-build-package}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" >&2
cd "$build_dir"
if ! report=$(cpack -G DEB 2>&1); then
  echo "$report" >&2
  exit 1
fi
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$report"
