// Modified Bessel functions of complex order and argument, times a complex power of the argument.
#pragma once

#include "numerics/complex.hpp"

namespace emforce {

/// The two settings of the Bessel routines: the series accuracy and the argument modulus above
/// which the large-argument forms replace the series.
struct BesselSettings {
    double accuracy = 1e-17;
    double limit = 15.0;
};

/// z^p·I_ν(z).
Complex besselI(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// d/dz [z^p·I_ν(z)].
Complex besselIPrime(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// Second derivative of z^p·I_ν(z) by a difference quotient of besselIPrime.
Complex besselISecond(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// z^p·K_ν(z).
Complex besselK(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// d/dz [z^p·K_ν(z)].
Complex besselKPrime(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// Second derivative of z^p·K_ν(z) by a difference quotient of besselKPrime.
Complex besselKSecond(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);

/// Γ(w) by the six-term Lanczos approximation (γ = 5), with reflection for Re w < 0.
Complex complexGamma(const Complex& w);
/// n! as a double; 1 for n ≤ 1.
double factorial(int n);
/// H_n = 1 + 1/2 + … + 1/n; 0 for n ≤ 0.
double harmonicNumber(int n);

}  // namespace emforce
