#!/usr/bin/env bash
# Builds the Debian package build/package/tamso-avi_VERSION_ARCH.deb from the release
# build (installed to /usr), with CPack.
# Usage: scripts/package.sh   (prints the package's path last)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build --preset release
rm -f build/package/tamso-avi_*.deb
cpack --config build/release/CPackConfig.cmake -B build/package >build/release/cpack.log 2>&1 ||
  { cat build/release/cpack.log >&2; exit 1; }
ls build/package/tamso-avi_*.deb
