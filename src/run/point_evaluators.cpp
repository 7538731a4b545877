// The evaluators of the curve slots, and how each motor evaluates the checked ones at a point.
#include "run/point_evaluators.hpp"

#include <cstdint>
#include <optional>

#include "numerics/cancel.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

template <class Motor, class Fn>
Evaluator bind(Motor& motor, Fn fn) {
    return
        [&motor, fn](const double& kp, const double& x, const double& g, const double& a,
                     const double& z, const double& s) { return (motor.*fn)(kp, x, g, a, z, s); };
}

std::size_t evaluatorOf(int slot) { return evaluatorAt(slotRow(slot).evaluator); }

// One induction evaluator alone, with the display numbers of its last solve if it made one.
PointValue inductionAlone(AsynchronousMotor& motor, const Evaluator& evaluator,
                          const EvaluatorArgs& a) {
    const std::uint64_t solves = motor.solveCount();
    PointValue value = valueAlone(evaluator, a);
    if (motor.solveCount() != solves) value.display = motor.displayNumbers();
    return value;
}

// The chosen slots (and the ODE sums) together, or nothing when that raised a fault or a
// refusal, which only the evaluators alone can tell apart; a cancel ends the point.
std::optional<TogetherValues> together(AsynchronousMotor& motor, const std::vector<int>& slots,
                                       const EvaluatorSelection& chosen, bool odeSums,
                                       const EvaluatorArgs& a) {
    clearFpFaults();
    try {
        TogetherValues t = motor.evaluateTogether(chosen, odeSums, a.kp, a.x, a.g, a.a, a.z, a.s);
        for (const int slot : slots) checkedValue(t.values[evaluatorOf(slot)]);
        if (t.ode) {
            checkedValue(t.ode->error);
            checkedValue(t.ode->norm);
        }
        return t;
    } catch (const CalcError&) {
        if (cancelRequested()) throw;
        return std::nullopt;
    }
}

EvaluatorSelection selectionOf(const std::vector<int>& slots) {
    EvaluatorSelection chosen;
    for (const int slot : slots) chosen.set(evaluatorOf(slot));
    return chosen;
}

using InductionMember = double (AsynchronousMotor::*)(const double&, const double&, const double&,
                                                      const double&, const double&, const double&);
using SynchronousMember = double (SilnikSynchroniczny::*)(const double&, const double&,
                                                          const double&, const double&,
                                                          const double&, const double&);

InductionMember inductionMember(SlotEvaluator e) {
    using M = AsynchronousMotor;
    switch (e) {
        case SlotEvaluator::MaxwellForce:
            return &M::maxwellForce;
        case SlotEvaluator::LorentzForce:
            return &M::lorentzForce;
        case SlotEvaluator::MaterialForce:
            return &M::materialForce;
        case SlotEvaluator::ImpulseForce:
            return &M::impulseForce;
        case SlotEvaluator::CoenergyForce:
            return &M::coenergyForce;
        case SlotEvaluator::PoyntingPower:
            return &M::poyntingPower;
        case SlotEvaluator::JoulePower:
            return &M::joulePower;
        case SlotEvaluator::AnisotropyPower:
            return &M::anisotropyPower;
        case SlotEvaluator::AccuracyI:
            return &M::accuracyI;
        case SlotEvaluator::AccuracyK:
            break;
    }
    return &M::accuracyK;
}

// The synchronous motor's evaluator of the force components; none of the others.
SynchronousMember synchronousMember(SlotEvaluator e) {
    using M = SilnikSynchroniczny;
    switch (e) {
        case SlotEvaluator::MaxwellForce:
            return &M::synchronousMaxwell;
        case SlotEvaluator::LorentzForce:
            return &M::synchronousLorentz;
        case SlotEvaluator::MaterialForce:
            return &M::synchronousMaterial;
        case SlotEvaluator::ImpulseForce:
            return &M::synchronousImpulse;
        case SlotEvaluator::CoenergyForce:
            return &M::synchronousCoenergy;
        default:
            return nullptr;
    }
}

// The slots' values at a point: together where the motor can, else each evaluator alone.
std::vector<PointValue> slotValues(AsynchronousMotor& motor, const std::vector<int>& slots,
                                   const SlotEvaluators& evaluators,
                                   const std::optional<TogetherValues>& t, const EvaluatorArgs& a) {
    std::vector<PointValue> values;
    for (const int slot : slots) {
        const std::size_t e = evaluatorOf(slot);
        values.push_back(t ? PointValue{t->values[e], {}, t->lastSolve[e]}
                           : inductionAlone(motor, evaluators[static_cast<size_t>(slot)], a));
    }
    return values;
}

}  // namespace

SlotEvaluators inductionSlots(AsynchronousMotor& m) {
    SlotEvaluators evaluators;
    for (const CurveSlotRow& row : kCurveSlotTable)
        evaluators[slotAt(row.slot)] = bind(m, inductionMember(row.evaluator));
    return evaluators;
}

SlotEvaluators synchronousSlots(SilnikSynchroniczny& m) {
    SlotEvaluators evaluators;
    for (const CurveSlotRow& row : kCurveSlotTable)
        if (row.synchronous)
            evaluators[slotAt(row.slot)] = bind(m, synchronousMember(row.evaluator));
    return evaluators;
}

std::vector<int> tabledSlots() {
    std::vector<int> slots;
    for (const CurveSlot s : kTabledSlots) slots.push_back(slotIndex(s));
    return slots;
}

PointEvaluator inductionPoints(AsynchronousMotor& motor, std::vector<int> slots) {
    const EvaluatorSelection chosen = selectionOf(slots);
    return [&motor, slots = std::move(slots), chosen,
            evaluators = inductionSlots(motor)](const EvaluatorArgs& a) {
        const std::optional<TogetherValues> t =
            motor.evaluatesTogether() ? together(motor, slots, chosen, false, a) : std::nullopt;
        return slotValues(motor, slots, evaluators, t, a);
    };
}

TabledInduction inductionTabledPoint(AsynchronousMotor& motor, const EvaluatorArgs& a) {
    const std::vector<int> slots = tabledSlots();
    const std::optional<TogetherValues> t =
        motor.evaluatesTogether() ? together(motor, slots, selectionOf(slots), true, a)
                                  : std::nullopt;
    TabledInduction tabled{slotValues(motor, slots, inductionSlots(motor), t, a), {}, {}};
    if (t) {
        tabled.ode = t->ode;
        tabled.odeLastSolve = t->odeLastSolve;
    }
    return tabled;
}

PointEvaluator synchronousPoints(SilnikSynchroniczny& motor, const std::vector<int>& slots) {
    const SlotEvaluators all = synchronousSlots(motor);
    std::vector<Evaluator> chosen;
    for (const int slot : slots) chosen.push_back(all[static_cast<size_t>(slot)]);
    return eachAlone(std::move(chosen));
}

}  // namespace emforce
