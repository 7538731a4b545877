// The calculation run: readings, harmonic list, tabled-point report, curves and statistics.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "induction/asynchronous_motor.hpp"
#include "model/input_record.hpp"
#include "model/motor_parameters.hpp"
#include "run/run_observer.hpp"
#include "run/stack_run.hpp"
#include "run/sweep.hpp"
#include "synchronous/silnik_synchroniczny.hpp"

namespace emforce {

/// The result vectors of the curves the balance statistics read, by slot, in point order.
struct CurveResults {
    std::array<std::vector<double>, kCurveSlots> curves;

    /// The vector of a slot, or nullptr for a slot the statistics do not read.
    std::vector<double>* forSlot(int slot);
    /// The vector of a slot (empty for a slot the statistics do not read).
    [[nodiscard]] const std::vector<double>& of(CurveSlot slot) const {
        return curves[slotAt(slot)];
    }
    void clear();
};

/// The process-wide model state: parameters, spectra, result vectors and exactly one motor
/// object of each kind. Created before any view and never copied.
struct Model {
    ModelData data;
    CurveResults results;
    AsynchronousMotor induction{data};
    SilnikSynchroniczny synchronous{data};

    Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
};

/// How a run is carried out; the defaults are those of the window.
struct RunOptions {
    /// The clock of the start and end times.
    std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };
    /// Set from another thread to abandon the run with "Calculation cancelled", within the point
    /// in progress.
    const std::atomic<bool>* cancel = nullptr;
    /// Threads that share the points of a curve; 0 means one per core.
    int threads = 0;
    /// Recompute every field solution at every point instead of reusing it within a call.
    bool literal = false;
};

/// The four values of the tabled point and their balance ratio.
struct TabledPoint {
    double maxwell = 0, lorentz = 0, material = 0, impulse = 0;
    std::optional<double> ratio;  ///< missing when its division faulted
};

/// The balance statistics of an induction run; nullopt where a statistic is undefined.
struct RunStatistics {
    std::optional<double> avgBalance, maxBalance, avgCoenergy, avgPower;
};

/// How a run ended, with the numbers behind the texts it wrote (for scripts).
struct RunOutcome {
    bool complete = false;
    /// The user message of an abandoned run.
    std::string message;
    std::optional<TabledPoint> tabled;
    RunStatistics statistics;
    std::optional<double> odeError;
    /// the conducting regions at the tabled point of a run of a stack of regions; none without one
    std::optional<std::vector<RegionOutcome>> regions;
};

/// Runs one calculation over the record, writing every output to the observer. A conversion
/// error, a refusal, a floating-point fault or a cancel abandon the run with its message
/// (reported to the observer and returned); whatever was written before stays. ExitRequested
/// (the layer question answered Yes) passes to the caller.
RunOutcome runCalculation(Model& model, InputRecord& record, RunObserver& observer, const RunOptions& options = {});

/// "HH:MM:SS" of a time of day in local time.
std::string longTimeText(std::chrono::system_clock::time_point t);
/// "HH:MM:SS,t" of a duration to the tenth of a second, truncated (hours may exceed 23).
std::string durationText(std::chrono::system_clock::duration d);

}  // namespace emforce
