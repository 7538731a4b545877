// The evaluators of the curve slots, and how each motor evaluates the checked ones at a point.
#include "run/point_evaluators.hpp"

#include <cstdint>
#include <optional>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

template <class Motor, class Fn>
Evaluator bind(Motor& motor, Fn fn) {
    return
        [&motor, fn](const double& kp, const double& x, const double& g, const double& a,
                     const double& z, const double& s) { return (motor.*fn)(kp, x, g, a, z, s); };
}

// One induction evaluator alone, with the display numbers of its last solve if it made one.
PointValue inductionAlone(AsynchronousMotor& motor, const Evaluator& evaluator,
                          const EvaluatorArgs& a) {
    const std::uint64_t solves = motor.solveCount();
    PointValue value = valueAlone(evaluator, a);
    if (motor.solveCount() != solves) value.display = motor.displayNumbers();
    return value;
}

// The slots together, or nothing when that raised a fault (or a refusal, or a cancel), which
// only the evaluators alone can tell apart.
std::optional<std::vector<PointValue>> together(AsynchronousMotor& motor,
                                                const std::vector<int>& slots,
                                                const EvaluatorSelection& chosen,
                                                const EvaluatorArgs& a) {
    clearFpFaults();
    std::vector<PointValue> values;
    try {
        const TogetherValues t = motor.evaluateTogether(chosen, a.kp, a.x, a.g, a.a, a.z, a.s);
        for (const int slot : slots) {
            const auto k = static_cast<size_t>(slot);
            values.push_back({checkedValue(t.values[k]), {}, t.lastSolve[k]});
        }
    } catch (const CalcError&) {
        return std::nullopt;
    }
    return values;
}

}  // namespace

SlotEvaluators inductionSlots(AsynchronousMotor& m) {
    using M = AsynchronousMotor;
    return {bind(m, &M::maxwellForce), bind(m, &M::lorentzForce),    bind(m, &M::materialForce),
            bind(m, &M::impulseForce), bind(m, &M::coenergyForce),   bind(m, &M::poyntingPower),
            bind(m, &M::joulePower),   bind(m, &M::anisotropyPower), bind(m, &M::accuracyI),
            bind(m, &M::accuracyK)};
}

SlotEvaluators synchronousSlots(SilnikSynchroniczny& m) {
    using M = SilnikSynchroniczny;
    return {bind(m, &M::synchronousMaxwell),
            bind(m, &M::synchronousLorentz),
            bind(m, &M::synchronousMaterial),
            bind(m, &M::synchronousImpulse),
            bind(m, &M::synchronousCoenergy),
            {},
            {},
            {},
            {},
            {}};
}

PointEvaluator inductionPoints(AsynchronousMotor& motor, std::vector<int> slots) {
    EvaluatorSelection chosen;
    for (const int slot : slots) chosen.set(static_cast<size_t>(slot));
    return [&motor, slots = std::move(slots), chosen,
            evaluators = inductionSlots(motor)](const EvaluatorArgs& a) {
        if (motor.evaluatesTogether()) {
            if (auto values = together(motor, slots, chosen, a)) return std::move(*values);
        }
        std::vector<PointValue> values;
        for (const int slot : slots)
            values.push_back(inductionAlone(motor, evaluators[static_cast<size_t>(slot)], a));
        return values;
    };
}

PointEvaluator synchronousPoints(SilnikSynchroniczny& motor, const std::vector<int>& slots) {
    const SlotEvaluators all = synchronousSlots(motor);
    std::vector<Evaluator> chosen;
    for (const int slot : slots) chosen.push_back(all[static_cast<size_t>(slot)]);
    return eachAlone(std::move(chosen));
}

}  // namespace emforce
