#!/usr/bin/env bash
# A collection of AVI files, whole-process, page cache warm, one hyperfine run each:
#   1. tamso-avi-report --json -r over 10 000 AVI files (hard links of 36 real files made
#      by ffmpeg: 12 video codecs, each alone, with PCM and with MP3 sound) against
#      mediainfo --Output=JSON over the same folder in one call;
#   2. tamso-avi-report -r over a tree of 100 000 files that are not AVI against
#      find DIR -iname '*.avi';
#   3. the one-file start: true, tamso-avi-report FILE and tamso-avi-report --json FILE.
# Usage: bench/report/run-collection-bench.sh [OUTPUT-PREFIX]   (writes PREFIX-1.md ...)
set -euo pipefail
cd "$(dirname "$0")/../.."
prefix=${1:-}
source bench/report/release-tool.sh
mkdir -p "$work/real" "$work/avi" "$work/other"
video=(-f lavfi -i testsrc=size=320x240:rate=25:duration=1)
sound=(-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1)
n=0
for codec in "mpeg4 -vtag XVID" "mpeg4 -vtag DIVX" "mpeg4 -vtag DX50" mjpeg huffyuv ffv1 msmpeg4v2 \
             msmpeg4 "rawvideo -pix_fmt bgr24" libx264 "wmv2" "cinepak"; do
  for audio in none pcm mp3; do
    n=$((n + 1))
    case $audio in
      none) ffmpeg -v error -y "${video[@]}" -c:v $codec "$work/real/$n.avi" ;;
      pcm) ffmpeg -v error -y "${video[@]}" "${sound[@]}" -c:v $codec -c:a pcm_s16le "$work/real/$n.avi" ;;
      mp3) ffmpeg -v error -y "${video[@]}" "${sound[@]}" -c:v $codec -c:a libmp3lame "$work/real/$n.avi" ;;
    esac
  done
done
# 100 folders of 100 links each, and 100 folders of 1000 empty files each.
python3 - "$work" "$n" <<'PY'
import os, sys
work, real = sys.argv[1], int(sys.argv[2])
for i in range(10000):
    folder = f"{work}/avi/{i // 100:03}"
    os.makedirs(folder, exist_ok=True)
    os.link(f"{work}/real/{i % real + 1}.avi", f"{folder}/clip{i:05}.avi")
for i in range(100000):
    folder = f"{work}/other/{i // 1000:03}"
    os.makedirs(folder, exist_ok=True)
    os.close(os.open(f"{folder}/photo{i:06}.jpg", os.O_CREAT | os.O_WRONLY, 0o644))
PY
one=$work/real/1.avi
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

export_to() { [ -n "$prefix" ] && echo --export-markdown "$prefix-$1.md"; true; }
# The files were just written, so the page cache is warm; mediainfo takes minutes a run.
hyperfine -N --style basic --runs 3 $(export_to 1) \
  -n 'tamso-avi-report --json -r (10 000 AVI)' "$tool --json -r $work/avi" \
  -n 'mediainfo --Output=JSON (10 000 AVI)' "mediainfo --Output=JSON $work/avi"
hyperfine -N --style basic --warmup 2 --runs 20 $(export_to 2) \
  -n 'find -iname *.avi (100 000 others)' "find $work/other -iname *.avi" \
  -n 'tamso-avi-report -r (100 000 others)' "$tool -r $work/other"
hyperfine -N --style basic --warmup 5 --min-runs 50 $(export_to 3) \
  -n 'nothing (true)' 'true' \
  -n 'tamso-avi-report FILE' "$tool $one" \
  -n 'tamso-avi-report --json FILE' "$tool --json $one"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
