"""Studies on Dask: a local cluster and a scheduler with two workers give the loop's numbers,
a killed study resumes to every point exactly once, and bad studies exit 2 with one message."""
import csv
import json
import math
import os
import signal
import socket
import stat
import subprocess
import sys
import threading

import numpy as np
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
    if isinstance(text, bytes):
        path.write_bytes(text)
    else:
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


class Cluster:
    """A scheduler and single-threaded workers on 127.0.0.1 only (TLS with `tls`: CA file,
    certificate, key); every process is stopped at the end."""

    def __init__(self, folder, workers, tls=None):
        self.address_file = str(folder / "scheduler.json")
        self.common = ["--host", "127.0.0.1", "--no-dashboard"]
        if tls:
            self.common += ["--tls-ca-file", tls[0], "--tls-cert", tls[1], "--tls-key", tls[2]]
        protocol = ["--protocol", "tls"] if tls else []
        self.scheduler = subprocess.Popen([sys.executable, "-m", "dask", "scheduler", "--port", "0",
                                           "--scheduler-file", self.address_file, *protocol, *self.common],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.workers = [subprocess.Popen([sys.executable, "-m", "dask", "worker", "--scheduler-file",
                                          self.address_file, "--nthreads", "1", "--no-nanny", *self.common],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                        for _ in range(workers)]
        try:
            self._wait(workers, tls)
        except BaseException:
            self.stop()
            raise

    def _wait(self, workers, tls):
        from distributed import Client
        from distributed.security import Security

        security = Security(tls_ca_file=tls[0], tls_client_cert=tls[1], tls_client_key=tls[2],
                            require_encryption=True) if tls else None
        client = Client(scheduler_file=self.address_file, security=security, timeout="60s")
        if workers:
            client.wait_for_workers(workers, timeout=60)
        self.address = client.scheduler.address
        assert self.address.startswith(("tls" if tls else "tcp") + "://127.0.0.1:")
        assert all(w.startswith(self.address[:6] + "127.0.0.1:") for w in client.scheduler_info()["workers"])
        client.close()

    def stop(self):
        for process in [*self.workers, self.scheduler]:
            process.terminate()
        for process in [*self.workers, self.scheduler]:
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()


@pytest.fixture
def scheduler(tmp_path):
    cluster = Cluster(tmp_path, 2)
    try:
        yield cluster.address
    finally:
        cluster.stop()


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
    ("[vary]\nharmonic = [1]", ["--scheduler", "foo"], "--scheduler takes tcp://HOST:PORT or tls://HOST:PORT, not 'foo'"),
    ("[vary]\nharmonic = [1]", ["--tls-ca-file", "ca.pem"],
     "--tls-ca-file, --tls-cert and --tls-key go with a tls:// scheduler"),
    ("[vary]\nharmonic = [1]", ["--scheduler", "tls://127.0.0.1:1", "--tls-ca-file", "ca.pem"],
     "a tls:// scheduler needs --tls-ca-file, --tls-cert and --tls-key"),
    ("[vary]\nharmonic = [1]", ["--scheduler", "tls://127.0.0.1:1", "--tls-ca-file", "/no/ca.pem", "--tls-cert", "c",
                                "--tls-key", "k"], "--tls-ca-file /no/ca.pem: cannot be read (No such file or directory)"),
    ("[vary]\nharmonic = [1]", ["--plot", "maxwell:/no/such/folder/map.png"],
     "--plot: /no/such/folder/map.png cannot be written (No such file or directory)"),
    ("[vary]\n" + "".join(f'"{k}" = {{ start = 1, stop = 2, num = 100 }}\n' for k in range(2, 7)), [],
     "{s}: the study has 10000000000 design points; at most 1000000000 can be run"),
    ("[vary]\n\"2\" = { start = 1, stop = 2, num = 10000000000 }", [],
     "{s}: [vary] 2: num = 10000000000 is more than the 1000000000 design points a study can have"),
    (b"[vary]\nharmonic = [1] # \xff", [], "{s}: not a valid TOML file: byte 25 is not UTF-8"),
    ("[vary]\n\"2\" = [[1, 2]]", [], "{s}: [vary] 2: '2' takes a number or a text, not list"),
    ("[vary]\ncurves = [[0.5]]", [],
     "{s}: [vary] curves: 'curves' takes a text or a list of whole numbers, not a list holding 0.5"),
])
def test_bad_studies_exit_2_with_one_message(tmp_path, capsys, text, options, message):
    path, out = write(tmp_path, text), str(tmp_path / "r.csv")
    if options == ["--existing"]:
        open(out, "w").close()
        options = []
    assert main([path, "--out", out, *options]) == 2
    assert capsys.readouterr().err == "emforce.study: " + message.format(s=path, o=out) + "\n"
    assert not os.path.exists(out) or os.path.getsize(out) == 0


