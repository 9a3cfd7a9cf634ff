#!/usr/bin/env bash
# Start-to-mapped time and idle memory of tamso-avi against a bare frameless Qt window
# with a mask, on the same Xvfb in one run, RUNS starts each (default 20), alternating.
# Rows: tamso-avi as built (kitty.mid beside it, no sound output on the machine), the same
# without kitty.mid, and, when PulseAudio is installed, the same with a sound server whose
# null sink takes the tune (the tune then plays for real). Everything runs in a D-Bus
# session of its own when dbus-run-session is installed, as on a desktop: without a session
# bus, every Qt program that shows widgets first tries to start one for accessibility,
# which stalls it for several milliseconds.
# With the sound server, the tune's own cost is measured too (measure_tune.py, TUNE_RUNS
# runs of about 75 s, default 3): CPU time over 10 s and resident memory while it plays
# and after it has ended, against the window without kitty.mid at the same moments.
# Needs: xvfb, dbus (dbus-run-session), pulseaudio and pulseaudio-utils for the sound rows
# (scripts/setup-debian.sh installs them all).
# Usage: bench/window/run-window-bench.sh [RUNS [TUNE_RUNS]]
set -euo pipefail
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
cd "$(dirname "$0")/../.."
runs=${1:-20}
tune_runs=${2:-3}
cmake --preset bench >/dev/null
cmake --build --preset bench --target tamso-avi tamso-avi-tune bench_bare_window bench_window_start_probe tamso_media_assets >/dev/null
bin=build/bench/bin
probe=build/bench/bench/window/bench_window_start_probe
bare=build/bench/bench/window/bench_bare_window
silent=$(mktemp -d)
trap 'rm -rf "$silent"' EXIT
cp -r "$bin"/. "$silent"
rm "$silent/kitty.mid"

session=()
command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
bash tests/support/run-x11.sh -- "${session[@]}" bash -c '
  probe=$1; app=$2; silent=$3; bare=$4; picture=$5; runs=$6; tune_runs=$7
  measure() { "$probe" 1 1000 "${@:2}" | sed "s/^/$1 /"; }
  for i in $(seq 1 "$runs"); do
    measure tamso-avi "$app"
    measure tamso-avi-no-tune "$silent"
    measure bare "$bare" "$picture"
    measure bare+texts "$bare" "$picture" --texts
  done
  command -v pulseaudio >/dev/null || exit 0
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    -L module-null-sink -L module-native-protocol-unix >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  for i in $(seq 1 "$runs"); do
    measure tamso-avi-sound-server "$app"
    measure bare "$bare" "$picture"
  done
  python3 bench/window/measure_tune.py "$tune_runs" 46.6 "$app" "$silent" | sed "s/^/tune /"
  kill "$server"' bench "$probe" "$bin/tamso-avi" "$silent/tamso-avi" "$bare" assets/background.gif "$runs" "$tune_runs" |
python3 -c '
import statistics, sys
rows = {}
tune = {}
for line in sys.stdin:
    if line.startswith("tune "):
        _, name, cpu, rss, pss, threads, players = line.split()
        tune.setdefault(name, []).append((float(cpu), int(rss) / 1024, int(pss) / 1024, int(threads), int(players)))
        continue
    name, ms, kib = line.split()
    rows.setdefault(name, []).append((float(ms), int(kib)))
print("| program | runs | start to mapped, median ms | idle RSS, median MiB |")
print("|---|---|---|---|")
med = {}
for name, values in rows.items():
    med[name] = (statistics.median(r[0] for r in values), statistics.median(r[1] for r in values) / 1024)
    print(f"| {name} | {len(values)} | {med[name][0]:.1f} | {med[name][1]:.1f} |")
print()
print("| ratio | start | memory |")
print("|---|---|---|")
for ours in ("tamso-avi", "tamso-avi-no-tune", "tamso-avi-sound-server"):
    for name in ("bare", "bare+texts"):
        if ours in med:
            print(f"| {ours} / {name} | {med[ours][0] / med[name][0]:.2f} | {med[ours][1] / med[name][1]:.2f} |")

if tune:
    print()
    print("| tune, sound server | runs | CPU s over 10 s, median (max) | RSS MiB | PSS MiB | threads | players |")
    print("|---|---|---|---|---|---|---|")
    for name, values in tune.items():
        cpu = [v[0] for v in values]
        print(f"| {name} | {len(values)} | {statistics.median(cpu):.2f} ({max(cpu):.2f}) | "
              f"{statistics.median(v[1] for v in values):.1f} | {statistics.median(v[2] for v in values):.1f} | "
              f"{statistics.median(v[3] for v in values):.0f} | {statistics.median(v[4] for v in values):.0f} |")
    for column, label in ((1, "RSS"), (2, "PSS")):
        mib = {name: statistics.median(v[column] for v in values) for name, values in tune.items()}
        if {"playing", "ended", "no-tune", "no-tune-later"} <= mib.keys():
            playing = mib["playing"] - mib["no-tune"]
            ended = mib["ended"] - mib["no-tune-later"]
            print(f"\n{label} against the window without the tune: playing {playing:+.1f} MiB, ended {ended:+.1f} MiB")
'
