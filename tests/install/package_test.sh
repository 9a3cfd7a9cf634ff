#!/usr/bin/env bash
# Builds the Debian package and checks it as apt and dpkg will see it: its control
# fields and dependencies, exactly the files that `cmake --install` installs (owned by
# root, with the usual modes), a tool that finds its codec list where the package puts
# it, and lintian with neither errors nor warnings.
# Usage: tests/install/package_test.sh   (from anywhere; run by CI)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=tests/install/checks.sh
source "$here/checks.sh"

deb=$(bash "$top/scripts/package.sh" | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Control fields.
version=$(sed -n 's/^project(TamsoAVI VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
field() { dpkg-deb --field "$deb" "$1"; }
expect_field() {
  local value
  value=$(field "$1")
  if [ "$value" = "$2" ]; then pass "field $1"; else fail "field $1" "'$value', expected '$2'"; fi
}
expect_field Package tamso-avi
expect_field Version "$version"
expect_field Architecture "$(dpkg --print-architecture)"
expect_field Section video
[ "$(basename "$deb")" = "tamso-avi_${version}_$(dpkg --print-architecture).deb" ] &&
  pass "file name" || fail "file name" "$(basename "$deb")"

# Depends: what the binaries link (found by dpkg-shlibdeps, so not listed by hand) and
# what the program loads while it runs.
depends=$(field Depends | tr -d ' ' | tr ',' '\n')
for needed in 'libc6\(>=[^)]+\)' 'libstdc\+\+6\(>=[^)]+\)' 'libqt6widgets6\(>=[^)]+\)' \
  'libqt6gui6\(>=[^)]+\)' 'libfluidsynth3\(>=[^)]+\)' 'timgm6mb-soundfont\|sf2-soundfont-gm' fonts-liberation \
  fonts-dejavu-core qt6-qpa-plugins qt6-wayland; do
  name=${needed%%\\(*}
  name=${name//\\/}
  if grep -Eqx -- "$needed" <<<"$depends"; then
    pass "depends on $name"
  else
    fail "depends on $name" "Depends: $(field Depends)"
  fi
done

# Contents: the install set under /usr, root's, 0755 for programs and folders, 0644 else.
dpkg-deb --contents "$deb" >"$work/contents"
check_file_list "package files" <(awk '$1 !~ /^d/ { sub("^\\./usr/", "", $6); print $6 }' "$work/contents") \
  "$here/installed-files.txt"
odd=$(awk '{ path = $6; sub("^\\./", "/", path)
             want = ($1 ~ /^d/ || path ~ "^/usr/(bin|libexec)/") ? "rwxr-xr-x" : "rw-r--r--"
             if (substr($1, 2) != want || $2 != "root/root") print $1, $2, path }' "$work/contents")
if [ -z "$odd" ]; then pass "owners and modes"; else fail "owners and modes" "$odd"; fi

dpkg-deb --extract "$deb" "$work/root"
check_report "packaged report describes the codec" "$top/assets/samples/sample.avi" \
  "$work/root/usr/bin/tamso-avi-report"

# lintian: neither errors nor warnings; its notes are shown.
if lintian --tag-display-limit 0 --display-info --fail-on error,warning "$deb" >"$work/lintian" 2>&1; then
  pass "lintian"
else
  fail "lintian" "$(grep -E '^[EW]:' "$work/lintian" | tr '\n' ' ')"
fi
grep -E '^[A-Z]:' "$work/lintian" | sed 's/^/  lintian /' || true
finish
