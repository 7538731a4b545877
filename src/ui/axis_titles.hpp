// The automatic axis titles of the curve chart: what the curves of a run are drawn against.
#pragma once

#include <QString>

#include "model/curve_slots.hpp"
#include "model/motor_parameters.hpp"
#include "run/sweep.hpp"

namespace emforce {

/// The curves that share a unit, and so a vertical axis: force or torque (also the curves
/// plotted from files), power, the dimensionless function accuracies (the slot table's axes).
using CurveGroup = CurveAxis;
inline constexpr int kCurveGroups = 3;

/// The group of a curve slot.
CurveGroup curveGroup(int slot);

/// The series title of a curve slot, as the slot table has it.
QString seriesTitle(int slot);

/// What the curves of a run are drawn against.
struct CurveContext {
    Domain domain = Domain::SpeedOrAngle;
    Geometry geometry = Geometry::Spherical;
    bool induction = true;
};

/// The title of the bottom axis: the swept variable of the motor and geometry, with its unit.
QString bottomAxisTitle(const CurveContext& context);

/// The title of a vertical axis: force (linear) or torque (rotating), power, or accuracy.
QString groupAxisTitle(CurveGroup group, Geometry geometry);

}  // namespace emforce
