#!/usr/bin/env bash
# Builds the program and its tests with line coverage (g++ --coverage), runs the tests,
# and prints the line coverage of app/, graphics/, dialogs/ and platform/, each and
# together. The per-file report is written to build/coverage/coverage.txt and an HTML
# report to build/coverage/html/index.html.
# Usage: scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
status=0
ctest --preset coverage || status=$?

out=build/coverage
mkdir -p "$out/html"
gcovr --root . --object-directory "$out" --exclude-directories "$out/CMakeFiles" --filter '(app|graphics|dialogs|platform)/' \
  --txt "$out/coverage.txt" --json-summary "$out/coverage.json" --html-details "$out/html/index.html"
python3 - "$out/coverage.json" <<'PY'
import json, sys
files = json.load(open(sys.argv[1]))["files"]
total = [0, 0]
for part in ("app", "graphics", "dialogs", "platform"):
    mine = [f for f in files if f["filename"].startswith(part + "/")]
    covered, lines = sum(f["line_covered"] for f in mine), sum(f["line_total"] for f in mine)
    total = [total[0] + covered, total[1] + lines]
    print(f"{part + '/':10} {100 * covered / max(lines, 1):5.1f}% of {lines} lines")
print(f"{'together':10} {100 * total[0] / max(total[1], 1):5.1f}% of {total[1]} lines")
PY
[ "$status" = 0 ] || echo "coverage: some tests failed (ctest status $status)" >&2
exit "$status"
