// Member-wise equality of the parts of a stack of regions.
#include "model/stack_equality.hpp"

#include <tuple>

namespace emforce {

bool operator==(const CoilSide& a, const CoilSide& b) {
    return std::tie(a.midline, a.width, a.phase, a.sign, a.density) ==
           std::tie(b.midline, b.width, b.phase, b.sign, b.density);
}

bool operator==(const Winding& a, const Winding& b) {
    return a.sides == b.sides && a.phaseAngles == b.phaseAngles;
}

bool operator==(const SourceHarmonic& a, const SourceHarmonic& b) {
    return a.order == b.order && a.amplitude == b.amplitude;
}

bool operator==(const StackLayer& a, const StackLayer& b) {
    return std::tie(a.name, a.width, a.sigma, a.muR, a.reluctivity) ==
           std::tie(b.name, b.width, b.sigma, b.muR, b.reluctivity);
}

bool operator==(const RegionStack& a, const RegionStack& b) {
    return std::tie(a.geometry, a.kp, a.omega, a.core, a.coreSurface, a.coreSigma, a.coreMuR,
                    a.layers, a.gap, a.excitation, a.bandWidth, a.stator, a.statorThickness,
                    a.statorSigma, a.statorMuR, a.winding, a.highestOrder, a.waves) ==
           std::tie(b.geometry, b.kp, b.omega, b.core, b.coreSurface, b.coreSigma, b.coreMuR,
                    b.layers, b.gap, b.excitation, b.bandWidth, b.stator, b.statorThickness,
                    b.statorSigma, b.statorMuR, b.winding, b.highestOrder, b.waves);
}

}  // namespace emforce
