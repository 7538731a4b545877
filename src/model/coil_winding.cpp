// The Fourier series of a winding's coil sides, taken as travelling waves of signed order.
#include "model/coil_winding.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

void checkSide(const CoilSide& side, std::size_t index, std::size_t phases) {
    const std::string name = "Coil side " + std::to_string(index + 1);
    if (!(side.width > 0.0 && side.width <= 2.0 * std::numbers::pi))
        throw CalcError(name + ": its width must be above 0 and at most 2 pi");
    if (side.sign != 1 && side.sign != -1) throw CalcError(name + ": its sign must be +1 or -1");
    if (side.phase < 0 || static_cast<std::size_t>(side.phase) >= phases)
        throw CalcError(name + ": phase " + std::to_string(side.phase + 1) + " has no time angle");
    if (!std::isfinite(side.midline) || !std::isfinite(side.density))
        throw CalcError(name + ": its midline and current density must be finite");
}

// The wave of order h of one side: a side of density J, width w and centre θc, fed in
// time by e^{jφ}, is Σ_h J·e^{jφ}·sin(h·w/2)/(h·π)·e^{jhθc}·e^{j(ωt − hθ)} summed over all
// signed h ≠ 0 (the two-sided series of the rectangle; orders h and −h are separate waves).
Complex sideWave(const CoilSide& side, double phaseAngle, int h) {
    const double amplitude =
        side.sign * side.density * std::sin(h * side.width / 2.0) / (h * std::numbers::pi);
    const double angle = phaseAngle + h * side.midline;
    return {amplitude * std::cos(angle), amplitude * std::sin(angle)};
}

}  // namespace

std::vector<SourceHarmonic> windingSpectrum(const Winding& winding, int highestOrder) {
    if (highestOrder < 1 || highestOrder > kMaxWindingOrder)
        throw CalcError("The highest order of a winding must lie in 1.." +
                        std::to_string(kMaxWindingOrder));
    for (std::size_t i = 0; i < winding.sides.size(); ++i)
        checkSide(winding.sides[i], i, winding.phaseAngles.size());
    std::vector<SourceHarmonic> all;
    for (int m = 1; m <= highestOrder; ++m)
        for (const int h : {m, -m}) {
            Complex sum;
            for (const CoilSide& side : winding.sides)
                sum += sideWave(side, winding.phaseAngles[static_cast<std::size_t>(side.phase)], h);
            all.push_back({h, sum});
        }
    double largest = 0.0;
    for (const SourceHarmonic& s : all) largest = std::max(largest, abs(s.amplitude));
    std::vector<SourceHarmonic> kept;
    for (const SourceHarmonic& s : all)
        if (abs(s.amplitude) > 1e-12 * largest) kept.push_back(s);
    return kept;
}

}  // namespace emforce
