// A run observer that records everything a run writes, for tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "run/run_observer.hpp"

namespace emforce {

struct RecordingObserver : RunObserver {
    std::vector<std::string> report;
    std::vector<std::string> harmonics;
    std::vector<std::string> progress;  // every progress text, in order
    std::vector<std::string> times;
    std::map<int, std::vector<std::pair<double, double>>> series;
    std::vector<std::pair<int, int>> started;  // slot and point count of each curve
    std::vector<int> finished;
    std::map<ResultField, std::string> fields;
    std::vector<std::string> questions;
    bool answer = false;
    std::string abandoned;

    void clearReport() override { report.clear(); }
    void appendReportLine(const std::string& line) override { report.push_back(line); }
    void clearHarmonics() override { harmonics.clear(); }
    void appendHarmonicLine(const std::string& line) override { harmonics.push_back(line); }
    void setProgressText(const std::string& text) override { progress.push_back(text); }
    void setTimeText(const std::string& text) override { times.push_back(text); }
    void clearSeries(int slot) override { series[slot].clear(); }
    void appendPoint(int slot, double x, double y) override { series[slot].emplace_back(x, y); }
    void curveStarted(int slot, int points) override { started.emplace_back(slot, points); }
    void curveFinished(int slot) override { finished.push_back(slot); }
    void setField(ResultField field, const std::string& text) override { fields[field] = text; }
    bool ask(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    void runAbandoned(const std::string& message) override { abandoned = message; }
};

}  // namespace emforce
