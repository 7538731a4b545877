"""emforce.field: the field map as numpy arrays, equal to the command line's CSV table."""
import csv
import os
import subprocess
import tempfile

import numpy as np
import pytest

import emforce

TEAM30A = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "team30a.json")


def test_field_equals_the_command_line_table():
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "field.csv")
        subprocess.run([os.environ["EMFORCE_CLI"], "--record", TEAM30A, "--set", "15=100", "--curves", "none",
                        "--field", "B", "--field-out", path, "--field-points", "6,9", "--field-t", "0,002"],
                       check=True, capture_output=True)
        with open(path, encoding="utf-8") as f:
            rows = list(csv.reader(f))
    assert rows[0] == ["r [m]", "phi [rad]", "t [s]", "B [T]"]
    table = np.array(rows[1:], dtype=float)
    record = emforce.Record(record=TEAM30A).set("15", 100)
    field = emforce.field(record, "B", r=np.unique(table[:, 0]), along=table[:9, 1], t=0.002)
    assert field["values"].shape == (6, 9)
    assert field["unit"] == "T" and field["theta"] is None
    assert np.array_equal(field["values"].ravel(), table[:, 3])
    assert field["orders"][:4] == [1, -5, 7, -11]


def test_spherical_surfaces_and_the_speed():
    record = emforce.Record()  # the start-up data: a spherical motor
    layer = emforce.field(record, "J", theta=[0.9, 1.2, 1.5], along=[0.0, 0.5], t=0.0)
    assert layer["values"].shape == (3, 2)
    assert np.allclose(layer["r"], 0.05)  # the layer's surface R
    gap = emforce.field(record, "Bn")
    assert gap["values"].shape == (41, 73) and np.allclose(gap["r"], 0.0505)
    assert np.all((gap["theta"] > 0.7854) & (gap["theta"] < 2.3562))
    # Another speed than the table's 40 1/s: another slip, another layer current.
    slower = emforce.field(record, "J", theta=[1.2], along=[0.0], speed=20.0)
    assert abs(slower["values"][0, 0] - layer["values"][1, 0]) > 0


def test_refusals():
    record = emforce.Record().set("geometry", "cylindrical")
    with pytest.raises(emforce.CalcError, match="Unknown field quantity"):
        emforce.field(record, "E")
    with pytest.raises(emforce.CalcError, match="outside the machine's regions"):
        emforce.field(record, "A", r=[1.0])
    with pytest.raises(emforce.CalcError, match="spherical geometry"):
        emforce.field(record, "A", theta=[1.0])
    with pytest.raises(TypeError, match="sequence of numbers"):
        emforce.field(record, "A", r="near")
