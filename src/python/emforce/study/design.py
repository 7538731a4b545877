"""A study file (TOML) read and checked: the base record, the varied keys and the design points,
which are never all built at once: point i is computed from i when it is needed."""
import math
import os
import tomllib
from collections.abc import Sequence
from dataclasses import dataclass

import numpy as np

from .. import CalcError, Record

# The keys of [base] that the study itself takes; every other key is a change of the record.
FILE_KEYS = ("params", "record", "sample")
RUN_KEYS = ("threads", "literal")
RANGE_KEYS = ("start", "stop", "num", "log")
# The most design points a study may have: a study of more would run for years, and a resumed
# one keeps a bit for each point.
MAX_POINTS = 10**9
# Ranges of up to this many values are computed whole, as numpy computes them; longer ones value
# by value with the same formula.
WHOLE_RANGE = 10**6


class StudyError(Exception):
    """A study that cannot be carried out; str() is the one message for the user."""


@dataclass
class Study:
    """What a study file asks for."""

    path: str
    mode: str
    files: dict            # params, record, sample of [base], paths made absolute
    changes: list          # (key, value) of [base] and its set table, in file order
    vary: dict             # key -> list of values, in file order
    threads: int = 1
    literal: bool = False
    points: "Points" = None  # one dict key -> value per design point, made on demand

    @property
    def keys(self):
        return list(self.vary)


def load(path):
    """Reads and checks a study file; raises StudyError with one clear message."""
    try:
        with open(path, "rb") as file:
            data = tomllib.load(file)
    except OSError as error:
        raise StudyError(f"{path}: cannot be read ({error.strerror})") from None
    except tomllib.TOMLDecodeError as error:
        raise StudyError(f"{path}: not a valid TOML file: {error}") from None
    except UnicodeDecodeError as error:
        raise StudyError(f"{path}: not a valid TOML file: byte {error.start + 1} is not UTF-8") from None
    for key in data:
        if key not in ("mode", "base", "vary"):
            raise StudyError(f"{path}: unknown key '{key}' (a study has mode, [base] and [vary])")
    mode = data.get("mode", "grid")
    if mode not in ("grid", "zip"):
        raise StudyError(f"{path}: mode must be \"grid\" or \"zip\", not {mode!r}")
    base, vary = _table(path, data, "base"), _table(path, data, "vary")
    study = Study(path, mode, {}, [], {})
    _read_base(study, base)
    if not vary:
        raise StudyError(f"{path}: [vary] is missing or empty: a study varies at least one key")
    for key, spec in vary.items():
        study.vary[key] = _values(path, key, spec)
    study.points = _points(study)
    for key, values in study.vary.items():
        _check_values(study, key, values)
    return study


def _table(path, data, name):
    table = data.get(name, {})
    if not isinstance(table, dict):
        raise StudyError(f"{path}: {name} must be a table [{name}]")
    return table


def _read_base(study, base):
    where = f"{study.path}: [base]"
    folder = os.path.dirname(os.path.abspath(study.path))
    for key, value in base.items():
        if key in ("params", "record"):
            if not isinstance(value, str):
                raise StudyError(f"{where} {key}: give the file's path as a text")
            study.files[key] = os.path.join(folder, value)
        elif key == "sample":
            study.files[key] = value
        elif key == "threads":
            if not isinstance(value, int) or isinstance(value, bool) or value < 1:
                raise StudyError(f"{where} threads: give a whole number of at least 1")
            study.threads = value
        elif key == "literal":
            if not isinstance(value, bool):
                raise StudyError(f"{where} literal: give true or false")
            study.literal = value
        elif key == "set":
            if not isinstance(value, dict):
                raise StudyError(f"{where} set: give a table of --set keys and values")
            study.changes.extend(value.items())
        else:
            study.changes.append((key, value))
    try:
        record = base_record(study.files)
    except (CalcError, ValueError) as error:
        raise StudyError(f"{where}: {error}") from None
    for key, value in study.changes:
        try:
            record.set(key, value)
        except (ValueError, TypeError) as error:
            raise StudyError(f"{where} {key}: {error}") from None


def base_record(files):
    """The record of the study's files: parameter file, run record and sample set, in that order."""
    return Record(sample=files.get("sample"), params=files.get("params"), record=files.get("record"))


def _values(path, key, spec):
    where = f"{path}: [vary] {key}"
    if isinstance(spec, list):
        values = spec
    elif isinstance(spec, dict):
        values = _range(where, spec)
    else:
        raise StudyError(f"{where}: give a list of values or a range {{start, stop, num}}")
    if not len(values):
        raise StudyError(f"{where}: the range is empty")
    return values


def _range(where, spec):
    for name in spec:
        if name not in RANGE_KEYS:
            raise StudyError(f"{where}: unknown key '{name}' in the range (start, stop, num, log)")
    for name in ("start", "stop", "num"):
        if name not in spec:
            raise StudyError(f"{where}: the range needs start, stop and num")
    start, stop, num, log = spec["start"], spec["stop"], spec["num"], spec.get("log", False)
    if not all(isinstance(v, (int, float)) and not isinstance(v, bool) for v in (start, stop)):
        raise StudyError(f"{where}: start and stop must be numbers")
    if not isinstance(num, int) or isinstance(num, bool):
        raise StudyError(f"{where}: num must be a whole number")
    if not isinstance(log, bool):
        raise StudyError(f"{where}: log must be true or false")
    if num < 1:
        return []
    if log and (start <= 0 or stop <= 0):
        raise StudyError(f"{where}: a log range needs start and stop above 0")
    if num > MAX_POINTS:
        raise StudyError(f"{where}: num = {num} is more than the {MAX_POINTS} design points a study can have")
    if num > WHOLE_RANGE:
        return Range(start, stop, num, log)
    values = (np.geomspace if log else np.linspace)(start, stop, num).tolist()
    if isinstance(start, int) and isinstance(stop, int) and all(v.is_integer() for v in values):
        values = [int(v) for v in values]
    return values


