// The evaluators of the curve slots, and how each motor evaluates the checked ones at a point.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "induction/asynchronous_motor.hpp"
#include "run/sweep.hpp"
#include "synchronous/silnik_synchroniczny.hpp"

namespace emforce {

/// The evaluators of the curve slots, bound to one motor object; the synchronous motor has
/// none for the slots the slot table does not give it.
using SlotEvaluators = std::array<Evaluator, kCurveSlots>;

/// The induction evaluators of the slots, bound to `motor`.
SlotEvaluators inductionSlots(AsynchronousMotor& motor);
/// The synchronous evaluators of the slots it has, bound to `motor`.
SlotEvaluators synchronousSlots(SilnikSynchroniczny& motor);

/// The slots of the tabled point (kTabledSlots), as slot numbers.
std::vector<int> tabledSlots();

/// The induction slots `slots` (in increasing order) at a point, on `motor`: all together,
/// from one field solution per harmonic and node (AsynchronousMotor::evaluateTogether), where
/// the motor evaluates together and the point raises no fault; otherwise (the literal mode,
/// Monte Carlo, a fault) each slot's evaluator alone, so that every value, fault and display
/// number is the one its evaluator gives alone.
PointEvaluator inductionPoints(AsynchronousMotor& motor, std::vector<int> slots);

/// The tabled point of an induction run: the tabled slots (kTabledSlots) as inductionPoints
/// gives them and, where
/// they come together without a fault, the sums of the ODE error at the same arguments from the
/// same solves and layer nodes (the residual does not read x), with the display numbers of the
/// residual's last solve.
struct TabledInduction {
    std::vector<PointValue> slots;
    std::optional<OdeSums> ode;
    std::optional<SolveDisplay> odeLastSolve;
};
TabledInduction inductionTabledPoint(AsynchronousMotor& motor, const EvaluatorArgs& args);

/// The synchronous slots `slots` at a point on `motor`, each evaluator alone.
PointEvaluator synchronousPoints(SilnikSynchroniczny& motor, const std::vector<int>& slots);

}  // namespace emforce