def header_line(keys):
    return ",".join([*keys, *emforce.study.OUTPUTS, "error"]) + "\n"


# A file that --out names and that this study did not write is never changed, nor is one that
# cannot be its results.
@pytest.mark.parametrize("content, message", [
    (b"hello", "{o}: its columns are not those of this study (harmonic, " + ", ".join(emforce.study.OUTPUTS) + ", error)"),
    (b"a,b\n1,2\n3", "{o}: its columns are not those of this study (harmonic, " + ", ".join(emforce.study.OUTPUTS)
     + ", error)"),
    (header_line(["harmonic"]).encode() + b"1,\xff\n", "{o}: line 2 is not UTF-8 text: not a results file of this study"),
    (header_line(["harmonic"]).encode() + b"1,2\n", "{o}: line 2 has 2 cells instead of 12"),
])
def test_resume_checks_the_file_before_it_changes_it(tmp_path, capsys, content, message):
    path, out = write(tmp_path, "[vary]\nharmonic = [1]"), tmp_path / "r.csv"
    out.write_bytes(content)
    assert main([path, "--out", str(out), "--resume"]) == 2
    assert capsys.readouterr().err == "emforce.study: " + message.format(o=out) + "\n"
    assert out.read_bytes() == content


def test_outputs_that_cannot_be_files_of_this_study_are_refused(tmp_path, capsys):
    path = write(tmp_path, "[vary]\nharmonic = [1]")
    os.symlink("loop-b", tmp_path / "loop-a")
    os.symlink("loop-a", tmp_path / "loop-b")
    os.symlink("missing/r.csv", tmp_path / "dangling")
    for out, resume, message in [
            (tmp_path, True, f"{tmp_path}: is a directory: choose a file for --out"),
            (tmp_path / "no" / "r.csv", False, f"{tmp_path / 'no' / 'r.csv'}: cannot be written (No such file or directory)"),
            (tmp_path / "loop-a", False, f"{tmp_path / 'loop-a'}: its links form a loop"),
            (tmp_path / "dangling", False, f"{tmp_path / 'dangling'}: its link leads to no file")]:
        assert main([path, "--out", str(out)] + ["--resume"] * resume) == 2
        assert capsys.readouterr().err == f"emforce.study: {message}\n"
    assert sorted(os.listdir(tmp_path)) == ["dangling", "loop-a", "loop-b", "study.toml"]


def test_an_unreachable_scheduler_or_one_without_workers_is_a_study_that_cannot_start(tmp_path, capsys):
    path, out = write(tmp_path, SMALL), str(tmp_path / "r.csv")
    with socket.socket() as unused:
        unused.bind(("127.0.0.1", 0))
        address = f"tcp://127.0.0.1:{unused.getsockname()[1]}"
    assert main([path, "--out", out, "--scheduler", address, "--connect-timeout", "1"]) == 2
    assert capsys.readouterr().err == f"emforce.study: cannot reach the scheduler at {address} within 1 s\n"
    cluster = Cluster(tmp_path, 0)
    try:
        assert main([path, "--out", out, "--scheduler", cluster.address, "--connect-timeout", "1"]) == 2
        assert capsys.readouterr().err == (f"emforce.study: the scheduler at {cluster.address} has no workers "
                                           "(waited 1 s)\n")
    finally:
        cluster.stop()
    assert not os.path.exists(out)


