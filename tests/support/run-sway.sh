#!/usr/bin/env bash
# Runs a command inside a headless sway session (Wayland, with XWayland for X11 clients)
# and stops sway afterwards. The command sees WAYLAND_DISPLAY, SWAYSOCK and DISPLAY (the
# session's XWayland), and runs as the same user as sway.
#
# sway refuses to run as root: started as root, this script runs itself, sway and the
# command as the unprivileged user nobody, in a private folder that user owns (the
# command's own files must then be readable by that user).
# Usage: run-sway.sh [--size WxH] -- COMMAND [ARG...]
set -euo pipefail
size=1280x1024
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--size WxH] -- COMMAND..." >&2; exit 2; }

if [ "$(id -u)" -eq 0 ]; then
  home=$(mktemp -d)
  chown nobody:nogroup "$home"
  trap 'rm -rf "$home"' EXIT
  set +e
  setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
    env HOME="$home" PATH="$PATH" TAMSO_SWAY_HOME="$home" bash "$0" --size "$size" -- "$@"
  exit $?
fi

home=${TAMSO_SWAY_HOME:-$(mktemp -d)}
export HOME=$home XDG_RUNTIME_DIR=$home/run
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM

# A plain blue desktop without bars or borders; windows of a fixed size float, centred.
cat >"$home/sway.conf" <<CONF
output HEADLESS-1 resolution $size position 0 0 bg #3a6ea5 solid_color
default_border none
default_floating_border none
focus_follows_mouse no
xwayland enable
CONF

export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=1
sway --config "$home/sway.conf" >"$home/sway.log" 2>&1 &
sway_pid=$!
cleanup() {
  kill "$sway_pid" 2>/dev/null
  wait "$sway_pid" 2>/dev/null || true
}
trap cleanup EXIT

# sway names its IPC socket after its process; the Wayland socket is the first wayland-N.
export SWAYSOCK=
for _ in $(seq 1 200); do
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*."$sway_pid".sock 2>/dev/null | head -n 1) || true
  [ -n "$SWAYSOCK" ] && swaymsg -t get_version >/dev/null 2>&1 && break
  kill -0 "$sway_pid" 2>/dev/null || { echo "run-sway: sway ended:" >&2; cat "$home/sway.log" >&2; exit 1; }
  sleep 0.05
done
[ -n "$SWAYSOCK" ] || { echo "run-sway: sway did not start" >&2; exit 1; }
WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -n 1)
export WAYLAND_DISPLAY
# XWayland's display: sway hands it to the programs it starts.
DISPLAY=$(swaymsg exec 'echo "$DISPLAY" > "$XDG_RUNTIME_DIR/display"' >/dev/null &&
  for _ in $(seq 1 100); do [ -s "$XDG_RUNTIME_DIR/display" ] && break; sleep 0.05; done &&
  cat "$XDG_RUNTIME_DIR/display")
export DISPLAY

set +e
"$@"
