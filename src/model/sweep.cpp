// The point loop of a swept curve.
#include "model/sweep.hpp"

#include <numbers>

#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

DomainEnds domainEnds(Domain domain, const MotorParameters& p, double g, double a, double z, bool induction) {
    switch (domain) {
        case Domain::Position: return {p.R, p.R + g};
        case Domain::GapWidth: return {g, 2 * g};
        case Domain::LayerWidth: return {a, 0.99 * p.R};
        case Domain::ThirdCoordinate: return {0.1 * z, 1.1 * z};
        case Domain::SpeedOrAngle:
            if (induction) return {p.minSpeed, p.maxSpeed};
            return {-std::numbers::pi / p.kp, std::numbers::pi / p.kp};
    }
    throw CalcError("Domain " + std::to_string(static_cast<int>(domain)) + " does not exist: choose 0 to 4");
}

std::string progressText(double percent, int slot) {
    return "it has been done by now " + formatFixed(percent, 3, 0) + " % of serie no. " + std::to_string(slot + 1);
}

namespace {
// The argument the domain replaces by the running value.
double& sweptArgument(Domain domain, EvaluatorArgs& args) {
    switch (domain) {
        case Domain::Position: return args.x;
        case Domain::GapWidth: return args.g;
        case Domain::LayerWidth: return args.a;
        case Domain::ThirdCoordinate: return args.z;
        case Domain::SpeedOrAngle: break;
    }
    return args.s;
}
}  // namespace

void sweepCurve(int slot, int pointCount, Domain domain, const DomainEnds& ends, const Evaluator& evaluator,
                const EvaluatorArgs& args, const CurveSink& sink, RunObserver& observer,
                const std::atomic<bool>* cancel) {
    const int n = pointCount;
    double threshold = 0;
    EvaluatorArgs running = args;
    double& swept = sweptArgument(domain, running);
    for (int i = 0; i <= n; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw CalcError(kCancelledMessage);
        const double percent = checkedValue(i * 100.0 / n);
        if (percent >= threshold || percent == 100) {
            observer.setProgressText(progressText(percent, slot));
            threshold += 10;
        }
        const double v = checkedValue(ends.from + i * (ends.to - ends.from) / n);
        sink.x.push_back(v);
        swept = v;
        const double y = checkedValue(evaluator(running.kp, running.x, running.g, running.a, running.z, running.s));
        sink.y.push_back(y);
        observer.appendPoint(slot, v, y);
        if (sink.results != nullptr) sink.results->push_back(y);
    }
}

}  // namespace emforce
