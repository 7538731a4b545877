// Swept curves: the five domains, the progress texts and the point loop of one curve.
#pragma once

#include <array>
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "model/motor_parameters.hpp"
#include "numerics/cancel.hpp"
#include "numerics/integration.hpp"
#include "run/run_observer.hpp"

namespace emforce {

/// The swept variable, by its index in the "versus" selector.
enum class Domain : int { Position = 0, GapWidth = 1, LayerWidth = 2, ThirdCoordinate = 3, SpeedOrAngle = 4 };

/// Captions of the domain selector in index order.
inline constexpr std::array<std::string_view, 5> kDomainItems = {
    "var   x1 = x/r/r", "the gap width g", "layer width a", "var  x3 = z/z/teta ", "speed / power angle"};

/// The two ends of a curve.
struct DomainEnds {
    double from;
    double to;
};

/// The ends of a domain from the current argument values and parameters.
DomainEnds domainEnds(Domain domain, const MotorParameters& p, double g, double a, double z, bool induction);

/// "it has been done by now <p> % of serie no. <slot + 1>".
std::string progressText(double percent, int slot);

/// The six arguments of an evaluator, each an independent value the sweep may replace.
struct EvaluatorArgs {
    double kp, x, g, a, z, s;
};

/// Where the points of a curve go as soon as they exist, so that an abandoned curve keeps
/// what it had: the motor's last curve, and the slot's result vector when it has one.
struct CurveSink {
    std::vector<double>& x;
    std::vector<double>& y;
    std::vector<double>* results;
};

/// The evaluators of one curve. `main` is bound to the motor object that keeps the curve; it
/// computes the last point, so that the object ends with the state a one-by-one sweep leaves.
/// Each of `workers` is bound to an independent working copy of that object and serves one
/// thread; without workers the points are computed one by one on the calling thread.
struct CurveEvaluators {
    Evaluator main;
    std::vector<Evaluator> workers;
};

/// Computes the N + 1 points of one curve, writing the progress texts and the points to the
/// observer in point order, as a one-by-one sweep does, whatever the number of workers. Every
/// value is checked for floating-point faults before it is shown, and a swept gap or layer
/// width that is not greater than 0 is refused as a reading refuses it; the first faulty point
/// in point order abandons the curve after the points before it were shown. Throws CalcError;
/// a set `cancel` flag abandons the curve with kCancelledMessage, inside the point in progress.
void sweepCurve(int slot, int pointCount, Domain domain, const DomainEnds& ends, const CurveEvaluators& evaluators,
                const EvaluatorArgs& args, const CurveSink& sink, RunObserver& observer,
                const std::atomic<bool>* cancel);

}  // namespace emforce
