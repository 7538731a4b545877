// Arb reference values for the Bessel routines and the error each case is expected to show.
#pragma once

#include <acb.h>
#include <acb_hypgeom.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "numerics/bessel.hpp"

namespace emforce::reference {

/// Which routine a case exercises.
enum class BesselFunction { I, IPrime, K, KPrime };

/// One evaluation: routine, power p, order ν and argument z, under the given settings.
struct BesselCase {
    BesselFunction function;
    Complex p;
    Complex nu;
    Complex z;
    BesselSettings settings;
};

/// What a case measured against Arb, and what the algorithm lets it expect.
///
/// The expected error is twice a first-order estimate. In the series regime every term carries
/// the measured error of its Lanczos Γ(ν+k+1) plus rounding (a few ε, growing with the running
/// product and with the principal powers); the absolute errors of all terms that enter the
/// result (both I series of the reflection formula divided by |sin νπ|, or the I_n, finite and
/// harmonic sums of the integer K) are added and divided by |exact|. So the bound grows with
/// the loss, the cancellation Σ|contributions| / |exact|, which for K reaches about e^(2 Re z).
/// In the large-argument regime it is 1.5 times the first omitted term of the expansion (t_3
/// for I, t_1 + t_2 + t_3 for K's leading term), for I plus the omitted e^(−z) part, relative
/// to |exact|, plus the rounding of e^(±z) and of z^(p−1/2).
struct Agreement {
    double error;  ///< |computed − exact| / |exact|
    double loss;  ///< cancellation factor: Σ|contributions| / |exact| (1 for the asymptotic forms)
    double bound;    ///< the error the algorithm is expected to stay within
    bool series;     ///< series regime (|z| ≤ limit)
    long precision;  ///< Arb working precision that gave at least 60 correct bits
};

/// An Arb complex ball with value semantics.
class Ball {
public:
    Ball() { acb_init(m_v); }
    explicit Ball(const Complex& c) : Ball() { acb_set_d_d(m_v, c.re(), c.im()); }
    Ball(const Ball& o) : Ball() { acb_set(m_v, o.m_v); }
    Ball& operator=(const Ball& o) {
        acb_set(m_v, o.m_v);
        return *this;
    }
    ~Ball() { acb_clear(m_v); }
    acb_ptr get() { return m_v; }
    acb_srcptr get() const { return m_v; }
    /// The modulus of the midpoint, as a double.
    double abs() const {
        const double re = arf_get_d(arb_midref(acb_realref(m_v)), ARF_RND_NEAR);
        const double im = arf_get_d(arb_midref(acb_imagref(m_v)), ARF_RND_NEAR);
        return std::hypot(re, im);
    }

private:
    acb_t m_v;
};

inline constexpr double kEps = std::numeric_limits<double>::epsilon();
inline constexpr double kPi = std::numbers::pi;

inline const char* functionName(BesselFunction f) {
    switch (f) {
        case BesselFunction::I:
            return "I";
        case BesselFunction::IPrime:
            return "I'";
        case BesselFunction::K:
            return "K";
        case BesselFunction::KPrime:
            return "K'";
    }
    return "?";
}

/// The routine under test for a case.
inline Complex computed(const BesselCase& c) {
    switch (c.function) {
        case BesselFunction::I:
            return besselI(c.settings, c.p, c.nu, c.z);
        case BesselFunction::IPrime:
            return besselIPrime(c.settings, c.p, c.nu, c.z);
        case BesselFunction::K:
            return besselK(c.settings, c.p, c.nu, c.z);
        case BesselFunction::KPrime:
            return besselKPrime(c.settings, c.p, c.nu, c.z);
    }
    return {};
}

namespace detail {

// I_ν or K_ν (kind I or K) of the ball order and argument.
inline Ball bessel(bool firstKind, const Ball& nu, const Ball& z, slong prec) {
    Ball r;
    if (firstKind) {
        acb_hypgeom_bessel_i(r.get(), nu.get(), z.get(), prec);
    } else {
        acb_hypgeom_bessel_k(r.get(), nu.get(), z.get(), prec);
    }
    return r;
}

// z^p·F_ν(z) or its derivative z^(p−1)·(p·F_ν + z·F′_ν), with I′_ν = (I_{ν−1} + I_{ν+1})/2 and
// K′_ν = −(K_{ν−1} + K_{ν+1})/2 (DLMF 10.29.1), at a fixed working precision.
inline Ball exactAt(const BesselCase& c, slong prec) {
    const bool firstKind = c.function == BesselFunction::I || c.function == BesselFunction::IPrime;
    const bool derivative =
        c.function == BesselFunction::IPrime || c.function == BesselFunction::KPrime;
    const Ball p(c.p), nu(c.nu), z(c.z);
    Ball f = bessel(firstKind, nu, z, prec);
    Ball zp;
    if (!derivative) {
        acb_pow(zp.get(), z.get(), p.get(), prec);
        acb_mul(f.get(), f.get(), zp.get(), prec);
        return f;
    }
    Ball nuDown = nu, nuUp = nu, fPrime;
    acb_sub_ui(nuDown.get(), nu.get(), 1, prec);
    acb_add_ui(nuUp.get(), nu.get(), 1, prec);
    acb_add(fPrime.get(), bessel(firstKind, nuDown, z, prec).get(),
            bessel(firstKind, nuUp, z, prec).get(), prec);
    acb_mul_2exp_si(fPrime.get(), fPrime.get(), -1);
    if (!firstKind) acb_neg(fPrime.get(), fPrime.get());
    acb_mul(fPrime.get(), fPrime.get(), z.get(), prec);
    acb_mul(f.get(), f.get(), p.get(), prec);
    acb_add(f.get(), f.get(), fPrime.get(), prec);
    Ball pm1 = p;
    acb_sub_ui(pm1.get(), p.get(), 1, prec);
    acb_pow(zp.get(), z.get(), pm1.get(), prec);
    acb_mul(f.get(), f.get(), zp.get(), prec);
    return f;
}

struct Exact {
    Ball value;
    long precision;
};

// The exact value of the case for its double inputs, with the working precision raised until
// at least 60 bits are correct: near |z| = 40 the rounding of K's evaluation is magnified by
// about e^(2|z|), so a fixed precision may leave almost none.
inline Exact exact(const BesselCase& c) {
    long prec = 128;
    Ball v = exactAt(c, prec);
    while (acb_rel_accuracy_bits(v.get()) < 60 && prec < 16384) {
        prec *= 2;
        v = exactAt(c, prec);
    }
    return {v, prec};
}

inline double modulus(const Complex& z) { return std::hypot(z.re(), z.im()); }

// Relative error of the Lanczos Γ at w, measured against Arb.
inline double gammaError(const Complex& w) {
    Ball approx(complexGamma(w)), g;
    acb_gamma(g.get(), Ball(w).get(), 128);
    acb_div(approx.get(), approx.get(), g.get(), 128);
    acb_sub_ui(approx.get(), approx.get(), 1, 128);
    return approx.abs();
}

// log|Γ(w)|.
inline double logAbsGamma(const Complex& w) {
    Ball g;
    acb_lgamma(g.get(), Ball(w).get(), 128);
    return arf_get_d(arb_midref(acb_realref(g.get())), ARF_RND_NEAR);
}

// Rounding of a principal power u^w = exp(w·Log u): the exponent's rounding becomes relative
// error of the power, about ε·(|w|·|Log u| + 1).
inline double powerRounding(const Complex& u, const Complex& w) {
    return kEps * (modulus(w) * (std::fabs(std::log(modulus(u))) + kPi) + 1.0);
}

// What one summation of the series of I_ν (weights 1) or of the derivative series (weights
// |ν + p + 2k|) contributes: the term moduli Σ m_k and the error they carry,
// Σ m_k·(|δΓ(ν+k+1)| + ε·(4k + 16) + power rounding), without the common factor |z^p| or
// |z^(p−1)|. The running product adds about 2ε per multiplication, hence the ε·4k.
struct SeriesMass {
    double terms = 0.0;
    double error = 0.0;
};

inline SeriesMass seriesMass(const Complex& nu, const Complex& p, const Complex& z,
                             bool derivative) {
    const Complex half = z / 2.0;
    const Complex logHalf = log(half);
    const double prefixRounding = powerRounding(half, nu) + kEps * modulus(nu) * kPi / 2.0 +
                                  powerRounding(z, p) + (derivative ? powerRounding(z, nu) : 0.0);
    SeriesMass m;
    for (int k = 0; k < 600; ++k) {
        const Complex w = nu + static_cast<double>(k + 1);
        const double logTerm =
            real((nu + 2.0 * k) * logHalf) - std::lgamma(k + 1.0) - logAbsGamma(w);
        double size = std::exp(logTerm);
        if (derivative) size *= modulus(nu + p + 2.0 * k);
        const double rate = gammaError(w) + kEps * (4.0 * k + 16.0) + prefixRounding;
        m.terms += size;
        m.error += size * rate;
        if (k > 2.0 * modulus(z) + 10.0 && size < 1e-20 * m.terms) break;
    }
    return m;
}

// The absolute error and term mass of K_n(z) by its integer-order series: the I_n part carries
// the Γ errors scaled by |γ + Log(z/2)|, the two finite/convergent sums only rounding.
inline SeriesMass integerKMass(int n, const Complex& z) {
    const Complex half = z / 2.0;
    const double logHalf = std::log(modulus(half));
    const double scale = modulus(0.5772156649015329 + log(half));
    const SeriesMass in = seriesMass(Complex(n), 0.0, z, false);
    SeriesMass m{scale * in.terms, scale * in.error + kEps * scale * in.terms};
    for (int k = 0; k < n; ++k) {
        const double size =
            0.5 * std::exp(std::lgamma(n - k) - std::lgamma(k + 1.0) + (2.0 * k - n) * logHalf);
        m.terms += size;
        m.error += size * (powerRounding(half, Complex(2.0 * k - n)) + 8.0 * kEps * (n + 2));
    }
    double hk = 0.0, hnk = harmonicNumber(n);
    for (int k = 0; k < 600; ++k) {
        if (k > 0) {
            hk += 1.0 / k;
            hnk += 1.0 / (n + k);
        }
        const double size =
            0.5 * (hk + hnk) *
            std::exp((2.0 * k + n) * logHalf - std::lgamma(k + 1.0) - std::lgamma(n + k + 1.0));
        m.terms += size;
        m.error += size * kEps * (4.0 * k + 4.0 * n + 16.0);
        if (k > 2.0 * modulus(z) + 10.0 && size < 1e-20 * m.terms) break;
    }
    return m;
}

// The series regime's expected absolute error, relative to |exact|, and its loss factor.
inline Agreement seriesBudget(const BesselCase& c, double exactSize) {
    const bool derivative =
        c.function == BesselFunction::IPrime || c.function == BesselFunction::KPrime;
    const double zp = std::exp(real(c.p * log(c.z)));
    const double zpm1 = std::exp(real((c.p - 1.0) * log(c.z)));
    const double factor = derivative ? zpm1 : zp;
    const bool integer = c.nu.im() == 0.0 && c.nu.re() == std::floor(c.nu.re());
    SeriesMass m;
    double scaleRounding = 4.0 * kEps;
    if (c.function == BesselFunction::I || c.function == BesselFunction::IPrime) {
        const Complex order = integer ? Complex(std::fabs(c.nu.re())) : c.nu;
        m = seriesMass(order, c.p, c.z, derivative);
    } else if (integer) {
        const int n = static_cast<int>(std::fabs(c.nu.re()));
        const SeriesMass kn = integerKMass(n, c.z);
        if (!derivative) {
            m = kn;
        } else {
            const SeriesMass kn1 = integerKMass(n + 1, c.z);
            // (p + n)·z^(p−1)·K_n − z^p·K_{n+1}, in units of |z^(p−1)|.
            const double a = modulus(c.p + static_cast<double>(n));
            const double b = modulus(c.z);
            m = {a * kn.terms + b * kn1.terms, a * kn.error + b * kn1.error};
        }
        scaleRounding += powerRounding(c.z, c.p);
    } else {
        const SeriesMass plus = seriesMass(c.nu, c.p, c.z, derivative);
        const SeriesMass minus = seriesMass(-c.nu, c.p, c.z, derivative);
        Ball s;
        acb_sin_pi(s.get(), Ball(c.nu).get(), 128);
        const double sine = s.abs();
        const double scale = kPi / 2.0 / sine;
        m = {scale * (plus.terms + minus.terms), scale * (plus.error + minus.error)};
        // sin(ν·π) of the rounded product ν·π: relative error ε·|νπ|·|cot νπ|.
        const Complex nuPi = c.nu * kPi;
        scaleRounding += kEps * modulus(nuPi) * modulus(nuPi) / std::max(sine, 1e-300) / kPi;
    }
    Agreement a{};
    a.series = true;
    a.loss = factor * m.terms / exactSize;
    a.bound = 2.0 * (factor * m.error / exactSize + scaleRounding);
    return a;
}

// The large-argument regime: the first neglected term relative to the exact value, for I also
// the omitted e^(−z) part, of relative size max|e^(±iπν)|·e^(−2 Re z); plus the rounding of
// e^(±z) and z^(p−1/2). Outside the asymptotic range (|t_1| ≥ 1 or terms that grow, as for
// ν² ≳ |z|) the forms carry no digits and no bound is stated (infinity).
inline Agreement largeArgumentBudget(const BesselCase& c, double exactSize) {
    const Complex& z = c.z;
    const Complex fourNu2 = 4.0 * c.nu * c.nu;
    Complex t = -(fourNu2 - 1.0) / (8.0 * z);
    double terms[4] = {1.0, modulus(t), 0.0, 0.0};
    for (int k = 2; k <= 3; ++k) {
        const double odd = 2.0 * k - 1.0;
        t = -t * (fourNu2 - odd * odd) / (8.0 * k * z);
        terms[k] = modulus(t);
    }
    Agreement a{};
    a.series = false;
    a.loss = 1.0;
    if (!(terms[1] < 1.0 && terms[2] <= terms[1] && terms[3] <= terms[2])) {
        a.bound = std::numeric_limits<double>::infinity();
        return a;
    }
    const bool firstKind = c.function == BesselFunction::I || c.function == BesselFunction::IPrime;
    const bool derivative =
        c.function == BesselFunction::IPrime || c.function == BesselFunction::KPrime;
    const double sign = firstKind ? 1.0 : -1.0;
    const double leading = std::exp(real((c.p - 0.5) * log(z)) + sign * z.re()) *
                           (firstKind ? 1.0 / std::sqrt(2.0 * kPi) : std::sqrt(kPi / 2.0)) *
                           (derivative ? modulus((c.p - 0.5) / z + sign) : 1.0);
    double neglected = firstKind ? terms[3] : terms[1] + terms[2] + terms[3];
    if (firstKind) {
        const double phase = std::exp(kPi * std::fabs(c.nu.im()));
        neglected += phase * std::exp(-2.0 * z.re()) * (1.0 + terms[1] + terms[2]);
    }
    if (derivative) neglected *= 1.0 + 4.0 / modulus(z);
    const double rounding =
        kEps * (modulus(z) + 8.0) + powerRounding(z, c.p - 0.5) + 16.0 * kEps * terms[1];
    a.bound = 2.0 * (1.5 * neglected * leading / exactSize + rounding);
    return a;
}

}  // namespace detail

/// Measures one case against Arb and states the error its algorithm is expected to stay within.
inline Agreement measure(const BesselCase& c) {
    const detail::Exact ex = detail::exact(c);
    Ball diff(computed(c));
    acb_sub(diff.get(), diff.get(), ex.value.get(), ex.precision);
    const double exactSize = ex.value.abs();
    const bool series = detail::modulus(c.z) <= c.settings.limit;
    Agreement a =
        series ? detail::seriesBudget(c, exactSize) : detail::largeArgumentBudget(c, exactSize);
    a.error = diff.abs() / exactSize;
    a.precision = ex.precision;
    return a;
}

/// The cases: the orders and powers the field model passes (integer, half-integer,
/// near-integer and complex orders; p = 0, the anisotropic α and the spherical α − 1/2), for
/// |z| from 1e-3 to 50 and arg z from 0 to 1.5, under the default settings (limit 15,
/// accuracy 1e-17) and, for the series beyond 15, under the limit 50.
inline std::vector<BesselCase> agreementCases() {
    const Complex alpha(0.6, -0.5);
    const Complex spherical = alpha - 0.5;
    struct Order {
        Complex p;
        Complex nu;
    };
    const Order orders[] = {
        {0.0, 0.0},
        {0.0, 1.0},
        {1.0, 3.0},
        {0.0, 17.0},
        {0.0, 0.5},
        {-0.5, 1.5},
        {0.0, 2.000001},
        {0.0, alpha},
        {alpha, sqrt(alpha * alpha + 4.0)},
        {spherical, sqrt(spherical * spherical + 6.0)},
    };
    struct Argument {
        double modulus;
        double arg;
        double limit;
    };
    const Argument arguments[] = {
        {1e-3, 0.0, 15.0}, {0.5, 0.6, 15.0},  {2.0, 0.0, 15.0},  {2.0, 1.5, 15.0},
        {8.0, 0.6, 15.0},  {14.9, 0.0, 15.0}, {14.9, 0.6, 15.0}, {14.9, 1.5, 15.0},
        {15.1, 0.0, 15.0}, {15.1, 0.6, 15.0}, {25.0, 0.6, 15.0}, {25.0, 1.5, 15.0},
        {50.0, 0.0, 15.0}, {50.0, 0.6, 15.0}, {25.0, 0.0, 50.0}, {40.0, 0.6, 50.0},
    };
    std::vector<BesselCase> cases;
    for (const BesselFunction f :
         {BesselFunction::I, BesselFunction::IPrime, BesselFunction::K, BesselFunction::KPrime}) {
        for (const Order& o : orders) {
            for (const Argument& a : arguments) {
                const Complex z(a.modulus * std::cos(a.arg), a.modulus * std::sin(a.arg));
                cases.push_back({f, o.p, o.nu, z, BesselSettings{1e-17, a.limit}});
            }
        }
    }
    return cases;
}

/// A short text of a complex number for tables.
inline std::string text(const Complex& c) {
    char buf[64];
    if (c.im() == 0.0) {
        std::snprintf(buf, sizeof buf, "%.7g", c.re());
    } else {
        std::snprintf(buf, sizeof buf, "%.4g%+.4gi", c.re(), c.im());
    }
    return buf;
}

}  // namespace emforce::reference
