// A stack of regions as the JSON object of the run record's "stack" key.
#pragma once

#include <string>
#include <string_view>

#include "files/json.hpp"
#include "model/region_stack.hpp"

namespace emforce {

/// The JSON object of a stack: core, layers, gap, excitation, stator, winding and highestOrder
/// (the geometry, kp and omega come from the record's table and are not written); numbers in
/// the shortest text that reads back to the same double, angles in radians. `indent` starts
/// every line after the first. Throws CalcError "key 'stack.K' is not a finite number" for a
/// number JSON cannot hold and "key 'stack.waves' cannot be written: a record holds the
/// winding, not its waves" for a stack given by its waves.
std::string stackJson(const RegionStack& stack, std::string_view indent);

/// The stack of a JSON object written by stackJson. Every key of an object is required but a
/// layer's "reluctivity"; the core's "sigma" and "muR" belong to a solid core, the
/// excitation's "width" to a band, the stator's "thickness", "muR" and "sigma" to a shell.
/// Throws CalcError naming the key by its path ("key 'stack.layers[0].sigma' must be a
/// number", "unknown key 'stack.core.colour'", "missing key 'stack.gap'").
RegionStack stackFromJson(const JsonValue& value);

}  // namespace emforce
