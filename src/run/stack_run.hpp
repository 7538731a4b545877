// A run's evaluation of the record's stack of regions: the tabled point, its regions, its curves.
#pragma once

#include <string>
#include <vector>

#include "induction/region_stack_results.hpp"
#include "model/input_record.hpp"
#include "run/sweep.hpp"

namespace emforce {

/// One conducting region at the tabled point, scaled as the run reports it.
struct RegionOutcome {
    std::string name;
    double lorentz = 0;
    double joule = 0;
};

/// The stack a run solves: the entered one with the table's geometry, pole pairs (linear: wave
/// number) kp and ω = 2π·f1 (solving refuses the spherical geometry).
RegionStack runStack(const RegionStack& entered, const MotorParameters& p);

/// The stack's results at the table's speed n [1/s] (Ω = 2π·n; linear v = 2π·n/kp), every
/// torque (force) and power times the length l (linear: l·2π/kp, one fundamental wavelength
/// of the stator surface), as the one-layer model reports them. Throws CalcError of the stack.
StackResults stackPoint(const RegionStack& stack, const MotorParameters& p, double n);

/// Whether a stack fills a curve slot (the slot table's stack column): Maxwell, the rotor's
/// Lorentz and material parts, and the rotor's Joule loss.
bool stackFillsSlot(int slot);

/// Throws CalcError "Curve "<title>" is not computed for a region stack: uncheck it" for the
/// first checked slot a stack does not fill, and "A region stack is swept over the speed only:
/// choose "speed / power angle"" for another domain with a checked slot.
void checkStackCurves(const InputRecord& record);

/// The slots `slots` (each one stackFillsSlot) at a point whose swept speed is args.s.
PointEvaluator stackPoints(RegionStack stack, MotorParameters p, std::vector<int> slots);

/// The report lines of the conducting regions: a heading, then per region its name and its
/// Lorentz torque (force) and Joule loss.
std::vector<std::string> regionReportLines(const std::vector<RegionOutcome>& regions);

}  // namespace emforce
