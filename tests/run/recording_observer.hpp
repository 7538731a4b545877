// A run observer that records everything a run writes, for tests.
#pragma once

#include <cstdio>
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
    std::vector<std::string> events;  // every call in order, numbers to 17 digits

    void log(const std::string& event) { events.push_back(event); }
    static std::string number(double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", v);
        return buffer;
    }

    void clearReport() override {
        log("clearReport");
        report.clear();
    }
    void appendReportLine(const std::string& line) override {
        log("report " + line);
        report.push_back(line);
    }
    void clearHarmonics() override {
        log("clearHarmonics");
        harmonics.clear();
    }
    void appendHarmonicLine(const std::string& line) override {
        log("harmonic " + line);
        harmonics.push_back(line);
    }
    void setProgressText(const std::string& text) override {
        log("progress " + text);
        progress.push_back(text);
    }
    void setTimeText(const std::string& text) override {
        log("time");
        times.push_back(text);
    }
    void clearSeries(int slot) override {
        log("clearSeries " + std::to_string(slot));
        series[slot].clear();
    }
    void appendPoint(int slot, double x, double y) override {
        log("point " + std::to_string(slot) + " " + number(x) + " " + number(y));
        series[slot].emplace_back(x, y);
    }
    void curveStarted(int slot, int points) override {
        log("started " + std::to_string(slot) + " " + std::to_string(points));
        started.emplace_back(slot, points);
    }
    void curveFinished(int slot) override {
        log("finished " + std::to_string(slot));
        finished.push_back(slot);
    }
    void setField(ResultField field, const std::string& text) override {
        log("field " + std::to_string(static_cast<int>(field)) + " " + text);
        fields[field] = text;
    }
    bool ask(const std::string& question) override {
        log("ask " + question);
        questions.push_back(question);
        return answer;
    }
    void runAbandoned(const std::string& message) override {
        log("abandoned " + message);
        abandoned = message;
    }
};

}  // namespace emforce
