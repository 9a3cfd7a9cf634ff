"""The tune's cost in the running window: CPU time and memory of the window's process and
its tune player together, while the tune plays and after it has ended by itself, against
the window without the tune at the same moments. Run on an X server with a sound server
taking the sound.
Usage: measure_tune.py RUNS TUNE_SECONDS WINDOW WINDOW_WITHOUT_TUNE
Prints one line a measurement: "ROW cpu_seconds_over_10_s rss_kib pss_kib threads players".
CPU counts the players that ended within the 10 s too (the window's reaped children).
RSS adds the processes' resident sets, counting the libraries both map twice; PSS divides
each shared page among the processes that map it.
"""
import os
import subprocess
import sys
import time

TICKS = os.sysconf("SC_CLK_TCK")


def stat_fields(pid):
    with open(f"/proc/{pid}/stat") as stat:
        return stat.read().rsplit(")", 1)[1].split()


def children(pid):
    found = []
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/children") as listed:
            found += [int(child) for child in listed.read().split()]
    return found


def cpu_seconds(pid):
    """The window's CPU time with that of its reaped children, and of its live ones."""
    fields = stat_fields(pid)
    ticks = sum(int(f) for f in fields[11:15])  # utime, stime, cutime, cstime
    for child in children(pid):
        try:
            ticks += sum(int(f) for f in stat_fields(child)[11:13])
        except OSError:
            pass
    return ticks / TICKS


def status(pid, key):
    with open(f"/proc/{pid}/status") as lines:
        for line in lines:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def pss(pid):
    with open(f"/proc/{pid}/smaps_rollup") as lines:
        for line in lines:
            if line.startswith("Pss:"):
                return int(line.split()[1])
    return 0


def measure(pid, row, start, at, seconds=10):
    time.sleep(max(0, start + at - time.monotonic()))
    before = cpu_seconds(pid)
    time.sleep(seconds)
    cpu = cpu_seconds(pid) - before
    processes = [pid] + children(pid)
    rss = sum(status(p, "VmRSS") for p in processes)
    proportional = sum(pss(p) for p in processes)
    print(f"{row} {cpu:.2f} {rss} {proportional} {status(pid, 'Threads')} {len(processes) - 1}", flush=True)


def tune_over(pid, start, tune_seconds):
    """Seconds from the start to the tune player's end, once the tune has played."""
    time.sleep(max(0, start + tune_seconds - time.monotonic()))
    while children(pid) and time.monotonic() < start + tune_seconds + 60:
        time.sleep(0.1)
    return time.monotonic() - start


def main():
    runs, tune_seconds, window, silent = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3], sys.argv[4]
    # The tune starts once the window is on screen and its player has started. It is over
    # when the player has ended; the window without it is measured at the same moment
    # after its start.
    for _ in range(runs):
        window_process = subprocess.Popen([window], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        start = time.monotonic()
        measure(window_process.pid, "playing", start, 3)
        over = tune_over(window_process.pid, start, tune_seconds)
        print(f"over-after-s {over:.1f} 0 0 0 0", flush=True)
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
