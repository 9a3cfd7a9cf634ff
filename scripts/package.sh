#!/usr/bin/env bash
# Builds the Debian package build/package/tamso-avi_VERSION_ARCH.deb: an optimised build
# with Debian's hardening flags, installed into the package by CPack.
# Usage: scripts/package.sh   (prints the package's path last)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh

# The flags Debian builds its own packages with, hardening included (stack protector,
# fortified functions, read-only relocations bound at start).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"

build=build/package
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DTAMSO_TESTS=OFF -DTAMSO_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build"
rm -f "$build"/tamso-avi_*.deb
(cd "$build" && cpack --config CPackConfig.cmake >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
ls "$build"/tamso-avi_*.deb
