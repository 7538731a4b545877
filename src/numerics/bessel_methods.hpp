// The methods behind the accurate Bessel functions, one per region, for the entry points to pick.
#pragma once

#include <optional>

#include "numerics/bessel_accurate.hpp"

namespace emforce::bessel_detail {

/// z^p·I_ν(z) and its first two derivatives by the power series (DLMF 10.25.2) with one log-Γ,
/// each term differentiated as the power z^(ν+p+2k) it is, so that no derivative cancels where
/// z^(ν+p) is nearly linear; every z, meant for |z| ≤ 2 or |z|² ≤ |ν|, where the terms
/// cancel at most as e^(|z| − Re z). The scale is Re(ν·ln(z/2) − ln Γ(ν+1) + p·ln z).
ScaledProduct powerSeriesI(const Complex& p, const Complex& nu, const Complex& z);

/// K_μ(z) and K_{μ+1}(z) for |Re μ| ≤ ½ by Temme's series (J. Comput. Phys. 19, 1975, 324):
/// exact for complex μ, integer, half-integer and near-integer orders alike, with 1/Γ(1 ± μ) from
/// its Taylor series for |μ| ≤ 1; meant for |z| ≤ 2. `value` is K_μ, `derivative` holds K_{μ+1}.
ScaledBessel temmeK(const Complex& mu, const Complex& z);

/// K_μ(z) and K_{μ+1}(z) for |Re μ| ≤ ½ by Steed's continued fraction CF2 (Thompson & Barnett,
/// J. Comput. Phys. 64, 1986, 490), scaled by e^(Re z); meant for |z| ≥ 2. Nothing when it does
/// not converge within its cap (small |z| with large |Im μ|). `derivative` holds K_{μ+1}.
std::optional<ScaledBessel> steedK(const Complex& mu, const Complex& z);

/// K_ν(z), K′_ν(z) for ν = μ + n from K_μ, K_{μ+1} (in `start`, as the methods above give them)
/// by the recurrence K_{ν+1} = K_{ν−1} + (2ν/z)·K_ν (DLMF 10.29.1), which K dominates upwards;
/// the pair is rescaled by powers of two on the way so that it never leaves the double range.
ScaledBessel recurK(const ScaledBessel& start, const Complex& mu, int n, const Complex& z);

/// I_ν, I′_ν from K_ν, K′_ν and the Wronskian I_ν·K′_ν − I′_ν·K_ν = −1/z (DLMF 10.28.2), with
/// I′_ν/I_ν = ν/z + I_{ν+1}/I_ν from the continued fraction CF1 (DLMF 10.33.1, modified Lentz).
/// Nothing when CF1 does not converge within its cap.
std::optional<ScaledBessel> wronskianI(const Complex& nu, const Complex& z, const ScaledBessel& k);

/// The uniform large-order expansions (DLMF 10.41.3–10.41.6) written in s = √(ν² + z²), so that
/// they hold for large |s|: large order at any argument off the turning points z = ±iν, and
/// large argument at any order (where they reduce to Hankel's expansions, DLMF 10.40.2, 10.40.5;
/// I then also carries its e^(−z) part, which matters as arg z nears π/2). Nothing when the terms
/// do not fall below rounding within the tabled ones.
struct UniformPair {
    ScaledBessel i;
    ScaledBessel k;
};
std::optional<UniformPair> uniformExpansion(const Complex& nu, const Complex& z);

/// Γ(1 + μ)⁻¹, Γ(1 − μ)⁻¹ and Temme's γ₁ = (1/Γ(1−μ) − 1/Γ(1+μ))/(2μ), γ₂ = (1/Γ(1−μ) +
/// 1/Γ(1+μ))/2 of one order: the set-up of Temme's series that depends on μ alone.
struct TemmeGammas {
    Complex inversePlus, inverseMinus, gamma1, gamma2;
};
TemmeGammas temmeGammas(const Complex& mu);

}  // namespace emforce::bessel_detail
