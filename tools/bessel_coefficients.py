#!/usr/bin/python3
"""Prints src/numerics/bessel_coefficients.hpp: the polynomials U_k, V_k of the uniform
large-order expansions (DLMF 10.41.9-10.41.11) and the Taylor coefficients of 1/Γ(1+x)
(DLMF 5.7.1), all as exact rationals or to 30 digits, rounded once to double.

Usage: /usr/bin/python3 tools/bessel_coefficients.py > src/numerics/bessel_coefficients.hpp
(needs the Debian package python3-mpmath)."""
from fractions import Fraction

import mpmath

TERMS = 31  # U_0 … U_30
TAYLOR = 24


def derivative(c):
    return {e - 1: e * v for e, v in c.items() if e > 0}


def times(c, factor):  # factor: dict exponent -> coefficient
    out = {}
    for e, v in c.items():
        for f, w in factor.items():
            out[e + f] = out.get(e + f, 0) + v * w
    return out


def add(a, b, sign=1):
    out = dict(a)
    for e, v in b.items():
        out[e] = out.get(e, 0) + sign * v
    return {e: v for e, v in out.items() if v != 0}


def integral(c):
    return {e + 1: v / (e + 1) for e, v in c.items()}


one_minus_p2 = {0: Fraction(1), 2: Fraction(-1)}
u = [{0: Fraction(1)}]
for k in range(TERMS - 1):
    a = times(times(derivative(u[k]), one_minus_p2), {2: Fraction(1, 2)})
    b = {e: v / 8 for e, v in integral(times(u[k], {0: Fraction(1), 2: Fraction(-5)})).items()}
    u.append(add(a, b))
v = [{0: Fraction(1)}]
for k in range(1, TERMS):
    w = add(u[k], times(times(u[k - 1], one_minus_p2), {1: Fraction(1, 2)}), -1)
    w = add(w, times(times(derivative(u[k - 1]), one_minus_p2), {2: Fraction(1)}), -1)
    v.append(w)


def table(name, polys):
    # U_k and V_k hold the powers p^k, p^(k+2), …, p^(3k): k + 1 coefficients each.
    print(f"inline constexpr double {name}[{TERMS}][{TERMS}] = {{")
    for k, c in enumerate(polys):
        coeffs = [c.get(k + 2 * j, 0) for j in range(k + 1)]
        assert all(e in (k + 2 * j for j in range(k + 1)) for e in c)
        print("    {" + ", ".join(f"{float(x):.17g}" for x in coeffs) + "},")
    print("};")


mpmath.mp.dps = 40
taylor = mpmath.taylor(lambda x: mpmath.rgamma(1 + x), 0, TAYLOR - 1)

print("// Coefficient tables of the accurate Bessel functions, written by tools/bessel_coefficients.py.")
print("#pragma once\n\nnamespace emforce::bessel_detail {\n")
print(f"/// Terms of the uniform large-order expansions held in the tables below.")
print(f"inline constexpr int kDebyeTerms = {TERMS};")
print("/// U_k(p) = Σ_j kDebyeU[k][j]·p^(k+2j), j = 0…k (DLMF 10.41.10).")
table("kDebyeU", u)
print("/// V_k(p) = Σ_j kDebyeV[k][j]·p^(k+2j), j = 0…k (DLMF 10.41.11).")
table("kDebyeV", v)
print(f"/// 1/Γ(1+x) = Σ_k kInverseGammaTaylor[k]·x^k, k = 0…{TAYLOR - 1} (DLMF 5.7.1).")
print(f"inline constexpr double kInverseGammaTaylor[{TAYLOR}] = {{")
print("    " + ",\n    ".join(mpmath.nstr(c, 20, min_fixed=-1, max_fixed=-1) for c in taylor) + "};")
print("\n}  // namespace emforce::bessel_detail")
