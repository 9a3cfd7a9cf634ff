#!/usr/bin/env bash
# The window on one desktop, used as a person uses it. tamso-avi starts with a sample AVI
# named on its command line; the test then looks at a screenshot (the desktop through
# every cut-out pixel, the picture everywhere else, the report in its label), drags the
# window with the left button from the picture (it moves) and from a cut-out pixel (it
# stays), and ends the program.
#
# Usage: desktops.sh DESKTOP PROGRAM SHOT_CHECK VIRTUAL_POINTER SAMPLE.avi
#   DESKTOP: no-display (the start without any display), x11 (Xvfb with openbox),
#   x11-compositor (and xcompmgr), sway-wayland (headless sway, Qt's Wayland platform),
#   sway-xwayland (the same through XWayland); a -2x suffix runs at QT_SCALE_FACTOR=2.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
desktop=$1 program=$2 check=$3 pointer=$4 sample=$5
fail() { echo "desktop $desktop: $*" >&2; exit 1; }

if [ "${6:-}" != --inside ]; then
  if [ "$desktop" = no-display ]; then
    # No display of any kind: one line on stderr, status 1, no abort; help and version work.
    set +e
    out=$(env -i PATH="$PATH" "$program" "$sample" 2>&1 >/dev/null)
    status=$?
    set -e
    [ "$status" = 1 ] || fail "status $status, not 1 ($out)"
    [ "$(printf '%s\n' "$out" | wc -l)" = 1 ] || fail "not one line: $out"
    case "$out" in *display*'tamso-avi-report FILE'*) ;; *) fail "unexpected message: $out" ;; esac
    env -i PATH="$PATH" "$program" --version | grep -qx 'tamso-avi [0-9.]*' || fail "--version"
    env -i PATH="$PATH" "$program" --help | grep -q '^Usage: tamso-avi ' || fail "--help"
    echo "desktop $desktop: $out"
    exit 0
  fi
  # A folder the session's user can read (sway runs as nobody when started as root).
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "$sample" "$work/sample.avi"
  chmod 0777 "$work" && chmod 0644 "$work/sample.avi"
  inside=(bash "$0" "$desktop" "$program" "$check" "$pointer" "$work/sample.avi" --inside "$work")
  case "$desktop" in
    x11 | x11-2x) bash "$here/../../support/run-x11.sh" --wm --size 1600x1200 -- "${inside[@]}" ;;
    x11-compositor*) bash "$here/../../support/run-x11.sh" --wm --compositor --size 1600x1200 -- "${inside[@]}" ;;
    sway-*) bash "$here/../../support/run-sway.sh" --size 1600x1200 -- "${inside[@]}" ;;
    *) fail "no such desktop" ;;
  esac
  exit $?
fi

# From here on we run inside the desktop's session.
work=$7
scale=1
case "$desktop" in *-2x) scale=2 && export QT_SCALE_FACTOR=2 ;; esac
platform=xcb
case "$desktop" in sway-wayland*) platform=wayland ;; esac
on_sway=0
case "$desktop" in sway-*) on_sway=1 ;; esac
[ "$on_sway" = 1 ] || xsetroot -solid '#3a6ea5'

# The headless compositor has no mouse of its own: a virtual one, there before the
# program starts, so that the program learns of it as of a mouse plugged in.
if [ "$on_sway" = 1 ]; then
  coproc POINTER { "$pointer" --extent 1600 1200; }
fi

cd "$(dirname "$program")"
QT_QPA_PLATFORM=$platform "$program" "$work/sample.avi" >"$work/program.log" 2>&1 &
pid=$!
trap 'kill "$pid" ${POINTER_PID:-} 2>/dev/null; wait "$pid" 2>/dev/null || true' EXIT

