#!/usr/bin/env bash
# Runs a command with a PulseAudio server of its own, whose null sink "tamso" takes the
# sound, in a runtime folder of its own.
set -euo pipefail
command -v pulseaudio >/dev/null || {
  echo "pulseaudio is not installed (scripts/setup-debian.sh installs it)" >&2
  exit 1
}
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime HOME=$runtime
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
  -L "module-null-sink sink_name=tamso" -L module-native-protocol-unix >"$runtime/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
if ! pactl info >/dev/null 2>&1; then
  echo "the sound server did not start:" >&2
  cat "$runtime/server.log" >&2
  exit 1
fi
"$@"
