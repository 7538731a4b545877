// The stack of the international induction-motor benchmark (2-D, two poles, 60 Hz).
#pragma once

#include "model/region_stack.hpp"

namespace emforce {

/// Rotor steel r < 20 mm (σ 1.6 MS/m, μr 30), an aluminium shell to 30 mm (σ 37.2 MS/m), gap
/// to 32 mm, winding band to 52 mm, stator iron (μr 30, not conducting) to 57 mm, air beyond;
/// 45° coil sides of 3.1 MA/m² rms: three-phase +A, −B, +C, −A, +B, −C at midlines 60° apart
/// (phases fed at 0, 2π/3, 4π/3: the field travels forward), or single-phase ±A.
RegionStack inductionBenchmarkStack(bool threePhase, int highestOrder);

}  // namespace emforce
