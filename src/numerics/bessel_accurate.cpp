// Modified Bessel functions of complex order and argument: the choice of method and the products.
#include "numerics/bessel_accurate.hpp"

#include <cmath>
#include <numbers>
#include <optional>

#include "numerics/bessel.hpp"
#include "numerics/bessel_methods.hpp"

namespace emforce {

using namespace bessel_detail;

namespace {

constexpr double kPi = std::numbers::pi;
// Temme's series and the I power series below this |z|, CF2 above.
constexpr double kSmallArgument = 2.0;
// … but CF2 already from this |z| for fractional orders with |Im μ| > 1, where Temme's terms
// grow with |Γ(1 ± μ)|⁻¹.
constexpr double kTemmeComplexTo = 1.0;
// The uniform expansions are tried from this |√(ν² + z²)| on: their 17 tabled terms reach
// rounding there on the real axis (Hankel's terms at ν = 0 fall to 3e-16 by the 16th).
constexpr double kUniformFrom = 25.0;
// … and for orders with |arg ν| up to this angle, or at any order once |z| ≥ |ν|² and
// |z| ≥ 20 (Hankel's regime). Nearer the imaginary axis K_ν is not one exponential.
constexpr double kUniformMaxOrderAngle = 1.2;
// Exponents kept in a value rather than in its scale.
constexpr double kKeepInValue = 600.0;

// Moves a value to the scale `base` when the difference is small enough to keep in the value.
ScaledBessel rebase(const ScaledBessel& f, double base) {
    const double shift = f.scale - base;
    if (std::fabs(shift) > kKeepInValue) return f;
    const double factor = std::exp(shift);
    return {f.value * factor, f.derivative * factor, base};
}

bool uniformApplies(const Complex& nu, const Complex& z) {
    const double size = abs(sqrt(nu * nu + z * z));
    if (!(size >= kUniformFrom)) return false;
    const double zSize = abs(z);
    if (zSize >= 20.0 && norm(nu) <= zSize) return true;
    return std::fabs(std::atan2(nu.im(), nu.re())) <= kUniformMaxOrderAngle;
}

struct Order {
    int n;       // round(Re ν)
    Complex mu;  // ν − n, |Re μ| ≤ ½
};
Order splitOrder(const Complex& nu) {
    const double n = std::round(nu.re());
    return {static_cast<int>(n), nu - n};
}

// K_ν, K′_ν by Temme's series or CF2 at the fractional order, then the recurrence.
struct KResult {
    ScaledBessel k;
    BesselMethod method;
};
KResult fractionK(const Complex& nu, const Complex& z) {
    const Order o = splitOrder(nu);
    const double zSize = abs(z);
    if (zSize > kSmallArgument || (zSize > kTemmeComplexTo && std::fabs(o.mu.im()) > 1.0)) {
        if (const std::optional<ScaledBessel> start = steedK(o.mu, z))
            return {recurK(*start, o.mu, o.n, z), BesselMethod::Steed};
    }
    const ScaledBessel start = rebase(temmeK(o.mu, z), -z.re());
    return {recurK(start, o.mu, o.n, z), BesselMethod::Temme};
}

// Re ν ≥ 0.
KResult besselKOf(const Complex& nu, const Complex& z) {
    if (uniformApplies(nu, z)) {
        if (const std::optional<UniformPair> u = uniformExpansion(nu, z))
            return {u->k, BesselMethod::Uniform};
    }
    return fractionK(nu, z);
}

bool seriesApplies(const Complex& nu, const Complex& z) {
    const double zSize = abs(z);
    return zSize <= kSmallArgument || zSize * zSize <= abs(nu);
}

ScaledBessel seriesI(const Complex& nu, const Complex& z) {
    const ScaledProduct s = powerSeriesI(0.0, nu, z);
    return {s.value, s.first, s.scale};
}

// Re ν ≥ 0.
KResult besselIOf(const Complex& nu, const Complex& z) {
    if (seriesApplies(nu, z)) return {rebase(seriesI(nu, z), z.re()), BesselMethod::PowerSeries};
    if (uniformApplies(nu, z)) {
        if (const std::optional<UniformPair> u = uniformExpansion(nu, z))
            return {u->i, BesselMethod::Uniform};
    }
    const KResult k = fractionK(nu, z);
    if (const std::optional<ScaledBessel> i = wronskianI(nu, z, k.k))
        return {*i, k.method == BesselMethod::Steed ? BesselMethod::WronskianSteed
                                                    : BesselMethod::WronskianTemme};
    return {rebase(seriesI(nu, z), z.re()), BesselMethod::PowerSeries};
}

bool isInteger(const Complex& nu) { return nu.im() == 0.0 && nu.re() == std::floor(nu.re()); }

// a·wa + b·wb in the larger of the two scales.
ScaledBessel combine(const ScaledBessel& a, const Complex& wa, const ScaledBessel& b,
                     const Complex& wb) {
    const double scale = std::max(a.scale, b.scale);
    const double fa = std::exp(a.scale - scale);
    const double fb = std::exp(b.scale - scale);
    return {wa * fa * a.value + wb * fb * b.value, wa * fa * a.derivative + wb * fb * b.derivative,
            scale};
}

// I_ν for any Re ν: I_{−n} = I_n (DLMF 10.27.1); otherwise with m = −ν,
// I_{−m} = I_m + (2/π)·sin(mπ)·K_m (DLMF 10.27.4).
KResult anyOrderI(const Complex& nu, const Complex& z) {
    if (nu.re() >= 0.0) return besselIOf(nu, z);
    const Complex m = -nu;
    const KResult i = besselIOf(m, z);
    if (isInteger(nu)) return i;
    const KResult k = besselKOf(m, z);
    return {combine(i.k, 1.0, k.k, 2.0 / kPi * sin(kPi * m)), i.method};
}

KResult anyOrderK(const Complex& nu, const Complex& z) {
    return besselKOf(nu.re() >= 0.0 ? nu : -nu, z);  // K_{−ν} = K_ν (DLMF 10.27.3)
}

// z^p·f and its derivatives from f, f′ and f″ = (1 + ν²/z²)·f − f′/z (DLMF 10.25.1):
// (z^p f)″ = z^p·[((p(p−1) + ν²)/z² + 1)·f + ((2p − 1)/z)·f′].
ScaledProduct product(const Complex& p, const Complex& nu, const Complex& z,
                      const ScaledBessel& f) {
    const Complex logPower = p * log(z);
    const Complex phase = exp(Complex(0.0, logPower.im()));
    const Complex inverse = 1.0 / z;
    const Complex value = phase * f.value;
    const Complex derivative = phase * f.derivative;
    const Complex second = ((p * (p - 1.0) + nu * nu) * inverse * inverse + 1.0) * value +
                           (2.0 * p - 1.0) * inverse * derivative;
    return {value, p * inverse * value + derivative, second, f.scale + logPower.re()};
}

// v·e^scale, overflowing only where the product itself leaves the double range.
Complex unscale(const Complex& v, double scale) {
    if (std::fabs(scale) <= 700.0) return v * std::exp(scale);
    const double size = abs(v);
    if (size == 0.0) return v;
    return v / size * std::exp(scale + std::log(size));
}

constexpr int kCountI = 0;
constexpr int kCountK = 2;

}  // namespace

ScaledBessel scaledBesselI(const Complex& nu, const Complex& z, BesselMethod* method) {
    countBesselEvaluation(kCountI, 0.0, nu, z);
    const KResult r = anyOrderI(nu, z);
    if (method != nullptr) *method = r.method;
    return r.k;
}

ScaledBessel scaledBesselK(const Complex& nu, const Complex& z, BesselMethod* method) {
    countBesselEvaluation(kCountK, 0.0, nu, z);
    const KResult r = anyOrderK(nu, z);
    if (method != nullptr) *method = r.method;
    return r.k;
}

ScaledProduct scaledBesselIProduct(const Complex& p, const Complex& nu, const Complex& z) {
    countBesselEvaluation(kCountI, p, nu, z);
    // The series differentiates its own terms: no cancellation where z^(ν+p) is nearly linear.
    if (nu.re() >= 0.0 && seriesApplies(nu, z)) {
        const ScaledProduct s = powerSeriesI(p, nu, z);
        const ScaledBessel moved = rebase({s.value, s.first, s.scale}, z.re());
        const double factor = moved.scale == s.scale ? 1.0 : std::exp(s.scale - moved.scale);
        return {moved.value, moved.derivative, s.second * factor, moved.scale};
    }
    return product(p, nu, z, anyOrderI(nu, z).k);
}

ScaledProduct scaledBesselKProduct(const Complex& p, const Complex& nu, const Complex& z) {
    countBesselEvaluation(kCountK, p, nu, z);
    return product(p, nu, z, anyOrderK(nu, z).k);
}

Complex accurateBesselI(const Complex& p, const Complex& nu, const Complex& z) {
    const ScaledProduct r = scaledBesselIProduct(p, nu, z);
    return unscale(r.value, r.scale);
}
Complex accurateBesselIPrime(const Complex& p, const Complex& nu, const Complex& z) {
    const ScaledProduct r = scaledBesselIProduct(p, nu, z);
    return unscale(r.first, r.scale);
}
Complex accurateBesselISecond(const Complex& p, const Complex& nu, const Complex& z) {
    const ScaledProduct r = scaledBesselIProduct(p, nu, z);
    return unscale(r.second, r.scale);
}
Complex accurateBesselK(const Complex& p, const Complex& nu, const Complex& z) {
    const ScaledProduct r = scaledBesselKProduct(p, nu, z);
    return unscale(r.value, r.scale);
}
Complex accurateBesselKPrime(const Complex& p, const Complex& nu, const Complex& z) {
    const ScaledProduct r = scaledBesselKProduct(p, nu, z);
    return unscale(r.first, r.scale);
}
Complex accurateBesselKSecond(const Complex& p, const Complex& nu, const Complex& z) {
    const ScaledProduct r = scaledBesselKProduct(p, nu, z);
    return unscale(r.second, r.scale);
}

const char* besselMethodName(BesselMethod method) {
    switch (method) {
        case BesselMethod::PowerSeries:
            return "series";
        case BesselMethod::Temme:
            return "temme";
        case BesselMethod::Steed:
            return "steed";
        case BesselMethod::Uniform:
            return "uniform";
        case BesselMethod::WronskianTemme:
            return "cf1+temme";
        case BesselMethod::WronskianSteed:
            return "cf1+steed";
    }
    return "?";
}

}  // namespace emforce
