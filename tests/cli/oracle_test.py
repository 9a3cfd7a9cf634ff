#!/usr/bin/env python3
"""Makes AVI files with ffmpeg and checks tamso-avi-report's report against ffprobe and
mediainfo: resolution, stream count, rounded frame rate, frame count and codec code.

Usage: oracle_test.py TAMSO_AVI_REPORT [--big]
--big adds an OpenDML file of more than 1 GB (two RIFF forms).
"""
import fractions
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

REPORT_RE = re.compile(
    r"^Resolution: (-?\d+)x(-?\d+) Number of streams: (-?\d+)\n"
    r"Rate:(-?\d+|unknown) Length:(-?\d+)\n"
    r"(?:Video codec used: (.*)\nInfos: (.*)\n)?$"
)


def run(cmd):
    return subprocess.run(cmd, check=True, capture_output=True).stdout


def ffmpeg(out, *args):
    subprocess.run(["ffmpeg", "-v", "error", "-y", *args, out], check=True)


def lavfi_video(size, rate, seconds):
    return ["-f", "lavfi", "-i", f"testsrc=size={size}:rate={rate}:duration={seconds}"]


def lavfi_audio(seconds):
    return ["-f", "lavfi", "-i", f"sine=frequency=330:sample_rate=22050:duration={seconds}"]


def make_files(folder, big):
    files = {}

    def add(name, *args):
        path = os.path.join(folder, name)
        ffmpeg(path, *args)
        files[name] = path

    add("xvid_ntsc.avi", *lavfi_video("320x240", "30000/1001", 2), "-c:v", "mpeg4", "-vtag", "XVID")
    add("divx_12_5.avi", *lavfi_video("176x144", "12.5", 4), "-c:v", "mpeg4", "-vtag", "DIVX")
    add("mjpeg.avi", *lavfi_video("640x480", "25", 1), "-c:v", "mjpeg", "-q:v", "8")
    add("raw.avi", *lavfi_audio(1), *lavfi_video("64x48", "24", 1), *lavfi_audio(1),
        "-map", "0:a", "-map", "1:v", "-map", "2:a", "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-c:a", "pcm_s16le")
    add("huffyuv.avi", *lavfi_video("128x96", "30", 1), "-c:v", "huffyuv")
    add("audio_first.avi", *lavfi_video("160x120", "30000/1001", 2), *lavfi_audio(2),
        "-map", "1:a", "-map", "0:v", "-c:a", "pcm_s16le", "-c:v", "mpeg4", "-vtag", "XVID")
    add("two_video.avi", *lavfi_video("160x120", "25", 2), *lavfi_video("320x240", "10", 2),
        "-map", "0:v", "-map", "1:v", "-c:v", "mpeg4")
    if big:
        # Raw 1080p frames of 6 MB each: past 1 GB the muxer starts a RIFF 'AVIX' form.
        add("opendml.avi", "-f", "lavfi", "-i", "color=c=gray:size=1920x1080:rate=25:duration=8",
            "-c:v", "rawvideo", "-pix_fmt", "bgr24")
    return files


def half_even(fraction):
    return round(fraction)  # Python rounds halves to even, as the report does


def ffprobe_facts(path):
    data = json.loads(run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json", path]))
    video = next(s for s in data["streams"] if s["codec_type"] == "video")
    rate = fractions.Fraction(video["r_frame_rate"])
    tag = video.get("codec_tag_string", "")
    return {
        "width": int(video["width"]),
        "height": int(video["height"]),
        "streams": int(data["format"]["nb_streams"]),
        "rate": str(half_even(rate)),
        "length": int(video["nb_frames"]),
        "tag": tag,
    }


def mediainfo_facts(path):
    data = json.loads(run(["mediainfo", "--Output=JSON", path]))
    tracks = data["media"]["track"]
    video = next(t for t in tracks if t["@type"] == "Video")
    return {
        "width": int(video["Width"]),
        "height": int(video["Height"]),
        "length": int(video["FrameCount"]),
        "rate": str(half_even(fractions.Fraction(video["FrameRate"]))),
    }


def report_facts(tool, path):
    proc = subprocess.run([tool, path], capture_output=True, text=True, errors="replace")
    if proc.returncode != 0:
        raise AssertionError(f"{tool} {path} exited {proc.returncode}: {proc.stdout}{proc.stderr}")
    m = REPORT_RE.match(proc.stdout)
    if not m:
        raise AssertionError(f"unexpected report for {path}:\n{proc.stdout!r}")
    return {
        "width": int(m.group(1)),
        "height": int(m.group(2)),
        "streams": int(m.group(3)),
        "rate": m.group(4),
        "length": int(m.group(5)),
        "tag": m.group(6),
        "info": m.group(7),
    }


def main():
    tool = sys.argv[1]
    big = "--big" in sys.argv[2:]
    passed = failed = 0
    folder = tempfile.mkdtemp(prefix="tamso-oracle-")
    try:
        for name, path in make_files(folder, big).items():
            ours = report_facts(tool, path)
            probe = ffprobe_facts(path)
            info = mediainfo_facts(path)
            problems = []
            for key in ("width", "height", "streams", "rate", "length"):
                if ours[key] != probe[key]:
                    problems.append(f"{key}: ours {ours[key]!r}, ffprobe {probe[key]!r}")
            for key in ("width", "height", "rate", "length"):
                if ours[key] != info[key]:
                    problems.append(f"{key}: ours {ours[key]!r}, mediainfo {info[key]!r}")
            # Every file over 5000 bytes gets codec lines, also where its video stream header
            # lies past the first 4096 bytes (after an audio stream's index reserve).
            if os.path.getsize(path) <= 5000:
                if ours["tag"] is not None:
                    problems.append(f"codec lines where none belong: {ours['tag']!r}")
            elif ours["tag"] is None:
                problems.append("no codec lines")
            elif "[" not in probe["tag"] and ours["tag"] != probe["tag"]:
                # ffprobe shows unprintable tag bytes as [n]; compare printable codes only.
                problems.append(f"codec: ours {ours['tag']!r}, ffprobe {probe['tag']!r}")
            if ours["tag"] in ("XVID", "DIVX", "MJPG", "HFYU") and not ours["info"]:
                problems.append(f"codec {probe['tag']} has no description in db.txt")
            if problems:
                failed += 1
                print(f"FAIL {name}: " + "; ".join(problems))
            else:
                passed += 1
                print(f"ok   {name}: {ours}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    if not shutil.which("ffmpeg") or not shutil.which("mediainfo"):
        print("ffmpeg or mediainfo missing: run scripts/setup-debian.sh")
        sys.exit(1)
    sys.exit(main())
