"""One design point as a task: its record built where it runs, the run, and its outputs."""
from .. import CalcError, Record, run
from .design import FILE_KEYS, base_record

# The outputs of a design point, in the order of the results' columns.
OUTPUTS = ("maxwell", "lorentz", "material", "impulse", "ratio",
           "avgBalance", "maxBalance", "avgCoenergy", "avgPower", "odeError")


def run_point(base, files, changes, point, threads, literal):
    """Runs one design point and returns its outputs (None where undefined) and "error".

    base is the JSON text of the record of the study's files, or None when the point varies one
    of them (files then names them); changes are those of [base], point those of the point.
    A point that ends in a message returns the message with whatever the run had produced.
    """
    try:
        record = Record.from_json(base) if base is not None else base_record(files)
        for key, value in changes:
            record.set(key, value)
        for key, value in point.items():
            if key not in FILE_KEYS:
                record.set(key, value)
        return outputs(run(record, threads=threads, literal=literal), None)
    except CalcError as error:
        return outputs(getattr(error, "result", None), str(error))
    except (ValueError, TypeError) as error:
        return outputs(None, str(error))


def outputs(result, error):
    row = dict.fromkeys(OUTPUTS)
    if result is not None:
        if result.tabled is not None:
            row.update(result.tabled)
        row.update(result.statistics)
        row["odeError"] = result.ode_error
    row["error"] = error
    return row
