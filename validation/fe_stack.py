#!/usr/bin/python3
"""Finite-element check of a stack of regions: a conducting core under a conducting layer.

Runs emforce-cli on a run record whose stack is, in the linear geometry, a solid core (a
conducting, permeable half-space), one isotropic layer, the gap and a current sheet on ideal
stator iron. Each wave of the sheet's spectrum (computed here from the coil sides, not taken
from the program) is solved with Gmsh + GetDP in the rotor's frame on a base mesh and on meshes
two and four times finer; the core is cut where its field has decayed to e^-10. Prints the
program's Maxwell force and every region's Lorentz force and Joule loss against the
finite-element ones with the mesh convergence and the relative difference; exits 1 when a
difference exceeds the convergence (or --tolerance).

    /usr/bin/python3 validation/fe_stack.py [--record validation/stack_core.json]
"""

import argparse
import cmath
import concurrent.futures
import json
import math
import os
import sys
import tempfile

import fe_check

HERE = os.path.dirname(os.path.abspath(__file__))
MU0 = 4e-7 * math.pi


def spectrum(winding, highest):
    """{h: complex amplitude J_h of Re(J_h e^{j(wt - h theta)})} of the coil sides: a side of
    density K, sign s, phase angle phi over the width w about theta_m adds
    s K e^{j phi} sin(h w / 2) / (pi h) e^{j h theta_m}."""
    out = {}
    for magnitude in range(1, highest + 1):
        for h in (magnitude, -magnitude):
            total = 0j
            for side in winding["sides"]:
                phi = winding["phaseAngles"][side["phase"]]
                total += (side["sign"] * side["density"] * cmath.exp(1j * phi)
                          * math.sin(h * side["width"] / 2) / (math.pi * h)
                          * cmath.exp(1j * h * side["midline"]))
            out[h] = total
    largest = max(abs(v) for v in out.values())
    return {h: v for h, v in out.items() if abs(v) > 1e-12 * largest}


def stack_case(record):
    """The inputs the model needs, refusing a stack it does not model."""
    stack = record.get("stack")
    if record["geometry"] != "linear" or stack is None:
        raise fe_check.CheckError("the record needs a stack in the linear geometry")
    if (stack["core"]["kind"] != "solid" or len(stack["layers"]) != 1
            or stack["excitation"]["kind"] != "sheet" or stack["stator"]["kind"] != "ideal iron"
            or "reluctivity" in stack["layers"][0]):
        raise fe_check.CheckError("the model is a solid core, one isotropic layer, a sheet and "
                                  "ideal stator iron")
    rows = [fe_check.number(row[1]) if i != 18 else None
            for i, row in enumerate(record["parameterTable"])]
    kp, f1, n, length = rows[12], rows[16], rows[15], rows[19]
    return {"stack": stack, "kp": kp, "omega": 2 * math.pi * f1, "v": 2 * math.pi * n / kp,
            "len": length}


def progression(first, total, count):
    """The ratio q of count elements that start at `first` and add up to `total`."""
    if first * count >= total:
        return 1.0
    low, high = 1.0, 10.0
    for _ in range(200):
        q = 0.5 * (low + high)
        if first * (q ** count - 1) / (q - 1) > total:
            high = q
        else:
            low = q
    return 0.5 * (low + high)


