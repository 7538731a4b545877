// What a command-line run captured, and its text, JSON and CSV reports.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "run/calculation_run.hpp"
#include "run/run_observer.hpp"

namespace emforce::cli {

/// Captures a run's outputs as the window would hold them after the run. The layer question
/// is answered No and its text written to `questions`.
class CapturingObserver : public RunObserver {
public:
    explicit CapturingObserver(std::ostream& questions) : m_questions(questions) {
        for (size_t i = 0; i < fields.size(); ++i) fields[i] = kResultFieldStartTexts[i];
    }

    std::vector<std::string> report;
    std::vector<std::string> harmonics;
    std::string progress;
    std::string time;
    /// Points of each series in computed order, by slot.
    std::map<int, std::vector<std::pair<double, double>>> series;
    std::array<std::string, kResultFieldCount> fields;

    void clearReport() override { report.clear(); }
    void appendReportLine(const std::string& line) override { report.push_back(line); }
    void clearHarmonics() override { harmonics.clear(); }
    void appendHarmonicLine(const std::string& line) override { harmonics.push_back(line); }
    void setProgressText(const std::string& text) override { progress = text; }
    void setTimeText(const std::string& text) override { time = text; }
    void clearSeries(int slot) override { series.erase(slot); }
    void appendPoint(int slot, double x, double y) override { series[slot].emplace_back(x, y); }
    void curveFinished(int) override {}
    void setField(ResultField field, const std::string& text) override { fields[static_cast<size_t>(field)] = text; }
    bool ask(const std::string& question) override {
        m_questions << question << " (answered No)\n";
        return false;
    }
    void runAbandoned(const std::string&) override {}

private:
    std::ostream& m_questions;
};

/// The (order, amplitude) pairs of the harmonic list the run wrote; empty when it wrote none.
std::vector<std::pair<int, double>> harmonicAmplitudes(const CapturingObserver& run, const Model& model);

/// The readable report: harmonic lines, report lines, result fields, status texts, curves.
void writeTextReport(std::ostream& out, const CapturingObserver& run, const RunOutcome& outcome);

/// The choices of a run's record that change its numbers, as the report names them.
struct NumericChoices {
    std::string bessel;
    std::string formulation;
};

/// One JSON object with the keys harmonics, tabled, report, curves, statistics, odeError,
/// bessel and formulation (the record's choices; null for a run without a record), edit2,
/// edit3 and error; numbers in shortest round-trip form.
void writeJsonReport(std::ostream& out, const CapturingObserver& run, const RunOutcome& outcome,
                     const Model& model, const std::optional<NumericChoices>& choices);

/// The curves as CSV: the swept variable, then one column per drawn slot titled by its series.
void writeCsvReport(std::ostream& out, const CapturingObserver& run, int domain);

/// Shortest text that reads back as the same double ("0.1", "1e-07").
std::string roundTrip(double v);

}  // namespace emforce::cli