def test_design_points_are_made_from_their_index(tmp_path):
    study = emforce.study.load(write(tmp_path, """
[vary]
"2" = { start = 0.001, stop = 0.002, num = 2000001 }
"15" = { start = 0, stop = 50, num = 11 }
pattern = [0, 1, 2]
harmonic = [1, 3, 1]
"""))
    points = study.points
    assert len(points) == 2000001 * 11 * 3 * 3
    assert points[0] == {"2": 0.001, "15": 0, "pattern": 0, "harmonic": 1}
    assert points[len(points) - 1] == {"2": 0.002, "15": 50, "pattern": 2, "harmonic": 1}
    # A long range gives numpy's values, and a row's cells find their points again (both where
    # a list repeats a value).
    values = np.linspace(0.001, 0.002, 2000001)
    for i in (1, 7, 999999, 1999999):
        assert study.vary["2"][i] == values[i]
    cells = [repr(values[7]), "5", "1", "1"]
    expected = [((7 * 11 + 1) * 3 + 1) * 3 + h for h in (0, 2)]
    assert points.indices(cells, emforce.study.results.text) == expected
    assert all(points[i]["2"] == values[7] and points[i]["15"] == 5 for i in expected)
    assert points.indices(["0.0015000001", "5", "1", "1"], emforce.study.results.text) == []


def test_points_that_vary_a_file_read_it_each_and_a_file_that_does_not_read_is_a_row_with_its_message(tmp_path):
    from emforce.study import tasks
    record = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "examples", "team30a.json"))
    study = emforce.study.load(write(tmp_path, f"""
[base]
set = {{ "15" = 50 }}
[vary]
record = [{json.dumps(record)}, "missing.json"]
"2" = [0.002, "0.001x"]
"""))
    table, messages = tasks.run_points(tasks.Job(study), list(study.points))
    with pytest.raises(emforce.CalcError) as missing:
        emforce.Record(record=str(tmp_path / "missing.json"))
    rows = [[None if v != v else v for v in numbers] for numbers in table.tolist()]
    single = emforce.run(emforce.Record(record=record).set("15", 50).set("2", 0.002), threads=1)
    assert rows[0] == [dict(single.tabled, **single.statistics, odeError=single.ode_error)[name]
                       for name in emforce.study.OUTPUTS] and messages[0] is None
    assert messages[1] == "'0.001x' is not a valid floating point value"
    assert messages[2:] == [str(missing.value)] * 2 and all(v is None for row in rows[1:] for v in row)


