#!/usr/bin/python3
"""Independent finite-element check of emforce's closed-form forces and torques.

For one case (the options of emforce-cli) or a table of cases, runs emforce-cli to get the
inputs and the harmonic amplitudes the program lists, solves every included harmonic with
Gmsh + GetDP on a base mesh and on meshes two and four times finer in every direction, sums the
harmonics (their time averages do not interact) and prints the program's Maxwell and Lorentz
results against the finite-element ones with the mesh convergence and the relative difference.
"""

import argparse
import concurrent.futures
import json
import math
import os
import shlex
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
NI0 = 795774.7154594767
EPS0 = 8.854e-12
TWO_PI = 2 * math.pi


class CheckError(Exception):
    """A case that cannot be checked: the message says why."""


def number(text):
    """A table text of the program: a decimal comma or point."""
    return float(text.strip().replace(",", "."))


def run_json(command):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        raise CheckError(f"{shlex.join(command)} failed: {done.stderr.strip()}")
    return json.loads(done.stdout)


def run_program(cli, args):
    """The JSON report and the run record of one emforce-cli run at its tabled point; for the
    induction motor the report's "joule" is the Joule loss at the tabled speed (a speed curve
    of one value)."""
    with tempfile.TemporaryDirectory() as tmp:
        record_path = os.path.join(tmp, "record.json")
        report = run_json([cli, *args, "--curves", "none", "--json", "--write-record", record_path])
        with open(record_path, encoding="utf-8") as f:
            record = json.load(f)
    if record["motor"] == "induction" and report["tabled"] is not None:
        speed = record["parameterTable"][15][1]
        curve = run_json([cli, *args, "--curves", "6", "--domain", "4", "--min-speed", speed,
                          "--max-speed", speed, "--points", "10", "--json"])
        report["joule"] = curve["curves"]["6"]["y"][0]
    return report, record


def case_parameters(record):
    """The inputs of the record in SI units, named as the field model names them."""
    rows = [number(row[1]) if i != 18 else None for i, row in enumerate(record["parameterTable"])]
    relukt = record["reluctivityTable"]
    p = {
        "geometry": record["geometry"], "motor": record["motor"],
        "pattern": record["windingPattern"],
        "R": rows[1], "g": rows[2], "a": rows[3], "y": rows[4], "mmfStator": rows[6],
        "mmfRotor": rows[7], "gamma": rows[8], "eps": rows[9] * EPS0, "nu1d": rows[10] * NI0,
        "nu2d": rows[11] * NI0, "kp": rows[12], "nu1": rows[13] * NI0, "nu2": rows[14] * NI0,
        "n": rows[15], "f1": rows[16], "fI": rows[17], "len": rows[19],
        "nu12": complex(number(relukt[1][1]), number(relukt[1][2])) * NI0,
        "nu21": complex(number(relukt[2][1]), number(relukt[2][2])) * NI0,
        "nu12d": number(record["ni12dGap"]) * NI0, "nu21d": number(record["ni21dGap"]) * NI0,
    }
    if p["geometry"] not in ("linear", "cylindrical"):
        raise CheckError(f"the {p['geometry']} geometry has no finite-element model")
    return p


def included_harmonics(report, p, legacy):
    """The harmonics the program sums, each with its amplitudes and the frequency of the
    layer currents: 2 pi m s with s = syncSpeed / h - n and m = kp h (cylindrical) or h
    (linear); legacy uses 2 pi |s| in the direction of the harmonic. scale turns the
    finite-element result over one fundamental wavelength (linear) into the span the
    formulation sums."""
    linear = p["geometry"] == "linear"
    sync = p["f1"] if linear else p["f1"] / p["kp"]
    three_phase = p["pattern"] != 5
    out = []
    for h, amplitude in report["harmonics"]:
        if amplitude == 0:
            continue
        kh = p["kp"] * h
        scale = 1.0 / abs(h) if (legacy and linear) else 1.0
        if p["motor"] == "synchronous":
            if legacy:
                # The legacy linear force of a harmonic is taken over its own wavelength with
                # the sign of its order.
                scale = math.copysign(scale, h)
            rotor = amplitude * p["mmfRotor"] / p["mmfStator"]
            if h % 3 == 0 or rotor == 0:
                continue
            # The sheets stand still relative to each other; the frequency plays no part.
            out.append({"h": h, "kh": kh, "Ah": amplitude, "Ar": rotor, "omega": 0.0,
                        "scale": scale})
            continue
        s = sync / h - p["n"]
        if abs(s / sync) < 1e-7 or (three_phase and h % 3 == 0):
            continue
        # The legacy frequency 2 pi s takes the wave's direction from the sign of its order.
        m = math.copysign(1.0, h) if legacy else (h if linear else kh)
        out.append({"h": h, "kh": kh, "Ah": amplitude, "Ar": 0.0, "omega": TWO_PI * m * s,
                    "scale": scale})
    return out


