// Modified Bessel functions of complex order and argument, accurate to rounding and scaled.
#pragma once

#include "numerics/complex.hpp"

namespace emforce {

/// A modified Bessel function and its derivative at one argument, held as
/// value·e^scale and derivative·e^scale with one real scale, so that both stay representable
/// where e^scale alone would leave the double range.
struct ScaledBessel {
    Complex value;       ///< f(z)·e^(−scale)
    Complex derivative;  ///< f'(z)·e^(−scale)
    double scale;        ///< real; e.g. Re z for I, −Re z for K, plus a log-magnitude for large order
};

/// The method that gave a value (see the table at the top of this file).
enum class BesselMethod { PowerSeries, Temme, Steed, Uniform, WronskianTemme, WronskianSteed };
/// A short name of a method for tables: "series", "temme", "steed", "uniform", "cf1+temme",
/// "cf1+steed".
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
