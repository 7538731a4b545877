// Swept curves: the five domains, the progress texts and the points of the curves of one sweep.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "induction/solve_display.hpp"
#include "model/motor_parameters.hpp"
#include "numerics/cancel.hpp"
#include "numerics/integration.hpp"
#include "run/run_observer.hpp"

namespace emforce {

/// The swept variable, by its index in the "versus" selector.
enum class Domain : int {
    Position = 0,
    GapWidth = 1,
    LayerWidth = 2,
    ThirdCoordinate = 3,
    SpeedOrAngle = 4
};

/// Captions of the domain selector in index order.
inline constexpr std::array<std::string_view, 5> kDomainItems = {
    "var   x1 = x/r/r", "the gap width g", "layer width a", "var  x3 = z/z/teta ",
    "speed / power angle"};

/// The two ends of a curve.
struct DomainEnds {
    double from;
    double to;
};

/// The ends of a domain from the current argument values and parameters: the chosen ends of
/// the parameters where they hold them, else the automatic ones.
DomainEnds domainEnds(Domain domain, const MotorParameters& p, double g, double a, double z,
                      bool induction);
/// The ends of a domain when none are chosen: R..R + g, g..2 g, a..0,99 R, 0,1 z..1,1 z, and
/// minSpeed..maxSpeed or -pi/kp..pi/kp.
DomainEnds automaticEnds(Domain domain, const MotorParameters& p, double g, double a, double z,
                         bool induction);

/// "it has been done by now <p> % of serie no. <slot + 1>".
std::string progressText(double percent, int slot);

/// The six arguments of an evaluator, each an independent value the sweep may replace.
struct EvaluatorArgs {
    double kp, x, g, a, z, s;
};

/// One curve's value at one point, or the message of the fault it raised, and the display
/// numbers of the last field solution its evaluation made (induction motor; none when it
/// solved nothing).
struct PointValue {
    double y = 0;
    std::string error;
    std::optional<SolveDisplay> display;
};

/// Evaluates every curve of a sweep at one set of arguments: one value per curve, in curve
/// order, each with its own faults, as if each curve's evaluator ran alone. It runs with the
/// floating-point flags of the calling thread clear and may leave them raised.
using PointEvaluator = std::function<std::vector<PointValue>(const EvaluatorArgs&)>;

/// One evaluator alone at the arguments: its value, checked for floating-point faults from a
/// clear start, or the message of its fault.
PointValue valueAlone(const Evaluator& evaluator, const EvaluatorArgs& args);

/// The point evaluator that runs each curve's evaluator alone, in curve order.
PointEvaluator eachAlone(std::vector<Evaluator> curves);

/// The point evaluators of a sweep. `main` works on the motor object that keeps the curves;
/// each of `workers` works on its own working copy of it and serves one thread. Without
/// workers the calling thread computes every point with `main`.
struct SweepEvaluators {
    PointEvaluator main;
    std::vector<PointEvaluator> workers;
};

/// Where the points of a curve go as soon as they are shown, so that an abandoned curve keeps
/// what it had: the motor's last curve, the slot's result vector when it has one, and the
/// display numbers of each shown point that has them.
struct CurveSink {
    std::vector<double>& x;
    std::vector<double>& y;
    std::vector<double>* results;
    std::function<void(const SolveDisplay&)> display;
};

/// The curves of one sweep: N + 1 points of the swept variable, every curve of a point
/// computed together. The points are shared among the workers (taken in point order, each
/// published by its own flag, no lock) while the calling thread shows the curves one after
/// the other, each point as soon as it is known, exactly as a one-by-one sweep of each curve
/// would show it. A swept gap or layer width that is not greater than 0 is refused at its
/// point as a reading refuses it.
class CurveSweep {
public:
    /// Starts the workers on the points; `evaluators` outlive the sweep, `cancel` (may be
    /// nullptr) stops it.
    CurveSweep(int curveCount, int pointCount, Domain domain, const DomainEnds& ends,
               const SweepEvaluators& evaluators, const EvaluatorArgs& args,
               const std::atomic<bool>* cancel);
    /// Stops the workers and waits for them.
    ~CurveSweep();
    CurveSweep(const CurveSweep&) = delete;
    CurveSweep& operator=(const CurveSweep&) = delete;

    /// Shows curve `curve` as the curve of `slot`: announces it, then for each point the
    /// progress text, the point in the sink and in the observer. Every value is checked
    /// before it is shown; the first faulty point in point order abandons the curve (throws
    /// CalcError) after the points before it were shown, and a set cancel flag abandons it
    /// with kCancelledMessage, inside the point in progress.
    void show(int curve, int slot, const CurveSink& sink, RunObserver& observer);

private:
    class Points;
    std::unique_ptr<Points> m_points;
};

}  // namespace emforce
