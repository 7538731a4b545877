// Arb reference values for the accurate Bessel functions, their products and their regions.
#pragma once

#include <acb.h>
#include <acb_hypgeom.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "numerics/bessel_accurate.hpp"
#include "reference/bessel_reference.hpp"

namespace emforce::reference {

/// One point of the accurate functions' domain: power p, order ν, argument z.
struct AccuratePoint {
    Complex p;
    Complex nu;
    Complex z;
};

/// The quantities compared at a point, each against Arb.
enum class AccurateQuantity {
    I,         ///< I_ν from scaledBesselI (value·e^scale)
    IPrime,    ///< I′_ν from scaledBesselI
    K,         ///< K_ν from scaledBesselK
    KPrime,    ///< K′_ν from scaledBesselK
    IProduct,  ///< z^p·I_ν and its two derivatives from scaledBesselIProduct (worst of three)
    KProduct,  ///< the same for K
    Unscaled,  ///< the six unscaled conveniences (worst), where the true value is a double
};
inline constexpr int kAccurateQuantities = 7;

inline const char* quantityName(int q) {
    static const char* const names[] = {"I", "I'", "K", "K'", "z^p I", "z^p K", "unscaled"};
    return names[q];
}

/// What a point measured: the relative error of each quantity (negative: not measured), the
/// condition numbers of I and K (|z f′/f| + |ν ∂f/∂ν / f|, plus |p ln z| for the products) and
/// the methods used.
struct AccurateAgreement {
    double error[kAccurateQuantities];
    double conditionI, conditionK;
    /// How much the products' derivatives, formed from f and f′, cancel: Σ|parts| / |result|.
    double productLossI, productLossK;
    BesselMethod methodI, methodK;
};

namespace accurate_detail {

inline Ball besselBall(bool firstKind, const Ball& nu, const Ball& z, slong prec) {
    return detail::bessel(firstKind, nu, z, prec);
}

inline Ball plus(const Ball& a, const Ball& b, slong prec) {
    Ball r;
    acb_add(r.get(), a.get(), b.get(), prec);
    return r;
}
inline Ball minus(const Ball& a, const Ball& b, slong prec) {
    Ball r;
    acb_sub(r.get(), a.get(), b.get(), prec);
    return r;
}
inline Ball times(const Ball& a, const Ball& b, slong prec) {
    Ball r;
    acb_mul(r.get(), a.get(), b.get(), prec);
    return r;
}
inline Ball divided(const Ball& a, const Ball& b, slong prec) {
    Ball r;
    acb_div(r.get(), a.get(), b.get(), prec);
    return r;
}
inline Ball shifted(const Ball& nu, double by, slong prec) {
    return plus(nu, Ball(Complex(by)), prec);
}

// value·e^scale as a ball.
inline Ball fromScaled(const Complex& value, double scale, slong prec) {
    Ball r(value);
    Ball e{Complex(scale)};
    acb_exp(e.get(), e.get(), prec);
    acb_mul(r.get(), r.get(), e.get(), prec);
    return r;
}

// |computed − exact| / |exact|, formed in Arb: either may lie beyond the double range.
inline double relativeError(const Ball& computed, const Ball& exact, slong prec) {
    return divided(minus(computed, exact, prec), exact, prec).abs();
}

// |a| / |b| in Arb.
inline double sizeRatio(const Ball& a, const Ball& b, slong prec) {
    return divided(a, b, prec).abs();
}

// The exact f, f′, f″ of one kind, and ∂f/∂ν, at a working precision.
struct Exact {
    Ball f, f1, f2, dnu;
    bool good;
};

inline Exact exactOf(bool firstKind, const AccuratePoint& pt, slong prec) {
    const Ball nu(pt.nu), z(pt.z);
    Exact e;
    e.f = besselBall(firstKind, nu, z, prec);
    const Ball down = besselBall(firstKind, shifted(nu, -1.0, prec), z, prec);
    const Ball up = besselBall(firstKind, shifted(nu, 1.0, prec), z, prec);
    e.f1 = plus(down, up, prec);  // I′ = (I_{ν−1} + I_{ν+1})/2, K′ = −(K_{ν−1} + K_{ν+1})/2
    acb_mul_2exp_si(e.f1.get(), e.f1.get(), -1);
    if (!firstKind) acb_neg(e.f1.get(), e.f1.get());
    // f″ = (1 + ν²/z²)·f − f′/z
    const Ball ratio = divided(nu, z, prec);
    const Ball coefficient = plus(Ball(Complex(1.0)), times(ratio, ratio, prec), prec);
    e.f2 = minus(times(coefficient, e.f, prec), divided(e.f1, z, prec), prec);
    e.good = acb_rel_accuracy_bits(e.f.get()) >= 60 && acb_rel_accuracy_bits(e.f1.get()) >= 60 &&
             acb_rel_accuracy_bits(e.f2.get()) >= 60;
    return e;
}

// ∂f/∂ν by a central difference with step 1e-12 (its error 1e-24 relative), at 80 bits more
// than f needed: only a condition number is made of it, so its midpoint is enough.
inline Ball orderDerivative(bool firstKind, const AccuratePoint& pt, slong prec) {
    const Ball nu(pt.nu), z(pt.z);
    prec += 80;
    const double h = 1e-12;
    const Ball fUp = besselBall(firstKind, shifted(nu, h, prec), z, prec);
    const Ball fDown = besselBall(firstKind, shifted(nu, -h, prec), z, prec);
    return divided(minus(fUp, fDown, prec), Ball(Complex(2.0 * h)), prec);
}

// The product z^p·f and its derivatives: z^p·f, z^p·(p f/z + f′),
// z^p·[((p(p−1) + ν²)/z² + 1)·f + ((2p − 1)/z)·f′].
struct ExactProduct {
    Ball value, first, second;
    double loss;  // (|p f/z| + |f′|)/|first| and the same of the second derivative's parts
};
inline ExactProduct productOf(const Exact& e, const AccuratePoint& pt, slong prec) {
    const Ball p(pt.p), nu(pt.nu), z(pt.z);
    Ball zp;
    acb_pow(zp.get(), z.get(), p.get(), prec);
    const Ball pOverZ = divided(p, z, prec);
    ExactProduct r;
    r.value = times(zp, e.f, prec);
    r.first = times(zp, plus(times(pOverZ, e.f, prec), e.f1, prec), prec);
    const Ball z2 = times(z, z, prec);
    const Ball pp = times(p, shifted(p, -1.0, prec), prec);
    const Ball a =
        plus(divided(plus(pp, times(nu, nu, prec), prec), z2, prec), Ball(Complex(1.0)), prec);
    const Ball twoPm1 = shifted(times(p, Ball(Complex(2.0)), prec), -1.0, prec);
    const Ball secondF = times(a, e.f, prec);
    const Ball secondF1 = times(divided(twoPm1, z, prec), e.f1, prec);
    r.second = times(zp, plus(secondF, secondF1, prec), prec);
    const Ball first = plus(times(pOverZ, e.f, prec), e.f1, prec);
    const Ball second = plus(secondF, secondF1, prec);
    r.loss =
        std::max(sizeRatio(times(pOverZ, e.f, prec), first, prec) + sizeRatio(e.f1, first, prec),
                 sizeRatio(secondF, second, prec) + sizeRatio(secondF1, second, prec));
    return r;
}

inline Exact exactWithPrecision(bool firstKind, const AccuratePoint& pt, slong* precUsed) {
    slong prec = 128;
    Exact e = exactOf(firstKind, pt, prec);
    while (!e.good && prec < 8192) {
        prec *= 2;
        e = exactOf(firstKind, pt, prec);
    }
    *precUsed = prec;
    e.dnu = orderDerivative(firstKind, pt, prec);
    return e;
}

inline double condition(const Exact& e, const AccuratePoint& pt, slong prec) {
    const Ball zf = times(Ball(pt.z), divided(e.f1, e.f, prec), prec);
    const Ball nf = times(Ball(pt.nu), divided(e.dnu, e.f, prec), prec);
    return zf.abs() + nf.abs();
}

// The largest relative error of three computed values against three exact ones, each in the
// common scale.
inline double worstOfProduct(const ScaledProduct& c, const ExactProduct& x, slong prec) {
    return std::max({relativeError(fromScaled(c.value, c.scale, prec), x.value, prec),
                     relativeError(fromScaled(c.first, c.scale, prec), x.first, prec),
                     relativeError(fromScaled(c.second, c.scale, prec), x.second, prec)});
}

// The unscaled convenience against the exact value where that is a normal double; −1 beyond.
inline double unscaledError(const Complex& computed, const Ball& exact, slong prec) {
    const Ball bound{Complex(1e290)};
    const Ball tiny{Complex(1e-290)};
    const double large = sizeRatio(exact, bound, prec), small = sizeRatio(exact, tiny, prec);
    if (!(large < 1.0 && small > 1.0)) return -1.0;
    return relativeError(Ball(computed), exact, prec);
}

}  // namespace accurate_detail

/// Measures every quantity at one point against Arb.
inline AccurateAgreement measureAccurate(const AccuratePoint& pt) {
    using namespace accurate_detail;
    AccurateAgreement a{};
    slong precI = 0, precK = 0;
    const Exact ei = exactWithPrecision(true, pt, &precI);
    const Exact ek = exactWithPrecision(false, pt, &precK);
    const slong prec = std::max(precI, precK);
    const ScaledBessel i = scaledBesselI(pt.nu, pt.z, &a.methodI);
    const ScaledBessel k = scaledBesselK(pt.nu, pt.z, &a.methodK);
    a.error[0] = relativeError(fromScaled(i.value, i.scale, prec), ei.f, prec);
    a.error[1] = relativeError(fromScaled(i.derivative, i.scale, prec), ei.f1, prec);
    a.error[2] = relativeError(fromScaled(k.value, k.scale, prec), ek.f, prec);
    a.error[3] = relativeError(fromScaled(k.derivative, k.scale, prec), ek.f1, prec);
    const ExactProduct pi = productOf(ei, pt, prec);
    const ExactProduct pk = productOf(ek, pt, prec);
    a.error[4] = worstOfProduct(scaledBesselIProduct(pt.p, pt.nu, pt.z), pi, prec);
    a.error[5] = worstOfProduct(scaledBesselKProduct(pt.p, pt.nu, pt.z), pk, prec);
    double unscaled = -1.0;
    const Complex &p = pt.p, &nu = pt.nu, &z = pt.z;
    for (const double e : {unscaledError(accurateBesselI(p, nu, z), pi.value, prec),
                           unscaledError(accurateBesselIPrime(p, nu, z), pi.first, prec),
                           unscaledError(accurateBesselISecond(p, nu, z), pi.second, prec),
                           unscaledError(accurateBesselK(p, nu, z), pk.value, prec),
                           unscaledError(accurateBesselKPrime(p, nu, z), pk.first, prec),
                           unscaledError(accurateBesselKSecond(p, nu, z), pk.second, prec)})
        unscaled = std::max(unscaled, e);
    a.error[6] = unscaled;
    const double pLog = detail::modulus(p * log(z));
    a.conditionI = condition(ei, pt, prec) + pLog;
    a.conditionK = condition(ek, pt, prec) + pLog;
    a.productLossI = pi.loss;
    a.productLossK = pk.loss;
    return a;
}

/// The condition number that bounds a quantity's error; for the products and the unscaled
/// functions also the cancellation of their derivatives' parts. (The I series differentiates
/// its terms and has none, so for z^p·I this is only an upper bound.)
inline double conditionOf(const AccurateAgreement& a, int q) {
    switch (q) {
        case 0:
        case 1:
            return a.conditionI;
        case 2:
        case 3:
            return a.conditionK;
        case 4:
            return a.conditionI + a.productLossI;
        case 5:
            return a.conditionK + a.productLossK;
        default:
            return std::max(a.conditionI + a.productLossI, a.conditionK + a.productLossK);
    }
}

/// The orders of the grids: integer, half-integer, near-integer, the model's complex orders
/// (anisotropic layers of low and high harmonics, the spherical geometry near its poles) and
/// orders with a large imaginary part.
inline std::vector<Complex> accurateOrders(bool full) {
    std::vector<Complex> orders = {0.0,
                                   1.0,
                                   2.0,
                                   0.5,
                                   1.5,
                                   2.0 + 1e-9,
                                   Complex(2.028, -0.148),
                                   Complex(0.6, -0.5),
                                   17.0,
                                   Complex(34.6, -2.5),
                                   Complex(2.0, 10.0),
                                   Complex(0.0, 10.0),
                                   Complex(50.0, 10.0),
                                   150.0,
                                   Complex(345.0, -25.0)};
    if (full) {
        for (const Complex extra :
             {Complex(5.0), Complex(16.5), Complex(17.0 - 1e-9), Complex(0.3, 0.2),
              Complex(8.0, -3.0), Complex(20.0, 20.0), Complex(50.0), Complex(100.0, -30.0),
              Complex(400.0), Complex(300.0, 100.0), Complex(0.0, 3.0), Complex(10.5, -0.5)})
            orders.push_back(extra);
    }
    return orders;
}

/// The grid: the orders above times |z| from 1e-6 to 500 and arg z from 0 to 1.56, with the
/// powers p = 0, the anisotropic α and the spherical α − ½.
inline std::vector<AccuratePoint> accurateGrid(bool full) {
    const std::vector<double> moduli =
        full ? std::vector<double>{1e-6, 1e-3, 0.1,  0.5,  1.0,  1.9,   2.1,   4.0,
                                   8.0,  15.0, 25.0, 40.0, 80.0, 150.0, 300.0, 500.0}
             : std::vector<double>{1e-6, 0.5, 1.9, 4.0, 15.0, 40.0, 150.0, 500.0};
    const std::vector<double> args = full ? std::vector<double>{0.0, 0.4, 0.785, 1.2, 1.5, 1.56}
                                          : std::vector<double>{0.0, 0.785, 1.5};
    const Complex powers[] = {0.0, Complex(0.6, -0.5), Complex(0.1, -0.5)};
    std::vector<AccuratePoint> grid;
    int index = 0;
    for (const Complex& nu : accurateOrders(full))
        for (const double m : moduli)
            for (const double arg : args) {
                const Complex z(m * std::cos(arg), m * std::sin(arg));
                // every power at every point in the full grid; one power per point, in turn,
                // in the small one
                if (full) {
                    for (const Complex& p : powers) grid.push_back({p, nu, z});
                } else {
                    grid.push_back({powers[index++ % 3], nu, z});
                }
            }
    return grid;
}

}  // namespace emforce::reference
