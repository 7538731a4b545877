// Evaluating the record's stack of regions where a run evaluates the one-layer model.
#include "run/stack_run.hpp"

#include <numbers>

#include "model/number_format.hpp"
#include "model/seed_stack.hpp"
#include "numerics/fp_guard.hpp"
#include "run/calculation_run.hpp"

namespace emforce {

namespace {

// The factor from the stack's per metre (per square metre) to the record's machine.
double lengthScale(const MotorParameters& p) {
    return p.geometry == Geometry::Linear ? p.l * 2.0 * std::numbers::pi / p.kp : p.l;
}

double slotValue(const StackResults& r, int slot) {
    switch (slotRow(slot).slot) {
        case CurveSlot::Maxwell:
            return r.maxwell;
        case CurveSlot::Lorentz:
            return r.rotorLorentz;
        case CurveSlot::Material:
            return r.rotorMaterial;
        default:
            return r.rotorJoule;
    }
}

}  // namespace

RegionStack runStack(const RegionStack& entered, const MotorParameters& p) {
    RegionStack stack = entered;
    stack.geometry = p.geometry;
    stack.kp = p.kp;
    stack.omega = 2.0 * std::numbers::pi * p.f1;
    return stack;
}

StackResults stackPoint(const RegionStack& stack, const MotorParameters& p, double n) {
    StackResults r = solveStack(stack, stackSpeed(p, n));
    clearFpFaults();  // what the stack raised on its way is judged by the values it gave
    const double scale = lengthScale(p);
    for (double* v : {&r.maxwell, &r.rotorLorentz, &r.rotorMaterial, &r.rotorJoule, &r.statorJoule})
        *v = checkedValue(*v * scale);
    for (RegionResult& region : r.regions) {
        region.lorentz = checkedValue(region.lorentz * scale);
        region.joule = checkedValue(region.joule * scale);
        region.material *= scale;
        region.anisotropyPower *= scale;
    }
    return r;
}

bool stackFillsSlot(int slot) { return slotRow(slot).stack; }

void checkStackCurves(const InputRecord& record) {
    bool any = false;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        if (!record.curves[static_cast<size_t>(slot)]) continue;
        any = true;
        if (!stackFillsSlot(slot))
            throw CalcError("Curve \"" + std::string(slotRow(slot).title) +
                            "\" is not computed for a region stack: uncheck it");
    }
    if (any && record.domain != static_cast<int>(Domain::SpeedOrAngle))
        throw CalcError("A region stack is swept over the speed only: choose \"" +
                        std::string(kDomainItems[static_cast<size_t>(Domain::SpeedOrAngle)]) +
                        "\"");
}

PointEvaluator stackPoints(RegionStack stack, MotorParameters p, std::vector<int> slots) {
    return [stack = std::move(stack), p, slots = std::move(slots)](const EvaluatorArgs& a) {
        std::vector<PointValue> values(slots.size());
        try {
            const StackResults r = stackPoint(stack, p, a.s);
            for (size_t k = 0; k < slots.size(); ++k) values[k].y = slotValue(r, slots[k]);
        } catch (const CalcError& e) {
            for (PointValue& v : values) v.error = e.what();
        }
        return values;
    };
}

std::vector<std::string> regionReportLines(const std::vector<RegionOutcome>& regions) {
    std::vector<std::string> lines = {"-----  Conducting regions  -----"};
    for (const RegionOutcome& r : regions) {
        lines.push_back(r.name);
        lines.push_back("  Lorentz  " + formatExponent(r.lorentz, 10, 3));
        lines.push_back("  Joule    " + formatExponent(r.joule, 10, 3));
    }
    lines.emplace_back("--------------------------------");
    return lines;
}

}  // namespace emforce
