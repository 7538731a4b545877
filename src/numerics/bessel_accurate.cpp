// Modified Bessel functions of complex order and argument: the choice of method and the products.
#include "numerics/bessel_accurate.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
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
// … but Temme's series first up to this |z| for fractional orders with |Im μ| above
// kLargeImaginary, where CF2 cancels near arg z = π/2 and Temme's terms stay small.
constexpr double kTemmeFarTo = 8.0;
constexpr double kLargeImaginary = 1.5;
// A fractional-order method whose own error estimate passes this is checked against the other.
constexpr double kStartTolerance = 64.0 * std::numeric_limits<double>::epsilon();
// The uniform expansions are tried from this |√(ν² + z²)| on: their 17 tabled terms reach
// rounding there on the real axis (Hankel's terms at ν = 0 fall to 3e-16 by the 16th).
constexpr double kUniformFrom = 25.0;
// K's expansion misses a second exponential where |arg(z/ν)| nears or passes π/2 inside
// |z| < 1.2|ν| (orders with Im ν < 0 near arg z = π/2, nearly imaginary orders near the real
// axis), where it may converge to a wrong value.
constexpr double kUniformKMaxAngle = 1.45;
constexpr double kUniformKMaxModulus = 1.2;
// A recurrence from the fractional order that magnifies its start more than this hands over to
// the recurrences in their stable directions.
constexpr double kMaxAmplification = 4.0;
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
    return abs(sqrt(nu * nu + z * z)) >= kUniformFrom;
}

// Where the uniform expansion of K holds once that of I does: not where z/ν is small and far
// from the real axis.
bool uniformKAllowed(const Complex& nu, const Complex& z) {
    if (nu == Complex(0.0)) return true;
    const Complex w = z / nu;
    return !(std::fabs(std::atan2(w.im(), w.re())) > kUniformKMaxAngle &&
             abs(w) < kUniformKMaxModulus);
}

bool uniformKApplies(const Complex& nu, const Complex& z) {
    return uniformApplies(nu, z) && uniformKAllowed(nu, z);
}

bool seriesApplies(const Complex& nu, const Complex& z) {
    const double zSize = abs(z);
    return zSize <= kSmallArgument || zSize * zSize <= abs(nu);
}

ScaledBessel seriesI(const Complex& nu, const Complex& z) {
    const ScaledProduct s = powerSeriesI(0.0, nu, z);
    return {s.value, s.first, s.scale};
}

struct Order {
    int n;       // round(Re ν)
    Complex mu;  // ν − n, |Re μ| ≤ ½
};
Order splitOrder(const Complex& nu) {
    const double n = std::clamp(std::round(nu.re()), 0.0, kMostOrderSteps);
    return {static_cast<int>(n), nu - n};
}

struct Start {
    ScaledBessel k;  // K_μ, K_{μ+1} in the scale −Re z
    BesselMethod method;
};
Start startOf(const Estimated& s, BesselMethod method, const Complex& z) {
    return {rebase(s.f, -z.re()), method};
}

// K_μ, K_{μ+1} by the method expected to be accurate; when its own error estimate says
// otherwise, by the better of the two.
Start fractionStart(const Complex& mu, const Complex& z) {
    const double zSize = abs(z);
    const bool temmeFirst =
        zSize <= kSmallArgument || (zSize <= kTemmeFarTo && std::fabs(mu.im()) > kLargeImaginary);
    if (temmeFirst) {
        const Estimated t = temmeK(mu, z);
        if (t.error <= kStartTolerance || zSize <= 1.0) return startOf(t, BesselMethod::Temme, z);
        const std::optional<Estimated> s = steedK(mu, z);
        if (s && s->error < t.error) return startOf(*s, BesselMethod::Steed, z);
        return startOf(t, BesselMethod::Temme, z);
    }
    const std::optional<Estimated> s = steedK(mu, z);
    if (s && s->error <= kStartTolerance) return startOf(*s, BesselMethod::Steed, z);
    const Estimated t = temmeK(mu, z);
    if (s && s->error < t.error) return startOf(*s, BesselMethod::Steed, z);
    return startOf(t, BesselMethod::Temme, z);
}

