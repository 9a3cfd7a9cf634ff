#!/usr/bin/env bash
# Installs what is missing, builds the release, and starts Tamso AVI.
# Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/bin/tamso-avi ]; then
  exec build/release/bin/tamso-avi "$@"
fi
# Until the window is built, show the report of the sample AVI the repository ships.
exec build/release/bin/tamso-avi-report "${@:-assets/samples/sample.avi}"
