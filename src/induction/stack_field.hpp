// The field of one travelling wave in a stack of regions: normalised bases and their weights.
#pragma once

#include <array>
#include <vector>

#include "model/coil_winding.hpp"
#include "model/region_stack.hpp"
#include "numerics/bessel_accurate.hpp"
#include "numerics/complex.hpp"

namespace emforce {

/// The two normalised solutions of a region and their r-derivatives at one point.
struct RegionFunctions {
    Complex f, df;  ///< the solution growing outwards: r^ν, I_ν(kr) or e^{γx}
    Complex g, dg;  ///< the solution falling outwards: r^−ν, K_ν(kr) or e^{−γx}
};

/// The pair of homogeneous solutions of A'' + A'/r − (n²/r²)·A = k²·A (cylindrical) or
/// A'' = (k_h² + k²)·A (linear) in one region, k² = jω_s·μ·σ: powers or exponentials where
/// the region does not conduct at this wave, I and K of complex argument (from the scaled
/// functions) where it does. Each is divided by its value at the end of the region where its
/// modulus is larger, so that across the region it stays about 1 at most whatever |k·r| or the
/// order. A region to the axis (a half-space) has no falling solution, a region to infinity no
/// growing one: those functions are zero.
class RegionBasis {
public:
    /// wave: n = p·h (cylindrical) or k_h (linear), signed; k2 = jω_s·μ·σ.
    RegionBasis(Geometry geometry, const StackRegion& region, double wave, const Complex& k2);

    /// The same for a layer of reluctivity matrix ν: z^α·I_λ(z), z^α·K_λ(z) at z = β·r with
    /// α = −j·n·(ν12 + ν21)/(2ν2), λ = √(α² + n²·ν1/ν2), β² = j·ω_s·μ0·σ/ν2 (powers r^{α±λ}
    /// where it does not conduct); linear e^{(α ± √(α² + κ))·x}, κ = (k_h²·ν1 + j·ω_s·μ0·σ)/ν2.
    RegionBasis(Geometry geometry, const StackRegion& region, const Reluctivity& nu, double wave,
                double slip);

    [[nodiscard]] bool hasGrowing() const { return m_hasGrowing; }
    [[nodiscard]] bool hasFalling() const { return m_hasFalling; }
    /// Both solutions at r (inside the region or at one of its finite ends).
    [[nodiscard]] RegionFunctions at(double r) const;

private:
    struct Reference {  // a scaled value at the reference end: its inverse and scale
        Complex inverse;
        double scale = 0.0;
    };

    [[nodiscard]] RegionFunctions anisotropicAt(double r) const;
    [[nodiscard]] ScaledProduct product(bool growing, double r) const;

    Geometry m_geometry;
    double m_inner;
    double m_outer;
    double m_order;   // |n| (cylindrical)
    Complex m_gamma;  // γ (linear) or k (cylindrical), Re ≥ 0
    bool m_bessel = false;
    // An anisotropic layer: the power α and order λ of its products (cylindrical), or its two
    // exponents (linear; the exponents α ± λ of its powers where it does not conduct).
    bool m_anisotropic = false;
    Complex m_alpha;
    Complex m_lambda;
    Complex m_growingExponent;
    Complex m_fallingExponent;
    double m_growingEnd = 0.0;  // where a power or exponential is referred to
    double m_fallingEnd = 0.0;
    bool m_hasGrowing = true;
    bool m_hasFalling = true;
    Reference m_growingRef;
    Reference m_fallingRef;
};

/// The solved field of one wave: A(r) = a_i·f_i(r) + b_i·g_i(r) + A_p(r) in region i.
class StackField {
public:
    /// Solves the wave `source` (a sheet density [A/m] or band density [A/m²]) at the rotor
    /// speed (mechanical [rad/s] or linear [m/s]); keeps a reference to `layout`, which must
    /// outlive it. Throws CalcError naming the region where the equations are singular.
    StackField(const StackLayout& layout, const SourceHarmonic& source, double speed);

    [[nodiscard]] int order() const { return m_order; }
    /// n = p·h (cylindrical) or k_h = k1·h (linear).
    [[nodiscard]] double wave() const { return m_wave; }
    /// ω_s of region i: ω − n·Ω (or ω − k_h·v) in the rotor, ω in the stator.
    [[nodiscard]] double slip(std::size_t region) const { return m_slip[region]; }
    /// The winding band's current density of this wave [A/m²] (0 under a current sheet).
    [[nodiscard]] const Complex& bandDensity() const { return m_density; }
    /// A and A' of region i at r.
    [[nodiscard]] std::array<Complex, 2> potential(std::size_t region, double r) const;
    /// The torque [N·m/m] (force [N/m²]) on everything inside r, from the field of region i:
    /// π·r²·Re(B_r·H_θ*) (linear ½·Re(B_x·H_y*)); zero at an open inner end.
    [[nodiscard]] double torqueThrough(std::size_t region, double r) const;
    /// H_t of region i at r from its A and A': −ν0·(nu2·A' + j·n·nu21·A/r), isotropic −A'/(μ0·μr)
    /// (linear j·k_h in place of j·n/r).
    [[nodiscard]] Complex tangentialField(std::size_t region, double r,
                                          const std::array<Complex, 2>& a) const;
    /// |A|² weighted by r (cylindrical) or 1 (linear) at r in region i.
    [[nodiscard]] double weightedSquare(std::size_t region, double r) const;
    [[nodiscard]] const StackLayout& layout() const { return *m_layout; }

private:
    [[nodiscard]] std::array<Complex, 2> particular(std::size_t region, double r) const;

    const StackLayout* m_layout;
    int m_order;
    double m_wave;
    Complex m_density;  // the band's current density of this wave
    std::vector<double> m_slip;
    std::vector<RegionBasis> m_bases;
    std::vector<std::array<Complex, 2>> m_weights;
};

}  // namespace emforce
