// A winding of coil sides and the current-density spectrum of its travelling harmonics.
#pragma once

#include <vector>

#include "numerics/complex.hpp"

namespace emforce {

/// One coil side: a band of uniform current density across an angular width. Angles are
/// electrical (one pole pair spans 2π; in the linear geometry the angle is k1·y with k1 the
/// wave number of the fundamental).
struct CoilSide {
    double midline = 0.0;  ///< angle of the side's centre [rad]
    double width = 0.0;    ///< angular width [rad], in (0, 2π]
    int phase = 0;         ///< index into Winding::phaseAngles
    int sign = 1;          ///< +1 or −1: the direction of the phase current in this side
    /// time-peak current density of the phase current in this side: [A/m²] in a winding
    /// band, [A/m] in a current sheet
    double density = 0.0;
};

/// Coil sides fed by phase currents cos(ωt + phaseAngles[k]).
struct Winding {
    std::vector<CoilSide> sides;
    std::vector<double> phaseAngles;  ///< time phase of each phase current [rad]
};

/// The complex amplitude J of the travelling wave Re(J·e^{j(ωt − h·θ)}) of one signed order h:
/// h > 0 travels towards increasing angle, h < 0 the other way.
struct SourceHarmonic {
    int order = 0;
    Complex amplitude;
};

/// The waves of the winding's current density for the orders 1 ≤ |h| ≤ highestOrder, from
/// the lowest |h| up, the forward order before the backward one; orders that cancel (below
/// 1e-12 of the largest amplitude, e.g. the triplen orders of a balanced three-phase winding)
/// are left out. Order 0 (a net current of the whole winding) moves no rotor and is not
/// listed. Throws CalcError naming the side for a width outside (0, 2π], a sign other than
/// ±1 or a phase without an angle, and for a highest order outside 1..kMaxWindingOrder.
std::vector<SourceHarmonic> windingSpectrum(const Winding& winding, int highestOrder);

/// The highest order a winding spectrum may ask for.
inline constexpr int kMaxWindingOrder = 999;

}  // namespace emforce
