#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user of the installed
# program gets: exactly the files of installed-files.txt; a report that finds the codec
# list of the installed data folder; a menu entry that the desktop's tools accept and
# that becomes the handler of AVI files; metainfo that AppStream accepts; icons of the
# sizes their folders name; manual pages that render without warnings.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
# shellcheck source=tests/install/checks.sh
source "$here/checks.sh"

check_file_list "installed files" <(cd "$prefix" && find . -type f -printf '%P\n') "$here/installed-files.txt"
check_report "installed report describes the codec" "$source/assets/samples/sample.avi" "$prefix/bin/tamso-avi-report"
check_desktop_integration "$prefix/share" "$work"
check_icons "$prefix/share/icons/hicolor"
check_manual_pages "$prefix/share/man/man1"
finish
