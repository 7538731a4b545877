// Runs a calculation off the window's thread and hands its outputs to the window in order.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

#include "run/calculation_run.hpp"

namespace emforce {

/// One run at a time on its own thread, over the one model and a copy of the inputs. Every
/// output reaches `view` on the thread of this object, queued in the order the run wrote it.
class CalculationWorker : public QObject {
    Q_OBJECT
public:
    /// `view` must live on the thread of `parent`, and as long as this object.
    CalculationWorker(Model& model, RunObserver& view, QObject* parent);
    ~CalculationWorker() override;

    /// Starts a run over a copy of the record; nothing happens while a run is active.
    void start(const InputRecord& record);
    /// Abandons the active run before its next point, as if an error had stopped it.
    void cancel();
    /// True from start() until finish() after the run has ended.
    [[nodiscard]] bool isRunning() const { return m_thread.joinable(); }
    /// Joins the finished run's thread; call it once finished() has arrived.
    void finish();
    /// The record of the last run, with what the run wrote into it.
    [[nodiscard]] const InputRecord& record() const { return m_record; }

Q_SIGNALS:
    /// The run has written its last output; `exitRequested` when the user chose to close the
    /// application in the run's layer question.
    void finished(bool exitRequested);

private:
    class QueuedObserver;

    Model& m_model;
    InputRecord m_record;
    std::atomic<bool> m_cancel{false};
    std::unique_ptr<QueuedObserver> m_observer;
    std::thread m_thread;
};

}  // namespace emforce
