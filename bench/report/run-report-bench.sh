#!/usr/bin/env bash
# Whole-process time of tamso-avi-report against ffprobe, mediainfo and a process that
# does nothing, on a ~1 MB AVI and on a ~1.2 GB OpenDML AVI, in one hyperfine run. Both
# hold raw RGB frames, so the codec lookup is the same and only the size differs; a
# ~1 MB MPEG-4 file shows a common codec found near the top of the list.
# Usage: bench/report/run-report-bench.sh [OUTPUT.md]
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-}
source bench/report/release-tool.sh
small=$work/small.avi
big=$work/big.avi
xvid=$work/xvid.avi
ffmpeg -v error -y -f lavfi -i color=c=gray:size=320x240:rate=25:duration=0.2 -c:v rawvideo -pix_fmt bgr24 "$small"
ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=20 -c:v mpeg4 -vtag XVID -b:v 400k "$xvid"
ffmpeg -v error -y -f lavfi -i color=c=gray:size=1920x1080:rate=25:duration=8 -c:v rawvideo -pix_fmt bgr24 "$big"
ls -l "$small" "$big" "$xvid" | awk '{print $5, $9}' | sed "s|$work/||"

args=(-N --warmup 5 --min-runs 30 --style basic)
[ -n "$out" ] && args+=(--export-markdown "$out")
hyperfine "${args[@]}" \
  -n 'nothing (true)' 'true' \
  -n 'tamso-avi-report 1 MB' "$tool $small" \
  -n 'tamso-avi-report 1.2 GB OpenDML' "$tool $big" \
  -n 'tamso-avi-report 1 MB MPEG-4' "$tool $xvid" \
  -n 'ffprobe 1 MB' "ffprobe -v error -show_streams -show_format $small" \
  -n 'mediainfo 1 MB' "mediainfo $small" \
  -n 'ffprobe 1.2 GB' "ffprobe -v error -show_streams -show_format $big" \
  -n 'mediainfo 1.2 GB' "mediainfo $big"
