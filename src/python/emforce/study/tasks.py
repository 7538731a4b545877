"""A batch of design points as one task: the records built where it runs, the runs, and the
rows of the results file they make."""
import csv
import io
import math
import os
import time

import numpy as np

from .. import BATCH_OUTPUTS, CalcError, Record, run_batch
from .design import FILE_KEYS, base_record, point_files

# The outputs of a design point, in the order of the results' columns.
OUTPUTS = BATCH_OUTPUTS


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


def run_points(job, points):
    """Runs the design points (dicts key -> value) and returns their outputs as the table of
    emforce.run_batch (a row per point, the columns of OUTPUTS, NaN where undefined) and their
    messages (None where there is none). A point that ends in a message keeps whatever the run
    had produced."""
    base = job.prepared_base()
    keys = [key for key in job.points.keys if key not in FILE_KEYS]
    if base is not None:
        return run_batch(base, keys, [[point[key] for key in keys] for point in points], job.threads,
                         job.literal)
    # Points that vary the files read them each: the records are made here, one by one.
    table, messages = np.full((len(points), len(OUTPUTS)), math.nan), []
    for row, point in enumerate(points):
        try:
            record = base_record(job.point_files(point))
            for key, value in job.changes:
                record.set(key, value)
        except (CalcError, ValueError, TypeError) as error:
            messages.append(str(error))
            continue
        outputs, message = run_batch(record, keys, [[point[key] for key in keys]], job.threads, job.literal)
        table[row] = outputs[0]
        messages += message
    return table, messages


def batch_rows(job, indices):
    """Runs the design points of `indices` (a range or a list) and returns the rows of the
    results file they make as one text, how many ended with a message, and the seconds the
    points took here. job is the Job of the study, sent to every worker once."""
    start = time.perf_counter()
    points = [job.points[index] for index in indices]
    table, messages = run_points(job, points)
    lines = io.StringIO()
    rows = csv.writer(lines, lineterminator="\n")
    keys = job.points.keys
    for point, numbers, message in zip(points, table.tolist(), messages):
        rows.writerow([text(point[key]) for key in keys] + [repr(v) if v == v else "" for v in numbers]
                      + [text(message)])
    return lines.getvalue(), sum(message is not None for message in messages), time.perf_counter() - start
