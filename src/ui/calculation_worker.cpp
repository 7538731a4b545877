// Runs a calculation off the window's thread and hands its outputs to the window in order.
#include "ui/calculation_worker.hpp"

#include <QMetaObject>
#include <chrono>
#include <future>

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
    void appendPoint(int slot, double x, double y) override {
        post([slot, x, y](RunObserver& v) { v.appendPoint(slot, x, y); });
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
    template <class Call>
    void post(Call call) {
        QMetaObject::invokeMethod(
            m_context, [&view = m_view, call = std::move(call)] { call(view); },
            Qt::QueuedConnection);
    }

    RunObserver& m_view;
    QObject* m_context;
    const std::atomic<bool>& m_cancel;
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
