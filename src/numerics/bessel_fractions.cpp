// Middle-argument methods: Steed's CF2 for K, the recurrence in the order, CF1 and the Wronskian.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "numerics/bessel_methods.hpp"

namespace emforce::bessel_detail {

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
// CF2 needs some tens of steps for |z| ≥ 2 and small |Im μ|, a few hundred as |Im μ| nears |z|;
// CF1 about |z| − |ν| steps beyond |z| ≈ |ν| and a hundred or so at the turning point.
constexpr int kMaxSteed = 1000;
constexpr int kMaxLentz = 5000;
constexpr double kSteedRescale = 1e150;
// The recurrence rescales its pair by e^(−300) once a part passes e^300.
constexpr double kRescaleExponent = 300.0;
const double kRescaleAbove = std::exp(kRescaleExponent);
const double kRescaleFactor = std::exp(-kRescaleExponent);
// Stands in for a zero divisor in the modified Lentz method (Thompson & Barnett 1986).
constexpr double kTiny = 1e-300;

}  // namespace

// CF2 (Numerical Recipes §6.7, after Steed and Temme, in complex arithmetic):
// e^z·K_μ(z) = √(π/(2z))/S with S = 1 + Σ q_k·Δh_k from the three-term recurrence of the
// coefficients of U(μ + ½, 2μ + 1, 2z); K_{μ+1} = K_μ·(μ + z + ½ − (¼ − μ²)·h)/z.
// The scale is −Re z, so the value holds e^(−i Im z) and never overflows.
std::optional<Estimated> steedK(const Complex& mu, const Complex& z) {
    const Complex a1 = 0.25 - mu * mu;
    Complex b = 2.0 * (1.0 + z);
    Complex d = 1.0 / b;
    Complex h = d;
    Complex delh = d;
    Complex q1{0.0};
    Complex q2{1.0};
    Complex q = a1;
    Complex c = a1;
    Complex a = -a1;
    Complex s = 1.0 + q * delh;
    double size = 1.0 + modulus(q * delh);
    bool converged = false;
    for (int i = 2; i <= kMaxSteed && !converged; ++i) {
        const double ii = static_cast<double>(i);
        a -= 2.0 * (ii - 1.0);
        c = -a * c / ii;
        // c grows about as i! and q₁, q₂ shrink as much: move a factor across before either
        // leaves the double range (c·q_new, the terms that matter, stay the same).
        if (std::fabs(c.re()) > kSteedRescale || std::fabs(c.im()) > kSteedRescale) {
            c = c / kSteedRescale;
            q1 = q1 * kSteedRescale;
            q2 = q2 * kSteedRescale;
        }
        const Complex qNew = (q1 - b * q2) / a;
        q1 = q2;
        q2 = qNew;
        q += c * qNew;
        b += 2.0;
        d = reciprocal(b + a * d);
        delh = (b * d - 1.0) * delh;
        h += delh;
        const Complex dels = q * delh;
        s += dels;
        const double step = modulus(dels);
        size += step;
        converged = step <= 0.25 * kEps * modulusAbove(s) && step <= 0.25 * kEps * modulus(s);
    }
    if (!converged) return std::nullopt;
    const Complex kMu = sqrt(std::numbers::pi / (2.0 * z)) * exp(Complex(0.0, -z.im())) / s;
    const Complex ratio = mu + z + 0.5 - a1 * h;
    const Complex kMu1 = kMu * ratio / z;
    // The ratio cancels as well where K_{μ+1} is much smaller than its parts.
    const double ratioLoss = (modulus(mu + z + 0.5) + modulus(a1 * h)) / modulus(ratio);
    return Estimated{{kMu, kMu1, -z.re()}, kEps * std::max(size / modulus(s), ratioLoss)};
}

// Alongside K runs the solution with the start (K_μ, 0), P_j·K_μ; both are rescaled together.
RecurredK recurK(const ScaledBessel& start, const Complex& mu, int n, const Complex& z) {
    Complex k0 = start.value;
    Complex k1 = start.derivative;
    Complex d0 = start.value;
    Complex d1{0.0};
    Complex below{0.0}, below2{0.0};  // K_{j−1}, K_{j−2}
    double scale = start.scale;
    const Complex twoOverZ = 2.0 / z;
    for (int j = 1; j <= n; ++j) {
        const Complex c = (mu + static_cast<double>(j)) * twoOverZ;
        const Complex k2 = k0 + c * k1;
        const Complex d2 = d0 + c * d1;
        below2 = below;
        below = k0;
        k0 = k1;
        k1 = k2;
        d0 = d1;
        d1 = d2;
        const double largest = std::max(
            {std::fabs(k1.re()), std::fabs(k1.im()), std::fabs(d1.re()), std::fabs(d1.im())});
        if (largest > kRescaleAbove) {
            k0 = k0 * kRescaleFactor;
            k1 = k1 * kRescaleFactor;
            d0 = d0 * kRescaleFactor;
            d1 = d1 * kRescaleFactor;
            below = below * kRescaleFactor;
            below2 = below2 * kRescaleFactor;
            scale += kRescaleExponent;
        }
    }
    const Complex nu = mu + static_cast<double>(n);
    RecurredK r;
    r.k = {k0, nu / z * k0 - k1, scale};
    r.next = k1;
    r.previousCount = std::min(n, 2);
    r.previous[0] = below;
    r.previous[1] = below2;
    r.amplification = n == 0 ? 1.0 : std::max(1.0, modulus(d0) / modulus(k0));
    return r;
}

// I_{ν+1}/I_ν = 1/(b_1 + 1/(b_2 + …)), b_j = 2(ν + j)/z, summed forwards by the modified Lentz
// method.
std::optional<Complex> ratioI(const Complex& nu, const Complex& z) {
    const Complex twoOverZ = 2.0 / z;
    Complex f = (nu + 1.0) * twoOverZ;
    Complex cc = f;
    Complex dd{0.0};
    for (int j = 2; j <= kMaxLentz; ++j) {
        const Complex bj = (nu + static_cast<double>(j)) * twoOverZ;
        dd = bj + dd;
        if (dd == Complex(0.0)) dd = kTiny;
        cc = bj + reciprocal(cc);
        if (cc == Complex(0.0)) cc = kTiny;
        dd = reciprocal(dd);
        const Complex delta = cc * dd;
        f *= delta;
        const Complex change = delta - 1.0;
        if (modulusBelow(change) <= 0.5 * kEps && modulus(change) <= 0.5 * kEps) return 1.0 / f;
    }
    return std::nullopt;
}

// I_ν = −1/(z·(K′_ν − ρ·K_ν)) with ρ = I′_ν/I_ν, whose scale is that of K negated.
std::optional<Estimated> wronskianI(const Complex& nu, const Complex& z, const ScaledBessel& k) {
    const std::optional<Complex> ratio = ratioI(nu, z);
    if (!ratio) return std::nullopt;
    const Complex rho = nu / z + *ratio;
    const Complex divisor = k.derivative - rho * k.value;
    const Complex i = -1.0 / (z * divisor);
    const double loss = (modulus(k.derivative) + modulus(rho * k.value)) / modulus(divisor);
    return Estimated{{i, rho * i, -k.scale}, kEps * loss};
}

}  // namespace emforce::bessel_detail
