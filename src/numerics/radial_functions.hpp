// The radial-function families of the layered model and the slots that hold one of them.
#pragma once

#include "numerics/bessel.hpp"
#include "numerics/complex.hpp"

namespace emforce {

/// Family of the gap solutions: e^(λx) in the linear geometry, x^λ in the rotating ones.
enum class GapFamily { Exponential, Power };
/// Family of the layer solutions: exponentials, modified Bessel functions, or none (a motor
/// without a conductive layer).
enum class LayerFamily { None, Exponential, Bessel };

/// The six radial-function slots of a motor object, filled once per parameter reading.
class RadialSlots {
public:
    RadialSlots() = default;
    RadialSlots(GapFamily gap, LayerFamily layer, BesselSettings bessel)
        : m_gap(gap), m_layer(layer), m_bessel(bessel) {}

    /// e^(λx) or x^λ.
    [[nodiscard]] Complex radialPower(const Complex& lambda, const double& x) const;
    /// d/dx of radialPower: λe^(λx) or λx^(λ-1).
    [[nodiscard]] Complex radialPowerDerivative(const Complex& lambda, const double& x) const;
    /// First layer solution: e^(νz) (p ignored) or z^p·I_ν(z).
    [[nodiscard]] Complex radialFirstKind(const Complex& p, const Complex& nu, const Complex& z) const;
    /// Second layer solution: e^(νz) (p ignored) or z^p·K_ν(z).
    [[nodiscard]] Complex radialSecondKind(const Complex& p, const Complex& nu, const Complex& z) const;
    /// d/dz of radialFirstKind.
    [[nodiscard]] Complex radialFirstKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const;
    /// d/dz of radialSecondKind.
    [[nodiscard]] Complex radialSecondKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const;

    [[nodiscard]] GapFamily gapFamily() const { return m_gap; }
    [[nodiscard]] LayerFamily layerFamily() const { return m_layer; }
    [[nodiscard]] const BesselSettings& besselSettings() const { return m_bessel; }

private:
    GapFamily m_gap = GapFamily::Exponential;
    LayerFamily m_layer = LayerFamily::None;
    BesselSettings m_bessel;
};

}  // namespace emforce
