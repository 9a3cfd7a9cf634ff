#!/usr/bin/env bash
# Takes a picture of the Tamso AVI window as it appears on a desktop: the program runs on
# a private X server with the openbox window manager and a plain blue root window, and
# the screen is cropped to the window's 551 x 502 pixels (the root shows through where
# the window is cut away).
#
# Usage: screenshot.sh OUT.png [PROGRAM]
#   PROGRAM defaults to build/dev/bin/tamso-avi of this source tree.
# Needs Xvfb, openbox, xdotool, xwininfo and ImageMagick's import and convert.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root_colour='#3a6ea5'

if [ "${1:-}" != "--on-display" ]; then
  [ $# -ge 1 ] || { echo "usage: $0 OUT.png [PROGRAM]" >&2; exit 2; }
  out=$1
  program=${2:-$here/../../../build/dev/bin/tamso-avi}
  [ -x "$program" ] || { echo "screenshot: no program at $program (build the tamso-avi target)" >&2; exit 2; }
  case "$out" in /*) ;; *) out=$PWD/$out ;; esac
  exec bash "$here/../../support/run-x11.sh" --wm -- bash "$0" --on-display "$out" "$(cd "$(dirname "$program")" && pwd)/$(basename "$program")"
fi

# From here on we run on the private display.
out=$2
program=$3

# The root's colour: xsetroot where it is installed, else ImageMagick paints the root.
if command -v xsetroot >/dev/null; then
  xsetroot -solid "$root_colour"
else
  read -r width height < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  # display paints the root and then reports a failure of its own; the colour is there.
  display -window root -size "${width}x${height}" "xc:$root_colour" || true
fi

# The program runs from its own folder, as a desktop launcher would start it.
cd "$(dirname "$program")"
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true' EXIT

id=
for _ in $(seq 1 200); do
  id=$(xdotool search --onlyvisible --pid "$pid" --name '^Tamso AVI$' 2>/dev/null | head -n 1) || true
  [ -n "$id" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "screenshot: the program ended before showing its window" >&2; exit 1; }
  sleep 0.1
done
[ -n "$id" ] || { echo "screenshot: no window appeared" >&2; exit 1; }

# Let the window paint itself, then take the whole screen and cut the window out of it.
sleep 1.5
read -r x y < <(xwininfo -id "$id" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}')
screen=$(mktemp --suffix=.png)
import -window root "$screen"
convert "$screen" -crop "551x502+${x}+${y}" +repage "$out"
rm -f "$screen"
echo "screenshot: $out (window at $x,$y)"
