"""Pictures of a study: a heat map with contours over two varied keys, a line over one."""
import io
import math
import os

import numpy as np

from .. import CalcError
from .._emforce import write_file
from .design import StudyError
from .tasks import OUTPUTS

FORMATS = (".png", ".svg")


def parse(spec, study):
    """The output and file of --plot OUTPUT:FILE, checked against the study before it runs."""
    output, colon, path = spec.partition(":")
    if not colon or not path:
        raise StudyError(f"--plot takes OUTPUT:FILE, not {spec!r}")
    if output not in OUTPUTS:
        raise StudyError(f"--plot: unknown output '{output}': choose one of {', '.join(OUTPUTS)}")
    if os.path.splitext(path)[1].lower() not in FORMATS:
        raise StudyError(f"--plot: the file must end in .png or .svg, not {path!r}")
    if len(study.keys) > 2:
        raise StudyError(f"--plot draws one or two varied keys, not {len(study.keys)}")
    if len(study.keys) == 2 and study.mode != "grid":
        raise StudyError("--plot of two varied keys needs mode = \"grid\"")
    folder = os.path.dirname(os.path.abspath(path))
    if not os.path.isdir(folder):
        raise StudyError(f"--plot: {path} cannot be written (No such file or directory)")
    if not os.access(folder, os.W_OK) or os.path.isdir(path):
        raise StudyError(f"--plot: {path} cannot be written ({'Is a directory' if os.path.isdir(path) else 'Permission denied'})")
    return output, path


def _label(key):
    """A varied key with the meaning of its table row ("15: speed n [1/s]")."""
    from .._emforce import parameter_labels

    if key.isdigit() and int(key) < len(parameter_labels()):
        meaning = " ".join(parameter_labels()[int(key)].split()).rstrip("= ").strip()
        return f"{key}: {meaning}"
    return key


def _axis(values):
    """Numeric positions of a key's values, and the labels of texts (None for numbers)."""
    if all(isinstance(v, (int, float)) and not isinstance(v, bool) for v in values):
        return np.array(values, dtype=float), None
    return np.arange(len(values), dtype=float), [str(v) for v in values]


def _logarithmic(values):
    positive = all(v > 0 for v in values)
    if len(values) < 3 or not positive:
        return False
    ratios = [b / a for a, b in zip(values, values[1:])]
    return max(ratios) - min(ratios) < 1e-9 * max(ratios) and abs(ratios[0] - 1) > 1e-9


def _scale(axes, which, values, labels):
    if labels is not None:
        getattr(axes, f"set_{which}ticks")(np.arange(len(labels)), labels)
    elif _logarithmic(values):
        getattr(axes, f"set_{which}scale")("log")


def draw(path, output, study, table):
    """Draws the output of the results table over the varied keys into a PNG or SVG file."""
    from matplotlib.figure import Figure

    figure = Figure(figsize=(8, 6), dpi=120, layout="constrained")
    axes = figure.subplots()
    values = table[output]
    keys = study.keys
    first = study.vary[keys[0]]
    x, xlabels = _axis(first)
    if len(keys) == 1:
        axes.plot(x, values, marker="o", markersize=3)
        axes.set_ylabel(output)
        axes.grid(True, alpha=0.3)
    else:
        second = study.vary[keys[1]]
        y, ylabels = _axis(second)
        # Grid points run with the first key slowest: rows of the map are its values.
        grid = np.asarray(values, dtype=float).reshape(len(first), len(second)).T
        mesh = axes.pcolormesh(x, y, np.ma.masked_invalid(grid), shading="nearest", cmap="viridis")
        figure.colorbar(mesh, ax=axes, label=output)
        if len(first) > 1 and len(second) > 1 and np.isfinite(grid).sum() >= 4:
            lines = axes.contour(x, y, np.ma.masked_invalid(grid), levels=8, colors="white", linewidths=0.8)
            axes.clabel(lines, fontsize=7, fmt="%.3g")
        axes.set_ylabel(_label(keys[1]))
        _scale(axes, "y", second, ylabels)
    axes.set_xlabel(_label(keys[0]))
    _scale(axes, "x", first, xlabels)
    missing = sum(1 for v in values if math.isnan(v))
    title = f"{output} over {' × '.join(_label(key).partition(': ')[2] or key for key in keys)}"
    axes.set_title(title + (f"  ({missing} points without a value)" if missing else ""))
    picture = io.BytesIO()
    figure.savefig(picture, format=os.path.splitext(path)[1][1:].lower())
    try:
        write_file(path, picture.getvalue())
    except CalcError as error:
        raise StudyError(f"--plot: {error}") from None
