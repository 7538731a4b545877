// Where a field map's waves come from: a solved stack of regions, or the one-layer model.
#pragma once

#include <functional>

#include "model/region_stack.hpp"
#include "run/field_map.hpp"

namespace emforce {

/// The solved waves of a field map and how to take them at a point.
struct FieldMap::Source {
    Geometry geometry = Geometry::Cylindrical;
    std::vector<FieldRegion> regions;
    double speed = 0.0;
    double omega = 0.0;
    double period = 0.0;
    std::pair<double, double> polar{0.0, std::numbers::pi};
    std::vector<int> orders;
    std::vector<double> waveNumbers;
    /// The amplitudes of every wave at a row inside region `region`, appended to `out`.
    std::function<void(const FieldRow& row, std::size_t region, std::vector<WaveValues>& out)>
        values;
};

/// The waves of a stack of regions (the run's stack of the record's table) at the rotor speed
/// n [1/s]: one StackField per wave of the stack.
std::shared_ptr<const FieldMap::Source> stackFieldSource(const RegionStack& stack,
                                                         const MotorParameters& p, double n);

/// The waves of the table's one-layer model, read from the record, at the speed n [1/s]: the
/// induction motor's own solution of every harmonic it includes, times the harmonic's stator
/// MMF amplitude.
std::shared_ptr<const FieldMap::Source> seedFieldSource(InputRecord record,
                                                        std::optional<double> n);

}  // namespace emforce
