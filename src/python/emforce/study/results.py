"""The results file: one CSV row per design point, appended batch by batch as results arrive,
checked before a resumed study changes it, and read back."""
import csv
import io
import math
import os
import stat

import numpy as np

from .design import StudyError
from .tasks import OUTPUTS, text

COLUMNS = OUTPUTS + ("error",)
# How much of the end of a file is read at a time to find its last complete line.
_TAIL = 1 << 16


def header(study):
    return study.keys + list(COLUMNS)


def _line(cells):
    line = io.StringIO()
    csv.writer(line, lineterminator="\n").writerow(cells)
    return line.getvalue()


def _final_target(path):
    """The file that path names once its links are followed; refused where they reach none."""
    try:
        os.stat(path)
    except FileNotFoundError:
        if os.path.islink(path):
            raise StudyError(f"{path}: its link leads to no file") from None
        return path
    except OSError as error:
        if os.path.islink(path):
            raise StudyError(f"{path}: its links form a loop") from None
        raise StudyError(f"{path}: cannot be written ({error.strerror})") from None
    return os.path.realpath(path)


class Results:
    """The results file of a study. Made before the study runs: the path is checked and, with
    resume, the rows already there are read (the file is not changed yet); open() then creates
    or prepares the file once the cluster is ready, and write() appends the rows of a batch."""

    def __init__(self, path, study, resume):
        self.path, self._study = path, study
        self._target = _final_target(path)
        self.done = None          # a bit per design point that has a row, or None for none
        self.done_count = 0
        self.messages = 0         # rows of done points that hold a message
        self._keep = None         # the length of the file to keep, once checked
        self._fd = None
        try:
            status = os.stat(self._target)
        except FileNotFoundError:
            status = None
        self.is_device = status is not None and (stat.S_ISCHR(status.st_mode) or stat.S_ISFIFO(status.st_mode))
        self.is_file = not self.is_device
        if status is None:
            folder = os.path.dirname(os.path.abspath(self._target))
            if not os.path.isdir(folder):
                raise StudyError(f"{path}: cannot be written (No such file or directory)")
            if not os.access(folder, os.W_OK):
                raise StudyError(f"{path}: cannot be written (Permission denied)")
        elif stat.S_ISDIR(status.st_mode):
            raise StudyError(f"{path}: is a directory: choose a file for --out")
        elif self.is_file:
            if not stat.S_ISREG(status.st_mode):
                raise StudyError(f"{path}: cannot be written (not a regular file)")
            if not resume:
                raise StudyError(f"{path} exists: add --resume to complete it, or choose another --out")
            if not os.access(self._target, os.W_OK):
                raise StudyError(f"{path}: cannot be written (Permission denied)")
            self._scan(status)

    def _scan(self, status):
        # Read as a stream, never whole: the last complete line first, then row by row up to it.
        self._identity = (status.st_dev, status.st_ino)
        with open(self._target, "rb") as file:
            size = os.fstat(file.fileno()).st_size
            end = size
            while end > 0:
                start = max(0, end - _TAIL)
                file.seek(start)
                newline = file.read(end - start).rfind(b"\n")
                if newline >= 0:
                    self._keep = start + newline + 1
                    break
                end = start
            else:
                self._keep = 0
            self._size = size
            expected = _line(header(self._study)).encode("utf-8")
            if self._keep == 0:
                file.seek(0)
                if not expected.startswith(file.read(len(expected) + 1)):
                    self._foreign()
                return
            file.seek(0)
            self._read_rows(file)

    def _read_rows(self, file):
        study, count = self._study, len(self._study.points)
        width, cells = len(study.keys), len(header(study))
        self.done = bytearray((count + 7) // 8)

        def lines():
            left = self._keep
            for number, raw in enumerate(file, start=1):
                if left <= 0:
                    return
                left -= len(raw)
                try:
                    yield raw.decode("utf-8")
                except UnicodeDecodeError:
                    raise StudyError(f"{self.path}: line {number} is not UTF-8 text: "
                                     "not a results file of this study") from None

        reader = csv.reader(lines())
        if next(reader, None) != header(study):
            self._foreign()
        for row in reader:
            if len(row) != cells:
                raise StudyError(f"{self.path}: line {reader.line_num} has {len(row)} cells instead of {cells}")
            for index in study.points.indices(row[:width], text):
                bit = 1 << (index & 7)
                if not self.done[index >> 3] & bit:
                    self.done[index >> 3] |= bit
                    self.done_count += 1
                    self.messages += row[-1] != ""

    def _foreign(self):
        raise StudyError(f"{self.path}: its columns are not those of this study ({', '.join(header(self._study))})")

    def missing(self):
        """The ranges of indices of the design points without a row, in order."""
        count = len(self._study.points)
        if self.done is None:
            if count:
                yield range(0, count)
            return
        chunk = 1 << 20
        pending = None  # the start of a run of missing points that reached a chunk's end
        for first in range(0, count, chunk):
            last = min(first + chunk, count)
            bits = np.unpackbits(np.frombuffer(self.done, np.uint8, (last - first + 7) // 8, first // 8),
                                 bitorder="little")[:last - first]
            edges = np.flatnonzero(np.diff(np.concatenate(([1], bits, [1])).astype(np.int8)))
            runs = [(first + int(b), first + int(e)) for b, e in zip(edges[::2], edges[1::2])]
            if pending is not None and (not runs or runs[0][0] != first):
                yield range(pending, first)
                pending = None
            for begin, end in runs:
                if pending is not None:
                    begin, pending = pending, None
                if end == last:
                    pending = begin
                else:
                    yield range(begin, end)
        if pending is not None:
            yield range(pending, count)

    def open(self):
        """Creates the file with its header, or prepares the checked one: a row cut off as it was
        written is dropped. A link planted meanwhile is not followed."""
        flags = os.O_WRONLY | os.O_CLOEXEC
        try:
            if self.is_device:
                self._fd = os.open(self._target, flags | os.O_NOCTTY)
                self._write_all(_line(header(self._study)))
            elif self._keep is None:
                self._fd = os.open(self._target, flags | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW, 0o666)
                self._write_all(_line(header(self._study)))
            else:
                self._fd = os.open(self._target, flags | os.O_NOFOLLOW)
                status = os.fstat(self._fd)
                if (status.st_dev, status.st_ino) != self._identity or status.st_size < self._keep:
                    raise StudyError(f"{self.path}: changed while the study started")
                if status.st_size != self._keep:
                    os.ftruncate(self._fd, self._keep)
                os.lseek(self._fd, 0, os.SEEK_END)
                if self._keep == 0:
                    self._write_all(_line(header(self._study)))
        except OSError as error:
            raise StudyError(f"{self.path}: cannot be written ({error.strerror})") from None

    def write(self, rows):
        """Appends the rows of a batch (their CSV text) at once; raises OSError when it fails."""
        self._write_all(rows)

    def _write_all(self, rows):
        data = memoryview(rows.encode("utf-8"))
        while data:
            data = data[os.write(self._fd, data):]

    def close(self):
        if self._fd is not None:
            try:
                if self.is_file:
                    os.fsync(self._fd)
            finally:
                os.close(self._fd)
                self._fd = None


def read_table(path, study):
    """The results of every design point in the study's order: a dict of columns, the varied
    keys as given, the outputs as float arrays (NaN where undefined or missing), the messages
    in "error" (None where there is none). The file is read as a stream."""
    count, width = len(study.points), len(study.keys)
    values = np.full((len(OUTPUTS), count), math.nan)
    errors = [None] * count
    with open(path, newline="", encoding="utf-8") as file:
        reader = csv.reader(file)
        next(reader, None)
        for row in reader:
            if len(row) != width + len(COLUMNS):
                continue
            numbers = [float(c) if c else math.nan for c in row[width:width + len(OUTPUTS)]]
            for index in study.points.indices(row[:width], text):
                values[:, index] = numbers
                errors[index] = row[-1] or None
    table = {key: [point[key] for point in study.points] for key in study.keys}
    for row, name in enumerate(OUTPUTS):
        table[name] = values[row]
    table["error"] = errors
    return table