// I at the first order ν + m (m ≥ 0) where the series or the uniform expansion holds.
struct Top {
    int m;
    ScaledBessel i;
};
std::optional<Top> topOrder(const Complex& nu, const Complex& z) {
    for (int m = 0; m <= 1024; m = m == 0 ? 2 : 2 * m) {
        const Complex order = nu + static_cast<double>(m);
        if (seriesApplies(order, z)) return Top{m, seriesI(order, z)};
        if (uniformApplies(order, z)) {
            if (const std::optional<BesselPair> u = uniformExpansion(order, z)) return Top{m, u->i};
        }
    }
    return std::nullopt;
}

// K (with its neighbours) and, where the method gives it too, I; and the start at the
// fractional order, where there was one.
struct Evaluation {
    RecurredK k;
    std::optional<ScaledBessel> i;
    BesselMethod method;
    std::optional<Start> start;
};

RecurredK alone(const ScaledBessel& k, const Complex& nu, const Complex& z) {
    RecurredK r;
    r.k = k;
    r.next = nu / z * k.value - k.derivative;
    r.previousCount = 0;
    r.amplification = 1.0;
    return r;
}

// K_ν by Temme's series or CF2 at the fractional order, then the recurrence; where that
// magnifies its start, by the recurrences in their stable directions.
std::optional<ShiftedBessel> shifted(const Complex& nu, const Complex& z, const Start& start) {
    const std::optional<Top> top = topOrder(nu, z);
    if (!top) return std::nullopt;
    return shiftedOrders(nu, z, start.k, top->m, top->i);
}

// K_ν by the recurrence from a lower order ν − m on the side |z| > |ν − m| where the uniform
// expansion holds and K and I are not nearly proportional (large orders just past the turning
// point, where the recurrence from the fractional order and the product recurrence magnify).
std::optional<RecurredK> fromLowerOrder(const Complex& nu, const Complex& z) {
    for (int m = 2; m <= 64 && nu.re() - m >= 0.0; m *= 2) {
        const Complex order = nu - static_cast<double>(m);
        if (!uniformKApplies(order, z)) continue;
        const std::optional<BesselPair> u = uniformExpansion(order, z);
        if (!u) continue;
        const ScaledBessel start{u->k.value, order / z * u->k.value - u->k.derivative, u->k.scale};
        const RecurredK k = recurK(start, order, m, z);
        if (k.amplification <= kMaxAmplification) return k;
    }
    return std::nullopt;
}

Evaluation fractionK(const Complex& nu, const Complex& z) {
    const Order o = splitOrder(nu);
    const Start start = fractionStart(o.mu, z);
    const RecurredK k = recurK(start.k, o.mu, o.n, z);
    if (k.amplification <= kMaxAmplification) return {k, std::nullopt, start.method, start};
    const std::optional<ShiftedBessel> s = shifted(nu, z, start);
    if (s && s->k.amplification <= kMaxAmplification)
        return {s->k, s->i, BesselMethod::OrderShift, start};
    if (const std::optional<RecurredK> lower = fromLowerOrder(nu, z))
        return {*lower, s ? std::optional<ScaledBessel>(s->i) : std::nullopt,
                BesselMethod::OrderShift, start};
    if (s && s->k.amplification < k.amplification)
        return {s->k, s->i, BesselMethod::OrderShift, start};
    return {k, s ? std::optional<ScaledBessel>(s->i) : std::nullopt, start.method, start};
}

// What I and K of one order at one argument share, each made once on first use: whether the
// uniform expansion holds, the expansion, and K by the fractional order. I then pays nothing for
// the K it needs, and K nothing where I had it already.
class Shared {
public:
    Shared(const Complex& nu, const Complex& z) : m_nu(nu), m_z(z) {}
    bool uniformHolds() {
        if (!m_uniformHolds) m_uniformHolds = uniformApplies(m_nu, m_z);
        return *m_uniformHolds;
    }
    const std::optional<BesselPair>& uniform() {
        if (!m_uniform) m_uniform = uniformExpansion(m_nu, m_z);
        return *m_uniform;
    }
    const Evaluation& fraction() {
        if (!m_fraction) m_fraction = fractionK(m_nu, m_z);
        return *m_fraction;
    }

private:
    Complex m_nu, m_z;
    std::optional<bool> m_uniformHolds;
    std::optional<std::optional<BesselPair>> m_uniform;
    std::optional<Evaluation> m_fraction;
};

