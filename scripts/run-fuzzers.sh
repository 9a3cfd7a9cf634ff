#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14) and runs each for a bounded time.
# Usage: scripts/run-fuzzers.sh [SECONDS_PER_TARGET]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p fuzz/artifacts
failed=0
while read -r name binary; do
  [ -n "$name" ] || continue
  corpus="$work/$name"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$corpus/"; fi
  echo "fuzz: $name for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="fuzz/artifacts/$name-" "$corpus" >"$work/$name.log" 2>&1; then
    echo "fuzz: $name FAILED"
    tail -n 60 "$work/$name.log"
    failed=1
  else
    grep -E '^#[0-9]+.*DONE' "$work/$name.log" | tail -n 1 || true
  fi
done < build/fuzz/fuzzers.txt
exit $failed
