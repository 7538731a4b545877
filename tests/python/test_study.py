"""Studies on Dask: a local cluster and a scheduler with two workers give the loop's numbers,
a killed study resumes to every point exactly once, and bad studies exit 2 with one message."""
import csv
import math
import os
import signal
import subprocess
import sys
import threading

import pytest

import emforce
import emforce.study
from emforce.study.__main__ import main

SMALL = """
[base]
sample = "Data 1"
geometry = "cylindrical"
curves = "0,1,2,3"
points = 2
set = { "8" = 40 }

[vary]
harmonic = [1, 3]
"2" = [0.002, "0.001x", 0.004]   # the text does not convert: a row with the message
"""


def write(folder, text, name="study.toml"):
    path = folder / name
    path.write_text(text)
    return str(path)


def loop_table(points):
    """The outputs of the same points run one by one without the study."""
    rows = []
    for point in points:
        record = emforce.Record(sample="Data 1").set("geometry", "cylindrical").set("curves", "0,1,2,3")
        record.set("points", 2).set("8", 40)
        for key, value in point.items():
            record.set(key, value)
        try:
            result, error = emforce.run(record, threads=1), None
        except emforce.CalcError as failure:
            result, error = failure.result, str(failure)
        values = dict(result.tabled or {}, **result.statistics, odeError=result.ode_error)
        rows.append(([values.get(name) for name in emforce.study.OUTPUTS], error))
    return rows


def study_rows(table):
    def value(v):
        return None if math.isnan(v) else v

    count = len(table["error"])
    return [([value(table[name][i]) for name in emforce.study.OUTPUTS], table["error"][i]) for i in range(count)]


def test_local_cluster_of_two_workers_equals_a_plain_loop(tmp_path):
    study = emforce.study.load(write(tmp_path, SMALL))
    out, picture = str(tmp_path / "r.csv"), tmp_path / "map.svg"
    table = emforce.study.run(study, out, workers=2, plot=f"maxwell:{picture}", progress=False)
    assert study_rows(table) == loop_table(study.points)
    assert table["error"][1] == "'0.001x' is not a valid floating point value"
    with open(out, newline="") as file:
        rows = list(csv.reader(file))
    assert rows[0] == ["harmonic", "2", *emforce.study.OUTPUTS, "error"]
    assert sorted(tuple(r[:2]) for r in rows[1:]) == sorted(
        [(str(h), g) for h in (1, 3) for g in ("0.002", "0.001x", "0.004")])
    assert picture.read_text().startswith("<?xml")


