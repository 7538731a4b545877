// The point loop of a swept curve, one by one or shared among worker threads.
#include "run/sweep.hpp"

#include <atomic>
#include <memory>
#include <numbers>
#include <thread>

#include "model/number_format.hpp"
#include "model/parameter_reading.hpp"
#include "numerics/bessel.hpp"
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

// The value of one point, or the message of the fault it raised.
struct PointValue {
    double y = 0;
    std::string error;
};

// One curve's points: computes point i with any evaluator, on any thread, with that thread's own
// floating-point flags.
class PointSolver {
public:
    PointSolver(int n, Domain domain, const DomainEnds& ends, const EvaluatorArgs& args)
        : m_n(n), m_domain(domain), m_ends(ends), m_args(args) {}

    [[nodiscard]] double abscissa(int i) const { return m_ends.from + i * (m_ends.to - m_ends.from) / m_n; }

    [[nodiscard]] PointValue solve(const Evaluator& evaluator, int i) const {
        EvaluatorArgs running = m_args;
        const double v = abscissa(i);
        sweptArgument(m_domain, running) = v;
        beginEvaluatorCall();
        clearFpFaults();
        try {
            if (m_domain == Domain::GapWidth || m_domain == Domain::LayerWidth)
                checkWidth(m_domain == Domain::GapWidth ? 2 : 3, v, formatGeneral(v));
            return {checkedValue(evaluator(running.kp, running.x, running.g, running.a, running.z, running.s)), {}};
        } catch (const CalcError& e) {
            return {0, e.what()};
        }
    }

private:
    int m_n;
    Domain m_domain;
    DomainEnds m_ends;
    EvaluatorArgs m_args;
};

// Shares the points 0..n-1 among the workers while the calling thread shows the points in order.
// The last point is the main evaluator's, computed first on the calling thread. No lock: each
// point's value is written by the one thread that took its index and published by its flag.
class SharedPoints {
public:
    SharedPoints(const PointSolver& solver, int n)
        : m_solver(solver),
          m_n(n),
          m_values(static_cast<size_t>(n) + 1),
          m_done(std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(n) + 1)) {}

    // A worker: takes points until none is left or the curve stops.
    void work(const Evaluator& evaluator) {
        for (int i = m_next++; i < m_n && !m_stop; i = m_next++) finish(i, m_solver.solve(evaluator, i));
    }

    // The calling thread: the value of point i, helping with other points while it waits.
    PointValue take(int i, const Evaluator& helper) {
        std::atomic<bool>& done = m_done[static_cast<size_t>(i)];
        while (!done.load(std::memory_order_acquire)) {
            const int j = m_next++;
            if (j < m_n)
                finish(j, m_solver.solve(helper, j));
            else
                done.wait(false, std::memory_order_acquire);
        }
        return std::move(m_values[static_cast<size_t>(i)]);
    }

    void finish(int i, PointValue value) {
        m_values[static_cast<size_t>(i)] = std::move(value);
        std::atomic<bool>& done = m_done[static_cast<size_t>(i)];
        done.store(true, std::memory_order_release);
        done.notify_one();
    }

    void stop() { m_stop = true; }

private:
    const PointSolver& m_solver;
    const int m_n;
    std::atomic<int> m_next{0};
    std::atomic<bool> m_stop{false};
    std::vector<PointValue> m_values;
    std::unique_ptr<std::atomic<bool>[]> m_done;
};

}  // namespace

void sweepCurve(int slot, int pointCount, Domain domain, const DomainEnds& ends, const CurveEvaluators& evaluators,
                const EvaluatorArgs& args, const CurveSink& sink, RunObserver& observer,
                const std::atomic<bool>* cancel) {
    const int n = pointCount;
    const CancelScope scope(cancel);
    observer.curveStarted(slot, n < 0 ? 0 : n + 1);
    const PointSolver solver(n, domain, ends, args);
    const bool shared = !evaluators.workers.empty() && n > 0;
    SharedPoints points(solver, shared ? n : 0);
    std::vector<std::jthread> threads;
    PointValue last;
    if (shared) {
        for (size_t w = 1; w < evaluators.workers.size(); ++w)
            threads.emplace_back([&points, &evaluator = evaluators.workers[w], cancel] {
                const CancelScope scope(cancel);
                points.work(evaluator);
                flushBesselEvaluations();
            });
        last = solver.solve(evaluators.main, n);
    }
    // Stop the workers whichever way the loop ends; the threads join on destruction.
    struct StopOnExit {
        SharedPoints& points;
        ~StopOnExit() { points.stop(); }
    } stopOnExit{points};
    clearFpFaults();
    double threshold = 0;
    for (int i = 0; i <= n; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw CalcError(kCancelledMessage);
        const double percent = checkedValue(i * 100.0 / n);
        if (percent >= threshold || percent == 100) {
            observer.setProgressText(progressText(percent, slot));
            threshold += 10;
        }
        const double v = checkedValue(solver.abscissa(i));
        sink.x.push_back(v);
        const PointValue point = !shared ? solver.solve(evaluators.main, i)
                                 : i == n ? last
                                          : points.take(i, evaluators.workers[0]);
        if (!point.error.empty()) throw CalcError(point.error);
        sink.y.push_back(point.y);
        observer.appendPoint(slot, v, point.y);
        if (sink.results != nullptr) sink.results->push_back(point.y);
    }
}

}  // namespace emforce
