#!/usr/bin/env bash
# Installs every Debian 12 package Clip Dock needs to build, run and test.
# Safe to run again: apt skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qt6-webengine-dev qt6-webengine-dev-tools qt6-multimedia-dev
  qt6-httpserver-dev qt6-websockets-dev qt6-tools-dev qt6-tools-dev-tools
  qt6-l10n-tools qt6-qpa-plugins libgl-dev libxkbcommon-dev
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtquick-dialogs
  qml6-module-qtquick-shapes qml6-module-qtqml-workerscript qml6-module-qtwebengine
  qml6-module-qtmultimedia qml6-module-qttest qml6-module-qt-labs-platform
  qml6-module-qt-labs-settings qml6-module-qt-labs-folderlistmodel
  qml6-module-qt5compat-graphicaleffects qt6-5compat-dev
  gstreamer1.0-plugins-good gstreamer1.0-libav
  libavformat-dev libavcodec-dev libavutil-dev
  fonts-material-design-icons-iconfont
  xvfb xauth curl
  desktop-file-utils appstream file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
