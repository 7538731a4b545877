"""A study file (TOML) read and checked: the base record, the varied keys and the design points."""
import itertools
import os
import tomllib
from dataclasses import dataclass, field

import numpy as np

from .. import CalcError, Record

# The keys of [base] that the study itself takes; every other key is a change of the record.
FILE_KEYS = ("params", "record", "sample")
RUN_KEYS = ("threads", "literal")
RANGE_KEYS = ("start", "stop", "num", "log")


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
    points: list = field(default_factory=list)  # one dict key -> value per design point

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
        _check_values(study, key, study.vary[key])
    study.points = _points(study)
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
    if not values:
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
    values = (np.geomspace if log else np.linspace)(start, stop, num).tolist()
    if isinstance(start, int) and isinstance(stop, int) and all(v.is_integer() for v in values):
        values = [int(v) for v in values]
    return values


def _check_values(study, key, values):
    # Each value once on a scratch record: a value the command line would refuse stops the study
    # before it starts. Texts that do not convert are the run's to report, point by point.
    record = Record()
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
        combos = zip(*lists)
    else:
        combos = itertools.product(*lists)
    return [dict(zip(study.keys, combo)) for combo in combos]


def point_files(study, point):
    """The files of one design point: those of [base], with the varied ones in their place."""
    folder = os.path.dirname(os.path.abspath(study.path))
    files = dict(study.files)
    for key in FILE_KEYS:
        if key in point:
            files[key] = point[key] if key == "sample" else os.path.join(folder, point[key])
    return files
