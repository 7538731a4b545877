// The radial-function families of the layered model and the slots that hold one of them.
#pragma once

#include <array>

#include "numerics/bessel.hpp"
#include "numerics/bessel_accurate.hpp"
#include "numerics/complex.hpp"

namespace emforce {

/// Family of the gap solutions: e^(λx) in the linear geometry, x^λ in the rotating ones.
enum class GapFamily { Exponential, Power };
/// Family of the layer solutions: exponentials, modified Bessel functions, or none (a motor
/// without a conductive layer).
enum class LayerFamily { None, Exponential, Bessel };

/// The six radial-function slots of a motor object, filled once per parameter reading, and the
/// scaled forms of the same functions that the accurate choice of Bessel functions builds its
/// field solutions from.
class RadialSlots {
public:
    RadialSlots() = default;
    RadialSlots(GapFamily gap, LayerFamily layer, BesselSettings bessel)
        : m_gap(gap), m_layer(layer), m_bessel(bessel) {}

    /// e^(λx) or x^λ.
    [[nodiscard]] Complex radialPower(const Complex& lambda, const double& x) const;
    /// d/dx of radialPower: λe^(λx) or λx^(λ-1).
    [[nodiscard]] Complex radialPowerDerivative(const Complex& lambda, const double& x) const;
    /// First layer solution: e^(νz) (p ignored) or z^p·I_ν(z), by the chosen Bessel functions.
    [[nodiscard]] Complex radialFirstKind(const Complex& p, const Complex& nu, const Complex& z) const;
    /// Second layer solution: e^(νz) (p ignored) or z^p·K_ν(z), by the chosen Bessel functions.
    [[nodiscard]] Complex radialSecondKind(const Complex& p, const Complex& nu, const Complex& z) const;
    /// d/dz of radialFirstKind.
    [[nodiscard]] Complex radialFirstKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const;
    /// d/dz of radialSecondKind.
    [[nodiscard]] Complex radialSecondKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const;

    /// Whether the field model forms its solutions from the scaled forms below (the accurate
    /// choice of a motor with a conductive layer) rather than from the slots themselves.
    [[nodiscard]] bool scaledSolutions() const {
        return m_layer != LayerFamily::None && m_bessel.functions == BesselChoice::Accurate;
    }
    /// The first layer solution with its first two z-derivatives, all times e^(−scale): the
    /// accurate z^p·I_ν(z), or e^(νz) (p ignored) with the scale Re(νz).
    [[nodiscard]] ScaledProduct firstKindProduct(const Complex& p, const Complex& nu,
                                                 const Complex& z) const;
    /// The same for the second layer solution: z^p·K_ν(z), or e^(νz).
    [[nodiscard]] ScaledProduct secondKindProduct(const Complex& p, const Complex& nu,
                                                  const Complex& z) const;
    /// Both layer solutions at one z: firstKindProduct(p, ν1, z) and secondKindProduct(p, ν2, z)
    /// bit for bit, from one Bessel computation where ν1 = ν2.
    [[nodiscard]] std::array<ScaledProduct, 2> layerProducts(const Complex& p, const Complex& nu1,
                                                             const Complex& nu2,
                                                             const Complex& z) const;
    /// radialPower(λ, x) / radialPower(λ, reference), formed without the two powers, so that it
    /// stays finite wherever the quotient does.
    [[nodiscard]] Complex normalisedPower(const Complex& lambda, double x, double reference) const;
    /// radialPowerDerivative(λ + shift, x) / radialPower(λ, reference), formed the same way.
    [[nodiscard]] Complex normalisedPowerDerivative(const Complex& lambda, const Complex& shift,
                                                    double x, double reference) const;

    [[nodiscard]] GapFamily gapFamily() const { return m_gap; }
    [[nodiscard]] LayerFamily layerFamily() const { return m_layer; }
    [[nodiscard]] const BesselSettings& besselSettings() const { return m_bessel; }

private:
    [[nodiscard]] bool series() const { return m_bessel.functions == BesselChoice::Series; }

    GapFamily m_gap = GapFamily::Exponential;
    LayerFamily m_layer = LayerFamily::None;
    BesselSettings m_bessel;
};

}  // namespace emforce