class Range(Sequence):
    """The values of a long range, each computed as numpy's linspace or geomspace computes it."""

    def __init__(self, start, stop, num, log):
        self.start, self.stop, self.num, self.log = start, stop, num, log
        low, high = (math.log10(start), math.log10(stop)) if log else (float(start), float(stop))
        self._low, self._step = low, (high - low) / (num - 1)
        self._whole = (not log and isinstance(start, int) and isinstance(stop, int)
                       and (stop - start) % (num - 1) == 0)

    def __len__(self):
        return self.num

    def __getitem__(self, i):
        if not 0 <= i < self.num:
            raise IndexError(i)
        if i == self.num - 1:
            value = float(self.stop)
        elif i == 0 and self.log:
            value = float(self.start)
        else:
            value = i * self._step + self._low
            value = float(np.power(10.0, value)) if self.log else value
        return int(value) if self._whole else value

    def position(self, value):
        """The positions whose value is `value` (a number), found by inverting the formula."""
        exponent = math.log10(value) if self.log and value > 0 else value
        if self.log and value <= 0:
            return []
        guess = round((exponent - self._low) / self._step) if self._step else 0
        return [i for i in (guess - 1, guess, guess + 1) if 0 <= i < self.num and self[i] == value]


def _check_values(study, key, values):
    # Each value once on a scratch record: a value the command line would refuse stops the study
    # before it starts. Texts that do not convert are the run's to report, point by point. A long
    # range is of one kind throughout: its ends stand for it.
    record = Record()
    if isinstance(values, Range):
        values = [values[0], values[len(values) - 1]]
    if key.startswith("stack"):  # an entry of the base's stack: checked on the base record
        record = base_record(study.files)
        for change in study.changes:
            record.set(*change)
    for value in values:
        if key in ("params", "record"):
            if not isinstance(value, str):
                raise StudyError(f"{study.path}: [vary] {key}: give the files' paths as texts")
            continue  # read where the point runs
        try:
            record.set(key, value)
        except (ValueError, TypeError) as error:
            raise StudyError(f"{study.path}: [vary] {key}: {error}") from None


def _points(study):
    lists = list(study.vary.values())
    if study.mode == "zip":
        lengths = sorted({len(values) for values in lists})
        if len(lengths) > 1:
            raise StudyError(f"{study.path}: mode \"zip\" needs lists of one length, not "
                             + " and ".join(str(n) for n in lengths))
    points = Points(study.keys, lists, study.mode == "zip")
    if len(points) > MAX_POINTS:
        raise StudyError(f"{study.path}: the study has {len(points)} design points; "
                         f"at most {MAX_POINTS} can be run")
    return points


class Points(Sequence):
    """The design points in their order, each a dict key -> value made from its index: every
    combination with the first key slowest ("grid"), or the values in step ("zip")."""

    def __init__(self, keys, lists, zipped):
        self.keys, self.lists, self.zipped = list(keys), lists, zipped
        self._count = len(lists[0]) if zipped else math.prod(len(values) for values in lists)
        self._lookup = None

    def __len__(self):
        return self._count

    def __getitem__(self, i):
        if not 0 <= i < self._count:
            raise IndexError(i)
        if self.zipped:
            return {key: values[i] for key, values in zip(self.keys, self.lists)}
        point = {}
        for key, values in zip(reversed(self.keys), reversed(self.lists)):
            i, position = divmod(i, len(values))
            point[key] = values[position]
        return {key: point[key] for key in self.keys}

    def __iter__(self):
        return (self[i] for i in range(self._count))

    def indices(self, cells, text):
        """The indices of the points whose key cells (text(value) of each key) are `cells`:
        one, none for a row of no point of the study, several where a list repeats a value."""
        if self._lookup is None:
            self._lookup = [None if isinstance(values, Range) else _positions(values, text)
                            for values in self.lists]
        found = []
        for values, lookup, cell in zip(self.lists, self._lookup, cells):
            if lookup is not None:
                found.append(lookup.get(cell, ()))
            else:
                found.append(_range_positions(values, cell, text))
        if self.zipped:
            common = set(found[0]).intersection(*found[1:])
            return sorted(common)
        indices = [0]
        for values, positions in zip(self.lists, found):
            indices = [i * len(values) + p for i in indices for p in positions]
        return indices


def _positions(values, text):
    table = {}
    for position, value in enumerate(values):
        table.setdefault(text(value), []).append(position)
    return table


def _range_positions(values, cell, text):
    try:
        number = int(cell) if values._whole else float(cell)
    except ValueError:
        return []
    return [p for p in values.position(number) if text(values[p]) == cell]


def point_files(files, folder, point):
    """The files of one design point: those of [base] (files), with the varied ones in their
    place, relative to the study file's folder."""
    files = dict(files)
    for key in FILE_KEYS:
        if key in point:
            files[key] = point[key] if key == "sample" else os.path.join(folder, point[key])
    return files
