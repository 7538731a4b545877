"""Running the design points in batches as Dask tasks, on a local cluster or an existing one."""
import logging
import os
from concurrent.futures import CancelledError
import re
import sys
import time
from dataclasses import dataclass

from .design import StudyError
from .tasks import batch_rows

# Seconds to reach a scheduler and to wait for its first worker, unless chosen otherwise.
CONNECT_TIMEOUT = 20
# Points of the first batches, whose times size the later ones.
FIRST_BATCH = 4
# The time a batch should take on its worker: long enough that scheduling costs nothing beside
# it, short enough that a lost worker loses little and the end of the study is shared out.
BATCH_SECONDS = 0.5
# Batches in flight per worker thread: one computing, one waiting for it.
IN_FLIGHT_PER_THREAD = 2
# How often the connection is looked at while no batch completes.
POLL_SECONDS = 1.0
LOST_SCHEDULER = "the connection to the scheduler was lost"

_ADDRESS = re.compile(r"(tcp|tls)://(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9._-]+):[0-9]{1,5}")


def security(scheduler, tls):
    """The Dask security of the scheduler's address, checked before anything runs: None for a
    plain TCP one or the local cluster. tls is (CA file, certificate, key) or None."""
    given = tls is not None and any(tls)
    if scheduler is None or not scheduler.startswith("tls://"):
        if scheduler is not None and not _ADDRESS.fullmatch(scheduler):
            raise StudyError(f"--scheduler takes tcp://HOST:PORT or tls://HOST:PORT, not {scheduler!r}")
        if given:
            raise StudyError("--tls-ca-file, --tls-cert and --tls-key go with a tls:// scheduler")
        return None
    if not _ADDRESS.fullmatch(scheduler):
        raise StudyError(f"--scheduler takes tcp://HOST:PORT or tls://HOST:PORT, not {scheduler!r}")
    if not given or not all(tls):
        raise StudyError("a tls:// scheduler needs --tls-ca-file, --tls-cert and --tls-key")
    for option, path in zip(("--tls-ca-file", "--tls-cert", "--tls-key"), tls):
        try:
            with open(path, "rb"):
                pass
        except OSError as error:
            raise StudyError(f"{option} {path}: cannot be read ({error.strerror})") from None
    from distributed.security import Security

    ca, cert, key = tls
    return Security(tls_ca_file=ca, tls_client_cert=cert, tls_client_key=key, require_encryption=True)


def _quiet():
    # Dask reports every lost connection and worker at length; the study reports each failure once.
    import distributed  # noqa: F401  (its loggers exist from here on)

    for name in ["distributed", "tornado", "asyncio", *logging.root.manager.loggerDict]:
        if name.split(".")[0] in ("distributed", "tornado", "asyncio"):
            logging.getLogger(name).setLevel(logging.CRITICAL + 1)


# What the server that forks the local workers loads once for all of them: Dask, and the
# module of the batches with emforce and numpy.
FORKSERVER_PRELOAD = ["distributed", "numpy", "lz4", "emforce.study.tasks"]


def start_forkserver():
    """Starts the server that forks the local cluster's workers, so that it loads Dask and
    emforce while this process reads the study and starts the cluster: the two take a core
    each, and the workers start sooner. Nothing is done where the workers start otherwise."""
    if os.environ.get("DASK_DISTRIBUTED__WORKER__MULTIPROCESSING_METHOD", "forkserver") != "forkserver":
        return
    import multiprocessing
    from multiprocessing import forkserver

    multiprocessing.get_context("forkserver").set_forkserver_preload(FORKSERVER_PRELOAD)
    forkserver.ensure_running()


def local_cluster(workers):
    """One single-threaded worker process per core (or `workers`), reached on 127.0.0.1 only."""
    import dask
    from distributed import LocalCluster

    # Workers forked from a server that has Dask loaded already start in a fraction of the time
    # of fresh interpreters, and without the threads of this process.
    if "DASK_DISTRIBUTED__WORKER__MULTIPROCESSING_METHOD" not in os.environ:
        dask.config.set({"distributed.worker.multiprocessing-method": "forkserver"})
        start_forkserver()
    # The workers' own profiler looks at every thread a hundred times a second, and the cluster's
    # processes look at their memory and health ten to fifty times a second: together a tenth of
    # the processor time of cheap points, and 6 % of a core while nothing runs (2 % thus).
    for key, value in (("worker.profile.enabled", False), ("worker.memory.monitor-interval", "1s"),
                       ("admin.system-monitor.interval", "2s"), ("admin.tick.interval", "100ms")):
        variable = "DASK_DISTRIBUTED__" + key.upper().replace(".", "__").replace("-", "_")
        if variable not in os.environ:
            dask.config.set({"distributed." + key: value})

    return LocalCluster(n_workers=workers or os.cpu_count() or 1, threads_per_worker=1, processes=True,
                        host="127.0.0.1", dashboard_address=None, worker_dashboard_address=None,
                        silence_logs=logging.CRITICAL)


def connect(workers=None, scheduler=None, secure=None, timeout=CONNECT_TIMEOUT):
    """A client of the local cluster or of the scheduler, with at least one worker; raises
    StudyError when there is none within the timeout. Returns (client, cluster or None)."""
    from distributed import Client

    _quiet()
    cluster = None
    try:
        if scheduler is None:
            try:
                cluster = local_cluster(workers)
            except Exception as error:  # whatever stops Dask from starting
                raise StudyError(f"the local cluster could not start: {error}") from None
        try:
            client = Client(scheduler or cluster, security=secure, timeout=f"{timeout}s")
        except Exception:  # a refusal, a timeout or a failed handshake: all say the same
            raise StudyError(f"cannot reach the scheduler at {scheduler or 'the local cluster'} within "
                             f"{timeout:g} s") from None
        try:
            client.wait_for_workers(1, timeout=timeout)
        except Exception:
            client.close()
            raise StudyError(f"the scheduler at {scheduler or 'the local cluster'} has no workers "
                             f"(waited {timeout:g} s)") from None
        return client, cluster
    except BaseException:
        if cluster is not None:
            cluster.close()
        raise


