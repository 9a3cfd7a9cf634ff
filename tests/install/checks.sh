# Checks shared by the install test and the package test, sourced by both. Each check
# prints "ok   WHAT" or "FAIL WHAT: why" and counts; `finish` prints the tally and gives
# the exit status.
passed=0
failed=0

pass() { echo "ok   $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1: $2"; failed=$((failed + 1)); }

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# check_file_list WHAT ACTUAL_LIST EXPECTED_LIST: the same paths, in any order.
check_file_list() {
  local difference
  difference=$(diff <(LC_ALL=C sort "$2") <(LC_ALL=C sort "$3") | grep '^[<>]' || true)
  if [ -z "$difference" ]; then
    pass "$1"
  else
    fail "$1" "$(sed -e 's/^</unexpected/' -e 's/^>/missing/' <<<"$difference" | tr '\n' ' ')"
  fi
}

# check_report WHAT AVI COMMAND...: run from another folder, the tool (COMMAND) still
# describes the sample's codec from the db.txt of its own data folder.
check_report() {
  local report
  report=$(cd / && "${@:3}" "$2" 2>&1) || true
  if grep -q '^Infos: Xvid' <<<"$report"; then pass "$1"; else fail "$1" "$report"; fi
}

# check_desktop_integration SHARE WORK: the menu entry and the metainfo pass their
# validators, and on a system with no other handler the desktop's own tools make the
# entry the default for every AVI media type.
check_desktop_integration() {
  local share=$1 work=$2 output type handler
  if output=$(desktop-file-validate "$share/applications/tamso-avi.desktop" 2>&1) && [ -z "$output" ]; then
    pass "desktop-file-validate"
  else
    fail "desktop-file-validate" "$output"
  fi
  if output=$(appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml 2>&1); then
    pass "appstreamcli validate --no-net"
  else
    fail "appstreamcli validate --no-net" "$output"
  fi
  update-desktop-database "$share/applications"
  mkdir -p "$work/config"
  for type in video/x-msvideo video/avi video/msvideo video/vnd.avi; do
    handler=$(env -i PATH="$PATH" HOME="$work" XDG_CONFIG_HOME="$work/config" \
      XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$share" xdg-mime query default "$type" 2>&1) || true
    if [ "$handler" = tamso-avi.desktop ]; then
      pass "default handler of $type"
    else
      fail "default handler of $type" "xdg-mime names '$handler'"
    fi
  done
}

# check_icons HICOLOR: every size folder holds one PNG of the size its name says.
check_icons() {
  local icon folder size description bad=""
  for icon in "$1"/*/apps/tamso-avi.png; do
    folder=${icon%/apps/*}
    size=${folder##*/}
    description=$(file -b "$icon")
    grep -q "^PNG image data, ${size%x*} x ${size#*x}," <<<"$description" || bad+="$size: $description; "
  done
  if [ -z "$bad" ]; then pass "icon sizes"; else fail "icon sizes" "$bad"; fi
}

# check_manual_pages MAN1: each page renders without warnings and names its program.
check_manual_pages() {
  local page name output
  for page in "$1"/*.1.gz; do
    name=$(basename "$page" .1.gz)
    if output=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) && [ -z "$output" ] &&
      LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^ *$name - "; then
      pass "manual page $name"
    else
      fail "manual page $name" "${output:-no NAME line}"
    fi
  done
}