def test_missing_points_are_found_across_chunks_of_the_bitmap():
    count = (1 << 20) * 2 + 5
    done_ranges = [range(0, 3), range(10, (1 << 20) + 7), range((1 << 21) - 1, (1 << 21) + 2)]
    results = emforce.study.Results.__new__(emforce.study.Results)
    results._study = type("S", (), {"points": range(count)})()
    results.done = bytearray((count + 7) // 8)
    for done in done_ranges:
        for i in done:
            results.done[i >> 3] |= 1 << (i & 7)
    assert list(results.missing()) == [range(3, 10), range((1 << 20) + 7, (1 << 21) - 1),
                                       range((1 << 21) + 2, count)]
    results.done = bytearray((count + 7) // 8)
    assert list(results.missing()) == [range(0, count)]


def test_results_go_through_a_fifo_or_a_device(tmp_path, capsys):
    path = write(tmp_path, SMALL.replace('"2" = [0.002, "0.001x", 0.004]', '"2" = [0.002]'))
    fifo = tmp_path / "rows"
    os.mkfifo(fifo)
    received = []
    reader = threading.Thread(target=lambda: received.append(fifo.read_text()))
    reader.start()
    try:
        assert main([path, "--out", str(fifo), "--workers", "1"]) == 0
    finally:
        if reader.is_alive():
            with open(fifo, "w"):
                pass
        reader.join()
    lines = received[0].splitlines()
    assert lines[0] == header_line(["harmonic", "2"]).strip() and sorted(line[:7] for line in lines[1:]) == \
        ["1,0.002", "3,0.002"]
    assert fifo.is_fifo()
    full = tmp_path / "full"
    try:
        os.mknod(full, stat.S_IFCHR | 0o666, os.makedev(1, 7))
    except PermissionError:
        pytest.skip("making a device node needs root")
    capsys.readouterr()
    assert main([path, "--out", str(full), "--workers", "1"]) == 2
    assert capsys.readouterr().err.endswith(f"emforce.study: {full}: cannot be written (No space left on device)\n")
    assert full.is_char_device()


def wait_for_rows(out, count, child):
    stop = threading.Event()
    while not stop.wait(0.05) and (not os.path.exists(out) or len(data_rows(out)) < count):
        assert child.poll() is None, "the study ended too soon"


def test_a_lost_worker_and_a_lost_scheduler_leave_every_point_once_after_resume(tmp_path):
    path, out = write(tmp_path, SLOW.replace("num = 10", "num = 40").replace("points = 300", "points = 1000")), str(tmp_path / "r.csv")
    cluster = Cluster(tmp_path, 2)
    try:
        child = subprocess.Popen([sys.executable, "-m", "emforce.study", path, "--out", out, "--scheduler",
                                  cluster.address, "--connect-timeout", "5"], stderr=subprocess.PIPE, text=True)
        try:
            wait_for_rows(out, 4, child)
            cluster.workers[0].kill()   # its batch is run again on the other worker
            wait_for_rows(out, 12, child)
            cluster.scheduler.kill()
            _, err = child.communicate(timeout=120)
        finally:
            child.kill()
    finally:
        cluster.stop()
    rows = data_rows(out)
    assert child.returncode == 1
    assert "Traceback" not in err and "ERROR" not in err
    assert err.splitlines()[-1] == (f"emforce.study: {40 - len(rows)} of 40 points got no result (the connection "
                                    "to the scheduler was lost): --resume completes them")
    assert len({r[0] for r in rows}) == len(rows)
    assert main([path, "--out", out, "--workers", "2", "--resume"]) == 0
    assert sorted(float(r[0]) for r in data_rows(out)) == sorted(float(v) for v in np.linspace(0, 45, 40))


def certificates(folder):
    """A certificate authority and one certificate for 127.0.0.1 that it signed (for the
    scheduler, the worker and the study alike), made with openssl for this test alone."""
    def openssl(*args):
        subprocess.run(["openssl", *args], check=True, cwd=folder, capture_output=True)

    (folder / "san.txt").write_text("subjectAltName=IP:127.0.0.1\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "1",
            "-subj", "/CN=emforce test authority")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "node.key", "-out", "node.csr", "-subj", "/CN=127.0.0.1")
    openssl("x509", "-req", "-in", "node.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial", "-out",
            "node.pem", "-days", "1", "-extfile", "san.txt")
    return tuple(str(folder / name) for name in ("ca.pem", "node.pem", "node.key"))


def test_a_study_on_a_tls_cluster(tmp_path, capsys):
    tls = certificates(tmp_path)
    study = write(tmp_path, SMALL)
    cluster = Cluster(tmp_path, 1, tls)
    try:
        out = str(tmp_path / "r.csv")
        options = ["--tls-ca-file", tls[0], "--tls-cert", tls[1], "--tls-key", tls[2]]
        assert main([study, "--out", out, "--scheduler", cluster.address, *options]) == 0
        # A plain connection to it gets nowhere, and nothing is written.
        plain = "tcp://" + cluster.address.removeprefix("tls://")
        assert main([study, "--out", str(tmp_path / "plain.csv"), "--scheduler", plain, "--connect-timeout", "1"]) == 2
        assert capsys.readouterr().err.endswith(f"emforce.study: cannot reach the scheduler at {plain} within 1 s\n")
        assert not os.path.exists(tmp_path / "plain.csv")
    finally:
        cluster.stop()
    assert study_rows(emforce.study.read_table(out, emforce.study.load(study))) == loop_table(
        emforce.study.load(study).points)


def test_a_link_planted_after_the_check_is_not_followed(tmp_path):
    study = emforce.study.load(write(tmp_path, "[vary]\nharmonic = [1]"))
    out, elsewhere = tmp_path / "r.csv", tmp_path / "elsewhere"
    elsewhere.write_text("untouched\n")
    results = emforce.study.Results(str(out), study, False)
    os.symlink("elsewhere", out)
    with pytest.raises(emforce.study.StudyError) as raised:
        results.open()
    assert str(raised.value) == f"{out}: cannot be written (File exists)"
    assert elsewhere.read_text() == "untouched\n" and out.is_symlink()
