"""python3 -m emforce.study STUDY.toml --out results.csv [options]: exit 0 when every point has a
row, 1 when some ended without a result (lost workers: --resume completes them) or the plot
could not be written, 2 for a study that cannot be carried out (one message on standard error,
before any point runs)."""
import argparse
import sys

from . import StudyError, execute_study, missing_message


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        self.exit(2, f"emforce.study: {message} (see --help)\n")


def _arguments(argv):
    parser = _Parser(prog="python3 -m emforce.study", description="Runs a parameter study of emforce on Dask.")
    parser.add_argument("study", help="the study file (TOML): [base], [vary] and mode")
    parser.add_argument("--out", required=True, help="the results CSV, one row per design point")
    parser.add_argument("--workers", type=int, help="worker processes of the local cluster (default: one per core)")
    parser.add_argument("--scheduler", help="an existing Dask cluster, tcp://HOST:PORT or tls://HOST:PORT, "
                                            "instead of a local one")
    parser.add_argument("--tls-ca-file", metavar="FILE", help="the certificate authority of a tls:// cluster")
    parser.add_argument("--tls-cert", metavar="FILE", help="this client's certificate for a tls:// cluster")
    parser.add_argument("--tls-key", metavar="FILE", help="the key of this client's certificate")
    parser.add_argument("--connect-timeout", type=float, metavar="SECONDS",
                        help="how long to wait for the scheduler and its first worker (default: 20)")
    parser.add_argument("--resume", action="store_true", help="compute only the points that --out lacks")
    parser.add_argument("--plot", metavar="OUTPUT:FILE", help="draw OUTPUT over the varied keys (.png or .svg)")
    return parser.parse_args(argv)


def main(argv=None):
    args = _arguments(argv)
    tls = (args.tls_ca_file, args.tls_cert, args.tls_key)
    try:
        summary = execute_study(args.study, args.out, args.workers, args.scheduler, args.resume, args.plot,
                                tls=tls, timeout=args.connect_timeout)
    except StudyError as error:
        print(f"emforce.study: {error}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        print(f"emforce.study: interrupted; {args.out} keeps every finished point, --resume completes it",
              file=sys.stderr)
        return 130
    if summary.missing:
        print(f"emforce.study: {missing_message(summary)}", file=sys.stderr)
        return 1
    print(f"{summary.points} points, {summary.messages} ended with a message", file=sys.stderr)
    return 1 if summary.picture_error else 0


if __name__ == "__main__":
    sys.exit(main())
