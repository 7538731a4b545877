"""emforce: force, torque and power balance of linear, cylindrical and spherical motors.

    import emforce
    record = emforce.Record(sample="Data 1").set("geometry", "cylindrical").set("2", 0.002)
    result = emforce.run(record)
    print(result.tabled["maxwell"], result.statistics)
    x, y = result.curves[0]

A run gives the numbers of ``emforce-cli --json`` bit for bit. ``emforce.study`` runs parameter
studies on Dask.
"""

from ._emforce import BATCH_OUTPUTS, CalcError, Record, field, sample_captions
from ._emforce import run as _run
from ._emforce import run_batch as _run_batch

__all__ = ["BATCH_OUTPUTS", "CalcError", "Curve", "Record", "Result", "Stack", "field", "run",
           "run_batch", "sample_captions"]


class Curve(tuple):
    """The points of one curve as the pair (x, y) of numpy arrays, with its series title."""

    def __new__(cls, x, y, title):
        curve = super().__new__(cls, (x, y))
        curve.title = title
        return curve

    @property
    def x(self):
        return self[0]

    @property
    def y(self):
        return self[1]

    def __repr__(self):
        return f"Curve({self.title!r}, {len(self[0])} points)"


class Stack(dict):
    """A stack of regions as ``Record.set("stack", ...)`` takes it: the run record's "stack"
    object as a dict, lengths in metres, angles in radians, densities time-peak.

    core: {"kind": "ideal iron" | "air", "surface": r} or {"kind": "solid", "surface": r,
    "sigma": S/m, "muR": mu}; layers: [{"name", "width", "sigma", "muR"} and optionally
    "reluctivity": {"nu1", "nu2", "nu12": [re, im], "nu21": [re, im]}]; gap: width;
    excitation: {"kind": "sheet"} or {"kind": "band", "width": w}; stator: {"kind": "ideal
    iron"} or {"kind": "shell", "thickness", "muR", "sigma"}; winding: {"phaseAngles": [...],
    "sides": [{"midline", "width", "phase", "sign", "density"}]}; highest_order: 1..999.
    The geometry, pole pairs, frequency, speed and length come from the record's table.
    """

    def __init__(self, core, layers, gap, excitation, stator, winding, highest_order=17):
        super().__init__(core=dict(core), layers=[dict(layer) for layer in layers], gap=gap,
                         excitation=dict(excitation), stator=dict(stator),
                         winding={"phaseAngles": list(winding["phaseAngles"]),
                                  "sides": [dict(side) for side in winding["sides"]]},
                         highestOrder=highest_order)


class Result:
    """What a run produced, under the names of the command line's JSON report.

    harmonics: list of (order, amplitude); tabled: dict maxwell, lorentz, material, impulse,
    ratio (None before the tabled point was done); regions: the conducting regions of a stack
    at the tabled point as dicts name, lorentz, joule (None without a stack); curves: dict slot -> Curve; statistics: dict
    avgBalance, maxBalance, avgCoenergy, avgPower (None where undefined); ode_error; report:
    the report lines; harmonic_lines; edit2, edit3: the display texts; bessel: the choice of
    Bessel functions the run used; formulation: the formulation of the induction field it used
    ("physical" or "legacy"); questions: the layer questions of the readings (answered
    No); error: the message of an abandoned run or None.
    """

    def __init__(self, fields):
        self.harmonics = fields["harmonics"]
        self.harmonic_lines = fields["harmonic_lines"]
        self.tabled = fields["tabled"]
        self.regions = fields["regions"]
        self.report = fields["report"]
        self.curves = {slot: Curve(x, y, title) for slot, (x, y, title) in fields["curves"].items()}
        self.statistics = fields["statistics"]
        self.ode_error = fields["ode_error"]
        self.edit2 = fields["edit2"]
        self.edit3 = fields["edit3"]
        self.bessel = fields["bessel"]
        self.formulation = fields["formulation"]
        self.questions = fields["questions"]
        self.error = fields["error"]

    def __repr__(self):
        state = f"error={self.error!r}" if self.error else f"tabled={self.tabled}"
        return f"Result({state}, curves={sorted(self.curves)})"


def run(record, threads=None, literal=False):
    """Runs one calculation over the record (which stays as it is) and returns its Result.

    threads: threads that share the points of a curve (None: all cores); literal: recompute
    every field solution at every point. The GIL is released while the run computes, and
    Ctrl-C cancels it (KeyboardInterrupt). A run abandoned with a message raises CalcError
    carrying exactly that message, with what the run had produced as its ``result``.
    """
    result = Result(_run(record, threads, literal))
    if result.error is not None:
        error = CalcError(result.error)
        error.result = result
        raise error
    return result


def run_batch(record, keys, rows, threads=None, literal=False):
    """Runs one calculation per row, each over the record (which stays as it is) with the keys
    set to the row's values as Record.set sets them, without Python between the points.

    Returns (table, messages): table a numpy array of a row per point and a column per name of
    BATCH_OUTPUTS (maxwell, lorentz, material, impulse, ratio, avgBalance, maxBalance,
    avgCoenergy, avgPower, odeError), the numbers of emforce.run bit for bit, NaN where
    undefined; messages a list holding, for each point, the message of a run abandoned (its
    outputs are what it had produced) or of a value that set() refuses, or None. threads,
    literal, the GIL and Ctrl-C as for run.
    """
    if isinstance(keys, str):
        raise TypeError("keys is a list of keys, not a text")
    return _run_batch(record, list(keys), rows, threads, literal)
