// The layer and gap solutions of one harmonic, normalised so that none leaves the double range.
#pragma once

#include <array>

#include "numerics/radial_functions.hpp"

namespace emforce {

/// One solution of the gap at a point: its value and the derivative the field formulas use
/// (the derivative slot at the root shifted by δ).
struct GapSolution {
    Complex value;
    Complex derivative;
};

/// The two gap solutions, of the roots μ1 and μ2, at one point.
struct GapValues {
    GapSolution first;
    GapSolution second;
};

/// One layer solution at a point. derivative is what the field formulas use (the derivative
/// slot at the power p + δ); first and second are d/dz and d²/dz² at the power p itself, the
/// terms of the layer equation, given by a normalised basis only.
struct LayerSolution {
    Complex value;
    Complex derivative;
    Complex first;
    Complex second;
};

/// The two layer solutions, of the first and of the second kind, at one point.
struct LayerValues {
    LayerSolution firstKind;
    LayerSolution secondKind;
};

/// What a plain basis evaluates at a point; a normalised one always gives everything.
enum class LayerParts { Values, Derivatives, Both };

/// The constants of the layer solutions z^p·f_λ(z) at z = β·r, with derivatives at p + δ.
struct LayerConstants {
    Complex power;        ///< p
    Complex shift;        ///< δ
    Complex firstOrder;   ///< λ1
    Complex secondOrder;  ///< λ2
    Complex beta;         ///< β
};

/// The two layer solutions of a harmonic between the core surface x0 and the layer surface R.
/// Plain, they are the slot functions themselves. Normalised, each is divided by its value at
/// the face where its modulus is larger and formed from scaled values, as in
/// I(βr)/I(βR) = e^(s(r) − s(R))·Ĩ(βr)/Ĩ(βR): about 1 at most across the layer however large
/// |β·r| or the order, so that the core ratio and the matching stay well conditioned.
class LayerBasis {
public:
    LayerBasis() = default;
    /// Normalised when the slots ask for scaled solutions; a normalised basis evaluates both
    /// solutions at both faces here.
    LayerBasis(const RadialSlots& slots, const LayerConstants& constants, double x0, double R);

    [[nodiscard]] bool normalised() const { return m_normalised; }
    /// Both solutions at r.
    [[nodiscard]] LayerValues at(double r, LayerParts parts) const;
    /// The scaled product of the first (kind 0) or second (kind 1) solution at z = β·r, not
    /// normalised; a normalised basis keeps those of its two faces.
    [[nodiscard]] ScaledProduct product(int kind, double r) const;

private:
    // A solution's scaled value at its reference face: 1 / value and the scale.
    struct Normalisation {
        Complex inverse;
        double scale = 0.0;
    };

    [[nodiscard]] ScaledProduct productAt(int kind, double r) const;
    [[nodiscard]] std::array<ScaledProduct, 2> productsAt(double r) const;
    [[nodiscard]] LayerSolution normalise(const ScaledProduct& f, double r,
                                          const Normalisation& n) const;

    RadialSlots m_slots;
    LayerConstants m_constants;
    double m_x0 = 0.0;
    double m_R = 0.0;
    bool m_normalised = false;
    // Normalised basis: each kind's products, normalisation and values at the two faces.
    std::array<ScaledProduct, 2> m_productAtCore{};
    std::array<ScaledProduct, 2> m_productAtSurface{};
    std::array<Normalisation, 2> m_normalisation{};
    std::array<LayerSolution, 2> m_atCore{};
    std::array<LayerSolution, 2> m_atSurface{};
};

/// The two gap solutions of a harmonic between the layer surface R and the stator surface.
/// Plain, they are the slot functions r^μ or e^(μr); normalised, each is divided by its value at
/// the end of the gap where it is larger.
class GapBasis {
public:
    GapBasis() = default;
    /// Normalised when the slots ask for scaled solutions.
    GapBasis(const RadialSlots& slots, const Complex& mu1, const Complex& mu2, const Complex& shift,
             double R, double stator);

    /// Both solutions at r.
    [[nodiscard]] GapValues at(double r) const;

private:
    [[nodiscard]] GapSolution solution(const Complex& mu, double reference, double r) const;

    RadialSlots m_slots;
    Complex m_mu1;
    Complex m_mu2;
    Complex m_shift;
    bool m_normalised = false;
    double m_reference1 = 0.0;
    double m_reference2 = 0.0;
};

}  // namespace emforce
