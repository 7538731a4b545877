"""Studies at scale: throughput of cheap points against emforce.run in a loop, and a study of a
million points (its peak memory, its rate, and a resume after it was killed).

    PYTHONPATH=build/python /usr/bin/python3 bench/study_scale.py [throughput] [million]

throughput: a study of 200,000 points of "Data 1", linear, H = 1, no curves (about 0.15 ms each
on an idle core), the whole command with the cluster's start, on 2 workers, against 2 x the
points per second of the same points through emforce.run in a loop in this process, and
against two such loops run at once in two processes (which share the machine with its other
work as the two workers do), measured before and after the study, in EMFORCE_BENCH_REPEATS
rounds (3 by default; the machine's load is printed: it is shared).
million: 1,000,000 such points on 2 workers, killed (SIGKILL) after about a third and resumed;
every point must then have exactly one row. Prints the peak resident memory of the study
process (VmHWM, its own, not its workers') and the rate.
"""
import csv
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

import emforce
import emforce.study

# Rounds of the throughput comparison: the machine's other work lands on one side otherwise.
ROUNDS = int(os.environ.get("EMFORCE_BENCH_REPEATS", "3"))

CHEAP = """
[base]
sample = "Data 1"
geometry = "linear"
harmonic = 1
curves = "none"

[vary]
"15" = {{ start = 0, stop = 45, num = {first} }}
"2" = {{ start = 0.001, stop = 0.002, num = {second} }}
"""


def load():
    return os.getloadavg()[0]


def loop_rate(study, count):
    """Points per second of the study's first `count` points run one by one here, as a user's
    loop would: the record of each point made and run on one thread; and the processor seconds
    a point took."""
    base = emforce.Record(sample="Data 1").set("geometry", "linear").set("harmonic", 1).set("curves", "none")
    points = [study.points[i] for i in range(count)]
    start, processor = time.perf_counter(), time.process_time()
    for point in points:
        record = base.copy()
        for key, value in point.items():
            record.set(key, value)
        emforce.run(record, threads=1)
    return count / (time.perf_counter() - start), (time.process_time() - processor) / count


def two_loops_rate(study, count):
    """Points per second of two such loops at once, each in a process of its own forked from
    this one, each of `count` points: two cores of emforce.run side by side, sharing the machine
    with its other work as the study's two workers do."""
    import multiprocessing

    context = multiprocessing.get_context("fork")
    loops = [context.Process(target=loop_rate, args=(study, count)) for _ in range(2)]
    start = time.perf_counter()
    for process in loops:
        process.start()
    for process in loops:
        process.join()
    return 2 * count / (time.perf_counter() - start)


def batch_rate(study, count):
    """Points per second, and the processor seconds a point took, of the same points through
    emforce.run_batch here (batches of 2,000 on one thread): a study's workers without the study."""
    base = emforce.Record(sample="Data 1").set("geometry", "linear").set("harmonic", 1).set("curves", "none")
    keys = study.points.keys
    rows = [[study.points[i][key] for key in keys] for i in range(count)]
    start, processor = time.perf_counter(), time.process_time()
    for first in range(0, count, 2000):
        emforce.run_batch(base, keys, rows[first:first + 2000], threads=1)
    return count / (time.perf_counter() - start), (time.process_time() - processor) / count


def processor_seconds(root, seen):
    """Adds the processor seconds of the process tree below `root` so far to `seen` (by pid)."""
    import psutil

    try:
        tree = [psutil.Process(root)]
        tree += tree[0].children(recursive=True)
    except psutil.Error:
        return
    for process in tree:
        try:
            times = process.cpu_times()
            seen[process.pid] = times.user + times.system
        except psutil.Error:
            pass


def study_command(path, out, *options):
    return [sys.executable, "-m", "emforce.study", path, "--out", out, "--workers", "2", *options]


def peak_memory(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) * 1024
    except OSError:
        pass
    return None


