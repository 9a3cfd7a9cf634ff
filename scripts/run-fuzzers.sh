#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14) and runs each for a bounded time, or until it
# has made RUNS executions, whichever comes first.
# Usage: scripts/run-fuzzers.sh [SECONDS_PER_TARGET] [--runs RUNS] [TARGET...]   (default 20 s, every target)
# A failing input is left in fuzz/artifacts/; once the fault is fixed it goes into
# fuzz/regressions/TARGET/, which the ordinary test run replays.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=20
runs=-1
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
if [ "${1:-}" = --runs ]; then runs=$2; shift 2; fi
only=("$@")

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p fuzz/artifacts
failed=0
while read -r name binary; do
  [ -n "$name" ] || continue
  if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " =~ " $name " ]]; then continue; fi
  corpus="$work/$name"
  mkdir -p "$corpus"
  for folder in corpus regressions; do
    if [ -d "fuzz/$folder/$name" ]; then cp -r "fuzz/$folder/$name/." "$corpus/"; fi
  done
  echo "fuzz: $name for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="fuzz/artifacts/$name-" "$corpus" >"$work/$name.log" 2>&1; then
    echo "fuzz: $name FAILED"
    tail -n 60 "$work/$name.log"
    failed=1
  else
    grep -E '^#[0-9]+.*DONE|^stat::(number_of_executed_units|average_exec_per_sec)' "$work/$name.log" || true
  fi
done < build/fuzz/fuzzers.txt
exit $failed
