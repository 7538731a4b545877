"""Times studies on the local Dask cluster against emforce.run in a plain loop.

    PYTHONPATH=build/python /usr/bin/python3 bench/study_timing.py

Prints the example study's time on 1 and 2 workers (whole command: cluster start, points,
map), and the overhead per design point of a study of points of 0.1 s and more against the
same points run one by one in this process (threads=1, as each study worker does): the
marginal overhead from two study sizes, and the whole overhead with the cluster's start.
Each time is the fastest of REPEATS runs (3 by default), the compared runs alternating, since
the machine's other work lands on one of them otherwise.
"""
import os
import subprocess
import sys
import tempfile
import time

import emforce
import emforce.study
from emforce.study.design import base_record

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


def study_command(study, workers, folder, plot=False):
    out = os.path.join(folder, f"out-{time.monotonic_ns()}.csv")
    command = [sys.executable, "-m", "emforce.study", study, "--out", out, "--workers", str(workers)]
    if plot:
        command += ["--plot", f"maxwell:{os.path.join(folder, 'map.png')}"]
    return timed(lambda: subprocess.run(command, check=True, stderr=subprocess.DEVNULL))


def loop(study):
    def run_all():
        for point in study.points:
            record = base_record(study.files)
            for key, value in study.changes + list(point.items()):
                record.set(key, value)
            emforce.run(record, threads=1)
    return timed(run_all)


def main():
    with tempfile.TemporaryDirectory() as folder:
        example = emforce.study.load(EXAMPLE)
        one, two, plain = fastest(lambda: study_command(EXAMPLE, 1, folder, True),
                                  lambda: study_command(EXAMPLE, 2, folder, True), lambda: loop(example))
        print(f"example study, {len(example.points)} points: 1 worker {one:.2f} s, 2 workers {two:.2f} s, "
              f"ratio {one / two:.2f}; emforce.run loop {plain:.2f} s")

        points = int(os.environ.get("EMFORCE_BENCH_POINTS", "200"))
        sizes = (10, 40)
        runs = {}
        for num in sizes:
            path = os.path.join(folder, f"heavy{num}.toml")
            with open(path, "w") as file:
                file.write(HEAVY.format(points=points, num=num))
            study = emforce.study.load(path)
            runs[num] = fastest(lambda: study_command(path, 1, folder), lambda: loop(study))
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


if __name__ == "__main__":
    main()
