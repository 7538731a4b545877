// The integration driver: the chosen densities of a harmonic across the layer and over θ.
#include "induction/field_integration.hpp"

#include "induction/panels.hpp"

namespace emforce {

namespace {

using panels::overPanels;

constexpr std::size_t kLayerDensities = kDensityCount - kFirstLayerDensity;

IntegrationMethod methodOf(const DensityIntegration& how) {
    return static_cast<IntegrationMethod>(how.params->integrationMethod);
}

// The chosen densities at one polar angle from one solve: the gap fields at x, and at R unless
// x is R, and the layer densities from one set of layer fields per distinct node.
DensityValues sharedAtAngle(const DensityIntegration& how, const DensitySet& chosen,
                            const HarmonicField& f, double x, double a) {
    DensityValues t{};
    const double R = how.params->R;
    const bool maxwell = chosen[indexOf(Density::Maxwell)];
    const bool poynting = chosen[indexOf(Density::Poynting)];
    if (maxwell || poynting) {
        const GapPoint atX = maxwell ? gapPointAt(f, x) : GapPoint{};
        if (maxwell) t[indexOf(Density::Maxwell)] = surfaceDensity(Density::Maxwell, f, x, atX);
        if (poynting) {
            const GapPoint atR = maxwell && x == R ? atX : gapPointAt(f, R);
            t[indexOf(Density::Poynting)] = surfaceDensity(Density::Poynting, f, R, atR);
        }
    }
    if ((chosen >> kFirstLayerDensity).none()) return t;
    bool tangential = false;
    for (std::size_t k = kFirstLayerDensity; k < kDensityCount; ++k)
        tangential = tangential || (chosen[k] && needsTangential(static_cast<Density>(k)));
    const auto atNode = [&](double r) {
        const LayerNode node = layerNodeAt(f, r, tangential);
        std::array<double, kLayerDensities> d{};
        for (std::size_t k = kFirstLayerDensity; k < kDensityCount; ++k)
            if (chosen[k])
                d[k - kFirstLayerDensity] = layerDensity(static_cast<Density>(k), f, node);
        return d;
    };
    const auto layer = overPanels(how.panels, R - a, R, [&](double from, double to) {
        return integrateTogether<kLayerDensities>(methodOf(how), true, from, to, atNode);
    });
    for (std::size_t k = 0; k < kLayerDensities; ++k) t[kFirstLayerDensity + k] = layer[k];
    return t;
}

// One density at one polar angle on its own: one solve for the whole layer, or (literal) one
// at every node.
double aloneAtAngle(const DensityIntegration& how, Density d, const AngleSolver& solve, double x,
                    double a, double theta) {
    const double R = how.params->R;
    if (!acrossLayer(d)) return densityAt(d, solve(theta), d == Density::Maxwell ? x : R);
    const bool literal = how.policy == FieldPolicy::Literal;
    const HarmonicField shared = literal ? HarmonicField{} : solve(theta);
    const Evaluator atNode = [&](const double&, const double& r, const double&, const double&,
                                 const double&, const double&) {
        return literal ? densityAt(d, solve(theta), r) : densityAt(d, shared, r);
    };
    return overPanels(how.panels, R - a, R, [&](double from, double to) {
        return integrate(methodOf(how), atNode, 0.0, 0.0, 0.0, 0.0, theta, 0.0, true, from, to);
    });
}

}  // namespace

DensityValues integrateDensities(const DensityIntegration& how, const DensitySet& chosen,
                                 const AngleSolver& solve, double x, double a, double z) {
    const MotorParameters& p = *how.params;
    const IntegrationMethod method = methodOf(how);
    const bool spherical = p.geometry == Geometry::Spherical;
    if (how.policy == FieldPolicy::Shared && method != IntegrationMethod::MonteCarlo) {
        const auto atAngle = [&](double theta) {
            return sharedAtAngle(how, chosen, solve(theta), x, a);
        };
        if (!spherical) return atAngle(z);
        return overPanels(how.panels, p.teta1, p.teta2, [&](double lower, double upper) {
            return integrateTogether<kDensityCount>(method, false, lower, upper, atAngle);
        });
    }
    DensityValues t{};
    for (std::size_t k = 0; k < kDensityCount; ++k) {
        if (!chosen[k]) continue;
        const auto d = static_cast<Density>(k);
        if (!spherical) {
            t[k] = aloneAtAngle(how, d, solve, x, a, z);
            continue;
        }
        const Evaluator atAngle = [&](const double&, const double&, const double&, const double&,
                                      const double& theta, const double&) {
            return aloneAtAngle(how, d, solve, x, a, theta);
        };
        t[k] = overPanels(how.panels, p.teta1, p.teta2, [&](double lower, double upper) {
            return integrate(method, atAngle, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, false, lower, upper);
        });
    }
    return t;
}

}  // namespace emforce