@dataclass
class Outcome:
    """What a run of batches gave: points written, how many of them hold a message, and why the
    first points without a result got none."""

    written: int = 0
    messages: int = 0
    reason: str = None


class _Batches:
    """The batches of the missing points, sized from the points' times so far."""

    def __init__(self, missing, threads):
        self._runs = missing
        self._run = range(0)
        self._threads = threads
        self._seconds = None   # per point, as measured on the workers

    def measured(self, points, seconds):
        if points and seconds > 0:
            per_point = seconds / points
            self._seconds = per_point if self._seconds is None else 0.5 * (self._seconds + per_point)

    def take(self, left):
        """The next batch (a range), or None when every point has been given out; `left`
        counts the points not yet given out, so that the last batches are shared out."""
        if not self._run:
            self._run = next(self._runs, range(0))
            if not self._run:
                return None
        size = FIRST_BATCH if self._seconds is None else max(1, int(BATCH_SECONDS / self._seconds))
        size = min(size, max(FIRST_BATCH, left // (IN_FLIGHT_PER_THREAD * self._threads)))
        batch, self._run = self._run[:size], self._run[size:]
        return batch


def compute(client, job, results, progress=None):
    """Runs the points that the results lack in batches, appending each batch's rows to the
    results as it completes. A batch whose worker is lost is run again by Dask; a batch that
    fails, a lost scheduler or a results file that cannot be written leave the points without a
    result. Returns the Outcome."""
    from distributed import wait

    threads = max(1, sum(client.nthreads().values()))
    batches = _Batches(results.missing(), threads)
    left = len(job.points) - results.done_count
    outcome = Outcome()
    flying = {}
    given_out = 0
    stopped = False  # no batch is given out any more: the scheduler or the results file is lost

    def failed(reason, fatal=False):
        nonlocal stopped
        outcome.reason = outcome.reason or reason
        stopped = stopped or fatal

    def submit():
        nonlocal given_out
        while len(flying) < IN_FLIGHT_PER_THREAD * threads and not stopped:
            batch = batches.take(left - given_out)
            if batch is None:
                return
            given_out += len(batch)
            flying[client.submit(batch_rows, job, batch, pure=False)] = batch

    submit()
    try:
        while flying and not stopped:
            try:
                done, _ = wait(list(flying), timeout=POLL_SECONDS, return_when="FIRST_COMPLETED")
            except TimeoutError:
                done = ()
            except CancelledError:  # what a client that lost its scheduler does to its futures
                failed(LOST_SCHEDULER, fatal=True)
                break
            for future in done:
                batch = flying.pop(future)
                try:
                    rows, messages, seconds = future.result() if future.status == "finished" else (None, 0, 0)
                except Exception:
                    rows = None
                if rows is None:
                    failed(*_why(future, client))
                    continue
                try:
                    results.write(rows)
                except OSError as error:
                    failed(f"{results.path} could not be written: {error.strerror}", fatal=True)
                    continue
                outcome.written += len(batch)
                outcome.messages += messages
                batches.measured(len(batch), seconds)
                if progress:
                    progress.advance(len(batch))
            if client.status not in ("running", "connecting"):
                failed(LOST_SCHEDULER, fatal=True)
            submit()
    finally:
        if flying and client.status == "running":
            try:
                client.cancel(list(flying))
            except Exception:
                pass  # the scheduler is gone: nothing runs for this client any more
    return outcome


def _why(future, client):
    """Why a batch got no result, and whether the study can go on."""
    if future.status == "cancelled" or client.status not in ("running", "connecting"):
        return LOST_SCHEDULER, True
    try:
        error = future.exception(timeout=POLL_SECONDS)
    except Exception:
        return LOST_SCHEDULER, True
    if type(error).__name__ == "KilledWorker":
        return "their workers were lost again and again", False
    return f"{type(error).__name__}: {error}".splitlines()[0], False


def close(client, cluster):
    """Closes the client and the local cluster without waiting long for a lost scheduler."""
    try:
        client.close(timeout=5)
    except Exception:
        pass
    if cluster is not None:
        try:
            cluster.close(timeout=10)
        except Exception:
            pass


class Progress:
    """A progress line on standard error: points done, rate, time left."""

    def __init__(self, total, already=0, stream=None):
        stream = stream or sys.stderr
        self._total, self._done = total, already
        self._first = None  # the rate counts from the first result, past the cluster's start
        self._counted = already
        self._stream = stream
        self._live = stream.isatty()
        self._shown = -1
        self._last = 0.0
        self._show()

    def advance(self, points=1):
        self._done += points
        if self._first is None:
            # The first batch started the clock: its own points do not count towards the rate.
            self._first = time.monotonic()
            self._counted = self._done
        self._show()

    def _show(self):
        new = self._done - self._counted
        elapsed = time.monotonic() - self._first if self._first is not None else 0.0
        rate = new / elapsed if elapsed > 0 and new > 0 else 0.0
        left = (self._total - self._done) / rate if rate else None
        share = self._done / self._total if self._total else 1.0
        tenth = int(share * 10)
        if not self._live and tenth == self._shown and self._done != self._total:
            return  # a log file gets a line every tenth of the study
        now = time.monotonic()
        if self._live and now - self._last < 0.1 and self._done != self._total:
            return  # a terminal gets at most ten lines a second
        self._shown, self._last = tenth, now
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
