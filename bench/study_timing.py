"""Times studies on the local Dask cluster against emforce.run in a plain loop.

    PYTHONPATH=build/python /usr/bin/python3 bench/study_timing.py

Prints the example study's time on 1 and 2 workers (whole command: cluster start, points,
map), and the overhead per design point of a study of points of 0.1 s and more against the
same points run one by one in this process (threads=1, as each study worker does): the
marginal overhead from two study sizes, and the whole overhead with the cluster's start.
Each time is the fastest of REPEATS runs (3 by default), the compared runs alternating, since
the machine's other work lands on one of them otherwise (EMFORCE_BENCH_SIZES=20,200 gives
the two study sizes, EMFORCE_BENCH_POINTS the points per curve: 1350 by default, about 0.1 s
a point); the processor seconds of the study's processes against the loop's show the
overhead whatever the machine's load.
"""
import os
import sys
import tempfile
import time

import emforce
import emforce.study
from emforce.study.design import base_record
from study_scale import run_watched

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLE = os.path.join(ROOT, "examples", "torque_speed_gap.toml")

HEAVY = """
[base]
sample = "Data 1"
geometry = "cylindrical"
harmonic = 17
curves = "all"
points = {points}

[vary]
"15" = {{ start = 0, stop = 45, num = {num} }}
"""


REPEATS = int(os.environ.get("EMFORCE_BENCH_REPEATS", "3"))


def timed(action):
    start = time.monotonic()
    action()
    return time.monotonic() - start


def fastest(*actions):
    """The fastest time of each action over REPEATS alternating rounds."""
    best = [float("inf")] * len(actions)
    for _ in range(REPEATS):
        for i, action in enumerate(actions):
            best[i] = min(best[i], action())
    return best


# The least processor seconds seen of each command (by name), beside its fastest time: unlike
# the times, they hardly depend on what else the machine runs.
PROCESSOR = {}


def study_command(study, workers, folder, plot=False):
    out = os.path.join(folder, f"out-{time.monotonic_ns()}.csv")
    command = [sys.executable, "-m", "emforce.study", study, "--out", out, "--workers", str(workers)]
    if plot:
        command += ["--plot", f"maxwell:{os.path.join(folder, 'map.png')}"]
    seconds, _, status = run_watched(command)
    assert status == 0, status
    name = ("study", study, workers)
    PROCESSOR[name] = min(PROCESSOR.get(name, float("inf")), sum(run_watched.processor.values()))
    return seconds


def loop(study):
    def run_all():
        for point in study.points:
            record = base_record(study.files)
            for key, value in study.changes + list(point.items()):
                record.set(key, value)
            emforce.run(record, threads=1)
    processor = time.process_time()
    seconds = timed(run_all)
    name = ("loop", study.path)
    PROCESSOR[name] = min(PROCESSOR.get(name, float("inf")), time.process_time() - processor)
    return seconds


def main():
    with tempfile.TemporaryDirectory() as folder:
        example = emforce.study.load(EXAMPLE)
        one, two, plain = fastest(lambda: study_command(EXAMPLE, 1, folder, True),
                                  lambda: study_command(EXAMPLE, 2, folder, True), lambda: loop(example))
        print(f"example study, {len(example.points)} points: 1 worker {one:.2f} s, 2 workers {two:.2f} s, "
              f"ratio {one / two:.2f}; emforce.run loop {plain:.2f} s")

        points = int(os.environ.get("EMFORCE_BENCH_POINTS", "1350"))
        sizes = tuple(int(n) for n in os.environ.get("EMFORCE_BENCH_SIZES", "10,40").split(","))
        runs = {}
        def path(num):
            return os.path.join(folder, f"heavy{num}.toml")

        for num in sizes:
            with open(path(num), "w") as file:
                file.write(HEAVY.format(points=points, num=num))
            study = emforce.study.load(path(num))
            runs[num] = fastest(lambda: study_command(path(num), 1, folder), lambda: loop(study))
        (s1, l1), (s2, l2) = runs[sizes[0]], runs[sizes[1]]
        per_point = l2 / sizes[1]
        marginal = ((s2 - s1) - (l2 - l1)) / (sizes[1] - sizes[0])
        whole = (s2 - l2) / sizes[1]
        print(f"points of {per_point:.3f} s ({points} points per curve, 10 curves, H = 17), 1 worker:")
        print(f"  {sizes[1]} points: study {s2:.2f} s, loop {l2:.2f} s; {sizes[0]} points: study {s1:.2f} s, "
              f"loop {l1:.2f} s")
        print(f"  overhead per point: marginal {marginal * 1000:.1f} ms = {100 * marginal / per_point:.1f} %; "
              f"with the cluster's start over {sizes[1]} points {whole * 1000:.0f} ms = "
              f"{100 * whole / per_point:.0f} %")
        cpu = {num: (PROCESSOR["study", path(num), 1], PROCESSOR["loop", path(num)]) for num in sizes}
        (p1, q1), (p2, q2) = cpu[sizes[0]], cpu[sizes[1]]
        cpu_marginal = ((p2 - p1) - (q2 - q1)) / (sizes[1] - sizes[0])
        print(f"  processor time: study {p2:.2f} s (all its processes), loop {q2:.2f} s for {sizes[1]} points; "
              f"marginal overhead per point {cpu_marginal * 1000:.1f} ms = "
              f"{100 * cpu_marginal / (q2 / sizes[1]):.1f} % of a point's")


if __name__ == "__main__":
    main()
