"""A batch of design points as one task: the records built where it runs, the runs, and the
rows of the results file they make."""
import csv
import io
import os
import time

from .. import CalcError, Record, run
from .design import FILE_KEYS, base_record, point_files

# The outputs of a design point, in the order of the results' columns.
OUTPUTS = ("maxwell", "lorentz", "material", "impulse", "ratio",
           "avgBalance", "maxBalance", "avgCoenergy", "avgPower", "odeError")


def text(value):
    """A value as its cell: numbers in shortest round-trip form, empty where undefined."""
    if value is None:
        return ""
    if isinstance(value, float):
        return repr(value)
    return str(value)


class Job:
    """What every batch of a study needs, sent to each worker once: the base record (as JSON,
    or None when points vary its files), the changes of [base], the design points, the run's
    settings."""

    def __init__(self, study):
        varies_files = any(key in study.vary for key in FILE_KEYS)
        self.base = None if varies_files else base_record(study.files).json()
        self.files, self.folder = study.files, os.path.dirname(os.path.abspath(study.path))
        self.changes, self.points = study.changes, study.points
        self.threads, self.literal = study.threads, study.literal
        self._prepared = None

    def __getstate__(self):
        return dict(self.__dict__, _prepared=None)

    def prepared_base(self):
        """The base record with the changes of [base], made once in each process."""
        if self.base is not None and self._prepared is None:
            record = Record.from_json(self.base)
            for key, value in self.changes:
                record.set(key, value)
            self._prepared = record
        return self._prepared

    def point_files(self, point):
        return point_files(self.files, self.folder, point)


def run_point(base, files, changes, point, threads, literal):
    """Runs one design point and returns its outputs (None where undefined) and "error".

    base is the record of the study's files with the changes of [base] made, or None when the
    point varies one of the files (files then names them and changes are those of [base]); point
    holds the point's values. A point that ends in a message returns the message with whatever
    the run had produced.
    """
    try:
        if base is None:
            record = base_record(files)
            for key, value in changes:
                record.set(key, value)
        else:
            record = base.copy()
        for key, value in point.items():
            if key not in FILE_KEYS:
                record.set(key, value)
        return outputs(run(record, threads=threads, literal=literal), None)
    except CalcError as error:
        return outputs(getattr(error, "result", None), str(error))
    except (ValueError, TypeError) as error:
        return outputs(None, str(error))


def run_batch(job, indices):
    """Runs the design points of `indices` (a range or a list) and returns the rows of the
    results file they make as one text, how many ended with a message, and the seconds the
    points took here. job is the Job of the study, sent to every worker once."""
    start = time.perf_counter()
    base = job.prepared_base()
    lines = io.StringIO()
    rows = csv.writer(lines, lineterminator="\n")
    messages = 0
    for index in indices:
        point = job.points[index]
        files = job.point_files(point) if base is None else None
        row = run_point(base, files, job.changes, point, job.threads, job.literal)
        messages += row["error"] is not None
        rows.writerow([text(point[key]) for key in job.points.keys] + [text(row[c]) for c in OUTPUTS]
                      + [text(row["error"])])
    return lines.getvalue(), messages, time.perf_counter() - start


def outputs(result, error):
    row = dict.fromkeys(OUTPUTS)
    if result is not None:
        if result.tabled is not None:
            row.update(result.tabled)
        row.update(result.statistics)
        row["odeError"] = result.ode_error
    row["error"] = error
    return row
