// Arb reference values for the accurate Bessel functions, their products and their regions.
#pragma once

#include <acb.h>
#include <acb_hypgeom.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "numerics/bessel_accurate.hpp"
#include "reference/bessel_reference.hpp"

namespace emforce::reference {

/// One point of the accurate functions' domain: power p, order ν, argument z, and the set of
/// the grid it belongs to.
struct AccuratePoint {
    Complex p;
    Complex nu;
    Complex z;
    const char* set = "base grid";
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

/// What a point measured: for each quantity the relative error against Arb (negative: not
/// measured) and the condition number it is judged by, |z·g′/g| + |ν·∂f/∂ν / f| + |p ln z| with
/// g the quantity itself (f, f′ or a derivative of z^p·f), g′ its z-derivative and f the function
/// of its kind (for a quantity of several parts, the part with the worst error/condition); and
/// the methods used. p is taken as exact beyond its power z^p, so that a derivative of z^p·f is
/// not excused where p ≈ ν makes it small against its parts.
struct AccurateAgreement {
    double error[kAccurateQuantities];
    double condition[kAccurateQuantities];
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
    Ball f, f1, f2, f3, dnu;
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
    // f‴ = −(2ν²/z³)·f + (1 + ν²/z² + 1/z²)·f′ − f″/z
    const Ball z2 = times(z, z, prec);
    const Ball ratio2 = times(ratio, ratio, prec);
    const Ball a3 = divided(times(ratio2, Ball(Complex(-2.0)), prec), z, prec);
    const Ball b3 = plus(coefficient, divided(Ball(Complex(1.0)), z2, prec), prec);
    e.f3 = minus(plus(times(a3, e.f, prec), times(b3, e.f1, prec), prec), divided(e.f2, z, prec),
                 prec);
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

// The product g = z^p·f and its derivatives: g = z^p·f, g′ = z^p·(p f/z + f′),
// g″ = z^p·[A·f + B·f′] with A = (p(p−1) + ν²)/z² + 1, B = (2p − 1)/z, and
// g‴ = z^p·[(p/z)(A f + B f′) + A′ f + (A + B′) f′ + B f″].
struct ExactProduct {
    Ball value, first, second, third;
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
    const Ball pp = plus(times(p, shifted(p, -1.0, prec), prec), times(nu, nu, prec), prec);
    const Ball a = plus(divided(pp, z2, prec), Ball(Complex(1.0)), prec);
    const Ball b = divided(shifted(times(p, Ball(Complex(2.0)), prec), -1.0, prec), z, prec);
    const Ball inner = plus(times(a, e.f, prec), times(b, e.f1, prec), prec);
    r.second = times(zp, inner, prec);
    const Ball a1 = divided(times(pp, Ball(Complex(-2.0)), prec), times(z2, z, prec), prec);
    const Ball b1 = divided(b, z, prec);  // −B′
    const Ball third =
        plus(plus(times(pOverZ, inner, prec), times(a1, e.f, prec), prec),
             plus(times(minus(a, b1, prec), e.f1, prec), times(b, e.f2, prec), prec), prec);
    r.third = times(zp, third, prec);
    return r;
}

// The product at `prec`, or at a higher precision where its derivatives cancel beyond it (where
// z^(p ± ν) is nearly constant or linear at small |z|).
inline ExactProduct productWithPrecision(bool firstKind, const Exact& e, const AccuratePoint& pt,
                                         slong prec) {
    ExactProduct r = productOf(e, pt, prec);
    auto good = [](const ExactProduct& x) {
        return acb_rel_accuracy_bits(x.first.get()) >= 60 &&
               acb_rel_accuracy_bits(x.second.get()) >= 60 &&
               acb_rel_accuracy_bits(x.third.get()) >= 60;
    };
    while (!good(r) && prec < 8192) {
        prec *= 2;
        Exact higher = exactOf(firstKind, pt, prec);
        higher.dnu = e.dnu;
        r = productOf(higher, pt, prec);
    }
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

// |ν·∂f/∂ν / f|.
inline double orderCondition(const Exact& e, const AccuratePoint& pt, slong prec) {
    return times(Ball(pt.nu), divided(e.dnu, e.f, prec), prec).abs();
}

// |z·g′/g| + the order and power parts.
inline double conditionOf(const Ball& g, const Ball& gz, const AccuratePoint& pt, double rest,
                          slong prec) {
    return times(Ball(pt.z), divided(gz, g, prec), prec).abs() + rest;
}

// One measured part: its error and its condition number.
struct Part {
    double error, condition;
};
// The part with the largest error/condition of several.
inline Part worstPart(std::initializer_list<Part> parts) {
    Part worst{-1.0, 1.0};
    for (const Part& q : parts) {
        if (q.error < 0.0) continue;
        if (worst.error < 0.0 ||
            q.error / std::max(1.0, q.condition) > worst.error / std::max(1.0, worst.condition))
            worst = q;
    }
    return worst;
}

// The three parts of a computed product against the exact ones, each in the common scale.
inline Part worstOfProduct(const ScaledProduct& c, const ExactProduct& x, const AccuratePoint& pt,
                           double rest, slong prec) {
    return worstPart({{relativeError(fromScaled(c.value, c.scale, prec), x.value, prec),
                       conditionOf(x.value, x.first, pt, rest, prec)},
                      {relativeError(fromScaled(c.first, c.scale, prec), x.first, prec),
                       conditionOf(x.first, x.second, pt, rest, prec)},
                      {relativeError(fromScaled(c.second, c.scale, prec), x.second, prec),
                       conditionOf(x.second, x.third, pt, rest, prec)}});
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
    const double orderI = orderCondition(ei, pt, prec), orderK = orderCondition(ek, pt, prec);
    const ScaledBessel i = scaledBesselI(pt.nu, pt.z, &a.methodI);
    const ScaledBessel k = scaledBesselK(pt.nu, pt.z, &a.methodK);
    const Part parts[4] = {{relativeError(fromScaled(i.value, i.scale, prec), ei.f, prec),
                            conditionOf(ei.f, ei.f1, pt, orderI, prec)},
                           {relativeError(fromScaled(i.derivative, i.scale, prec), ei.f1, prec),
                            conditionOf(ei.f1, ei.f2, pt, orderI, prec)},
                           {relativeError(fromScaled(k.value, k.scale, prec), ek.f, prec),
                            conditionOf(ek.f, ek.f1, pt, orderK, prec)},
                           {relativeError(fromScaled(k.derivative, k.scale, prec), ek.f1, prec),
                            conditionOf(ek.f1, ek.f2, pt, orderK, prec)}};
    const Complex &p = pt.p, &nu = pt.nu, &z = pt.z;
    const double pLog = detail::modulus(p * log(z));
    const ExactProduct pi = productWithPrecision(true, ei, pt, prec);
    const ExactProduct pk = productWithPrecision(false, ek, pt, prec);
    const double restI = orderI + pLog, restK = orderK + pLog;
    const Part productI = worstOfProduct(scaledBesselIProduct(p, nu, z), pi, pt, restI, prec);
    const Part productK = worstOfProduct(scaledBesselKProduct(p, nu, z), pk, pt, restK, prec);
    const Part unscaled =
        worstPart({{unscaledError(accurateBesselI(p, nu, z), pi.value, prec),
                    conditionOf(pi.value, pi.first, pt, restI, prec)},
                   {unscaledError(accurateBesselIPrime(p, nu, z), pi.first, prec),
                    conditionOf(pi.first, pi.second, pt, restI, prec)},
                   {unscaledError(accurateBesselISecond(p, nu, z), pi.second, prec),
                    conditionOf(pi.second, pi.third, pt, restI, prec)},
                   {unscaledError(accurateBesselK(p, nu, z), pk.value, prec),
                    conditionOf(pk.value, pk.first, pt, restK, prec)},
                   {unscaledError(accurateBesselKPrime(p, nu, z), pk.first, prec),
                    conditionOf(pk.first, pk.second, pt, restK, prec)},
                   {unscaledError(accurateBesselKSecond(p, nu, z), pk.second, prec),
                    conditionOf(pk.second, pk.third, pt, restK, prec)}});
    const Part all[kAccurateQuantities] = {parts[0], parts[1], parts[2], parts[3],
                                           productI, productK, unscaled};
    for (int q = 0; q < kAccurateQuantities; ++q) {
        a.error[q] = all[q].error;
        a.condition[q] = all[q].condition;
    }
    return a;
}

/// The condition number a quantity is judged by.
inline double conditionOf(const AccurateAgreement& a, int q) { return a.condition[q]; }

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

namespace accurate_detail {

inline Complex polar(double modulus, double arg) {
    return {modulus * std::cos(arg), modulus * std::sin(arg)};
}

// Orders × moduli × args (× powers) of one focus set.
struct FocusSet {
    const char* name;
    std::vector<Complex> orders;
    std::vector<double> moduli;  // |z|, or |z|/|ν| when `relative`
    std::vector<double> args;
    bool relative;
    bool powersNearOrder;  // p = ν, ν + 1, ν + 1e-6, ν + 1 − 1e-6 instead of the common powers
};

inline std::vector<FocusSet> focusSets() {
    return {
        {"|Im nu|>=3, |z|<=20, arg>=1.2",
         {Complex(0.0, 10.0), Complex(2.0, 10.0), Complex(8.0, -3.0), Complex(0.0, 3.0),
          Complex(0.4, -10.0), Complex(0.0, 20.0)},
         {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 5.0, 8.0, 12.0, 20.0},
         {1.2, 1.35, 1.45, 1.5, 1.56},
         false,
         false},
        {"products, p-nu near 0 or 1, |z|<=0.3",
         {Complex(0.6, -0.5), Complex(2.028, -0.148), Complex(17.0), Complex(0.3, 0.2),
          Complex(5.0), Complex(1.5)},
         {1e-6, 1e-4, 1e-2, 0.3},
         {0.0, 0.785, 1.5},
         false,
         true},
        {"turning point z~i nu, |nu|>=50",
         {Complex(100.0, -30.0), Complex(345.0, -25.0), Complex(50.0, -4.0), Complex(150.0),
          Complex(60.0, -2.0), Complex(200.0, -15.0)},
         {0.7, 0.85, 0.95, 1.0, 1.05, 1.15, 1.3},
         {1.0, 1.2, 1.35, 1.45, 1.5, 1.56},
         true,
         false},
        {"half-integer orders, |z|>=30",
         {Complex(0.5), Complex(2.5), Complex(16.5), Complex(10.5, -0.5), Complex(3.5 + 1e-9)},
         {30.0, 60.0, 120.0, 250.0, 500.0},
         {0.0, 0.785, 1.5, 1.56},
         false,
         false},
        {"small Re nu, large Im nu, |z|>=25",
         {Complex(0.0, 10.0), Complex(0.3, 20.0), Complex(1.0, 40.0)},
         {25.0, 40.0, 80.0, 150.0, 300.0, 500.0},
         {0.0, 0.785, 1.3, 1.5, 1.56},
         false,
         false},
        {"2<|z|<25 near arg pi/2",
         {Complex(0.0), Complex(1.0), Complex(2.028, -0.148), Complex(17.0), Complex(34.6, -2.5),
          Complex(0.6, -0.5)},
         {3.0, 5.0, 7.0, 10.0, 14.0, 20.0},
         {1.45, 1.5, 1.53, 1.56},
         false,
         false},
    };
}

}  // namespace accurate_detail

/// The grid: the orders above times |z| from 1e-6 to 500 and arg z from 0 to 1.56, with the
/// powers p = 0, the anisotropic α and the spherical α − ½; then the focus sets, which sample
/// densely where methods meet their limits (large |Im ν| near arg π/2, the products' derivatives
/// where p − ν is near 0 or 1, the turning points of large orders, half-integer orders at large
/// |z|, orders of small real and large imaginary part at large |z|, and 2 < |z| < 25 near
/// arg π/2). The small grid takes a part of each, in turn, for the suite.
inline std::vector<AccuratePoint> accurateGrid(bool full) {
    using namespace accurate_detail;
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
                const Complex z = polar(m, arg);
                // every power at every point in the full grid; one power per point, in turn,
                // in the small one
                if (full) {
                    for (const Complex& p : powers) grid.push_back({p, nu, z});
                } else {
                    grid.push_back({powers[index++ % 3], nu, z});
                }
            }
    // The small grid keeps every seventh point of each focus set.
    for (const FocusSet& set : focusSets()) {
        int count = 0;
        for (const Complex& nu : set.orders)
            for (const double m : set.moduli)
                for (const double arg : set.args) {
                    const Complex z = polar(set.relative ? m * detail::modulus(nu) : m, arg);
                    const std::vector<Complex> ps =
                        set.powersNearOrder
                            ? std::vector<Complex>{nu, nu + 1.0, nu + 1e-6, nu + 1.0 - 1e-6}
                            : std::vector<Complex>{powers[count % 3]};
                    for (const Complex& p : ps) {
                        if (full || count % 7 == 0) grid.push_back({p, nu, z, set.name});
                        ++count;
                    }
                }
    }
    return grid;
}

}  // namespace emforce::reference
