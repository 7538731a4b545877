// The methods behind the accurate Bessel functions, one per region, for the entry points to pick.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "numerics/bessel_accurate.hpp"

namespace emforce::bessel_detail {

/// |x| as √(Re² + Im²) where neither square leaves the double range, by hypot elsewhere: the
/// same to rounding, at a small part of hypot's cost, for the size tests of the summing loops and
/// the error estimates (the choices of method keep hypot, whose bounds they were set by).
inline double modulus(const Complex& x) {
    const double a = std::fabs(x.re()), b = std::fabs(x.im());
    const double larger = a > b ? a : b;
    if (larger > 1e-150 && larger < 1e150) return std::sqrt(a * a + b * b);
    return abs(x);
}

/// Bounds of modulus(x) from the parts alone, at most and at least what it gives (the factors
/// cover its roundings): a stop test decided by a bound needs no modulus.
inline double modulusAbove(const Complex& x) {
    return (std::fabs(x.re()) + std::fabs(x.im())) *
           (1.0 + 8.0 * std::numeric_limits<double>::epsilon());
}
inline double modulusBelow(const Complex& x) {
    return std::max(std::fabs(x.re()), std::fabs(x.im())) *
           (1.0 - 4.0 * std::numeric_limits<double>::epsilon());
}

/// 1/x by Smith's division without the products with the zero part: bit for bit Complex(1.0) / x,
/// signs of zero included (0 − r and r + 0, not −r and r).
inline Complex reciprocal(const Complex& x) {
    if (std::fabs(x.re()) >= std::fabs(x.im())) {
        const double r = x.im() / x.re();
        const double d = x.re() + r * x.im();
        return {1.0 / d, (0.0 - r) / d};
    }
    const double r = x.re() / x.im();
    const double d = x.im() + r * x.re();
    return {(r + 0.0) / d, -1.0 / d};
}

/// The order ν is split as n + μ with n = round(Re ν), at most this (orders far beyond the
/// domain, where only the uniform expansion would hold, take no more recurrence steps; their μ
/// is then not small, and no accuracy is claimed).
inline constexpr double kMostOrderSteps = 65536.0;

/// z^p·I_ν(z) and its first two derivatives by the power series (DLMF 10.25.2) with one log-Γ,
/// each term differentiated as the power z^(ν+p+2k) it is, so that no derivative cancels where
/// z^(ν+p) is nearly linear; every z, meant for |z| ≤ 2 or |z|² ≤ |ν|, where the terms
/// cancel at most as e^(|z| − Re z). The scale is Re(ν·ln(z/2) − ln Γ(ν+1) + p·ln z).
ScaledProduct powerSeriesI(const Complex& p, const Complex& nu, const Complex& z);

/// A result with its method's own estimate of its rounding error relative to it: ε times the
/// largest Σ|parts| / |sum| of its sums (it tracks the real error to a small factor, so that the
/// entry points can take another method where one loses digits).
struct Estimated {
    ScaledBessel f;
    double error;
};

/// K_μ(z) and K_{μ+1}(z) (in `value` and `derivative`) for |Re μ| ≤ ½ by Temme's series (J. Comput.
/// Phys. 19, 1975, 324): exact for complex μ, integer, half-integer and near-integer orders alike,
/// with 1/Γ(1 ± μ) from its Taylor series for |μ| ≤ ½; meant for |z| ≤ 2, and up to |z| ≈ 8 for
/// |Im μ| ≳ 1.5, where its terms stay small while CF2 cancels; beyond, its terms grow about as
/// e^(Re z), which `error` reports.
Estimated temmeK(const Complex& mu, const Complex& z);

/// K_μ(z) and K_{μ+1}(z) for |Re μ| ≤ ½ by Steed's continued fraction CF2 (Thompson & Barnett,
/// J. Comput. Phys. 64, 1986, 490), scaled by e^(Re z); meant for |z| ≥ 2. Nothing when it does
/// not converge within its cap (small |z| with large |Im μ|); near arg z = π/2 with |Im μ| ≳ 3 its
/// sum cancels, which `error` reports.
std::optional<Estimated> steedK(const Complex& mu, const Complex& z);

/// K at the orders ν − 2 … ν + 1 from the recurrence, all in the scale of `k`.
struct RecurredK {
    ScaledBessel k;        ///< K_ν, K′_ν
    Complex next;          ///< K_{ν+1}
    Complex previous[2];   ///< K_{ν−1}, K_{ν−2}, where the recurrence passed them
    int previousCount;     ///< how many of `previous` hold values (min(n, 2))
    double amplification;  ///< how much the recurrence magnified the start's rounding
};

/// K_ν(z), K′_ν(z) for ν = μ + n from K_μ, K_{μ+1} (in `start`, as the methods above give them)
/// by the recurrence K_{ν+1} = K_{ν−1} + (2ν/z)·K_ν (DLMF 10.29.1); the pair is rescaled by
/// powers of e on the way so that it never leaves the double range. K dominates the recurrence
/// upwards except where K_μ is itself mostly the part that decays with the order (large |Im μ|
/// near arg z = π/2, large orders near the turning point z = iν): `amplification` is
/// |P_n·K_μ| / |K_ν| with K_ν = P_n·K_μ + Q_n·K_{μ+1}, which is large exactly there.
RecurredK recurK(const ScaledBessel& start, const Complex& mu, int n, const Complex& z);

/// I_ν, I′_ν from K_ν, K′_ν and the Wronskian I_ν·K′_ν − I′_ν·K_ν = −1/z (DLMF 10.28.2), with
/// I′_ν/I_ν = ν/z + I_{ν+1}/I_ν from the continued fraction CF1 (DLMF 10.33.1, modified Lentz).
/// The divisor K′_ν − (I′_ν/I_ν)·K_ν = −1/(z·I_ν) cancels where I_ν and K_ν are nearly
/// proportional (|z·I_ν·K_ν| ≫ 1), which `error` reports. Nothing when CF1 does not converge
/// within its cap.
std::optional<Estimated> wronskianI(const Complex& nu, const Complex& z, const ScaledBessel& k);

/// I_{ν+1}/I_ν by CF1 (DLMF 10.33.1, modified Lentz); nothing when it does not converge within
/// its cap.
std::optional<Complex> ratioI(const Complex& nu, const Complex& z);

/// I and K of one order, each in its own scale.
struct BesselPair {
    ScaledBessel i;
    ScaledBessel k;
};

/// I_ν with its derivative, and K at the orders ν − 2 … ν + 1, from `shiftedOrders`.
struct ShiftedBessel {
    ScaledBessel i;
    RecurredK k;  ///< `amplification`: how much the product recurrence magnified a rounding
};

/// I_ν, K_ν with their derivatives by the order recurrences, each run in its stable direction
/// (Miller's principle): I from `top` = I_{ν+m}, I′_{ν+m} (m ≥ 0, from a method accurate at that
/// higher order) down to μ = ν − n by the ratios r_j = I_{j+1}/I_j, r_{j−1} = 1/(2j/z + r_j),
/// started by CF1 at ν + m; K from K_μ, K_{μ+1} (`start`) upwards through the products
/// P_j = K_j·I_j and the Wronskian (DLMF 10.28.2), P_{j+1} = r_j·(1/z − r_j·P_j), which scales
/// the error of P by |I_{j+1}K_j / (I_j K_{j+1})| a step, at most about 1 where the three-term
/// recurrence for K magnifies it; K′_ν = K_ν·I′_ν/I_ν − 1/(z·I_ν). Holds for every order and
/// argument the ratios exist for; meant for large |Im ν| near arg z = π/2 and for large orders
/// near the turning point z = iν, where K_μ and I_μ are nearly proportional. Nothing when CF1
/// does not converge or P_μ leaves the double range.
std::optional<ShiftedBessel> shiftedOrders(const Complex& nu, const Complex& z,
                                           const ScaledBessel& start, int m,
                                           const ScaledBessel& top);

/// The uniform large-order expansions (DLMF 10.41.3–10.41.6) written in s = √(ν² + z²), so that
/// they hold for large |s|: large order at any argument off the turning points z = ±iν, and
/// large argument at any order (where they reduce to Hankel's expansions, DLMF 10.40.2, 10.40.5;
/// I then also carries its e^(−z) part, which matters as arg z nears π/2). Nothing when the terms
/// do not fall below rounding within the tabled ones.
std::optional<BesselPair> uniformExpansion(const Complex& nu, const Complex& z);

/// Γ(1 + μ)⁻¹, Γ(1 − μ)⁻¹ and Temme's γ₁ = (1/Γ(1−μ) − 1/Γ(1+μ))/(2μ), γ₂ = (1/Γ(1−μ) +
/// 1/Γ(1+μ))/2 of one order: the set-up of Temme's series that depends on μ alone.
struct TemmeGammas {
    Complex inversePlus, inverseMinus, gamma1, gamma2;
};
TemmeGammas temmeGammas(const Complex& mu);

}  // namespace emforce::bessel_detail
