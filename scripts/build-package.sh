#!/usr/bin/env bash
# Builds the Debian package kestrav_<version>-<revision>_<arch>.deb: a Release
# build in its own folder (default build-package) with Debian's compiler and
# linker flags (hardening included), CPack's DEB generator installing into
# /usr, and then the package's checks (scripts/check-package.sh).
# `make package` runs it after installing the packaging tools.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-package}
JOBS=${JOBS:-$(nproc)}

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CFLAGS="$(dpkg-buildflags --get CFLAGS) $CPPFLAGS"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$CFLAGS" -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
cmake --build "$BUILD" -j "$JOBS" --target kestrav_installables
rm -f "$BUILD"/kestrav_*.deb
(cd "$BUILD" && cpack -G DEB)
bash scripts/check-package.sh "$BUILD"