# Where the window's top-left corner is on the screen, "X Y" in device pixels.
origin() {
  if [ "$on_sway" = 1 ]; then
    swaymsg -t get_tree | python3 -c '
import json, sys
def find(node):
    if node.get("name") == "Tamso AVI" and node.get("pid") == int(sys.argv[1]):
        return node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        found = find(child)
        if found:
            return found
found = find(json.load(sys.stdin))
if not found:
    sys.exit(1)
print(found["rect"]["x"], found["rect"]["y"])' "$pid"
  else
    local id
    id=$(xdotool search --onlyvisible --pid "$pid" --name '^Tamso AVI$' 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 1
    xwininfo -id "$id" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}'
  fi
}
screenshot() {
  if [ "$on_sway" = 1 ]; then grim "$1"; else import -window root "$1"; fi
}
# The window's place once it stayed the same for three looks in a row.
settled_origin() {
  local last now same=0
  last=$(origin) || return 1
  for _ in $(seq 1 40); do
    sleep 0.1
    now=$(origin) || return 1
    if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi
    last=$now
    [ "$same" -ge 3 ] && break
  done
  echo "$last"
}
# Plays pointer steps (to X Y, move DX DY, press, release: the left button) on the
# desktop's pointer and returns once they are done.
pointer_do() {
  if [ "$on_sway" = 1 ]; then
    local reply
    echo "$*" >&"${POINTER[1]}"
    read -r -t 20 -u "${POINTER[0]}" reply && [ "$reply" = done ] || fail "the virtual pointer did not answer"
  else
    local chain=() words=("$@") i=0
    while [ "$i" -lt "${#words[@]}" ]; do
      case "${words[i]}" in
        to) chain+=(mousemove "${words[i + 1]}" "${words[i + 2]}") && i=$((i + 3)) ;;
        move) chain+=(mousemove_relative -- "${words[i + 1]}" "${words[i + 2]}") && i=$((i + 3)) ;;
        press) chain+=(mousedown 1) && i=$((i + 1)) ;;
        release) chain+=(mouseup 1) && i=$((i + 1)) ;;
      esac
    done
    xdotool "${chain[@]}"
  fi
}
# Presses the left button at window pixel (X, Y) and moves the mouse a little at a time
# until the window follows (the window system starts the move when the program asks for
# it, which a busy machine may delay), then by 40, 30 more, and releases it. Prints the
# pointer's whole way "DX DY"; the window moved "0 0" when it never followed.
drag_from() {
  local ox oy now
  read -r ox oy < <(settled_origin)
  local start="$ox $oy" dx=0 dy=0
  pointer_do to $((ox + $1 * scale)) $((oy + $2 * scale))
  sleep 0.2
  pointer_do press
  for _ in $(seq 1 25); do
    sleep 0.2
    pointer_do move 2 2
    dx=$((dx + 2)) dy=$((dy + 2))
    now=$(origin) || break
    [ "$now" = "$start" ] || break
  done
  sleep 0.2
  pointer_do move 40 30
  sleep 0.3
  pointer_do release
  echo "$((dx + 40)) $((dy + 30))"
}

# The window shows once it has painted itself with the report: look until it is right.
shot=$work/$desktop.png
result=
for _ in $(seq 1 20); do
  kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
  if xy=$(settled_origin) && screenshot "$shot" 2>/dev/null; then
    # shellcheck disable=SC2086
    result=$("$check" "$shot" $xy "$scale" --report 2>/dev/null) && break
  fi
  result="not yet: $result"
  sleep 0.25
done
case "$result" in "not yet"* | "") fail "the screenshot is wrong: $result (window at ${xy:-none}; kept in ${TAMSO_KEEP_SHOTS:-nowhere})" ;; esac
[ -z "${TAMSO_KEEP_SHOTS:-}" ] || cp "$shot" "$TAMSO_KEEP_SHOTS/"
echo "desktop $desktop: window at $xy: $result"

before=$(settled_origin)
# sway takes a press on a floating window's rectangle outside its input region for a
# press on the window's frame, and moves the window itself: natively the press never
# reaches the program, but there is nothing to see of that here.
case "$desktop" in
  sway-wayland*) ;;
  *)
    drag_from 2 2 >/dev/null
    after=$(settled_origin)
    [ "$after" = "$before" ] || fail "a drag from a cut-out pixel moved the window from $before to $after"
    ;;
esac
read -r wx wy < <(drag_from 300 420)
after=$(settled_origin)
read -r bx by <<<"$before"
read -r ax ay <<<"$after"
# The window follows the pointer from where the move began: by the last 40, 30 at least,
# and never further than the pointer went.
dx=$((ax - bx)) dy=$((ay - by))
[ "$dx" -ge 40 ] && [ "$dy" -ge 30 ] && [ "$dx" -le "$wx" ] && [ "$dy" -le "$wy" ] ||
  fail "a left drag by $wx, $wy moved the window from $before to $after"
echo "desktop $desktop: a left drag by $wx, $wy moved the window from $before to $after"
