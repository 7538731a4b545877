"""Running the design points as Dask tasks, on a local cluster or an existing one."""
import logging
import os
import sys
import time

from .design import FILE_KEYS, base_record, point_files
from .tasks import run_point

# Tasks kept in flight at once: enough to keep every worker busy, few enough for huge studies.
WINDOW = 1000


def local_cluster(workers):
    """One single-threaded worker process per core (or `workers`), reached on 127.0.0.1 only."""
    from distributed import LocalCluster

    return LocalCluster(n_workers=workers or os.cpu_count() or 1, threads_per_worker=1, processes=True,
                        host="127.0.0.1", dashboard_address="127.0.0.1:0",
                        worker_dashboard_address="127.0.0.1:0", silence_logs=logging.ERROR)


def compute(study, todo, write, workers=None, scheduler=None, progress=None):
    """Runs the points of `todo`, calling write(point, row) in this process as each result
    arrives. Returns the points that ended without a result (a worker lost, say)."""
    from distributed import Client

    cluster = None if scheduler else local_cluster(workers)
    client = Client(scheduler or cluster, timeout="60s")
    try:
        return _run_all(client, study, todo, write, progress)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


def _run_all(client, study, todo, write, progress):
    from distributed import as_completed

    varies_files = any(key in study.vary for key in FILE_KEYS)
    # The base record goes to the workers once; they then read no file of the study.
    base = None if varies_files else client.scatter(base_record(study.files).json(), broadcast=True)

    def submit(point):
        files = point_files(study, point) if varies_files else None
        return client.submit(run_point, base, files, study.changes, point, study.threads, study.literal,
                             pure=False)

    pending = iter(todo)
    futures = {}
    for point in pending:
        futures[submit(point)] = point
        if len(futures) >= WINDOW:
            break
    lost = []
    running = as_completed(list(futures))
    for future in running:
        point = futures.pop(future)
        if future.status == "finished":
            write(point, future.result())
        else:
            lost.append((point, repr(future.exception())))
        if progress:
            progress.advance()
        following = next(pending, None)
        if following is not None:
            new = submit(following)
            futures[new] = following
            running.add(new)
    return lost


class Progress:
    """A progress line on standard error: points done, rate, time left."""

    def __init__(self, total, already=0, stream=sys.stderr):
        self._total, self._done, self._already = total, already, already
        self._first = None  # the rate counts from the first result, past the cluster's start
        self._stream = stream
        self._live = stream.isatty()
        self._shown = -1
        self._show()

    def advance(self):
        self._done += 1
        if self._first is None:
            self._first = time.monotonic()
        self._show()

    def _show(self):
        new = self._done - self._already - 1
        elapsed = time.monotonic() - self._first if self._first is not None else 0.0
        rate = new / elapsed if elapsed > 0 and new > 0 else 0.0
        left = (self._total - self._done) / rate if rate else None
        share = self._done / self._total if self._total else 1.0
        tenth = int(share * 10)
        if not self._live and tenth == self._shown and self._done != self._total:
            return  # a log file gets a line every tenth of the study
        self._shown = tenth
        bar = "#" * int(share * 30)
        line = (f"[{bar:<30}] {self._done}/{self._total} points  {rate:.2f} points/s  "
                f"{_clock(left)} left")
        self._stream.write(("\r" + line) if self._live else line + "\n")
        self._stream.flush()

    def close(self):
        if self._live:
            self._stream.write("\n")


def _clock(seconds):
    if seconds is None:
        return "--:--"
    seconds = int(seconds + 0.5)
    return f"{seconds // 3600}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