def solve_wave(case, h, amplitude, refine, workdir):
    """Maxwell, layer Lorentz and Joule, core Lorentz and Joule of one wave on one mesh."""
    stack, layer = case["stack"], case["stack"]["layers"][0]
    kh = case["kp"] * h
    omega = case["omega"] - kh * case["v"]  # the rotor frame's frequency of this wave
    x0, a, g = stack["core"]["surface"], layer["width"], stack["gap"]
    sigma_c, mu_c = stack["core"]["sigma"], stack["core"]["muR"] * MU0
    gamma_core = cmath.sqrt(kh * kh + 1j * omega * mu_c * sigma_c)
    depth = 10.0 / gamma_core.real  # a reflection from the cut of e^-20
    kappa = kh * kh + 1j * omega * MU0 * layer["muR"] * layer["sigma"]
    layer_depth = a * abs(cmath.sqrt(kappa))
    nl = min(40, max(6, math.ceil(4 + 1.5 * layer_depth)))
    ql = 1.0 if layer_depth <= 4 else (4.0 / layer_depth) ** (1.0 / (nl - 1))
    first = min(a / nl, 0.25 / abs(gamma_core)) / refine  # resolve the core's skin
    nc = 24 * refine
    ny = math.ceil(max(12, round(32 / math.sqrt(abs(h)))) * abs(h)) * refine
    tag = f"h{h}_m{refine}"
    mesh = os.path.join(workdir, tag + ".msh")
    result = os.path.join(workdir, tag + ".txt")
    geo = {"x0": x0, "R": x0 + a, "g": g, "Ly": 2 * math.pi / abs(case["kp"]), "ny": ny,
           "nl": nl * refine, "ql": ql ** (1.0 / refine), "ng": max(2, math.ceil(3 * g * abs(kh))) * refine,
           "layer": 1, "solid": 1, "depth": depth, "nc": nc,
           "qc": progression(first, depth, nc)}
    command = ["gmsh", "-2", "-order", "2", "-format", "msh22", "-v", "1",
               os.path.join(HERE, "linear.geo"), "-o", mesh]
    for name, value in geo.items():
        command += ["-setnumber", name, repr(float(value))]
    fe_check.run_tool(command)
    # The sheet's tangential field kh·Ah equals |J_h|: the time averages do not depend on the
    # wave's phase.
    numbers = {"cylindrical": 0, "synchronous": 0, "kh": kh, "Ah": abs(amplitude) / abs(kh),
               "omega": omega, "gamma": layer["sigma"], "nu1": 1 / (MU0 * layer["muR"]),
               "nu2": 1 / (MU0 * layer["muR"]), "len": case["len"], "g": g, "Ly": geo["Ly"],
               "solid": 1, "gammac": sigma_c, "nuc": 1 / mu_c}
    command = ["getdp", os.path.join(HERE, "harmonic.pro"), "-msh", mesh, "-solve", "Solve",
               "-pos", "Forces", "-v", "1", "-setstring", "out", result,
               "-name", os.path.join(workdir, tag)]
    for name, value in numbers.items():
        command += ["-setnumber", name, repr(float(value))]
    fe_check.run_tool(command)
    with open(result, encoding="utf-8") as f:
        values = [float(line.split()[1]) for line in f if line.strip()]
    keys = ("maxwell", "layer lorentz", "layer joule", "core lorentz", "core joule")
    return dict(zip(keys, values))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", default=os.path.join(fe_check.ROOT, "build", "src", "cli",
                                                      "emforce-cli"))
    parser.add_argument("--record", default=os.path.join(HERE, "stack_core.json"))
    parser.add_argument("--meshes", default="1,2,4")
    parser.add_argument("--tolerance", type=float,
                        help="fixed relative tolerance in place of the mesh convergence")
    parser.add_argument("--jobs", type=int, default=2)
    a = parser.parse_args()
    meshes = [int(m) for m in a.meshes.split(",")]
    try:
        report, record = fe_check.run_program(a.cli, ["--record", a.record])
        if report["tabled"] is None:
            raise fe_check.CheckError(f"the program gave no tabled point: {report['error']}")
        case = stack_case(record)
    except fe_check.CheckError as e:
        print(f"error: {e}")
        return 1
    waves = spectrum(case["stack"]["winding"], case["stack"]["highestOrder"])
    with tempfile.TemporaryDirectory(prefix="emforce-fe-") as workdir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=a.jobs) as pool:
            tasks = {(h, m): pool.submit(solve_wave, case, h, amp, m, workdir)
                     for m in meshes for h, amp in waves.items()}
            solved = {key: task.result() for key, task in tasks.items()}
    regions = {r["name"]: r for r in report["regions"]}
    layer = case["stack"]["layers"][0]["name"]
    program = {"maxwell": report["tabled"]["maxwell"],
               "layer lorentz": regions[layer]["lorentz"], "layer joule": regions[layer]["joule"],
               "core lorentz": regions["core"]["lorentz"], "core joule": regions["core"]["joule"]}
    print(f"{os.path.relpath(a.record, fe_check.ROOT)}: orders {sorted(waves, key=abs)}")
    print(" | ".join(["quantity", "program"] + [f"FE x{m}" for m in meshes]
                     + ["convergence", "difference", "ok"]))
    failures = 0
    for q, value in program.items():
        fe = [sum(solved[(h, m)][q] for h in waves) for m in meshes]
        convergence, difference = fe_check.summarise(value, fe)
        bound = a.tolerance if a.tolerance is not None else convergence
        ok = bound is None or abs(difference) <= max(bound, 1e-9)
        failures += not ok
        print(" | ".join([q, f"{value:.10g}"] + [f"{v:.10g}" for v in fe]
                         + ["-" if convergence is None else f"{convergence:.1e}",
                            f"{difference:+.1e}", "-" if bound is None else "yes" if ok else "NO"]),
              flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
