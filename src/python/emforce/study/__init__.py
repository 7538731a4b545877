"""Parameter studies of emforce on Dask distributed.

A study file (TOML) gives a [base] record and a [vary] table of keys and their values; the
design points, made one by one from their index and never all at once, run in batches of about
half a second each as Dask tasks, on a local cluster of one single-threaded worker process per
core or on an existing Dask cluster. The rows go to a CSV file batch by batch.

    python3 -m emforce.study STUDY.toml --out results.csv [--workers N]
        [--scheduler tcp://HOST:PORT | tls://HOST:PORT --tls-ca-file F --tls-cert F --tls-key F]
        [--resume] [--plot OUTPUT:FILE]

    import emforce.study
    table = emforce.study.run("study.toml", "results.csv")
    table["maxwell"]   # numpy array over the design points
"""
import os
import stat
import sys
from dataclasses import dataclass

from .design import MAX_POINTS, Study, StudyError, load
from .results import COLUMNS, Results, read_table
from .tasks import OUTPUTS

__all__ = ["COLUMNS", "MAX_POINTS", "OUTPUTS", "Results", "Study", "StudyError", "Summary", "execute_study",
           "load", "read_table", "run"]


@dataclass
class Summary:
    """How a study ended: its design points, those that ended with a message, those without a
    result (and why the first of them got none)."""

    points: int
    messages: int
    missing: int
    reason: str = None
    picture_error: str = None  # the message of a plot that could not be written


def execute_study(study, out, workers=None, scheduler=None, resume=False, plot=None, progress=True,
                  tls=None, timeout=None):
    """Runs the design points of a study (a Study or the path of its file) that `out` does not
    hold yet, and draws the plot ("OUTPUT:FILE"). Everything that could stop the study is
    checked before a point runs and the results file is made only once the cluster is ready;
    such a failure raises StudyError. tls is (CA file, certificate, key) for a tls:// scheduler;
    timeout the seconds to reach the scheduler and its first worker. Returns the Summary."""
    from . import execute, plot as pictures
    from .tasks import Job

    study = load(study) if isinstance(study, str) else study
    if workers is not None and workers < 1:
        raise StudyError("--workers must be at least 1")
    if timeout is not None and not timeout > 0:
        raise StudyError("--connect-timeout must be above 0 seconds")
    secure = execute.security(scheduler, tls)
    if scheduler is None:
        execute.start_forkserver()
    picture = pictures.parse(plot, study) if plot else None
    results = Results(out, study, resume)
    if picture and not results.is_file:
        raise StudyError(f"--plot reads the results back: --out must be a file, not {out}")
    total = len(study.points)
    outcome = execute.Outcome()
    if results.done_count < total:
        client, cluster = execute.connect(workers, scheduler, secure, timeout or execute.CONNECT_TIMEOUT)
        bar = None
        try:
            results.open()
            bar = execute.Progress(total, results.done_count) if progress else None
            outcome = execute.compute(client, Job(study), results, bar)
        finally:
            results.close()
            if bar:
                bar.close()
            execute.close(client, cluster)
    summary = Summary(total, results.messages + outcome.messages,
                      total - results.done_count - outcome.written, outcome.reason)
    if picture:
        try:
            pictures.draw(picture[1], picture[0], study, read_table(out, study))
        except StudyError as error:
            summary.picture_error = str(error)
            print(f"emforce.study: {error}", file=sys.stderr)
    return summary


def run(study, out, workers=None, scheduler=None, resume=False, plot=None, progress=True, tls=None,
        timeout=None):
    """Runs the study as execute_study does and returns the results of all its points (see
    read_table), or None when `out` is a device or a pipe. The points that ended without a
    result (a lost worker, say) are counted in one message on standard error and left for a
    later resume."""
    study = load(study) if isinstance(study, str) else study
    summary = execute_study(study, out, workers, scheduler, resume, plot, progress, tls, timeout)
    if summary.missing:
        print(f"emforce.study: {missing_message(summary)}", file=sys.stderr)
    return read_table(out, study) if _regular(out) else None


def missing_message(summary):
    return (f"{summary.missing} of {summary.points} points got no result ({summary.reason or 'unknown'}): "
            "--resume completes them")


def _regular(path):
    try:
        return stat.S_ISREG(os.stat(path).st_mode)
    except OSError:
        return False
