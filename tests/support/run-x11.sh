#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb), optionally with the openbox window manager
# and the xcompmgr compositing manager, and stops them all afterwards. The command sees
# DISPLAY and QT_QPA_PLATFORM=xcb.
# Usage: run-x11.sh [--wm] [--compositor] [--size WxH] -- COMMAND [ARG...]
set -euo pipefail
wm=0
compositor=0
size=1280x1024
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=1; shift ;;
    --compositor) compositor=1; shift ;;
    --size) size=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--wm] [--compositor] [--size WxH] -- COMMAND..." >&2; exit 2; }

# A display number nobody uses: Xvfb writes the number it took to the given descriptor.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 "${size}x24" -dpi 96 -nolisten tcp +extension SHAPE >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 -u "$displayfd" number || { echo "run-x11: Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; }
export DISPLAY=":$number"
export QT_QPA_PLATFORM=xcb

wm_pid=
cm_pid=
wm_log=$(mktemp)
cleanup() {
  [ -n "$cm_pid" ] && kill "$cm_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -f "$wm_log"
}
trap cleanup EXIT

if [ "$wm" = 1 ]; then
  openbox --sm-disable >"$wm_log" 2>&1 &
  wm_pid=$!
  # Wait until the window manager announces itself on the root window. A loaded machine
  # may take many seconds to start it; tests that need it must not run without it.
  started=0
  for _ in $(seq 1 1200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && { started=1; break; }
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ "$started" = 1 ] || { echo "run-x11: the window manager did not start" >&2; cat "$wm_log" >&2; exit 1; }
fi

if [ "$compositor" = 1 ]; then
  xcompmgr >/dev/null 2>&1 &
  cm_pid=$!
  # xcompmgr holds the compositing selection through a window of its own name.
  for _ in $(seq 1 100); do
    xwininfo -root -children 2>/dev/null | grep -q '"xcompmgr"' && break
    sleep 0.05
  done
fi

set +e
"$@"
status=$?
# A window manager that went away during the run explains failures that follow from it.
if [ -n "$wm_pid" ] && ! kill -0 "$wm_pid" 2>/dev/null; then
  echo "run-x11: the window manager ended during the run" >&2
  cat "$wm_log" >&2
  [ "$status" != 0 ] || status=1
fi
exit $status
