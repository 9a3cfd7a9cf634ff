#!/usr/bin/env bash
# Start-to-mapped time and idle memory of tamso-avi against a bare frameless Qt window
# with a mask, on the same Xvfb in one run, RUNS starts each (default 20), alternating.
# Usage: bench/window/run-window-bench.sh [RUNS]
set -euo pipefail
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
cd "$(dirname "$0")/../.."
runs=${1:-20}
cmake --preset bench >/dev/null
cmake --build --preset bench --target tamso-avi bench_bare_window bench_window_start_probe tamso_media_assets >/dev/null
bin=build/bench/bin
probe=build/bench/bench/window/bench_window_start_probe
bare=build/bench/bench/window/bench_bare_window

bash tests/support/run-x11.sh -- bash -c '
  probe=$1; app=$2; bare=$3; picture=$4; runs=$5
  for i in $(seq 1 "$runs"); do
    "$probe" 1 1000 "$app" | sed "s/^/tamso-avi /"
    "$probe" 1 1000 "$bare" "$picture" | sed "s/^/bare /"
    "$probe" 1 1000 "$bare" "$picture" --texts | sed "s/^/bare+texts /"
  done' bench "$probe" "$bin/tamso-avi" "$bare" assets/background.gif "$runs" |
python3 -c '
import statistics, sys
rows = {}
for line in sys.stdin:
    name, ms, kib = line.split()
    rows.setdefault(name, []).append((float(ms), int(kib)))
print("| program | runs | start to mapped, median ms | idle RSS, median MiB |")
print("|---|---|---|---|")
med = {}
for name in ("tamso-avi", "bare", "bare+texts"):
    ms = statistics.median(r[0] for r in rows[name])
    mib = statistics.median(r[1] for r in rows[name]) / 1024
    med[name] = (ms, mib)
    print(f"| {name} | {len(rows[name])} | {ms:.1f} | {mib:.1f} |")
ours = med["tamso-avi"]
for name in ("bare", "bare+texts"):
    print(f"\nratio tamso-avi / {name}: start {ours[0] / med[name][0]:.2f}, memory {ours[1] / med[name][1]:.2f}")
'
