"""The tune's cost in the running window: CPU time and resident memory of the process while
the tune plays and after it has ended by itself, against the window without the tune at
the same moments. Run on an X server with a sound server taking the sound.
Usage: measure_tune.py RUNS TUNE_SECONDS WINDOW WINDOW_WITHOUT_TUNE
Prints one line a measurement: "ROW cpu_seconds_over_10_s rss_kib threads".
"""
import os
import subprocess
import sys
import time

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def status(pid, key):
    with open(f"/proc/{pid}/status") as lines:
        for line in lines:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return -1


def synthesiser_loaded(pid):
    with open(f"/proc/{pid}/maps") as maps:
        return "libfluidsynth" in maps.read()


def measure(pid, row, start, at, seconds=10):
    time.sleep(max(0, start + at - time.monotonic()))
    before = cpu_seconds(pid)
    time.sleep(seconds)
    print(f"{row} {cpu_seconds(pid) - before:.2f} {status(pid, 'VmRSS')} {status(pid, 'Threads')}", flush=True)


def tune_over(pid, start, tune_seconds):
    """Seconds from the start to the synthesiser's unloading, once the tune has played."""
    time.sleep(max(0, start + tune_seconds - time.monotonic()))
    while synthesiser_loaded(pid) and time.monotonic() < start + tune_seconds + 60:
        time.sleep(0.1)
    return time.monotonic() - start


def main():
    runs, tune_seconds, window, silent = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3], sys.argv[4]
    # The tune starts once the window is on screen and its synthesiser has started. It is
    # over when the synthesiser has been unloaded; the window without it is measured at
    # the same moment after its start.
    for _ in range(runs):
        window_process = subprocess.Popen([window], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        start = time.monotonic()
        measure(window_process.pid, "playing", start, 3)
        over = tune_over(window_process.pid, start, tune_seconds)
        print(f"over-after-s {over:.1f} 0 0", flush=True)
        measure(window_process.pid, "ended", start, over + 1)
        window_process.terminate()
        window_process.wait()
        silent_process = subprocess.Popen([silent], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        start = time.monotonic()
        measure(silent_process.pid, "no-tune", start, 3)
        measure(silent_process.pid, "no-tune-later", start, over + 1)
        silent_process.terminate()
        silent_process.wait()


main()
