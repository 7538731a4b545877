// Small-argument methods: the power series of I and Temme's series of K.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "numerics/bessel_coefficients.hpp"
#include "numerics/bessel_methods.hpp"
#include "numerics/log_gamma.hpp"

namespace emforce::bessel_detail {

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
// Both series need under a hundred terms where they are used (|z| ≤ 2, or |z|² ≲ 4|ν|); the cap
// only ends a sum for inputs far outside, whose result the entry points do not take.
constexpr int kMaxTerms = 500;

Complex coshOf(const Complex& e) {
    return {std::cosh(e.re()) * std::cos(e.im()), std::sinh(e.re()) * std::sin(e.im())};
}
Complex sinhOf(const Complex& e) {
    return {std::sinh(e.re()) * std::cos(e.im()), std::cosh(e.re()) * std::sin(e.im())};
}

// Σ_k c[k]·x^k by Horner's rule, for k = first, first + 2, … < count, as a polynomial in x².
Complex evenOrOddPart(const double* c, int count, int first, const Complex& x2) {
    int k = first;
    while (k + 2 < count) k += 2;
    Complex sum{c[k]};
    for (k -= 2; k >= first; k -= 2) sum = sum * x2 + c[k];
    return sum;
}

}  // namespace

// Taylor series of 1/Γ(1+x) (DLMF 5.7.1) for |μ| ≤ ½, where its 24 terms leave below 1e-22;
// beyond, the two values from log-Γ, which then do not cancel in γ₁.
TemmeGammas temmeGammas(const Complex& mu) {
    TemmeGammas g;
    if (abs(mu) <= 0.5) {
        const Complex mu2 = mu * mu;
        constexpr int kCount = sizeof kInverseGammaTaylor / sizeof kInverseGammaTaylor[0];
        g.gamma2 = evenOrOddPart(kInverseGammaTaylor, kCount, 0, mu2);
        g.gamma1 = -evenOrOddPart(kInverseGammaTaylor, kCount, 1, mu2);
        g.inversePlus = g.gamma2 - mu * g.gamma1;
        g.inverseMinus = g.gamma2 + mu * g.gamma1;
        return g;
    }
    g.inversePlus = exp(-logGamma(1.0 + mu));
    g.inverseMinus = exp(-logGamma(1.0 - mu));
    g.gamma1 = (g.inverseMinus - g.inversePlus) / (2.0 * mu);
    g.gamma2 = (g.inverseMinus + g.inversePlus) / 2.0;
    return g;
}

// z^p·I_ν(z) = (z/2)^ν/Γ(ν+1)·z^p·Σ t_k, t_k = t_{k−1}·(z²/4)/(k(ν+k)), each term a multiple of
// z^(m_k), m_k = ν + p + 2k, so its derivatives carry m_k/z and m_k(m_k − 1)/z². The prefactor
// is one exponential of ν·ln(z/2) − ln Γ(ν+1) + p·ln z, whose real part becomes the scale, so
// that no power or Γ leaves the double range.
ScaledProduct powerSeriesI(const Complex& p, const Complex& nu, const Complex& z) {
    const Complex quarterZ2 = z * z / 4.0;
    const Complex m0 = nu + p;
    Complex term{1.0};
    Complex sum{1.0};
    Complex first = m0;
    Complex second = m0 * (m0 - 1.0);
    for (int k = 1; k <= kMaxTerms; ++k) {
        const double kk = static_cast<double>(k);
        term *= quarterZ2 / (kk * (nu + kk));
        const Complex m = m0 + 2.0 * kk;
        const Complex t1 = term * m;
        const Complex t2 = t1 * (m - 1.0);
        sum += term;
        first += t1;
        second += t2;
        const double stop = 0.25 * kEps;
        if (modulus(term) <= stop * modulus(sum) && modulus(t1) <= stop * modulus(first) &&
            modulus(t2) <= stop * modulus(second))
            break;
    }
    const Complex logZ = log(z);
    const Complex exponent = nu * (logZ - std::numbers::ln2) - logGamma(nu + 1.0) + p * logZ;
    const Complex phase = exp(Complex(0.0, exponent.im()));
    const Complex inverse = 1.0 / z;
    return {phase * sum, phase * first * inverse, phase * second * inverse * inverse,
            exponent.re()};
}

// Temme's series (Numerical Recipes §6.7 in complex arithmetic): with σ = ln(2/z),
// f_0 = (μπ/sin μπ)·(γ₁·cosh μσ + γ₂·σ·sinh(μσ)/(μσ)), p_0 = ½(z/2)^(−μ)Γ(1+μ),
// q_0 = ½(z/2)^μ Γ(1−μ), f_k = (k f_{k−1} + p_{k−1} + q_{k−1})/(k² − μ²), p_k = p_{k−1}/(k − μ),
// q_k = q_{k−1}/(k + μ), c_k = (z²/4)^k/k!: K_μ = Σ c_k f_k, K_{μ+1} = (2/z)·Σ c_k (p_k − k f_k).
// The divisors k ± μ never vanish for |Re μ| ≤ ½.
Estimated temmeK(const Complex& mu, const Complex& z) {
    const TemmeGammas g = temmeGammas(mu);
    const Complex half = z / 2.0;
    const Complex sigma = -log(half);
    const Complex e = mu * sigma;
    const Complex piMu = std::numbers::pi * mu;
    const Complex fact = piMu == Complex(0.0) ? Complex(1.0) : piMu / sin(piMu);
    const Complex fact2 = e == Complex(0.0) ? Complex(1.0) : sinhOf(e) / e;
    Complex f = fact * (g.gamma1 * coshOf(e) + g.gamma2 * fact2 * sigma);
    const Complex power = exp(e);  // (z/2)^(−μ)
    Complex p = 0.5 * power / g.inversePlus;
    Complex q = 0.5 / (power * g.inverseMinus);
    const Complex quarterZ2 = half * half;
    const Complex mu2 = mu * mu;
    Complex c{1.0};
    Complex sum = f;
    Complex sum1 = p;
    double size = modulus(f), size1 = modulus(p);
    for (int k = 1; k <= kMaxTerms; ++k) {
        const double kk = static_cast<double>(k);
        f = (kk * f + p + q) / (kk * kk - mu2);
        c *= quarterZ2 / kk;
        p /= kk - mu;
        q /= kk + mu;
        const Complex del = c * f;
        const Complex del1 = c * (p - kk * f);
        sum += del;
        sum1 += del1;
        const double step = modulus(del), step1 = modulus(del1);
        size += step;
        size1 += step1;
        if (step <= 0.25 * kEps * modulus(sum) && step1 <= 0.25 * kEps * modulus(sum1)) break;
    }
    const double error = kEps * std::max(size / modulus(sum), size1 / modulus(sum1));
    return {{sum, sum1 * 2.0 / z, 0.0}, error};
}

}  // namespace emforce::bessel_detail
