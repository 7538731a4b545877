"""The module emforce: records, runs equal to the command line's JSON bit for bit, errors, Ctrl-C."""
import os
import pickle
import signal
import subprocess
import sys
import textwrap
import threading

import numpy as np
import pytest

import emforce

TEAM30A = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "team30a.json")

# Options of the command line and the same changes made with Record.set.
CASES = {
    "stack of regions": (["--record", TEAM30A, "--set", "15=50"], [("record", TEAM30A), ("15", 50)]),
    "start-up": ([], []),
    "cylindrical, every curve": (
        ["--sample", "Data 1", "--geometry", "cylindrical", "--harmonic", "5", "--curves", "all", "--points", "10",
         "--set", "2=0,002"],
        [("sample", "Data 1"), ("geometry", "cylindrical"), ("harmonic", 5), ("curves", "all"), ("points", 10),
         ("2", 0.002)]),
    "synchronous linear, load angle": (
        ["--sample", "Data 1", "--motor", "synchronous", "--geometry", "linear", "--curves", "0,1,4",
         "--set", "ni12d=0,25", "--method", "6"],
        [("sample", "Data 1"), ("motor", "synchronous"), ("geometry", "linear"), ("curves", [0, 1, 4]),
         ("ni12d", 0.25), ("method", 6)]),
    "series functions, spherical": (["--bessel", "series", "--harmonic", "3"], [("bessel", "series"), ("harmonic", 3)]),
    "legacy formulation, linear harmonics": (
        ["--formulation", "legacy", "--geometry", "linear", "--harmonic", "17"],
        [("formulation", "legacy"), ("geometry", "linear"), ("harmonic", 17)]),
    "abandoned: kp = 0": (["--set", "12=0"], [("12", 0)]),
}


def module_report(changes):
    record = emforce.Record()
    for key, value in changes:
        record.set(key, value)
    try:
        return emforce.run(record)
    except emforce.CalcError as error:
        assert str(error) == error.result.error
        return error.result


@pytest.mark.parametrize("case", CASES)
def test_results_equal_the_command_lines_json(cli, case):
    options, changes = CASES[case]
    status, expected = cli(*options)
    result = module_report(changes)
    assert (status == 0) == (result.error is None)
    assert [list(h) for h in result.harmonics] == expected["harmonics"]
    assert result.tabled == expected["tabled"]
    assert result.regions == expected["regions"]
    assert result.report == expected["report"]
    assert {str(slot): {"title": c.title, "x": c.x.tolist(), "y": c.y.tolist()}
            for slot, c in result.curves.items()} == expected["curves"]
    assert result.statistics == expected["statistics"]
    assert result.ode_error == expected["odeError"]
    assert (result.edit2, result.edit3, result.error) == (expected["edit2"], expected["edit3"], expected["error"])
    assert result.bessel == expected["bessel"]
    assert result.formulation == expected["formulation"]


def test_curves_are_numpy_pairs_with_titles():
    result = emforce.run(emforce.Record().set("points", 4))
    x, y = result.curves[1]
    assert isinstance(x, np.ndarray) and x.dtype == np.float64 and len(y) == 5
    assert result.curves[1].title == "F/T Lorentz"
    assert x.tolist() == [0.0, 12.5, 25.0, 37.5, 50.0]


def test_records_from_every_source_and_back(tmp_path):
    record = emforce.Record(sample="Data 1").set("2", 0.002).set("min-speed", -5).set("6", "250")
    assert '"0,002"' in record.json() and '"-5"' in record.json()
    path = str(tmp_path / "run.json")
    record.save(path)
    assert emforce.Record(record=path) == record
    assert emforce.Record.from_json(record.json()) == record
    assert pickle.loads(pickle.dumps(record)) == record
    assert emforce.Record().set("record", path) == record
    # A run leaves its record as it was, so the same record reruns to the same numbers.
    first = emforce.run(record.set("0", 0.152).set("geometry", "linear"), threads=1)
    assert emforce.run(record, literal=True).tabled == first.tabled


