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

xvfb_pid=
wm_pid=
cm_pid=
log=$(mktemp -d)
cleanup() {
  [ -n "$cm_pid" ] && kill "$cm_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$log"
}
trap cleanup EXIT

# Starts Xvfb on a display number nobody uses (Xvfb writes the number it took to the given
# descriptor) and, with --wm, openbox on it; succeeds once the server answers and the
# window manager has announced itself on the root window.
start_desktop() {
  exec {displayfd}<> <(:)
  Xvfb -displayfd "$displayfd" -screen 0 "${size}x24" -dpi 96 -nolisten tcp +extension SHAPE \
    >"$log/xvfb" 2>&1 &
  xvfb_pid=$!
  read -r -t 20 -u "$displayfd" number || { echo "Xvfb did not start" >"$log/why"; return 1; }
  exec {displayfd}>&-
  export DISPLAY=":$number"
  export QT_QPA_PLATFORM=xcb
  # A loaded machine may take many seconds; tests that need the desktop must not run
  # without it.
  for _ in $(seq 1 600); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb ended" >"$log/why"; return 1; }
    sleep 0.05
  done
  [ "$wm" = 1 ] || return 0
  openbox --sm-disable >"$log/wm" 2>&1 &
  wm_pid=$!
  for _ in $(seq 1 1200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "the window manager did not start" >"$log/why"
  return 1
}

# A server or window manager that fails at its start (rarely, on a busy machine) is
# started afresh rather than failing the tests that need it.
for attempt in 1 2 3; do
  start_desktop && break
  echo "run-x11: $(cat "$log/why") (attempt $attempt)" >&2
  cat "$log/xvfb" "$log/wm" >&2 2>/dev/null || true
  kill $wm_pid $xvfb_pid 2>/dev/null || true
  wait 2>/dev/null || true
  wm_pid= xvfb_pid=
  if [ "$attempt" = 3 ]; then exit 1; fi
done

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
  cat "$log/wm" >&2
  [ "$status" != 0 ] || status=1
fi
exit $status
