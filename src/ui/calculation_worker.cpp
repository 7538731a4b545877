// Runs a calculation off the window's thread and hands its outputs to the window in order.
#include "ui/calculation_worker.hpp"

#include <QMetaObject>
#include <chrono>
#include <future>
#include <vector>

#include "numerics/fp_guard.hpp"

namespace emforce {

// Forwards every output of the run to the view, queued on the view's thread in call order.
class CalculationWorker::QueuedObserver final : public RunObserver {
public:
    QueuedObserver(RunObserver& view, QObject* context, const std::atomic<bool>& cancel)
        : m_view(view), m_context(context), m_cancel(cancel) {}

    void clearReport() override {
        post([](RunObserver& v) { v.clearReport(); });
    }
    void appendReportLine(const std::string& line) override {
        post([line](RunObserver& v) { v.appendReportLine(line); });
    }
    void clearHarmonics() override {
        post([](RunObserver& v) { v.clearHarmonics(); });
    }
    void appendHarmonicLine(const std::string& line) override {
        post([line](RunObserver& v) { v.appendHarmonicLine(line); });
    }
    void setProgressText(const std::string& text) override {
        post([text](RunObserver& v) { v.setProgressText(text); });
    }
    void setTimeText(const std::string& text) override {
        post([text](RunObserver& v) { v.setTimeText(text); });
    }
    void clearSeries(int slot) override {
        post([slot](RunObserver& v) { v.clearSeries(slot); });
    }
    // Points travel in batches: one queued call per batch instead of one per point. A batch
    // leaves when it has waited long enough or grown large, and before any other output, so
    // the window sees every call in the order the run made it.
    void appendPoint(int slot, double x, double y) override {
        m_batch.push_back({slot, x, y});
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastFlush >= kBatchInterval || m_batch.size() >= kBatchSize) flushPoints(now);
    }
    void curveStarted(int slot, int pointCount) override {
        post([slot, pointCount](RunObserver& v) { v.curveStarted(slot, pointCount); });
    }
    void curveFinished(int slot) override {
        post([slot](RunObserver& v) { v.curveFinished(slot); });
    }
    void setField(ResultField field, const std::string& text) override {
        post([field, text](RunObserver& v) { v.setField(field, text); });
    }
    void runAbandoned(const std::string& message) override {
        post([message](RunObserver& v) { v.runAbandoned(message); });
    }

    // Waits for the user's answer. A cancel, or a view gone before it could ask, answers No,
    // so that the window never waits for a run that waits for the window.
    bool ask(const std::string& question) override {
        auto answer = std::make_shared<std::promise<bool>>();
        std::future<bool> result = answer->get_future();
        post([question, answer = std::move(answer)](RunObserver& v) {
            answer->set_value(v.ask(question));
        });
        using namespace std::chrono_literals;
        while (result.wait_for(50ms) == std::future_status::timeout)
            if (m_cancel) return false;
        try {
            return result.get();
        } catch (const std::future_error&) {
            return false;
        }
    }

private:
    struct Point {
        int slot;
        double x, y;
    };
    static constexpr auto kBatchInterval = std::chrono::milliseconds(40);
    static constexpr std::size_t kBatchSize = 4096;

    void flushPoints(std::chrono::steady_clock::time_point now) {
        m_lastFlush = now;
        if (m_batch.empty()) return;
        std::vector<Point> batch;
        batch.swap(m_batch);
        send([batch = std::move(batch)](RunObserver& v) {
            for (const Point& p : batch) v.appendPoint(p.slot, p.x, p.y);
        });
    }

    template <class Call>
    void post(Call call) {
        flushPoints(std::chrono::steady_clock::now());
        send(std::move(call));
    }

    template <class Call>
    void send(Call call) {
        QMetaObject::invokeMethod(
            m_context, [&view = m_view, call = std::move(call)] { call(view); },
            Qt::QueuedConnection);
    }

    RunObserver& m_view;
    QObject* m_context;
    const std::atomic<bool>& m_cancel;
    std::vector<Point> m_batch;  // touched by the run's thread only
    std::chrono::steady_clock::time_point m_lastFlush{};
};

CalculationWorker::CalculationWorker(Model& model, RunObserver& view, QObject* parent)
    : QObject(parent),
      m_model(model),
      m_observer(std::make_unique<QueuedObserver>(view, this, m_cancel)) {}

CalculationWorker::~CalculationWorker() {
    cancel();
    if (m_thread.joinable()) m_thread.join();
}

void CalculationWorker::start(const InputRecord& record) {
    if (isRunning()) return;
    m_record = record;
    m_cancel = false;
    m_thread = std::thread([this] {
        RunOptions options;
        options.cancel = &m_cancel;
        bool exitRequested = false;
        try {
            runCalculation(m_model, m_record, *m_observer, options);
        } catch (const ExitRequested&) {
            exitRequested = true;
        } catch (const std::exception& e) {
            // Anything the run does not turn into a user message still ends it as an error.
            m_observer->runAbandoned(e.what());
        }
        Q_EMIT finished(exitRequested);
    });
}

void CalculationWorker::cancel() { m_cancel = true; }

void CalculationWorker::finish() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace emforce
