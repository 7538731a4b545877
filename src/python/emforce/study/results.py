"""The results file: one CSV row per design point, appended as results arrive, and read back."""
import csv
import io
import math
import os

import numpy as np

from .design import StudyError
from .tasks import OUTPUTS

COLUMNS = OUTPUTS + ("error",)


def text(value):
    """A value as its cell: numbers in shortest round-trip form, empty where undefined."""
    if value is None:
        return ""
    if isinstance(value, float):
        return repr(value)
    return str(value)


def point_key(study, point):
    return tuple(text(point[key]) for key in study.keys)


class Writer:
    """Appends rows to the results file, each flushed at once, so a killed study keeps them."""

    def __init__(self, path, study, resume):
        self._path = path
        exists = os.path.exists(path)
        if exists and not resume:
            raise StudyError(f"{path} exists: add --resume to complete it, or choose another --out")
        self.done = _done_points(path, study) if exists else set()
        try:
            self._file = open(path, "a", newline="", encoding="utf-8")
        except OSError as error:
            raise StudyError(f"{path}: cannot be written ({error.strerror})") from None
        self._csv = csv.writer(self._file, lineterminator="\n")
        if self._file.tell() == 0:
            self._write(study.keys + list(COLUMNS))

    def write(self, study, point, row):
        self._write([text(point[key]) for key in study.keys] + [text(row[c]) for c in COLUMNS])

    def _write(self, cells):
        line = io.StringIO()
        csv.writer(line, lineterminator="\n").writerow(cells)
        self._file.write(line.getvalue())  # one write per row
        self._file.flush()

    def close(self):
        self._file.close()


def _done_points(path, study):
    # A study killed while writing may leave a last line without its end: that row is dropped.
    with open(path, "rb+") as file:
        content = file.read()
        if content and not content.endswith(b"\n"):
            file.truncate(content.rfind(b"\n") + 1)
            content = content[:content.rfind(b"\n") + 1]
    rows = list(csv.reader(io.StringIO(content.decode("utf-8"))))
    if not rows:
        return set()
    header = study.keys + list(COLUMNS)
    if rows[0] != header:
        raise StudyError(f"{path}: its columns are not those of this study ({', '.join(header)})")
    for number, row in enumerate(rows[1:], start=2):
        if len(row) != len(header):
            raise StudyError(f"{path}: line {number} has {len(row)} cells instead of {len(header)}")
    return {tuple(row[:len(study.keys)]) for row in rows[1:]}


def read_table(path, study):
    """The results of every design point in the study's order: a dict of columns, the varied
    keys as given, the outputs as float arrays (NaN where undefined or missing), the messages
    in "error" (None where there is none)."""
    with open(path, newline="", encoding="utf-8") as file:
        rows = list(csv.reader(file))[1:]
    width = len(study.keys)
    by_point = {tuple(row[:width]): row[width:] for row in rows}
    table = {key: [point[key] for point in study.points] for key in study.keys}
    cells = [by_point.get(point_key(study, point), [""] * len(COLUMNS)) for point in study.points]
    for index, name in enumerate(OUTPUTS):
        table[name] = np.array([float(c[index]) if c[index] else math.nan for c in cells])
    table["error"] = [c[-1] or None for c in cells]
    return table
