// Measures what the window adds to a run: the same case through the main window (a worker thread
// posting every output to the window, the chart drawn) and through the core alone.
#include <QApplication>
#include <QEventLoop>
#include <chrono>
#include <cstdio>
#include <memory>

#include "run/calculation_run.hpp"
#include "model/sample_sets.hpp"
#include "ui/main_window.hpp"
#include "ui/message_boxes.hpp"

namespace {

using namespace emforce;

struct SilentBoxes final : MessageBoxes {
    void showError(QWidget*, const QString& text) override { std::printf("  error: %s\n", qPrintable(text)); }
    bool askYesNo(QWidget*, const QString&) override { return false; }
};

struct NullObserver final : RunObserver {
    void clearReport() override {}
    void appendReportLine(const std::string&) override {}
    void clearHarmonics() override {}
    void appendHarmonicLine(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void setTimeText(const std::string&) override {}
    void clearSeries(int) override {}
    void appendPoint(int, double, double) override {}
    void curveFinished(int) override {}
    void setField(ResultField, const std::string&) override {}
    bool ask(const std::string&) override { return false; }
    void runAbandoned(const std::string&) override {}
};

InputRecord caseRecord(int points, const char* harmonic) {
    InputRecord r = startupRecord();
    r.highestHarmonic = harmonic;
    r.pointsPerCurve = std::to_string(points);
    r.curves.fill(true);
    return r;
}

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("%-34s %10s %10s %8s\n", "case (spherical, all ten curves)", "core [s]", "window [s]", "ratio");
    struct Case {
        const char* name;
        int points;
        const char* harmonic;
    };
    for (const Case& c : {Case{"H = 17, 100 points", 100, "17"}, Case{"H = 1, 1000 points", 1000, "1"},
                          Case{"H = 5, 1000 points", 1000, "5"}}) {
        double core = 0;
        {
            auto model = std::make_unique<Model>();
            InputRecord record = caseRecord(c.points, c.harmonic);
            NullObserver observer;
            const auto start = std::chrono::steady_clock::now();
            runCalculation(*model, record, observer);
            core = seconds(start);
        }
        auto model = std::make_unique<Model>();
        SilentBoxes boxes;
        MainWindow window(*model, boxes);
        window.resize(1289, 915);
        window.show();
        window.setInputs(caseRecord(c.points, c.harmonic));
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::runFinished, &loop, &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        window.startRun();
        loop.exec();
        const double shown = seconds(start);
        std::printf("%-34s %10.3f %10.3f %8.2f\n", c.name, core, shown, shown / core);
    }
    return 0;
}