def mesh_sizes(harmonic, p, refine):
    """Element counts of the structured mesh of one harmonic, refine times the base mesh in
    every direction; the layer is graded towards its surface where the skin depth is short."""
    linear = p["geometry"] == "linear"
    radius = 1.0 if linear else p["R"]
    kt = abs(harmonic["kh"]) / radius  # tangential wave number at the layer surface
    g = p["g"]
    ng = max(2, math.ceil(3 * g * kt))
    sizes = {"ng": ng * refine}
    # Quadratic elements per wavelength along the motion: 32 leave about 1e-5 of the
    # fundamental on the base mesh; the higher orders, which carry less, get fewer.
    waves = abs(harmonic["h"]) if linear else abs(harmonic["kh"])
    tangential = max(12, round(32 / math.sqrt(abs(harmonic["h"])))) * waves
    if not linear:
        # The curved gap edges must stay close to their chords against the element height.
        chord = math.sqrt(0.4 * p["R"] * g / ng)
        tangential = max(tangential, TWO_PI * p["R"] / chord)
        sizes["nq"] = math.ceil(tangential / 4) * refine
    else:
        sizes["ny"] = math.ceil(tangential) * refine
    if p["motor"] == "induction":
        sc = complex(p["fI"], harmonic["omega"])
        inner = 1.0 if linear else p["R"] - p["a"]
        kc = abs(harmonic["kh"]) / inner  # the largest tangential wave number in the layer
        kappa = (kc * kc * p["nu1"] + p["gamma"] * sc + p["eps"] * sc * sc) / p["nu2"]
        depth = p["a"] * abs(kappa ** 0.5)  # layer thickness in decay lengths
        nl = min(40, max(6 if linear else 12, math.ceil(4 + 1.5 * depth)))
        ratio = 1.0 if depth <= 4 else 4.0 / depth  # last over first element
        q = ratio ** (1.0 / (nl - 1))
        sizes["nl"] = nl * refine
        sizes["ql"] = q ** (1.0 / refine)
    return sizes


def solve_harmonic(harmonic, p, refine, workdir):
    """Maxwell, Lorentz and Joule of one harmonic on one mesh (per the span of scale)."""
    linear = p["geometry"] == "linear"
    induction = p["motor"] == "induction"
    tag = f"h{harmonic['h']}_m{refine}"
    mesh = os.path.join(workdir, tag + ".msh")
    result = os.path.join(workdir, tag + ".txt")
    geo = {"R": p["R"], "g": p["g"], "layer": 1 if induction else 0,
           "x0": p["R"] - p["a"], **mesh_sizes(harmonic, p, refine)}
    if linear:
        geo["Ly"] = TWO_PI / abs(p["kp"])
    command = ["gmsh", "-2", "-order", "2", "-format", "msh22", "-v", "1",
               os.path.join(HERE, "linear.geo" if linear else "cylindrical.geo"), "-o", mesh]
    for name, value in geo.items():
        command += ["-setnumber", name, repr(float(value))]
    run_tool(command)
    numbers = {
        "cylindrical": 0 if linear else 1, "synchronous": 0 if induction else 1,
        "kh": harmonic["kh"], "Ah": harmonic["Ah"], "Ar": harmonic["Ar"], "shift": p["y"],
        "omega": harmonic["omega"], "fI": p["fI"], "gamma": p["gamma"], "epsl": p["eps"],
        "nu1": p["nu1"], "nu2": p["nu2"], "nu12re": p["nu12"].real, "nu12im": p["nu12"].imag,
        "nu21re": p["nu21"].real, "nu21im": p["nu21"].imag, "nu1d": p["nu1d"],
        "nu2d": p["nu2d"], "nu12d": p["nu12d"], "nu21d": p["nu21d"], "len": p["len"],
        "g": p["g"], "Ly": geo.get("Ly", 1.0),
    }
    command = ["getdp", os.path.join(HERE, "harmonic.pro"), "-msh", mesh, "-solve", "Solve",
               "-pos", "Forces", "-v", "1", "-setstring", "out", result,
               "-name", os.path.join(workdir, tag)]
    for name, value in numbers.items():
        command += ["-setnumber", name, repr(float(value))]
    run_tool(command)
    with open(result, encoding="utf-8") as f:
        values = [float(line.split()[1]) * harmonic["scale"] for line in f if line.strip()]
    for path in (mesh, result, os.path.join(workdir, tag + ".pre")):
        if os.path.exists(path):
            os.remove(path)
    keys = ("maxwell", "lorentz", "joule") if induction else ("maxwell",)
    return dict(zip(keys, values))


def run_tool(command):
    env = dict(os.environ, OMP_NUM_THREADS="1", OPENBLAS_NUM_THREADS="1")
    done = subprocess.run(command, capture_output=True, text=True, env=env)
    if done.returncode != 0 or "Error" in done.stdout + done.stderr:
        raise CheckError(f"{command[0]} failed: {(done.stdout + done.stderr).strip()[-2000:]}")


