// Modified Bessel functions of complex order and argument, accurate to rounding and scaled.
#pragma once

#include "numerics/complex.hpp"

namespace emforce {

// Methods and regions (n = round(Re ν), μ = ν − n, s = √(ν² + z²), w = z/ν; every loop is
// capped, and every method below reports its own rounding so that the choice can move on):
// - I by its power series with one log-Γ for |z| ≤ 2 or |z|² ≤ |ν|;
// - I and K by the uniform large-order expansions written in s (up to 31 terms; Hankel's
//   expansions as ν → 0) for |s| ≥ 25 as long as the terms fall to rounding; not K where
//   |arg w| > 1.45 inside |w| < 1.2, where its expansion misses a second exponential;
// - otherwise K_μ, K_{μ+1} by Temme's series for |z| ≤ 2 (to |z| ≤ 8 for |Im μ| > 1.5) or by
//   Steed's CF2, the other one where the first reports more than 64 ε; then the recurrence up
//   to ν; and I from CF1 and the Wronskian with that K;
// - where that recurrence magnifies its start more than 4 times (K_μ nearly proportional to
//   I_μ: large |Im ν| near arg z = π/2, large orders at and past the turning point z = iν) or
//   the Wronskian cancels: I down from the first order ν + m where the series or the uniform
//   expansion holds, by CF1's ratios, and K up from K_μ through the products K_j·I_j and the
//   Wronskian; or K up from ν − m where the uniform expansion holds ("shift").
// Re ν < 0: K_{−ν} = K_ν, I_{−n} = I_n, else I_{−m} = I_m + (2/π)·sin(mπ)·K_m. Re z < 0 lies
// outside: the same formulas on principal branches give a value or raise a fault flag, with no
// accuracy claimed. The products' derivatives take the least cancelling of the forms with
// K_{ν+1}, K_{ν−1} and K_{ν−2}, with p ± ν and p ± ν − 1 exact, so that they hold where z^(p±ν)
// is nearly constant or linear at |z| ≪ 1.
// Accuracy against Arb (tools/bessel_agreement: 8,950 points, the base grid and dense sets at
// large |Im ν| near arg π/2, the products at p − ν near 0 and 1, the turning points of orders
// up to 345, half-integer orders and large imaginary orders at large |z|, 2 < |z| < 25 near
// arg π/2): median a few ε, worst 40 ε times the condition number |z g′/g| + |ν ∂f/∂ν / f| +
// |p ln z| of each quantity g (f, f′, or a derivative of z^p·f); where that condition is at
// most 4, within 1e-13. The condition counts p only through z^p: p − ν is taken as exact.
// No state is shared between calls but the evaluation counters of bessel.hpp, which count each
// call here as one evaluation (kind I or K, with its p, ν and z): one computation gives the value
// and both derivatives. In-domain inputs raise no fault flag (underflow aside).

/// A modified Bessel function and its derivative at one argument, held as
/// value·e^scale and derivative·e^scale with one real scale, so that both stay representable
/// where e^scale alone would leave the double range.
struct ScaledBessel {
    Complex value;       ///< f(z)·e^(−scale)
    Complex derivative;  ///< f'(z)·e^(−scale)
    double scale;  ///< real; e.g. Re z for I, −Re z for K, plus a log-magnitude for large order
};

/// The method that gave a value (see the list at the top of this file).
enum class BesselMethod {
    PowerSeries,
    Temme,
    Steed,
    Uniform,
    WronskianTemme,
    WronskianSteed,
    OrderShift
};
/// A short name of a method for tables: "series", "temme", "steed", "uniform", "cf1+temme",
/// "cf1+steed", "shift".
const char* besselMethodName(BesselMethod method);

/// I_ν(z), I'_ν(z) for Re ν ≥ 0 (complex ν), z with Re z ≥ 0, |z| from ~1e-6 to 500 and beyond.
/// `method`, when given, receives the method used.
ScaledBessel scaledBesselI(const Complex& nu, const Complex& z, BesselMethod* method = nullptr);
/// K_ν(z), K'_ν(z), same domain.
ScaledBessel scaledBesselK(const Complex& nu, const Complex& z, BesselMethod* method = nullptr);

/// z^p·f(z) with its first and second z-derivatives, all times e^(−scale) (one real scale, which
/// includes Re(p·log z)); the second derivative exact from the Bessel equation
/// f'' = (1 + ν²/z²)·f − f'/z, no difference quotient.
struct ScaledProduct {
    Complex value;   ///< z^p·f(z)·e^(−scale)
    Complex first;   ///< d/dz [z^p·f(z)]·e^(−scale)
    Complex second;  ///< d²/dz² [z^p·f(z)]·e^(−scale)
    double scale;    ///< real
};
/// z^p·I_ν(z) and its first two derivatives, scaled.
ScaledProduct scaledBesselIProduct(const Complex& p, const Complex& nu, const Complex& z);
/// z^p·K_ν(z) and its first two derivatives, scaled.
ScaledProduct scaledBesselKProduct(const Complex& p, const Complex& nu, const Complex& z);

/// z^p·I_ν(z) and z^p·K_ν(z) at one (p, ν, z), each in its own scale.
struct ScaledProducts {
    ScaledProduct i;
    ScaledProduct k;
};
/// Both products from one computation: bit for bit the results of scaledBesselIProduct and
/// scaledBesselKProduct, at about the cost of one of them where I is formed from K or both from
/// the uniform expansion. Counts as one evaluation of each kind.
ScaledProducts scaledBesselIKProducts(const Complex& p, const Complex& nu, const Complex& z);

/// z^p·I_ν(z), unscaled: it overflows (raising the overflow flag) exactly where the true value
/// leaves the double range.
Complex accurateBesselI(const Complex& p, const Complex& nu, const Complex& z);
/// d/dz [z^p·I_ν(z)], unscaled.
Complex accurateBesselIPrime(const Complex& p, const Complex& nu, const Complex& z);
/// d²/dz² [z^p·I_ν(z)], unscaled.
Complex accurateBesselISecond(const Complex& p, const Complex& nu, const Complex& z);
/// z^p·K_ν(z), unscaled.
Complex accurateBesselK(const Complex& p, const Complex& nu, const Complex& z);
/// d/dz [z^p·K_ν(z)], unscaled.
Complex accurateBesselKPrime(const Complex& p, const Complex& nu, const Complex& z);
/// d²/dz² [z^p·K_ν(z)], unscaled.
Complex accurateBesselKSecond(const Complex& p, const Complex& nu, const Complex& z);

}  // namespace emforce
