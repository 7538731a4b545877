// The densities of the induction evaluators: pure functions of a harmonic's field and a radius.
#pragma once

#include <bitset>
#include <cstddef>

#include "induction/harmonic_field.hpp"

namespace emforce {

/// The per-harmonic densities the evaluators are made of: two at a surface (the gap fields
/// there), the others across the layer.
enum class Density : std::size_t {
    /// Maxwell stress term at the surface r.
    Maxwell,
    /// Poynting term at the surface r.
    Poynting,
    /// K(r)·|A|², the Lorentz volume density (also of the Joule and impulse terms).
    Potential,
    /// Material force density.
    Material,
    /// Coenergy force density.
    Coenergy,
    /// Anisotropy power density.
    Anisotropy,
    /// Magnetic energy density.
    Energy,
    /// Squared deviation of the layer potential from the one its equation implies.
    Residual,
};
/// Number of densities.
inline constexpr std::size_t kDensityCount = 8;
/// The first density across the layer; those before it are at a surface.
inline constexpr std::size_t kFirstLayerDensity = 2;
/// A choice of densities.
using DensitySet = std::bitset<kDensityCount>;

[[nodiscard]] constexpr std::size_t indexOf(Density d) { return static_cast<std::size_t>(d); }

/// Whether a density is taken across the layer.
[[nodiscard]] constexpr bool acrossLayer(Density d) { return indexOf(d) >= kFirstLayerDensity; }

/// Whether a layer density reads the tangential flux.
[[nodiscard]] bool needsTangential(Density d);

/// The layer basis values and fields at one radius.
struct LayerNode {
    double r = 0.0;
    LayerValues values;
    LayerPoint point;
};
/// The layer node at r; the tangential flux when asked for.
[[nodiscard]] LayerNode layerNodeAt(const HarmonicField& f, double r, bool tangential);

/// A surface density from the gap fields p at r.
[[nodiscard]] double surfaceDensity(Density d, const HarmonicField& f, double r, const GapPoint& p);
/// A layer density from the fields of a node (with the tangential flux where it needs it).
[[nodiscard]] double layerDensity(Density d, const HarmonicField& f, const LayerNode& node);
/// Any density of the field at r.
[[nodiscard]] double densityAt(Density d, const HarmonicField& f, double r);

/// |ratio of the two sides of the layer equation| for the first-kind (or second-kind)
/// solution of the field at x.
[[nodiscard]] double layerEquationAccuracy(const HarmonicField& f, bool firstKind, double x);

}  // namespace emforce
