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

# Wait until the screen shows the window finished: the root colour at the top-left
# corner, which the shape cuts away, the picture's many colours drawn, and two shots in a
# row the same. A slow start (a loaded machine) only makes this take longer.
read -r x y < <(xwininfo -id "$id" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}')
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
root_rgb=$(convert "xc:$root_colour" -format '%[pixel:p{0,0}]' info:)
previous=
for _ in $(seq 1 150); do
  sleep 0.2
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "551x502+${x}+${y}" +repage "$work/window.png"
  read -r corner colours shot < <(convert "$work/window.png" -format '%[pixel:p{0,0}] %k %#\n' info:)
  if [ "$corner" = "$root_rgb" ] && [ "$colours" -gt 64 ] && [ "$shot" = "$previous" ]; then
    cp "$work/window.png" "$out"
    echo "screenshot: $out (window at $x,$y)"
    exit 0
  fi
  previous=$shot
done
echo "screenshot: the window did not settle (corner $corner, $colours colours)" >&2
exit 1