// Re ν ≥ 0; `shared` is of (ν, z).
Evaluation besselKOf(const Complex& nu, const Complex& z, Shared& shared) {
    if (shared.uniformHolds() && uniformKAllowed(nu, z)) {
        if (const std::optional<BesselPair>& u = shared.uniform())
            return {alone(u->k, nu, z), u->i, BesselMethod::Uniform, std::nullopt};
    }
    return shared.fraction();
}

struct IResult {
    ScaledBessel i;
    BesselMethod method;
};

// Re ν ≥ 0; `shared` is of (ν, z).
IResult besselIOf(const Complex& nu, const Complex& z, Shared& shared) {
    if (seriesApplies(nu, z)) return {rebase(seriesI(nu, z), z.re()), BesselMethod::PowerSeries};
    if (shared.uniformHolds()) {
        if (const std::optional<BesselPair>& u = shared.uniform())
            return {u->i, BesselMethod::Uniform};
    }
    const Evaluation& k = shared.fraction();
    if (k.i) return {*k.i, k.method};
    const std::optional<Estimated> i = wronskianI(nu, z, k.k.k);
    if (i && i->error <= kStartTolerance)
        return {i->f, k.method == BesselMethod::Steed ? BesselMethod::WronskianSteed
                                                      : BesselMethod::WronskianTemme};
    if (const std::optional<ShiftedBessel> s = shifted(nu, z, *k.start))
        return {s->i, BesselMethod::OrderShift};
    if (i)
        return {i->f, k.method == BesselMethod::Steed ? BesselMethod::WronskianSteed
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

// The order whose functions give those of ν: ν itself, or −ν where Re ν < 0.
Complex rightHalfOrder(const Complex& nu) { return nu.re() >= 0.0 ? nu : -nu; }

// I_ν for any Re ν: I_{−n} = I_n (DLMF 10.27.1); otherwise with m = −ν,
// I_{−m} = I_m + (2/π)·sin(mπ)·K_m (DLMF 10.27.4). `shared` is of (rightHalfOrder(ν), z).
IResult anyOrderI(const Complex& nu, const Complex& z, Shared& shared) {
    if (nu.re() >= 0.0) return besselIOf(nu, z, shared);
    const Complex m = -nu;
    const IResult i = besselIOf(m, z, shared);
    if (isInteger(nu)) return i;
    const Evaluation k = besselKOf(m, z, shared);
    return {combine(i.i, 1.0, k.k.k, 2.0 / kPi * sin(kPi * m)), i.method};
}
IResult anyOrderI(const Complex& nu, const Complex& z) {
    Shared shared(rightHalfOrder(nu), z);
    return anyOrderI(nu, z, shared);
}

// K_{−ν} = K_ν (DLMF 10.27.3). `shared` is of (rightHalfOrder(ν), z).
Evaluation anyOrderK(const Complex& nu, const Complex& z, Shared& shared) {
    return besselKOf(rightHalfOrder(nu), z, shared);
}
Evaluation anyOrderK(const Complex& nu, const Complex& z) {
    Shared shared(rightHalfOrder(nu), z);
    return anyOrderK(nu, z, shared);
}

// The part sizes of a sum over its size: how much the sum cancels.
double loss(const Complex& sum, double parts) {
    const double size = modulus(sum);
    return size > 0.0 ? parts / size : std::numeric_limits<double>::infinity();
}

// Where a form of the derivatives cancels by more than this, the others are tried.
constexpr double kMaxLoss = 8.0;

struct Derivatives {
    Complex first, second;
    double firstLoss, secondLoss;
};

// a = p ± ν and a − 1, the latter with the rounding of the sum restored (Knuth's two-sum), so
// that a − 1 is exact where a ≈ 1 and z^(p±ν) nearly linear: the derivatives depend on it.
struct Exponent {
    Complex a, aMinus1;
};
double twoSumError(double x, double y, double sum) {
    const double back = sum - x;
    return (x - (sum - back)) + (y - back);
}
Exponent exponentOf(const Complex& p, const Complex& signedNu) {
    const Complex a = p + signedNu;
    const Complex error(twoSumError(p.re(), signedNu.re(), a.re()),
                        twoSumError(p.im(), signedNu.im(), a.im()));
    return {a, (a - 1.0) + error};
}

// (z^p K)′ = z^p·[((p+ν)/z)·K_ν − K_{ν+1}] and
// (z^p K)″ = z^p·[((p+ν)(p+ν−1)/z² + 1)·K_ν − ((2p−1)/z)·K_{ν+1}] (DLMF 10.29.2 and the Bessel
// equation), which cancel where z^(p+ν) is nearly linear; with ν → −ν (K_{−ν} = K_ν) the same
// with K_{ν−1}, which cancel where z^(p−ν) is, the leading power of K at small |z|; and with
// K_{ν−2} as well, (z^p K)″ = z^p·[q(q−1)/z²·K_ν − ((2q+1)/z)·K_{ν−1} + K_{ν−2}], q = p − ν, which
// cancels in neither case.
Derivatives formsUp(const Exponent& e, const Complex& z, const Complex& p, const Complex& k,
                    const Complex& neighbour) {
    const Complex inverse = 1.0 / z;
    const Complex f1 = e.a * inverse * k, f2 = neighbour;
    const Complex s1 = (e.a * e.aMinus1 * inverse * inverse + 1.0) * k;
    const Complex s2 = (2.0 * p - 1.0) * inverse * neighbour;
    return {f1 - f2, s1 - s2, loss(f1 - f2, modulus(f1) + modulus(f2)),
            loss(s1 - s2, modulus(s1) + modulus(s2))};
}

Derivatives bestOf(const Derivatives& a, const Derivatives& b) {
    Derivatives r = a;
    if (b.firstLoss < a.firstLoss) {
        r.first = b.first;
        r.firstLoss = b.firstLoss;
    }
    if (b.secondLoss < a.secondLoss) {
        r.second = b.second;
        r.secondLoss = b.secondLoss;
    }
    return r;
}

Derivatives productDerivatives(const Complex& p, const Complex& nu, const Complex& z,
                               const RecurredK& k, const Complex& km1, const Complex& km2,
                               bool haveTwo) {
    Derivatives d = formsUp(exponentOf(p, nu), z, p, k.k.value, k.next);
    const Exponent q = exponentOf(p, -nu);
    d = bestOf(d, formsUp(q, z, p, k.k.value, km1));
    if (haveTwo) {
        const Complex inverse = 1.0 / z;
        const Complex t1 = q.a * q.aMinus1 * inverse * inverse * k.k.value;
        const Complex t2 = (2.0 * q.a + 1.0) * inverse * km1;
        const Complex second = t1 - t2 + km2;
        const double l = loss(second, modulus(t1) + modulus(t2) + modulus(km2));
        if (l < d.secondLoss) {
            d.second = second;
            d.secondLoss = l;
        }
    }
    return d;
}

// K_{ν−1}, K_{ν−2} in the scale of `k` by evaluations of their own (ν ± 1 with Re < 0 by
// symmetry), for the derivatives where the recurrence did not pass them.
std::optional<Complex> neighbourInScale(const Complex& order, const Complex& z, double scale) {
    const ScaledBessel f = anyOrderK(order, z).k.k;
    const double shift = f.scale - scale;
    if (std::fabs(shift) > kKeepInValue) return std::nullopt;
    return f.value * std::exp(shift);
}

// z^p as the phase of its value and the real part of its exponent (the scale it adds), made on
// first use: the I and K products of one (p, z) share it.
class PowerOf {
public:
    PowerOf(const Complex& p, const Complex& z) : m_p(p), m_z(z) {}
    const Complex& phase() { return made().phase; }
    double scale() { return made().scale; }

private:
    struct Made {
        Complex phase;
        double scale;
    };
    const Made& made() {
        if (!m_made) {
            const Complex logPower = m_p * log(m_z);
            m_made = Made{exp(Complex(0.0, logPower.im())), logPower.re()};
        }
        return *m_made;
    }
    Complex m_p, m_z;
    std::optional<Made> m_made;
};

// z^p·K and its derivatives, by the least cancelling forms; `power` is of (p, z).
ScaledProduct productK(const Complex& p, const Complex& nu, const Complex& z, const Evaluation& e,
                       PowerOf& power) {
    const Complex& phase = power.phase();
    const RecurredK& k = e.k;
    const Complex order = nu.re() >= 0.0 ? nu : -nu;
    Derivatives d = k.previousCount >= 1 ? productDerivatives(p, order, z, k, k.previous[0],
                                                              k.previous[1], k.previousCount >= 2)
                                         : formsUp(exponentOf(p, order), z, p, k.k.value, k.next);
    if ((d.firstLoss > kMaxLoss || d.secondLoss > kMaxLoss) && k.previousCount < 2) {
        const std::optional<Complex> km1 = k.previousCount >= 1
                                               ? std::optional<Complex>(k.previous[0])
                                               : neighbourInScale(order - 1.0, z, k.k.scale);
        const std::optional<Complex> km2 = neighbourInScale(order - 2.0, z, k.k.scale);
        if (km1 && km2) d = productDerivatives(p, order, z, k, *km1, *km2, true);
    }
    return {phase * k.k.value, phase * d.first, phase * d.second, k.k.scale + power.scale()};
}

// z^p·f and its derivatives from f, f′ and f″ = (1 + ν²/z²)·f − f′/z (DLMF 10.25.1):
// (z^p f)″ = z^p·[((p(p−1) + ν²)/z² + 1)·f + ((2p − 1)/z)·f′]; `power` is of (p, z).
ScaledProduct product(const Complex& p, const Complex& nu, const Complex& z, const ScaledBessel& f,
                      PowerOf& power) {
    const Complex& phase = power.phase();
    const Complex inverse = 1.0 / z;
    const Complex value = phase * f.value;
    const Complex derivative = phase * f.derivative;
    const Complex second = ((p * (p - 1.0) + nu * nu) * inverse * inverse + 1.0) * value +
                           (2.0 * p - 1.0) * inverse * derivative;
    return {value, p * inverse * value + derivative, second, f.scale + power.scale()};
}

// z^p·I and its derivatives; `shared` is of (rightHalfOrder(ν), z), `power` of (p, z).
ScaledProduct productI(const Complex& p, const Complex& nu, const Complex& z, Shared& shared,
                       PowerOf& power) {
    // The series differentiates its own terms: no cancellation where z^(ν+p) is nearly linear.
    if (nu.re() >= 0.0 && seriesApplies(nu, z)) {
        const ScaledProduct s = powerSeriesI(p, nu, z);
        const ScaledBessel moved = rebase({s.value, s.first, s.scale}, z.re());
        const double factor = moved.scale == s.scale ? 1.0 : std::exp(s.scale - moved.scale);
        return {moved.value, moved.derivative, s.second * factor, moved.scale};
    }
    return product(p, nu, z, anyOrderI(nu, z, shared).i, power);
}

// v·e^scale, overflowing only where the product itself leaves the double range.
Complex unscale(const Complex& v, double scale) {
    if (std::fabs(scale) <= 700.0) return v * std::exp(scale);
    const double size = modulus(v);
    if (size == 0.0) return v;
    return v / size * std::exp(scale + std::log(size));
}

constexpr int kCountI = 0;
constexpr int kCountK = 2;

}  // namespace

ScaledBessel scaledBesselI(const Complex& nu, const Complex& z, BesselMethod* method) {
    countBesselEvaluation(kCountI, 0.0, nu, z);
    const IResult r = anyOrderI(nu, z);
    if (method != nullptr) *method = r.method;
    return r.i;
}

ScaledBessel scaledBesselK(const Complex& nu, const Complex& z, BesselMethod* method) {
    countBesselEvaluation(kCountK, 0.0, nu, z);
    const Evaluation r = anyOrderK(nu, z);
    if (method != nullptr) *method = r.method;
    return r.k.k;
}

ScaledProduct scaledBesselIProduct(const Complex& p, const Complex& nu, const Complex& z) {
    countBesselEvaluation(kCountI, p, nu, z);
    Shared shared(rightHalfOrder(nu), z);
    PowerOf power(p, z);
    return productI(p, nu, z, shared, power);
}

ScaledProduct scaledBesselKProduct(const Complex& p, const Complex& nu, const Complex& z) {
    countBesselEvaluation(kCountK, p, nu, z);
    PowerOf power(p, z);
    return productK(p, nu, z, anyOrderK(nu, z), power);
}

ScaledProducts scaledBesselIKProducts(const Complex& p, const Complex& nu, const Complex& z) {
    countBesselEvaluation(kCountI, p, nu, z);
    countBesselEvaluation(kCountK, p, nu, z);
    Shared shared(rightHalfOrder(nu), z);
    PowerOf power(p, z);
    const ScaledProduct i = productI(p, nu, z, shared, power);
    return {i, productK(p, nu, z, anyOrderK(nu, z, shared), power)};
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
        case BesselMethod::OrderShift:
            return "shift";
    }
    return "?";
}

}  // namespace emforce
