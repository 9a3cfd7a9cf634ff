#!/usr/bin/env bash
# Makes the small sample AVI that `scripts/run.sh` reports on before the window exists,
# and that the README's examples use: 2 seconds of a test pattern, MPEG-4 Part 2 tagged
# XVID at 25 frames a second, 160x120, with a mono audio stream.
set -euo pipefail
cd "$(dirname "$0")"
ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=25:duration=2 \
  -f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 \
  -c:v mpeg4 -vtag XVID -q:v 10 -c:a pcm_u8 -ac 1 -fflags +bitexact -flags:v +bitexact \
  -map_metadata -1 sample.avi
