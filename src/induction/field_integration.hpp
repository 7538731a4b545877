// The one integration driver of the induction densities: any set of them over shared nodes.
#pragma once

#include <array>
#include <functional>

#include "induction/densities.hpp"
#include "model/field_policy.hpp"
#include "numerics/integration.hpp"

namespace emforce {

/// How the driver integrates.
struct DensityIntegration {
    /// The model; its integration method is the rule.
    const MotorParameters* params = nullptr;
    /// Each integral (across the layer and over θ) is the sum of this many equal panels.
    int panels = 1;
    FieldPolicy policy = FieldPolicy::Shared;
};

/// The values of the densities of one harmonic, by density; 0 where not chosen.
using DensityValues = std::array<double, kDensityCount>;

/// Solves the field of the harmonic being integrated at the polar angle θ.
using AngleSolver = std::function<HarmonicField(double theta)>;

/// The densities `chosen` of one harmonic: Maxwell at the surface x, Poynting at the layer
/// surface R whatever x, the layer densities integrated across the layer from R − a to R; in
/// the spherical geometry each is integrated over θ from teta1 to teta2 as well, at the polar
/// angle z otherwise. Each value is the one it has when chosen alone; the floating-point flags
/// raised are those of the densities alone, together. Monte Carlo draws its own points for every
/// integral, so it integrates each density on its own whatever the policy.
DensityValues integrateDensities(const DensityIntegration& how, const DensitySet& chosen,
                                 const AngleSolver& solve, double x, double a, double z);

}  // namespace emforce
