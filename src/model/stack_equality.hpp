// Equality of stacks of regions, so that an input record holding one compares as a whole.
#pragma once

#include "model/region_stack.hpp"

namespace emforce {

/// Every member equal, the coil sides and waves in order.
bool operator==(const CoilSide& a, const CoilSide& b);
bool operator==(const Winding& a, const Winding& b);
bool operator==(const SourceHarmonic& a, const SourceHarmonic& b);
bool operator==(const StackLayer& a, const StackLayer& b);
bool operator==(const RegionStack& a, const RegionStack& b);

}  // namespace emforce
