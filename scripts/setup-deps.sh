#!/usr/bin/env bash
# Installs every Debian package Kestrav needs to build, run and test.
# Idempotent: when everything is present it only checks and returns.
#   scripts/setup-deps.sh            what the build and the tests need
#   scripts/setup-deps.sh --package  and what `make package` needs besides
#   scripts/setup-deps.sh --fuzz     and what `make fuzz` needs besides
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools libgl-dev libglx-dev libegl-dev
  qt6-base-private-dev
  qt6-svg-dev
  qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
  libjs-leaflet
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-plugins-base-apps
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  fonts-nanum fonts-dejavu-core
  xvfb xauth
  locales
  desktop-file-utils appstream
)
# Building and checking the Debian package (`make package`): dpkg-shlibdeps
# and dpkg-buildflags (dpkg-dev), lintian. The tests do not need them.
# The fuzz targets (`make fuzz`): clang with libFuzzer and the sanitizer
# runtimes. The smoke run of the ordinary suite builds them with gcc instead.
for arg in "$@"; do
  case "$arg" in
    --package) PACKAGES+=(dpkg-dev lintian) ;;
    --fuzz) PACKAGES+=(clang libclang-rt-14-dev) ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
