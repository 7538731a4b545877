// Modified Bessel functions of complex order and argument, times a complex power of the argument.
#pragma once

#include <cstdint>

#include "numerics/complex.hpp"

namespace emforce {

/// The two implementations of the modified Bessel functions a motor can use: accurate over the
/// whole domain of the model and formed from scaled values (numerics/bessel_accurate.hpp), or
/// the power series with their large-argument forms of this header.
enum class BesselChoice { Accurate, Series };

/// The settings of the Bessel routines: the series accuracy and the argument modulus above
/// which the large-argument forms replace the series.
///
/// Every routine sums its power series for |z| ≤ limit and uses a large-argument form beyond:
/// two correction terms for I (relative error about 2.4e-5 for ν = 0 at |z| = 15, and
/// e^(−2 Re z) more as arg z nears π/2), the leading term alone for K (about |4ν² − 1|/(8|z|)).
/// The series carry the Lanczos Γ error (below 1e-15 for small orders, up to about 1e-10) times
/// their cancellation; K, by its integer-order series or by the reflection formula, cancels
/// about e^(2 Re z) and loses all digits near |z| = 15 on the real axis. No routine reports an
/// error of its own: a zero argument, a pole of Γ or an exponential beyond the double range
/// raises the floating-point flags.
struct BesselSettings {
    double accuracy = 1e-17;
    double limit = 15.0;
    /// Keep the Γ values of the series terms of recent orders instead of evaluating them for
    /// every term, and the last few series sums for the functions at the same argument that
    /// need them again (K's reflection formula needs I's); the values, and so the results, are
    /// the same either way.
    bool tabulateGamma = true;
    /// Which functions the radial slots hold; the routines of this header are the series
    /// choice whatever it says, and the accuracy and limit apply to that choice only.
    BesselChoice functions = BesselChoice::Accurate;
};

/// z^p·I_ν(z); a negative integer order −n gives the value of n (I_{−n} = I_n).
Complex besselI(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// d/dz [z^p·I_ν(z)].
Complex besselIPrime(const BesselSettings& s, const Complex& p, const Complex& nu,
                     const Complex& z);
/// Second derivative of z^p·I_ν(z) by a difference quotient of besselIPrime.
Complex besselISecond(const BesselSettings& s, const Complex& p, const Complex& nu,
                      const Complex& z);
/// besselISecond with the first derivative at z already in hand (besselIPrime(s, p, nu, z)):
/// the same number from one evaluation fewer.
Complex besselISecondFrom(const BesselSettings& s, const Complex& p, const Complex& nu,
                          const Complex& z, const Complex& primeAtZ);
/// z^p·K_ν(z).
Complex besselK(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z);
/// d/dz [z^p·K_ν(z)].
Complex besselKPrime(const BesselSettings& s, const Complex& p, const Complex& nu,
                     const Complex& z);
/// Second derivative of z^p·K_ν(z) by a difference quotient of besselKPrime.
Complex besselKSecond(const BesselSettings& s, const Complex& p, const Complex& nu,
                      const Complex& z);
/// besselKSecond with the first derivative at z already in hand (besselKPrime(s, p, nu, z)).
Complex besselKSecondFrom(const BesselSettings& s, const Complex& p, const Complex& nu,
                          const Complex& z, const Complex& primeAtZ);

/// Number of Bessel evaluations (besselI, besselIPrime, besselK, besselKPrime, each call one;
/// a second derivative counts its two first derivatives) since the last reset: those of
/// every thread that flushed, and the calling thread's own.
std::uint64_t besselEvaluations();
/// Counts one evaluation of another implementation of these functions: `kind` 0 to 3 as
/// besselI, besselIPrime, besselK, besselKPrime, for the distinct count with its p, ν and z.
void countBesselEvaluation(int kind, const Complex& p, const Complex& nu, const Complex& z);
/// Adds the calling thread's count to the shared one; a worker calls it before it ends.
void flushBesselEvaluations();
/// Sets every count to zero (the calling thread's and the shared one).
void resetBesselEvaluations();
/// Also records each distinct (function, p, ν, z) evaluated from now on (slow: for measurements).
void trackDistinctBesselEvaluations(bool on);
/// Number of distinct evaluations recorded since the last reset: the least a run needs that
/// evaluates every function value it uses once.
std::uint64_t distinctBesselEvaluations();

/// Γ(w) by the six-term Lanczos approximation (γ = 5), with reflection for Re w < 0; relative
/// error below about 2e-10. At the poles 0, −1, −2, … it returns +∞ and raises the
/// division-by-zero flag.
Complex complexGamma(const Complex& w);
/// n! as a double; 1 for n ≤ 1.
double factorial(int n);
/// H_n = 1 + 1/2 + … + 1/n; 0 for n ≤ 0.
double harmonicNumber(int n);

}  // namespace emforce
