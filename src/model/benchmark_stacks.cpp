// The benchmark machine's regions and coil sides.
#include "model/benchmark_stacks.hpp"

#include <cmath>
#include <numbers>

namespace emforce {

RegionStack inductionBenchmarkStack(bool threePhase, int highestOrder) {
    constexpr double kPi = std::numbers::pi;
    RegionStack s;
    s.geometry = Geometry::Cylindrical;
    s.kp = 1.0;
    s.omega = 2.0 * kPi * 60.0;
    s.core = CoreKind::Solid;
    s.coreSurface = 0.02;
    s.coreSigma = 1.6e6;
    s.coreMuR = 30.0;
    s.layers = {{"aluminium", 0.01, 3.72e7, 1.0, std::nullopt}};
    s.gap = 0.002;
    s.excitation = ExcitationKind::Band;
    s.bandWidth = 0.02;
    s.stator = StatorKind::Shell;
    s.statorThickness = 0.005;
    s.statorMuR = 30.0;
    s.highestOrder = highestOrder;
    const double density = 3.1e6 * std::numbers::sqrt2, width = kPi / 4.0;
    if (threePhase) {
        s.winding.phaseAngles = {0.0, 2.0 * kPi / 3.0, 4.0 * kPi / 3.0};
        const int phase[] = {0, 1, 2, 0, 1, 2}, sign[] = {1, -1, 1, -1, 1, -1};
        for (int i = 0; i < 6; ++i)
            s.winding.sides.push_back({i * kPi / 3.0, width, phase[i], sign[i], density});
    } else {
        s.winding.phaseAngles = {0.0};
        s.winding.sides = {{0.0, width, 0, 1, density}, {kPi, width, 0, -1, density}};
    }
    return s;
}

}  // namespace emforce
