// Laying out a stack of regions: positions, materials, ends and the place of the sheet.
#include "model/region_stack.hpp"

#include <cmath>
#include <limits>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

void checkMaterial(const std::string& name, double sigma, double muR) {
    if (!(std::isfinite(sigma) && sigma >= 0.0))
        throw CalcError("Region '" + name + "': its conductivity must be zero or positive");
    if (!(std::isfinite(muR) && muR > 0.0))
        throw CalcError("Region '" + name + "': its relative permeability must be positive");
}

void checkWidth(const std::string& name, double width) {
    if (!(std::isfinite(width) && width > 0.0))
        throw CalcError("Region '" + name + "': its width must be positive");
}

// Appends a region of the given width outside the last one.
void append(StackLayout& layout, const std::string& name, double width, double sigma, double muR,
            bool moving, bool band = false) {
    checkWidth(name, width);
    checkMaterial(name, sigma, muR);
    const double inner = layout.regions.back().outer;
    layout.regions.push_back({name, inner, inner + width, sigma, muR, moving, band, std::nullopt});
}

}  // namespace

StackLayout stackLayout(const RegionStack& stack) {
    if (stack.geometry != Geometry::Linear && stack.geometry != Geometry::Cylindrical)
        throw CalcError("A stack of regions is linear or cylindrical");
    if (!(std::isfinite(stack.kp) && stack.kp > 0.0))
        throw CalcError(stack.geometry == Geometry::Linear
                            ? "The wave number of a stack must be positive"
                            : "The pole-pair number of a stack must be positive");
    if (!std::isfinite(stack.omega)) throw CalcError("The supply frequency must be finite");
    if (!std::isfinite(stack.coreSurface) ||
        (stack.geometry == Geometry::Cylindrical && !(stack.coreSurface > 0.0)))
        throw CalcError("The core surface of a stack must lie at a positive radius");

    StackLayout layout;
    layout.geometry = stack.geometry;
    layout.kp = stack.kp;
    layout.omega = stack.omega;
    const bool linear = stack.geometry == Geometry::Linear;
    // The first region starts at the core surface; a solid or air core is a region before it.
    const double open = linear ? -kInfinity : 0.0;
    layout.innerIron = stack.core == CoreKind::IdealIron;
    if (stack.core == CoreKind::Solid) {
        checkMaterial("core", stack.coreSigma, stack.coreMuR);
        layout.regions.push_back({"core", open, stack.coreSurface, stack.coreSigma, stack.coreMuR,
                                  true, false, std::nullopt});
    } else if (stack.core == CoreKind::Air) {
        layout.regions.push_back(
            {"core", open, stack.coreSurface, 0.0, 1.0, true, false, std::nullopt});
    } else {
        // A zero-width seed so that the first layer starts at the core surface; removed below.
        layout.regions.push_back(
            {"", stack.coreSurface, stack.coreSurface, 0.0, 1.0, true, false, std::nullopt});
    }
    for (std::size_t i = 0; i < stack.layers.size(); ++i) {
        const StackLayer& layer = stack.layers[i];
        const std::string name = layer.name.empty() ? "layer " + std::to_string(i + 1) : layer.name;
        if (!layer.reluctivity) {
            append(layout, name, layer.width, layer.sigma, layer.muR, true);
            continue;
        }
        const Reluctivity& nu = *layer.reluctivity;
        const bool finite = std::isfinite(nu.nu12.re()) && std::isfinite(nu.nu12.im()) &&
                            std::isfinite(nu.nu21.re()) && std::isfinite(nu.nu21.im());
        if (!(std::isfinite(nu.nu1) && nu.nu1 > 0.0 && std::isfinite(nu.nu2) && nu.nu2 > 0.0) ||
            !finite)
            throw CalcError("Region '" + name +
                            "': its reluctivity needs positive diagonal and finite terms");
        append(layout, name, layer.width, layer.sigma, 1.0 / nu.nu2, true);
        layout.regions.back().reluctivity = nu;
    }
    append(layout, "gap", stack.gap, 0.0, 1.0, false);
    if (stack.excitation == ExcitationKind::Band)
        append(layout, "winding band", stack.bandWidth, 0.0, 1.0, false, true);
    const std::size_t beforeStator = layout.regions.size();
    layout.outerIron = stack.stator == StatorKind::IdealIron;
    if (!layout.outerIron) {
        append(layout, "stator iron", stack.statorThickness, stack.statorSigma, stack.statorMuR,
               false);
        layout.regions.push_back({"outer air", layout.regions.back().outer, kInfinity, 0.0, 1.0,
                                  false, false, std::nullopt});
    }
    std::size_t shift = 0;
    if (stack.core == CoreKind::IdealIron) {
        layout.regions.erase(layout.regions.begin());
        shift = 1;
    }
    layout.gapIndex = stack.layers.size() + (stack.core == CoreKind::IdealIron ? 0 : 1);
    layout.sheetInterface =
        stack.excitation == ExcitationKind::Band ? layout.regions.size() + 1 : beforeStator - shift;
    return layout;
}

std::vector<SourceHarmonic> stackWaves(const RegionStack& stack) {
    return stack.waves.empty() ? windingSpectrum(stack.winding, stack.highestOrder) : stack.waves;
}

}  // namespace emforce
