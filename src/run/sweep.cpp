// Swept curves: the domains, the progress texts, and the points of all curves of a sweep, one by
// one or shared among worker threads.
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

DomainEnds domainEnds(Domain domain, const MotorParameters& p, double g, double a, double z,
                      bool induction) {
    DomainEnds ends = automaticEnds(domain, p, g, a, z, induction);
    if (domain != Domain::SpeedOrAngle || !induction) {
        ends.from = p.sweepFrom.value_or(ends.from);
        ends.to = p.sweepTo.value_or(ends.to);
    }
    return ends;
}

DomainEnds automaticEnds(Domain domain, const MotorParameters& p, double g, double a, double z,
                         bool induction) {
    switch (domain) {
        case Domain::Position:
            return {p.R, p.R + g};
        case Domain::GapWidth:
            return {g, 2 * g};
        case Domain::LayerWidth:
            return {a, 0.99 * p.R};
        case Domain::ThirdCoordinate:
            return {0.1 * z, 1.1 * z};
        case Domain::SpeedOrAngle:
            if (induction) return {p.minSpeed, p.maxSpeed};
            return {-std::numbers::pi / p.kp, std::numbers::pi / p.kp};
    }
    throw CalcError("Domain " + std::to_string(static_cast<int>(domain)) +
                    " does not exist: choose 0 to 4");
}

std::string progressText(double percent, int slot) {
    return "it has been done by now " + formatFixed(percent, 3, 0) + " % of serie no. " +
           std::to_string(slot + 1);
}

namespace {

// The argument the domain replaces by the running value.
double& sweptArgument(Domain domain, EvaluatorArgs& args) {
    switch (domain) {
        case Domain::Position:
            return args.x;
        case Domain::GapWidth:
            return args.g;
        case Domain::LayerWidth:
            return args.a;
        case Domain::ThirdCoordinate:
            return args.z;
        case Domain::SpeedOrAngle:
            break;
    }
    return args.s;
}

// One point's values: computes point i with any point evaluator, on any thread, with that
// thread's own floating-point flags, which it leaves clear.
class PointSolver {
public:
    PointSolver(int curves, int n, Domain domain, const DomainEnds& ends, const EvaluatorArgs& args)
        : m_curves(curves), m_n(n), m_domain(domain), m_ends(ends), m_args(args) {}

    [[nodiscard]] double abscissa(int i) const {
        return m_ends.from + i * (m_ends.to - m_ends.from) / m_n;
    }

    [[nodiscard]] std::vector<PointValue> solve(const PointEvaluator& evaluator, int i) const {
        EvaluatorArgs running = m_args;
        const double v = abscissa(i);
        sweptArgument(m_domain, running) = v;
        clearFpFaults();
        std::vector<PointValue> values;
        try {
            if (m_domain == Domain::GapWidth || m_domain == Domain::LayerWidth)
                checkWidth(m_domain == Domain::GapWidth ? 2 : 3, v, formatGeneral(v));
            values = evaluator(running);
        } catch (const CalcError& e) {
            values.assign(static_cast<size_t>(m_curves), PointValue{0, e.what(), std::nullopt});
        }
        clearFpFaults();
        return values;
    }

private:
    int m_curves;
    int m_n;
    Domain m_domain;
    DomainEnds m_ends;
    EvaluatorArgs m_args;
};

}  // namespace

PointValue valueAlone(const Evaluator& evaluator, const EvaluatorArgs& a) {
    clearFpFaults();
    try {
        return {checkedValue(evaluator(a.kp, a.x, a.g, a.a, a.z, a.s)), {}, std::nullopt};
    } catch (const CalcError& e) {
        return {0, e.what(), std::nullopt};
    }
}

PointEvaluator eachAlone(std::vector<Evaluator> curves) {
    return [curves = std::move(curves)](const EvaluatorArgs& a) {
        std::vector<PointValue> values;
        for (const Evaluator& e : curves) values.push_back(valueAlone(e, a));
        return values;
    };
}