@pytest.mark.parametrize("make, kind, message", [
    (lambda: emforce.Record().set("colour", 1), ValueError,
     "'colour' is neither a --set key nor an option of the command line"),
    (lambda: emforce.Record().set("threads", 2), ValueError,
     "'threads' does not change the record (threads and literal go to emforce.run)"),
    (lambda: emforce.Record().set("pattern", 14), ValueError,
     "--pattern takes a whole number from 0 to 13, not '14'"),
    (lambda: emforce.Record().set("2", True), TypeError, "a value is a number or a text, not True or False"),
    (lambda: emforce.Record(sample="nothing"), ValueError, "no sample set is called 'nothing' (see --list-samples)"),
    (lambda: emforce.Record(params="/nonexistent/p.txt"), emforce.CalcError, "Cannot open file /nonexistent/p.txt"),
    (lambda: emforce.Record.from_json("{}"), emforce.CalcError,
     "Record file text: not a run record: key 'format' must be \"emforce-record\""),
    (lambda: emforce.run(emforce.Record().set("2", "0.001x")), emforce.CalcError,
     "'0.001x' is not a valid floating point value"),
    (lambda: emforce.run(emforce.Record(), threads=0), ValueError, "threads takes a whole number from 1 to 1024, not 0"),
    (lambda: emforce.run(emforce.Record(), threads=10**9), ValueError,
     "threads takes a whole number from 1 to 1024, not 1000000000"),
    (lambda: emforce.run(emforce.Record(), threads=2.0), TypeError, "threads is a whole number or None, not float"),
    (lambda: emforce.Record().set("2", [1, 2]), TypeError, "'2' takes a number or a text, not list"),
    (lambda: emforce.Record().set("geometry", 1.5), TypeError, "'geometry' takes a text, not float"),
    (lambda: emforce.Record().set("points", 2.5), TypeError, "'points' takes a whole number or a text, not float"),
    (lambda: emforce.Record().set("curves", [0.5]), TypeError,
     "'curves' takes a text or a list of whole numbers, not a list holding 0.5"),
    (lambda: emforce.Record().set("curves", [True]), TypeError,
     "'curves' takes a text or a list of whole numbers, not a list holding True"),
    (lambda: emforce.Record().set("2", "0,001\0junk"), ValueError, "'2': a text cannot hold the character NUL"),
    (lambda: emforce.Record().set("2", "0,001\udc80"), ValueError,
     "'2': the text is not valid Unicode (it holds a lone surrogate)"),
    (lambda: emforce.Record().set("2\udc80", 1), ValueError,
     "a key: the text is not valid Unicode (it holds a lone surrogate)"),
    (lambda: emforce.Record(params="p\0.txt"), ValueError, "'params': a text cannot hold the character NUL"),
    (lambda: emforce.Record(sample=1), TypeError, "'sample' takes a text, not int"),
    (lambda: emforce.Record().save("r\udc80.json"), ValueError,
     "the path: the text is not valid Unicode (it holds a lone surrogate)"),
])
def test_refusals_carry_the_exact_message(make, kind, message):
    with pytest.raises(kind) as raised:
        make()
    assert str(raised.value) == message


def test_values_of_the_right_type_are_taken_and_a_record_equals_only_records():
    record = emforce.Record().set("curves", [0, 3]).set("points", 4).set("2", 0.002).set("harmonic", 17)
    assert record == emforce.Record().set("curves", "0,3").set("points", "4").set("2", "0,002").set("harmonic", "17")
    assert record != emforce.Record()
    assert (record == 5) is False and (record == "record") is False and record != None  # noqa: E711


def test_a_message_keeps_bytes_that_are_no_utf8(tmp_path):
    path = tmp_path / "p.txt"
    written = subprocess.run([os.environ["EMFORCE_CLI"], "--write-params", str(path), "--points", "1",
                              "--curves", "none"], capture_output=True)
    assert written.returncode == 0
    lines = path.read_bytes().split(b"\n")
    lines[1] = b"0,1\xff"  # the first value line
    path.write_bytes(b"\n".join(lines))
    with pytest.raises(emforce.CalcError) as raised:
        emforce.Record(params=str(path))
    assert str(raised.value).encode("utf-8", "surrogateescape").endswith(b"'0,1\xff' is not a valid floating point value")


def test_a_failed_file_changes_nothing():
    record = emforce.Record().set("2", 0.002)
    with pytest.raises(emforce.CalcError):
        record.set("params", "/nonexistent/p.txt")
    assert record == emforce.Record().set("2", 0.002)


# A run of about a minute: whatever the test does meanwhile happens while it is still going, and
# a cancelled one stops within a fraction of a second.
LONG_RECORD = 'emforce.Record().set("harmonic", 17).set("curves", "all").set("points", 100000)'
LONG_CALLS = {"run": f"emforce.run({LONG_RECORD}, threads=1)",
              "run_batch": f"emforce.run_batch({LONG_RECORD}, ['15'], [[0], [1]], threads=1)"}
LONG_RUN = textwrap.dedent("""
    print("running", flush=True)
    try:
        {call}
        print("finished")
    except KeyboardInterrupt:
        print("interrupted")
""")


def start_long_run(before_run="", call="run"):
    script = ("import os, signal, threading, time, emforce\n" + textwrap.dedent(before_run)
              + LONG_RUN.replace("{call}", LONG_CALLS[call]))
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True, env=os.environ)
    assert child.stdout.readline() == "running\n"
    return child


def test_the_gil_is_free_during_a_run():
    # Another Python thread of the child goes on during the run and then sends it Ctrl-C; with the
    # GIL held it could not go on before the run had finished.
    child = start_long_run("""
        def interrupt():
            for _ in range(100):
                time.sleep(0.001)
            os.kill(os.getpid(), signal.SIGINT)
        threading.Thread(target=interrupt).start()
    """)
    try:
        out, _ = child.communicate(timeout=300)
    finally:
        child.kill()
    assert out == "interrupted\n"


@pytest.mark.parametrize("call", LONG_CALLS)
def test_ctrl_c_cancels_a_run(call):
    child = start_long_run(call=call)
    try:
        threading.Event().wait(0.5)
        child.send_signal(signal.SIGINT)
        out, _ = child.communicate(timeout=300)
    finally:
        child.kill()
    assert out == "interrupted\n"


