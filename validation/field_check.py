#!/usr/bin/python3
"""Finite-element check of emforce's field map: B_n along the middle of the gap and the layer
current density J along two depths of the layer, at t = 0, summed over the harmonics.

For one case (the options of emforce-cli), runs emforce-cli --field for the program's values and
solves every included harmonic with Gmsh + GetDP (the models of fe_check.py) on a base mesh and
on finer ones, printing the largest difference of the program from the finest mesh relative to
the largest value, next to the change between the two finest meshes; exits with 1 when a
difference exceeds that change.
"""

import argparse
import concurrent.futures
import csv
import math
import os
import subprocess
import sys
import tempfile

import fe_check as fe

HERE = os.path.dirname(os.path.abspath(__file__))

EXTRA_PRO = """Include "{harmonic}";
PostProcessing {{
  {{ Name FieldValues; NameOfFormulation Harmonic;
    Quantity {{
      {{ Name bn; Value {{ Local {{ [ normalB[{{d a}}] ]; In Domain; Jacobian Vol; }} }} }}
      {{ Name jz; Value {{ Local {{ [ -sc[] * gamma * CompZ[{{a}}] ]; In Layer; Jacobian Vol; }} }} }}
    }} }}
}}
PostOperation {{
  {{ Name Field; NameOfPostProcessing FieldValues;
    Operation {{
{prints}
    }} }}
}}
"""


def program_values(cli, args, quantity, r, columns):
    """The program's field at t = 0 on the one row r: positions and values."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "field.csv")
        done = subprocess.run([cli, *args, "--curves", "none", "--field", quantity, "--field-out",
                               path, "--field-r", repr(r), "--field-points", f"1,{columns}"],
                              capture_output=True, text=True)
        if done.returncode != 0:
            raise fe.CheckError(done.stderr.strip())
        with open(path, encoding="utf-8") as f:
            rows = list(csv.reader(f))[1:]
    return [float(row[1]) for row in rows], [float(row[3]) for row in rows]


def point(p, r, u):
    """The model's x, y of the point r, u (u the position y or the angle phi)."""
    if p["geometry"] == "linear":
        return r, u
    return r * math.cos(u), r * math.sin(u)


def solve_at(harmonic, p, refine, workdir, probes):
    """Complex B_n and J of one harmonic at the probes [(quantity, x, y)] on one mesh."""
    linear = p["geometry"] == "linear"
    tag = f"h{harmonic['h']}_m{refine}"
    mesh = os.path.join(workdir, tag + ".msh")
    geo = {"R": p["R"], "g": p["g"], "layer": 1, "x0": p["R"] - p["a"],
           **fe.mesh_sizes(harmonic, p, refine)}
    if linear:
        geo["Ly"] = fe.TWO_PI / abs(p["kp"])
    command = ["gmsh", "-2", "-order", "2", "-format", "msh22", "-v", "1",
               os.path.join(HERE, "linear.geo" if linear else "cylindrical.geo"), "-o", mesh]
    for name, value in geo.items():
        command += ["-setnumber", name, repr(float(value))]
    fe.run_tool(command)
    out = os.path.join(workdir, tag + "_field.txt")
    prints = []
    for i, (q, x, y) in enumerate(probes):
        target = f'File "{out}"' if i == 0 else f'File > "{out}"'
        prints.append(f"      Print[ {q}, OnPoint {{{x!r}, {y!r}, 0}}, Format Table, {target} ];")
    pro = os.path.join(workdir, tag + ".pro")
    with open(pro, "w", encoding="utf-8") as f:
        f.write(EXTRA_PRO.format(harmonic=os.path.join(HERE, "harmonic.pro"),
                                 prints="\n".join(prints)))
    numbers = {
        "cylindrical": 0 if linear else 1, "synchronous": 0, "kh": harmonic["kh"],
        "Ah": harmonic["Ah"], "Ar": 0.0, "shift": 0.0, "omega": harmonic["omega"], "fI": p["fI"],
        "gamma": p["gamma"], "epsl": p["eps"], "nu1": p["nu1"], "nu2": p["nu2"],
        "nu12re": p["nu12"].real, "nu12im": p["nu12"].imag, "nu21re": p["nu21"].real,
        "nu21im": p["nu21"].imag, "nu1d": p["nu1d"], "nu2d": p["nu2d"], "nu12d": p["nu12d"],
        "nu21d": p["nu21d"], "len": p["len"], "g": p["g"], "Ly": geo.get("Ly", 1.0),
    }
    command = ["getdp", pro, "-msh", mesh, "-solve", "Solve", "-pos", "Field", "-v", "1",
               "-name", os.path.join(workdir, tag)]
    for name, value in numbers.items():
        command += ["-setnumber", name, repr(float(value))]
    fe.run_tool(command)
    with open(out, encoding="utf-8") as f:
        # A point's line ends with the real and imaginary parts of the value.
        values = [complex(float(line.split()[-2]), float(line.split()[-1]))
                  for line in f if line.strip()]
    if len(values) != len(probes):
        raise fe.CheckError(f"getdp printed {len(values)} values for {len(probes)} points")
    return values


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", default=os.path.join(fe.ROOT, "build", "src", "cli", "emforce-cli"))
    parser.add_argument("--meshes", default="1,2", help="refinements of the base mesh")
    parser.add_argument("--points", type=int, default=13, help="positions over one period")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("options", nargs=argparse.REMAINDER, help="emforce-cli options (after --)")
    a = parser.parse_args()
    args = a.options[1:] if a.options[:1] == ["--"] else a.options
    meshes = [int(m) for m in a.meshes.split(",")]
    report, record = fe.run_program(a.cli, args)
    p = fe.case_parameters(record)
    harmonics = fe.included_harmonics(report, p, legacy=False)
    rows = {"Bn": p["R"] + 0.5 * p["g"], "J": p["R"] - 0.25 * p["a"], "J deep": p["R"] - 0.75 * p["a"]}
    program, probes = {}, []
    for label, r in rows.items():
        along, values = program_values(a.cli, args, label.split()[0], r, a.points)
        program[label] = values
        q = "bn" if label == "Bn" else "jz"
        probes += [(q, *point(p, r, u)) for u in along]
    with tempfile.TemporaryDirectory(prefix="emforce-field-") as workdir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=a.jobs) as pool:
            tasks = {(h["h"], m): pool.submit(solve_at, h, p, m, workdir, probes)
                     for m in meshes for h in harmonics}
            solved = {key: task.result() for key, task in tasks.items()}
    print("quantity | r [m] | largest |program| | difference from FE (finest) | mesh change")
    failures = 0
    start = 0
    for label, r in rows.items():
        n = len(program[label])
        fe_values = [[sum(solved[(h["h"], m)][start + i] for h in harmonics).real
                      for i in range(n)] for m in meshes]
        start += n
        scale = max(abs(v) for v in program[label])
        diff = max(abs(x - y) for x, y in zip(program[label], fe_values[-1])) / scale
        change = (max(abs(x - y) for x, y in zip(fe_values[-1], fe_values[-2])) / scale
                  if len(meshes) > 1 else float("nan"))
        failures += diff > change  # never with one mesh: the change is then not a number
        print(f"{label} | {r:.6g} | {scale:.6g} | {diff:.2e} | {change:.2e}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