// The points 0..n of a sweep. With workers they are shared: each worker takes the next point
// not yet taken, and the calling thread, waiting for a point, takes points too. No lock: each
// point's values are written by the one thread that took its index and published by its flag.
class CurveSweep::Points {
public:
    Points(int curves, int n, Domain domain, const DomainEnds& ends,
           const SweepEvaluators& evaluators, const EvaluatorArgs& args,
           const std::atomic<bool>* cancel)
        : m_solver(curves, n, domain, ends, args),
          m_evaluators(evaluators),
          m_n(n),
          m_cancel(cancel),
          m_values(n < 0 ? 0 : static_cast<size_t>(n) + 1),
          m_done(std::make_unique<std::atomic<bool>[]>(m_values.size())) {
        if (m_evaluators.workers.empty() || n <= 0) return;
        for (size_t w = 1; w < m_evaluators.workers.size(); ++w)
            m_threads.emplace_back([this, w] {
                const CancelScope scope(m_cancel);
                work(m_evaluators.workers[w]);
                flushBesselEvaluations();
            });
    }

    ~Points() {
        m_stop = true;
        m_threads.clear();  // joins
    }

    [[nodiscard]] const PointSolver& solver() const { return m_solver; }
    [[nodiscard]] int count() const { return m_n; }
    [[nodiscard]] const std::atomic<bool>* cancel() const { return m_cancel; }

    // The values of point i, computing points while they are not known yet.
    const std::vector<PointValue>& take(int i) {
        std::atomic<bool>& done = m_done[static_cast<size_t>(i)];
        const bool shared = !m_evaluators.workers.empty();
        while (!done.load(std::memory_order_acquire)) {
            const int j = m_next++;
            if (j <= m_n)
                finish(j, m_solver.solve(shared ? m_evaluators.workers[0] : m_evaluators.main, j));
            else
                done.wait(false, std::memory_order_acquire);
        }
        return m_values[static_cast<size_t>(i)];
    }

private:
    void work(const PointEvaluator& evaluator) {
        for (int i = m_next++; i <= m_n && !m_stop; i = m_next++)
            finish(i, m_solver.solve(evaluator, i));
    }

    void finish(int i, std::vector<PointValue> values) {
        m_values[static_cast<size_t>(i)] = std::move(values);
        std::atomic<bool>& done = m_done[static_cast<size_t>(i)];
        done.store(true, std::memory_order_release);
        done.notify_one();
    }

    const PointSolver m_solver;
    const SweepEvaluators& m_evaluators;
    const int m_n;
    const std::atomic<bool>* m_cancel;
    std::atomic<int> m_next{0};
    std::atomic<bool> m_stop{false};
    std::vector<std::vector<PointValue>> m_values;
    std::unique_ptr<std::atomic<bool>[]> m_done;
    std::vector<std::jthread> m_threads;  // last: joined before the rest goes
};

CurveSweep::CurveSweep(int curveCount, int pointCount, Domain domain, const DomainEnds& ends,
                       const SweepEvaluators& evaluators, const EvaluatorArgs& args,
                       const std::atomic<bool>* cancel)
    : m_points(std::make_unique<Points>(curveCount, pointCount, domain, ends, evaluators, args,
                                        cancel)) {}

CurveSweep::~CurveSweep() = default;

void CurveSweep::show(int curve, int slot, const CurveSink& sink, RunObserver& observer) {
    Points& points = *m_points;
    const int n = points.count();
    const std::atomic<bool>* cancel = points.cancel();
    const CancelScope scope(cancel);
    observer.curveStarted(slot, n < 0 ? 0 : n + 1);
    clearFpFaults();
    double threshold = 0;
    for (int i = 0; i <= n; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            throw CalcError(kCancelledMessage);
        const double percent = checkedValue(i * 100.0 / n);
        if (percent >= threshold || percent == 100) {
            observer.setProgressText(progressText(percent, slot));
            threshold += 10;
        }
        const double v = checkedValue(points.solver().abscissa(i));
        sink.x.push_back(v);
        const PointValue& point = points.take(i)[static_cast<size_t>(curve)];
        if (point.display && sink.display) sink.display(*point.display);
        if (!point.error.empty()) throw CalcError(point.error);
        sink.y.push_back(point.y);
        observer.appendPoint(slot, v, point.y);
        if (sink.results != nullptr) sink.results->push_back(point.y);
    }
}

}  // namespace emforce