def program_formulations(cli):
    """Whether the program offers the choice of formulation (--formulation)."""
    done = subprocess.run([cli, "--help"], capture_output=True, text=True)
    return "--formulation" in done.stdout


def check_case(cli, args, meshes, legacy, jobs):
    """Program and finite-element results of one case: {quantity: (program, [FE per mesh])}."""
    report, record = run_program(cli, args)
    if report["tabled"] is None:
        raise CheckError(f"the program gave no tabled point: {report['error']}")
    p = case_parameters(record)
    harmonics = included_harmonics(report, p, legacy)
    with tempfile.TemporaryDirectory(prefix="emforce-fe-") as workdir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
            tasks = {(h["h"], m): pool.submit(solve_harmonic, h, p, m, workdir)
                     for m in meshes for h in harmonics}
            solved = {key: task.result() for key, task in tasks.items()}
    out = {}
    for q in ("maxwell", "lorentz", "joule"):
        if q == "joule" and "joule" not in report:
            continue
        # The synchronous sheets' Lorentz force equals the Maxwell force of the isotropic gap.
        fe_key = "maxwell" if p["motor"] == "synchronous" else q
        fe = [sum(solved[(h["h"], m)][fe_key] for h in harmonics) for m in meshes]
        out[q] = (report.get(q, report["tabled"].get(q)), fe)
    return out


def relative(a, b):
    scale = max(abs(a), abs(b))
    return 0.0 if scale == 0 else (a - b) / scale


def summarise(program, fe):
    """Mesh convergence (the change between the two finest meshes) and the difference of the
    program from the finest mesh, both relative."""
    convergence = abs(relative(fe[-1], fe[-2])) if len(fe) > 1 else None
    return convergence, relative(program, fe[-1])


def read_table(path):
    """Cases of a table file: 'label | emforce-cli options [| physical]' per line (the third
    field: a case the legacy formulation does not compute); '#' starts a comment line, and
    NAME=OPTIONS defines $NAME for the options of the lines below."""
    cases, names = [], {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            for name, value in names.items():
                line = line.replace("$" + name, value)
            label, bar, options = line.partition("|")
            options, _, only = options.partition("|")
            if not bar:
                name, _, value = line.partition("=")
                names[name.strip()] = value.strip()
                continue
            cases.append((label.strip(), shlex.split(options), only.strip() or None))
    return cases


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "src", "cli", "emforce-cli"))
    parser.add_argument("--meshes", default="1,2,4",
                        help="refinements of the base mesh, comma-separated (default 1,2,4)")
    parser.add_argument("--formulation", choices=("physical", "legacy"), default="physical",
                        help="physical: layer currents at 2 pi m s, linear harmonics over one "
                             "fundamental wavelength; legacy: at 2 pi s, each linear harmonic "
                             "over its own wavelength. Passed on to a program that offers "
                             "the choice")
    parser.add_argument("--table", help="a file of cases, one 'label | options' per line")
    parser.add_argument("--tolerance", type=float,
                        help="fixed relative tolerance in place of the mesh convergence")
    parser.add_argument("--jobs", type=int, default=2, help="solver processes at once")
    parser.add_argument("options", nargs=argparse.REMAINDER,
                        help="emforce-cli options of one case (after --)")
    a = parser.parse_args()
    meshes = [int(m) for m in a.meshes.split(",")]
    options = a.options[1:] if a.options[:1] == ["--"] else a.options
    cases = read_table(a.table) if a.table else [("case", options, None)]
    if not cases or not (a.table or options):
        parser.error("give a --table or the emforce-cli options of one case")
    legacy = a.formulation == "legacy"
    chosen = ["--formulation", a.formulation] if program_formulations(a.cli) else []
    print(f"formulation {a.formulation}: "
          + ("the program's choice too" if chosen else "the program has no choice of formulation"))

    header = ["case", "quantity", "program"] + [f"FE x{m}" for m in meshes] + [
        "convergence", "difference", "ok"]
    print(" | ".join(header))
    failures = 0
    started = time.monotonic()
    cases = [case for case in cases if case[2] in (None, a.formulation)]
    for label, args, _ in cases:
        try:
            results = check_case(a.cli, chosen + args, meshes, legacy, a.jobs)
        except CheckError as e:
            print(f"{label} | error: {e}")
            failures += 1
            continue
        for q, (program, fe) in results.items():
            convergence, difference = summarise(program, fe)
            bound = a.tolerance if a.tolerance is not None else convergence
            ok = bound is None or abs(difference) <= max(bound, 1e-9)
            failures += not ok
            cells = [label, q, f"{program:.10g}"] + [f"{v:.10g}" for v in fe] + [
                "-" if convergence is None else f"{convergence:.1e}", f"{difference:+.1e}",
                "-" if bound is None else "yes" if ok else "NO"]
            print(" | ".join(cells), flush=True)
    print(f"{len(cases)} cases, {failures} beyond the tolerance, "
          f"{time.monotonic() - started:.0f} s")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
