#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user of the installed
# program gets: the programs in bin, the data in share/tamso-avi, the menu entry and the
# icon, and a report that finds the codec list of the installed data folder.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
expect_file() {
  if [ -f "$prefix/$1" ]; then echo "ok   $1"; else echo "FAIL $1 missing"; failed=$((failed + 1)); fi
}
for f in bin/tamso-avi bin/tamso-avi-report share/tamso-avi/db.txt share/tamso-avi/kitty.mid \
         share/applications/tamso-avi.desktop share/icons/hicolor/32x32/apps/tamso-avi.png; do
  expect_file "$f"
done

# Run from elsewhere, the installed tool still describes the codec from its own db.txt.
report=$(cd / && "$prefix/bin/tamso-avi-report" "$source/assets/samples/sample.avi")
if grep -q '^Infos: Xvid' <<<"$report"; then
  echo "ok   installed report describes the codec"
else
  echo "FAIL installed report: $report"
  failed=$((failed + 1))
fi
passed=$((7 - failed))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
