#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, then each fuzz target briefly.
# Usage: scripts/test.sh [--preset dev|asan] [--no-fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=dev
fuzz=1
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset=$2; shift 2 ;;
    --no-fuzz) fuzz=0; shift ;;
    *) echo "usage: $0 [--preset dev|asan] [--no-fuzz]" >&2; exit 2 ;;
  esac
done

bash scripts/setup-debian.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
if [ "$fuzz" = 1 ]; then
  bash scripts/run-fuzzers.sh "${TAMSO_FUZZ_SECONDS:-15}"
fi