def run_watched(command, stop_after_rows=None, out=None):
    """Runs a study command, following the study process's peak memory; with stop_after_rows
    kills it (SIGKILL, with its workers) once `out` has that many lines. Returns (seconds, peak
    bytes, exit status)."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stderr=subprocess.DEVNULL, start_new_session=True)
    peak = 0
    stop = threading.Event()
    run_watched.processor = {}
    while child.poll() is None:
        peak = max(peak, peak_memory(child.pid) or 0)
        processor_seconds(child.pid, run_watched.processor)
        if stop_after_rows and os.path.exists(out) and os.path.getsize(out) > stop_after_rows * 150:
            with open(out, "rb") as file:
                if sum(1 for _ in file) > stop_after_rows:
                    os.killpg(child.pid, signal.SIGKILL)
        stop.wait(0.05)  # each process's last processor time is that of the last look
    child.wait()
    return time.perf_counter() - start, peak, child.returncode


def throughput(folder):
    path = os.path.join(folder, "cheap.toml")
    with open(path, "w") as file:
        file.write(CHEAP.format(first=400, second=500))
    study = emforce.study.load(path)
    print(f"throughput: {len(study.points)} points, {ROUNDS} rounds of loop, study, loop (load {load():.1f})")
    ratios, pairs, shares = [], [], []
    for round_ in range(1, ROUNDS + 1):
        before, cpu_before = loop_rate(study, 20000)
        pair_before = two_loops_rate(study, 10000)
        out = os.path.join(folder, f"cheap{round_}.csv")
        seconds, _, status = run_watched(study_command(path, out))
        assert status == 0, status
        os.remove(out)
        study_processor = sum(run_watched.processor.values())
        pair_after = two_loops_rate(study, 10000)
        after, cpu_after = loop_rate(study, 20000)
        batched, cpu_batched = batch_rate(study, 20000)
        rate, one, pair = len(study.points) / seconds, (before + after) / 2, (pair_before + pair_after) / 2
        # Processor time depends less on what else the machine runs: the study's whole process
        # tree (this command, its cluster, its workers) against the loop's own.
        loop_processor = len(study.points) * (cpu_before + cpu_after) / 2
        ratios.append(rate / (2 * one))
        pairs.append(rate / pair)
        shares.append(loop_processor / study_processor)
        print(f"  round {round_}: loop {before:.0f} and {after:.0f} points/s on one core (points of "
              f"{1000 / one:.3f} ms), two loops at once {pair_before:.0f} and {pair_after:.0f} points/s; "
              f"emforce.run_batch {batched:.0f} points/s\n"
              f"    study on 2 workers, whole command: {seconds:.1f} s = {rate:.0f} points/s = "
              f"{100 * ratios[-1]:.0f} % of 2 x the loop, {100 * pairs[-1]:.0f} % of two loops at once, "
              f"{100 * rate / (2 * batched):.0f} % of 2 x emforce.run_batch\n"
              f"    processor time: study {study_processor:.1f} s (all its processes), loop "
              f"{loop_processor:.1f} s = {100 * shares[-1]:.0f} % of the study's, run_batch "
              f"{len(study.points) * cpu_batched:.1f} s (load {load():.1f})")
    print(f"  study against 2 x the loop: {', '.join(f'{100 * r:.0f} %' for r in ratios)}; against two loops "
          f"at once: {', '.join(f'{100 * r:.0f} %' for r in pairs)}; the loop's processor time against the "
          f"study's: {', '.join(f'{100 * r:.0f} %' for r in shares)}")


def million(folder):
    path = os.path.join(folder, "million.toml")
    with open(path, "w") as file:
        file.write(CHEAP.format(first=1000, second=1000))
    out = os.path.join(folder, "million.csv")
    print(f"million: load {load():.1f}")
    first, peak1, status1 = run_watched(study_command(path, out), stop_after_rows=330000, out=out)
    second, peak2, status2 = run_watched(study_command(path, out, "--resume"))
    keys, rows = set(), 0
    with open(out, newline="") as file:
        reader = csv.reader(file)
        next(reader)
        for row in reader:
            keys.add((row[0], row[1]))
            rows += 1
    print(f"  killed after {first:.0f} s (status {status1}), resumed in {second:.0f} s (status {status2}); "
          f"load {load():.1f}")
    print(f"  rows {rows}, distinct points {len(keys)} of 1000000")
    print(f"  peak resident memory of the study process: {peak1 / 2**20:.0f} MB (first run), "
          f"{peak2 / 2**20:.0f} MB (resumed)")
    print(f"  rate over both runs: {1000000 / (first + second):.0f} points/s")


def main():
    wanted = sys.argv[1:] or ["throughput", "million"]
    with tempfile.TemporaryDirectory() as folder:
        if "throughput" in wanted:
            throughput(folder)
        if "million" in wanted:
            million(folder)


if __name__ == "__main__":
    main()
