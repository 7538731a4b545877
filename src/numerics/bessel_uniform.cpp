// The uniform large-order expansions of I and K, written in s = √(ν² + z²).
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "numerics/bessel_coefficients.hpp"
#include "numerics/bessel_methods.hpp"

namespace emforce::bessel_detail {

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kPi = std::numbers::pi;
// A part of an exponent larger than this goes into the scale instead of the value.
constexpr double kKeepInValue = 600.0;

// The polynomials of U and V (below) of the terms k and k + 1 at x, each Σ_j c[j]·x^j by Horner's
// rule: four independent chains, which the processor overlaps (one alone waits on each step).
struct TermPolynomials {
    Complex u[2], v[2];
};
TermPolynomials termPolynomials(int k, const Complex& x) {
    const double* u0 = kDebyeU[k];
    const double* v0 = kDebyeV[k];
    const double* u1 = kDebyeU[k + 1];
    const double* v1 = kDebyeV[k + 1];
    Complex a{u0[k]}, b{v0[k]};
    Complex c = Complex(u1[k + 1]) * x + u1[k], d = Complex(v1[k + 1]) * x + v1[k];
    for (int j = k - 1; j >= 0; --j) {
        a = a * x + u0[j];
        b = b * x + v0[j];
        c = c * x + u1[j];
        d = d * x + v1[j];
    }
    return {{a, c}, {b, d}};
}
static_assert(kDebyeTerms % 2 == 1, "the terms 1 … kDebyeTerms − 1 are taken in pairs");

// Σ_k U_k(p)/ν^k and Σ_k V_k(p)/ν^k with the signs (±1)^k: the sums of I (+) and of K (−).
struct DebyeSums {
    Complex uI, uK, vI, vK;
};

double leastModulus(const DebyeSums& sums) {
    return std::min({modulus(sums.uI), modulus(sums.uK), modulus(sums.vI), modulus(sums.vK)});
}

// Whether a term of this size may end the sums, by the bounds of the moduli: a term above a
// quarter ε of the least bound cannot be below a quarter ε of the least modulus. The moduli of
// the sums are then formed only at the last terms, with the same answer as forming them always.
bool mayEnd(double size, const DebyeSums& sums) {
    return size <= 0.25 * kEps *
                       std::min({modulusAbove(sums.uI), modulusAbove(sums.uK),
                                 modulusAbove(sums.vI), modulusAbove(sums.vK)});
}

// U_k(p)/ν^k = s^(−k)·Σ_j u_kj·p^(2j) with p = ν/s, so that ν = 0 needs no division by it.
// Stops at the first term below rounding in all four sums; nothing when the terms first grow
// again (the expansion is asymptotic) or the table ends.
std::optional<DebyeSums> debyeSums(const Complex& t, const Complex& p2) {
    DebyeSums sums{1.0, 1.0, 1.0, 1.0};
    Complex power{1.0};
    double previous = std::numeric_limits<double>::infinity();
    for (int pair = 1; pair < kDebyeTerms; pair += 2) {
        const TermPolynomials q = termPolynomials(pair, p2);
        for (int half = 0; half < 2; ++half) {
            const int k = pair + half;
            power *= t;
            const Complex u = power * q.u[half];
            const Complex v = power * q.v[half];
            const double sign = k % 2 == 0 ? 1.0 : -1.0;
            sums.uI += u;
            sums.uK += sign * u;
            sums.vI += v;
            sums.vK += sign * v;
            const double size = std::max(modulus(u), modulus(v));
            if (mayEnd(size, sums) && size <= 0.25 * kEps * leastModulus(sums)) return sums;
            if (k >= 3 && size > previous) return std::nullopt;
            previous = size;
        }
    }
    return std::nullopt;
}

// e^(a·e^(−scale)) where a = x + i·y, with `scale` taken from x when x is large: the phase
// e^(iy) is formed from y alone.
struct Exponential {
    Complex factor;
    double scale;
};
Exponential exponential(double base, const Complex& extra) {
    if (std::fabs(extra.re()) <= kKeepInValue) return {exp(extra), base};
    return {exp(Complex(0.0, extra.im())), base + extra.re()};
}

}  // namespace

// With s = √(ν² + z²) (the branch of z·√(1 + ν²/z²) for |z| ≥ |ν|, of ν·√(1 + z²/ν²) below),
// p = ν/s and ν·η = s + ν·ln(z/(ν + s)) = z + δ, δ = ν²/(s + z) + ν·ln(z/(ν + s)):
//   I_ν(z) ~ e^(z+δ)/√(2πs)·Σ U_k(p)/ν^k,   I′_ν(z) ~ √s·e^(z+δ)/(√(2π)·z)·Σ V_k(p)/ν^k,
//   K_ν(z) ~ √(π/(2s))·e^(−z−δ)·Σ (−1)^k U_k(p)/ν^k,   K′_ν(z) ~ −√(π/2)·√s·e^(−z−δ)/z·Σ (−1)^k
//   V_k(p)/ν^k
// (DLMF 10.41.3–10.41.6 with z = νw). Beyond |z| = |ν| I also carries (i/π)·e^(iπν)·K_ν(z), the
// connection DLMF 10.34.2, which outgrows rounding as arg z nears π/2 (there Hankel's I has
// the same second term). The phase e^(±i Im z) is formed from Im z itself.
std::optional<BesselPair> uniformExpansion(const Complex& nu, const Complex& z) {
    const double zSize = abs(z), nuSize = abs(nu);
    const Complex s = zSize >= nuSize ? z * sqrt(1.0 + (nu / z) * (nu / z))
                                      : nu * sqrt(1.0 + (z / nu) * (z / nu));
    const Complex t = 1.0 / s;
    const Complex p = nu * t;
    const std::optional<DebyeSums> sums = debyeSums(t, p * p);
    if (!sums) return std::nullopt;
    const Complex delta = nu * nu / (s + z) + nu * log(z / (nu + s));
    const Complex rootS = sqrt(s);
    const Complex phase = exp(Complex(0.0, z.im()));
    const Exponential up = exponential(z.re(), delta);
    const Exponential down = exponential(-z.re(), -delta);
    const double invRoot2Pi = 1.0 / std::sqrt(2.0 * kPi);
    const Complex kFactor = std::sqrt(kPi / 2.0) * down.factor / phase;
    BesselPair r;
    r.k = {kFactor / rootS * sums->uK, -kFactor * rootS / z * sums->vK, down.scale};
    const Complex iFactor = invRoot2Pi * up.factor * phase;
    r.i = {iFactor / rootS * sums->uI, iFactor * rootS / z * sums->vI, up.scale};
    if (zSize > nuSize) {
        // (i/π)·e^(iπν)·K in the scale of I; its own exponent −π Im ν − 2 Re(z + δ) decides.
        const Complex second = Complex(0.0, kPi) * nu + Complex(down.scale - up.scale);
        const double excess = std::max(0.0, second.re());
        const Complex weight = Complex(0.0, 1.0 / kPi) * exp(second - excess);
        const double keep = std::exp(-excess);
        r.i = {r.i.value * keep + weight * r.k.value,
               r.i.derivative * keep + weight * r.k.derivative, r.i.scale + excess};
    }
    return r;
}

}  // namespace emforce::bessel_detail