# Rows of a batch: values that run, a text that does not convert (a message from the run), a
# value set() refuses, and a run abandoned (kp = 0, a message with what the run had produced).
BATCH_KEYS = ["15", "2", "12"]
BATCH_ROWS = [[0, 0.002, 0.8], [12.5, "0,0015", 0.9], [30, "0.001x", 0.8], [5, [1, 2], 0.8], [5, 0.002, 0]]


@pytest.mark.parametrize("case", ["cylindrical, every curve", "synchronous linear, load angle",
                                  "stack of regions"])
def test_a_batch_gives_the_outputs_of_single_runs_bit_for_bit(case):
    base = emforce.Record()
    for key, value in CASES[case][1]:
        base.set(key, value)
    before = base.copy()
    table, messages = emforce.run_batch(base, BATCH_KEYS, BATCH_ROWS, threads=1)
    assert table.shape == (len(BATCH_ROWS), len(emforce.BATCH_OUTPUTS)) and len(messages) == len(BATCH_ROWS)
    for row, numbers, message in zip(BATCH_ROWS, table.tolist(), messages):
        record, result, error = base.copy(), None, None
        try:
            for key, value in zip(BATCH_KEYS, row):
                record.set(key, value)
            result = emforce.run(record, threads=1)
        except emforce.CalcError as failure:
            result, error = failure.result, str(failure)
        except TypeError as failure:
            error = str(failure)
        single = {} if result is None else dict(result.tabled or {}, **result.statistics, odeError=result.ode_error)
        assert [single.get(name) for name in emforce.BATCH_OUTPUTS] == [None if v != v else v for v in numbers]
        assert message == error
    assert messages[0] is None and messages[3] == "'2' takes a number or a text, not list"
    assert messages[2] is not None and messages[4] is not None and not np.isnan(table[1]).all()
    assert base == before
    for keys, rows in ((BATCH_KEYS, [[1, 2]]), (BATCH_KEYS, ["123"]), ("15", [[1, 2]])):
        with pytest.raises(TypeError):
            emforce.run_batch(base, keys, rows)


def test_a_stack_is_set_whole_or_by_entry_and_refused_by_its_key():
    record = emforce.Record(record=TEAM30A).set("15", 50)
    stack = record.stack
    assert [layer["name"] for layer in stack["layers"]] == ["aluminium"]
    base = emforce.run(record)
    assert [r["name"] for r in base.regions] == ["core", "aluminium"]
    copper = record.copy().set("stack.layers[0].sigma", 5.8e7)
    assert copper.stack["layers"][0]["sigma"] == 5.8e7 and record.stack == stack
    assert emforce.run(copper).tabled["maxwell"] != base.tabled["maxwell"]
    # The same stack built with the helper class, and no stack at all.
    same = emforce.Stack(stack["core"], stack["layers"], stack["gap"], stack["excitation"], stack["stator"],
                         stack["winding"], highest_order=51)
    assert emforce.Record(record=TEAM30A).set("stack", None).set("stack", same).set("15", 50) == record
    plain = emforce.Record().set("stack", None)
    assert plain == emforce.Record() and emforce.run(plain).regions is None
    for key, value, message in [
            ("stack.layers[0].sigma", "much", "key 'stack.layers[0].sigma' must be a number"),
            ("stack.layers[0].colour", 1, "unknown key 'stack.layers[0].colour'"),
            ("stack.layers[3].sigma", 1, "'stack.layers[3].sigma' names no entry of the record's stack"),
            ("stack.layers[", 1, "'stack.layers[' is not a path into the stack"),
            ("stack.gap", 1, None)]:
        if message is None:
            assert record.copy().set(key, value).stack["gap"] == 1
            continue
        with pytest.raises(ValueError) as error:
            record.copy().set(key, value)
        assert str(error.value) == message
    with pytest.raises(ValueError) as error:
        emforce.Record().set("stack.gap", 1)
    assert str(error.value) == "'stack.gap': the record has no stack"


def test_a_study_varies_a_stack_entry(tmp_path):
    from emforce.study import design, tasks
    study = tmp_path / "study.toml"
    study.write_text(textwrap.dedent(f"""
        [base]
        record = {json_text(os.path.abspath(TEAM30A))}
        set = {{ "15" = 50 }}
        [vary]
        "stack.layers[0].sigma" = [3.72e7, 5.8e7]
        """))
    loaded = design.load(str(study))
    table, _ = tasks.run_points(tasks.Job(loaded), list(loaded.points))
    expected = [emforce.run(emforce.Record(record=TEAM30A).set("15", 50).set("stack.layers[0].sigma", sigma))
                for sigma in (3.72e7, 5.8e7)]
    assert table[:, tasks.OUTPUTS.index("maxwell")].tolist() == [r.tabled["maxwell"] for r in expected]
    study.write_text(study.read_text().replace("layers[0]", "layers[1]"))
    with pytest.raises(design.StudyError) as error:
        design.load(str(study))
    assert "names no entry of the record's stack" in str(error.value)


def json_text(text):
    import json
    return json.dumps(text)
