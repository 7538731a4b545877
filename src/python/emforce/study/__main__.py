"""python3 -m emforce.study STUDY.toml --out results.csv [options]: exit 0 when every point has a
row, 1 when some ended without a result (lost workers: --resume completes them), 2 for a study
that cannot be carried out (one message on standard error)."""
import argparse
import sys

from . import StudyError, run


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        self.exit(2, f"emforce.study: {message} (see --help)\n")


def main(argv=None):
    parser = _Parser(prog="python3 -m emforce.study", description="Runs a parameter study of emforce on Dask.")
    parser.add_argument("study", help="the study file (TOML): [base], [vary] and mode")
    parser.add_argument("--out", required=True, help="the results CSV, one row per design point")
    parser.add_argument("--workers", type=int, help="worker processes of the local cluster (default: one per core)")
    parser.add_argument("--scheduler", help="an existing Dask cluster, tcp://HOST:PORT, instead of a local one")
    parser.add_argument("--resume", action="store_true", help="compute only the points that --out lacks")
    parser.add_argument("--plot", metavar="OUTPUT:FILE", help="draw OUTPUT over the varied keys (.png or .svg)")
    args = parser.parse_args(argv)
    try:
        table = run(args.study, args.out, args.workers, args.scheduler, args.resume, args.plot)
    except StudyError as error:
        print(f"emforce.study: {error}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        print(f"emforce.study: interrupted; {args.out} keeps every finished point, --resume completes it",
              file=sys.stderr)
        return 130
    missing = sum(1 for error, value in zip(table["error"], table["maxwell"]) if error is None and value != value)
    messages = sum(1 for error in table["error"] if error is not None)
    print(f"{len(table['error'])} points, {messages} ended with a message", file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
