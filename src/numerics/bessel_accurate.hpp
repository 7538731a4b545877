// Modified Bessel functions of complex order and argument, accurate to rounding and scaled.
#pragma once

#include "numerics/complex.hpp"

namespace emforce {

// Methods and regions (n = round(Re ν), μ = ν − n, s = √(ν² + z²); every loop is capped):
// - I by its power series with one log-Γ for |z| ≤ 2 or |z|² ≤ |ν|;
// - I and K by the uniform large-order expansions written in s (up to 31 terms; Hankel's
//   expansions as ν → 0) for |s| ≥ 25 and |arg ν| ≤ 1.2 (any arg ν once |z| ≥ 20 and
//   |ν|² ≤ |z|), as long as the terms fall to rounding;
// - otherwise K_μ, K_{μ+1} by Temme's series for |z| ≤ 2 (≤ 1 when |Im μ| > 1) or by Steed's CF2
//   beyond, then the recurrence up to ν; and I from CF1 and the Wronskian with that K.
// Re ν < 0: K_{−ν} = K_ν, I_{−n} = I_n, else I_{−m} = I_m + (2/π)·sin(mπ)·K_m. Re z < 0 lies
// outside: the same formulas on principal branches give a value or raise a fault flag, with no
// accuracy claimed. Accuracy against Arb (tools/bessel_agreement, 7,776 points): median a few ε;
// within 40 ε times the condition number (|z f′/f| + |ν ∂f/∂ν / f| + |p ln z|) everywhere except
// (a) orders with |Im ν| ≥ 3 at |z| ≲ 3 near arg π/2: up to ~300 ε times the condition number,
// (b) the products' derivatives, formed from f and f′, which lose the cancellation of those
//     parts at |z| ≪ 1 where p − ν is near 0 or 1 for K (z^p·I differentiates its series and has
//     none), and
// (c) large orders with Im ν < 0 near the turning point z = iν (|ν| ≳ 50, |1 + z²/ν²| < ~0.6,
//     arg z > π/2 + arg ν − ~0.3), where neither the uniform expansion nor CF2 with the
//     recurrence holds: values are finite but may carry no digit. The field model's orders
//     (arg ν ≈ −0.07) meet this only for arg z above ~1.45.
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
