"""Parameter studies of emforce on Dask distributed.

A study file (TOML) gives a [base] record and a [vary] table of keys and their values; every
design point is one task, on a local cluster of one single-threaded worker process per core
or on an existing Dask cluster. Results go to a CSV file as they arrive.

    python3 -m emforce.study STUDY.toml --out results.csv [--workers N]
        [--scheduler tcp://HOST:PORT] [--resume] [--plot OUTPUT:FILE]

    import emforce.study
    table = emforce.study.run("study.toml", "results.csv")
    table["maxwell"]   # numpy array over the design points
"""
import sys

from .design import Study, StudyError, load
from .results import COLUMNS, Writer, point_key, read_table
from .tasks import OUTPUTS

__all__ = ["COLUMNS", "OUTPUTS", "Study", "StudyError", "load", "run"]


def run(study, out, workers=None, scheduler=None, resume=False, plot=None, progress=True):
    """Runs the design points of a study (a Study or the path of its file) that `out` does not
    hold yet and returns the results of all of them (see read_table). plot is "OUTPUT:FILE".
    Raises StudyError for a study that cannot be carried out; the points that ended without
    a result (a lost worker) are listed on standard error and left for a later resume."""
    from . import execute, plot as pictures

    study = load(study) if isinstance(study, str) else study
    if workers is not None and workers < 1:
        raise StudyError("--workers must be at least 1")
    picture = pictures.parse(plot, study) if plot else None
    writer = Writer(out, study, resume)
    todo = [p for p in study.points if point_key(study, p) not in writer.done]
    bar = execute.Progress(len(study.points), len(study.points) - len(todo)) if progress else None
    try:
        if todo:
            lost = execute.compute(study, todo, lambda point, row: writer.write(study, point, row),
                                   workers, scheduler, bar)
            for point, reason in lost:
                print(f"no result for {point}: {reason}", file=sys.stderr)
    finally:
        writer.close()
        if bar:
            bar.close()
    table = read_table(out, study)
    if picture:
        pictures.draw(picture[1], picture[0], study, table)
    return table
