#!/usr/bin/env python3
"""Makes AVI files with three writers (ffmpeg, mencoder, GStreamer's avimux), whose header
layouts differ, and checks tamso-avi-report against ffprobe and mediainfo:
- the text report: resolution, stream count, rounded frame rate, frame count, codec code;
- the --json facts of every stream: type, codec code, picture size, frame count, rate,
  duration, channels and sample rate.

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

    def mencoder(name, *args):
        # mencoder re-encodes an ffmpeg file: its own muxer writes the headers.
        path = os.path.join(folder, name)
        subprocess.run(["mencoder", "-really-quiet", files["source.avi"], *args, "-o", path],
                       check=True, capture_output=True)
        files[name] = path

    def gstreamer(name, video, audio):
        path = os.path.join(folder, name)
        pipeline = f"{video} ! avimux name=mux ! filesink location={path} {audio} ! mux."
        subprocess.run(["gst-launch-1.0", "-q", *pipeline.split()], check=True, capture_output=True)
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
    add("source.avi", *lavfi_video("320x240", "25", 2), "-f", "lavfi", "-i",
        "sine=frequency=330:sample_rate=48000:duration=2", "-ac", "2", "-c:v", "mpeg4", "-c:a", "pcm_s16le")
    mencoder("mencoder_dx50_mp3.avi", "-ovc", "lavc", "-lavcopts", "vcodec=mpeg4", "-ffourcc", "DX50",
             "-oac", "mp3lame")
    mencoder("mencoder_raw_pcm.avi", "-ovc", "raw", "-vf", "format=bgr24", "-oac", "pcm")
    mencoder("mencoder_mjpeg_mp2.avi", "-ovc", "lavc", "-lavcopts", "vcodec=mjpeg", "-oac", "twolame")
    gstreamer("avimux_jpeg_pcm.avi",
              "videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc",
              "audiotestsrc num-buffers=40 ! audio/x-raw,rate=44100,channels=2")
    gstreamer("avimux_i420_mulaw.avi",
              "videotestsrc num-buffers=30 ! video/x-raw,format=I420,width=176,height=144,framerate=30000/1001",
              "audiotestsrc num-buffers=20 ! audio/x-raw,rate=22050,channels=1 ! mulawenc")
    gstreamer("avimux_mp3_first.avi",
              "videotestsrc num-buffers=25 ! video/x-raw,width=160,height=120,framerate=10/1 ! jpegenc",
              "audiotestsrc num-buffers=30 ! audioconvert ! lamemp3enc")
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


def fourcc_value(escaped):
    """The 32-bit value of a code as --json writes it (\\ for a backslash, \\xNN for a byte)."""
    out = bytearray()
    i = 0
    while i < len(escaped):
        if escaped.startswith("\\\\", i):
            out.append(0x5C)
            i += 2
        elif escaped.startswith("\\x", i):
            out.append(int(escaped[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(ord(escaped[i]))
            i += 1
    assert len(out) == 4, escaped
    return int.from_bytes(out, "little")


# Sound formats whose bits per sample ffprobe reports as stored; for compressed ones it
# reports 0 while the file holds what its writer put there (avimux writes 16 for MP3).
UNCOMPRESSED_AUDIO = {0x0001, 0x0003, 0x0006, 0x0007}


def json_problems(tool, path):
    proc = subprocess.run([tool, "--json", path], capture_output=True, text=True)
    ours = json.loads(proc.stdout)
    probe = json.loads(run(["ffprobe", "-v", "error", "-show_streams", "-of", "json", path]))["streams"]
    tracks = json.loads(run(["mediainfo", "--Output=JSON", path]))["media"]["track"]
    info = {kind: [t for t in tracks if t["@type"] == kind.capitalize()] for kind in ("video", "audio")}
    problems = []

    def check(what, mine, theirs, oracle="ffprobe"):
        if mine != theirs:
            problems.append(f"stream {index} {what}: ours {mine!r}, {oracle} {theirs!r}")

    if len(ours["streams"]) != len(probe):
        return [f"{len(ours['streams'])} streams, ffprobe {len(probe)}"]
    for index, (o, p) in enumerate(zip(ours["streams"], probe)):
        check("type", o["type"], p["codec_type"])
        check("frames", o["frames"], int(p["nb_frames"]))
        # ffprobe's time base is the stream header's scale/rate in lowest terms.
        check("rate", fractions.Fraction(o["scale"], o["rate"]), fractions.Fraction(p["time_base"]))
        if p.get("duration", "N/A") != "N/A":  # ffprobe gives six decimals
            check("duration", round(o["duration"], 6), float(p["duration"]))
        mine = info[o["type"]].pop(0) if info.get(o["type"]) else {}
        if o["type"] == "video":
            check("code", fourcc_value(o["compression"]), int(p["codec_tag"], 16))
            check("size", (o["width"], o["height"]), (p["width"], p["height"]))
            check("fps", o["fps"], float(fractions.Fraction(p["r_frame_rate"])))
            check("size", (o["width"], o["height"]), (int(mine["Width"]), int(mine["Height"])), "mediainfo")
            check("frames", o["frames"], int(mine["FrameCount"]), "mediainfo")
        elif o["type"] == "audio":
            check("code", o["format_tag"], int(p["codec_tag"], 16))
            check("channels", o["channels"], p["channels"])
            check("sample rate", o["sample_rate"], int(p["sample_rate"]))
            check("channels", o["channels"], int(mine["Channels"]), "mediainfo")
            check("sample rate", o["sample_rate"], int(float(mine["SamplingRate"])), "mediainfo")
            if o["format_tag"] in UNCOMPRESSED_AUDIO:
                check("bits", o["bits_per_sample"], p["bits_per_sample"])
    return problems


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
            problems += json_problems(tool, path)
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
    if not all(shutil.which(t) for t in ("ffmpeg", "mediainfo", "mencoder", "gst-launch-1.0")):
        print("ffmpeg, mediainfo, mencoder or gst-launch-1.0 missing: run scripts/setup-debian.sh")
        sys.exit(1)
    sys.exit(main())