@pytest.fixture
def scheduler(tmp_path):
    """A scheduler and two single-threaded workers on 127.0.0.1 only; stopped afterwards."""
    address_file = str(tmp_path / "scheduler.json")
    common = ["--host", "127.0.0.1", "--no-dashboard", "--dashboard-address", "127.0.0.1:0"]
    processes = [subprocess.Popen([sys.executable, "-m", "dask", "scheduler", "--port", "0",
                                   "--scheduler-file", address_file, *common],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
    try:
        from distributed import Client

        for _ in range(2):
            processes.append(subprocess.Popen(
                [sys.executable, "-m", "dask", "worker", "--scheduler-file", address_file, "--nthreads", "1",
                 "--no-nanny", *common], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        client = Client(scheduler_file=address_file, timeout="60s")
        client.wait_for_workers(2, timeout=60)
        address = client.scheduler.address
        assert address.startswith("tcp://127.0.0.1:")
        assert all(w.startswith("tcp://127.0.0.1:") for w in client.scheduler_info()["workers"])
        client.close()
        yield address
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()


def test_a_scheduler_and_two_workers_give_the_same_table(tmp_path, scheduler):
    study = emforce.study.load(write(tmp_path, SMALL))
    table = emforce.study.run(study, str(tmp_path / "r.csv"), scheduler=scheduler, progress=False)
    assert study_rows(table) == loop_table(study.points)


SLOW = """
[base]
sample = "Data 1"
geometry = "cylindrical"
harmonic = 17
curves = "all"
points = 300

[vary]
"15" = { start = 0, stop = 45, num = 10 }
"""


def data_rows(path):
    with open(path, newline="") as file:
        return list(csv.reader(file))[1:]


def test_resume_after_a_kill_computes_each_missing_point_once(tmp_path):
    path, out = write(tmp_path, SLOW), str(tmp_path / "r.csv")
    command = [sys.executable, "-m", "emforce.study", path, "--out", out, "--workers", "1"]
    child = subprocess.Popen(command, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        stop = threading.Event()
        while not stop.wait(0.05) and (not os.path.exists(out) or len(data_rows(out)) < 2):
            assert child.poll() is None, "the study ended before it could be killed"
    finally:
        os.killpg(child.pid, signal.SIGKILL)  # the study and its workers
        child.wait(timeout=30)
    before = data_rows(out)
    assert 2 <= len(before) < 10
    with open(out, "a") as file:
        file.write("45.0,0.5")  # a row cut off as it was written

    picture = tmp_path / "line.png"
    table = emforce.study.run(path, out, workers=1, resume=True, plot=f"maxwell:{picture}", progress=False)
    after = data_rows(out)
    assert after[:len(before)] == before
    assert sorted(float(r[0]) for r in after) == [5.0 * i for i in range(10)]
    assert not any(math.isnan(v) for v in table["maxwell"])
    assert picture.read_bytes().startswith(b"\x89PNG")


@pytest.mark.parametrize("text, options, message", [
    ("colour = 1\n[vary]\nharmonic = [1]", [], "{s}: unknown key 'colour' (a study has mode, [base] and [vary])"),
    ("[base]\ncolour = 1\n[vary]\nharmonic = [1]", [],
     "{s}: [base] colour: 'colour' is neither a --set key nor an option of the command line"),
    ("[vary]\ncolour = [1]", [], "{s}: [vary] colour: 'colour' is neither a --set key nor an option of the command line"),
    ("[vary]\npattern = [1, 14]", [], "{s}: [vary] pattern: --pattern takes a whole number from 0 to 13, not '14'"),
    ("[vary]\n\"2\" = { start = 0.001, stop = 0.002, num = 0 }", [], "{s}: [vary] 2: the range is empty"),
    ("[vary]\n\"2\" = []", [], "{s}: [vary] 2: the range is empty"),
    ("[vary]\n\"2\" = { start = 0.001, stop = 0.002, number = 3 }", [],
     "{s}: [vary] 2: unknown key 'number' in the range (start, stop, num, log)"),
    ("[vary]\n\"2\" = { start = 0, stop = 0.002, num = 3, log = true }", [],
     "{s}: [vary] 2: a log range needs start and stop above 0"),
    ("mode = \"zip\"\n[vary]\n\"2\" = [0.001, 0.002]\nharmonic = [1]", [],
     "{s}: mode \"zip\" needs lists of one length, not 1 and 2"),
    ("[base]\n", [], "{s}: [vary] is missing or empty: a study varies at least one key"),
    ("[vary\nharmonic = [1]", [], "{s}: not a valid TOML file: Expected ']' at the end of a table declaration "
     "(at line 1, column 6)"),
    ("[vary]\nharmonic = [1]", ["--plot", "torque:map.png"],
     "--plot: unknown output 'torque': choose one of maxwell, lorentz, material, impulse, ratio, avgBalance, "
     "maxBalance, avgCoenergy, avgPower, odeError"),
    ("[vary]\nharmonic = [1]", ["--plot", "maxwell:map.jpg"], "--plot: the file must end in .png or .svg, not 'map.jpg'"),
    ("[vary]\nharmonic = [1]", ["--workers", "0"], "--workers must be at least 1"),
    ("[vary]\nharmonic = [1]", ["--existing"], "{o} exists: add --resume to complete it, or choose another --out"),
])
def test_bad_studies_exit_2_with_one_message(tmp_path, capsys, text, options, message):
    path, out = write(tmp_path, text), str(tmp_path / "r.csv")
    if options == ["--existing"]:
        open(out, "w").close()
        options = []
    assert main([path, "--out", out, *options]) == 2
    assert capsys.readouterr().err == "emforce.study: " + message.format(s=path, o=out) + "\n"
    assert not os.path.exists(out) or os.path.getsize(out) == 0
