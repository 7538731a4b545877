// Benchmark of the calculation run: the literal path against the reuse path, one thread against
// all cores, the accurate Bessel functions against the series, on six cases; prints one table of
// times, ratios, differences and evaluation counts.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/sample_sets.hpp"
#include "numerics/bessel.hpp"
#include "run/calculation_run.hpp"

namespace {

using namespace emforce;

struct Case {
    const char* name;
    int sample;
    bool induction;
    Geometry geometry;
    const char* harmonic;
    int pattern;
    int method;
    int points;
    bool allCurves;
    // Points of the literal timing: the whole case where it takes a few minutes at most;
    // fewer where it would take hours (-1: the tabled point and the residual only).
    int literalPoints;
};

const Case kCases[] = {
    {"1 start-up", 1, true, Geometry::Spherical, "1", 1, 4, 10, false, 10},
    {"2 all curves", 1, true, Geometry::Spherical, "17", 1, 4, 100, true, 10},
    {"3 Simpson sphere", 1, true, Geometry::Spherical, "17", 1, 0, 100, true, -1},
    {"4 complex cylinder", 5, true, Geometry::Cylindrical, "17", 1, 6, 200, true, 10},
    {"5 linear", 10, true, Geometry::Linear, "17", 1, 6, 1000, true, 100},
    {"6 synchronous sphere", 9, false, Geometry::Spherical, "17", 1, 0, 1000, false, 100},
};

// Every number a run shows: report values, curve points, statistics and the residual.
struct Outputs : RunObserver {
    std::vector<double> values;
    void clearReport() override {}
    void appendReportLine(const std::string&) override {}
    void clearHarmonics() override {}
    void appendHarmonicLine(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void setTimeText(const std::string&) override {}
    void clearSeries(int) override {}
    void appendPoint(int, double, double y) override { values.push_back(y); }
    void curveFinished(int) override {}
    // The tabled results, read as the window shows them (decimal comma).
    void setField(ResultField, const std::string& text) override {
        std::string number = text;
        std::replace(number.begin(), number.end(), ',', '.');
        char* end = nullptr;
        const double v = std::strtod(number.c_str(), &end);
        if (end != number.c_str()) values.push_back(v);
    }
    bool ask(const std::string&) override { return false; }
    void runAbandoned(const std::string& message) override {
        std::printf("  abandoned: %s\n", message.c_str());
    }
};

struct Measurement {
    double seconds = 0;
    std::uint64_t evaluations = 0;
    std::vector<double> values;
};

InputRecord recordOf(const Case& c, int points, const char* functions) {
    InputRecord r = startupRecord();
    r.besselFunctions = functions;
    applySampleSet(r, kSampleSets[static_cast<size_t>(c.sample)]);
    r.induction = c.induction;
    r.geometry = c.geometry;
    r.highestHarmonic = c.harmonic;
    r.windingPattern = c.pattern;
    r.integrationMethod = kIntegrationMethodItems[static_cast<size_t>(c.method)];
    r.pointsPerCurve = std::to_string(points < 0 ? c.points : points);
    r.curves = {true, true};
    if (c.allCurves) r.curves.fill(true);
    // No curve at all: the tabled point and the residual only.
    if (points < 0) r.curves.fill(false);
    return r;
}

// How a run is made: its number of threads (0: all cores), its path and its Bessel functions.
struct Setting {
    int threads;
    bool literal;
    const char* functions;
};

Measurement measureOnce(const Case& c, int points, const Setting& s) {
    auto model = std::make_unique<Model>();
    InputRecord record = recordOf(c, points, s.functions);
    Outputs outputs;
    RunOptions options;
    options.threads = s.threads;
    options.literal = s.literal;
    resetBesselEvaluations();
    const auto start = std::chrono::steady_clock::now();
    const RunOutcome outcome = runCalculation(*model, record, outputs, options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (outcome.tabled) {
        outputs.values.insert(outputs.values.end(),
                              {outcome.tabled->maxwell, outcome.tabled->lorentz,
                               outcome.tabled->material, outcome.tabled->impulse});
    }
    if (outcome.odeError) outputs.values.push_back(*outcome.odeError);
    return {seconds, besselEvaluations(), std::move(outputs.values)};
}

// Short runs are repeated (up to ten times, or until about 1.5 s per setting are spent) and the
// fastest time of each kept; the runs of the compared settings alternate, so that a slow spell of
// the machine does not fall on one side of a ratio.
std::vector<Measurement> measureAlternating(const Case& c, int points,
                                            const std::vector<Setting>& settings) {
    std::vector<Measurement> best;
    double spent = 0;
    for (const Setting& s : settings) {
        best.push_back(measureOnce(c, points, s));
        spent += best.back().seconds;
    }
    for (int run = 1; run < 10 && spent < 3.0 * static_cast<double>(settings.size()) / 2; ++run) {
        for (size_t k = 0; k < settings.size(); ++k) {
            const double seconds = measureOnce(c, points, settings[k]).seconds;
            spent += seconds;
            best[k].seconds = std::min(best[k].seconds, seconds);
        }
    }
    return best;
}

Measurement measure(const Case& c, int points, const Setting& s) {
    return measureAlternating(c, points, {s}).front();
}

double largestDifference(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return INFINITY;
    double largest = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double scale = std::max(std::fabs(a[i]), std::fabs(b[i]));
        if (scale > 0) largest = std::max(largest, std::fabs(a[i] - b[i]) / scale);
    }
    return largest;
}

// The least Bessel evaluations a run needs: the distinct (function, p, ν, z) it evaluates.
std::uint64_t leastEvaluations(const Case& c, const char* functions) {
    trackDistinctBesselEvaluations(true);
    const std::uint64_t least =
        (measureOnce(c, c.points, {0, false, functions}), distinctBesselEvaluations());
    trackDistinctBesselEvaluations(false);
    return least;
}

bool chosen(int k, int argc, char** argv) {
    int cases = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::atoi(argv[i]) == 0) continue;
        ++cases;
        if (std::atoi(argv[i]) == k + 1) return true;
    }
    return cases == 0;
}

// The four fast runs of a case, alternating, so that both choices see the same spells of the
// machine: one thread and all cores, accurate and series.
std::vector<Measurement> fastRuns(const Case& c) {
    return measureAlternating(c, c.points,
                              {{1, false, "accurate"},
                               {1, false, "series"},
                               {0, false, "accurate"},
                               {0, false, "series"}});
}

// --fast: the fast path's times alone, for comparing two builds side by side.
void printFastTimes(int argc, char** argv) {
    std::printf("%-22s %-8s %8s %8s %12s\n", "case", "bessel", "fast1", "fastN", "evals fast");
    for (size_t k = 0; k < std::size(kCases); ++k) {
        if (!chosen(static_cast<int>(k), argc, argv)) continue;
        const std::vector<Measurement> fast = fastRuns(kCases[k]);
        for (size_t choice = 0; choice < 2; ++choice)
            std::printf("%-22s %-8s %8.3f %8.3f %12llu\n", choice == 0 ? kCases[k].name : "",
                        choice == 0 ? "accurate" : "series", fast[choice].seconds,
                        fast[choice + 2].seconds,
                        static_cast<unsigned long long>(fast[choice].evaluations));
    }
}

}  // namespace

// Runs every case, or the cases whose numbers are given as arguments ("run_benchmark 2 4");
// "--fast" prints the fast path's times alone.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf(
        "emforce run benchmark, %u cores; times in seconds (short runs: the fastest of up to ten, "
        "the compared runs alternating)\n\n",
        cores);
    if (std::any_of(argv + 1, argv + argc,
                    [](const char* a) { return std::string(a) == "--fast"; })) {
        printFastTimes(argc, argv);
        return 0;
    }
    std::printf("%-22s %-8s %8s %8s %8s | %8s %8s | %8s %8s | %9s | %8s | %11s %11s %6s\n", "case",
                "bessel", "literal1", "fast1", "fastN", "lit/fast", "1/N", "fastN vs", "points",
                "max diff", "fast1 vs", "evals fast", "evals least", "ratio");
    std::printf("%-22s %-8s %8s %8s %8s | %8s %8s | %8s %8s | %9s | %8s | %11s %11s %6s\n", "", "",
                "", "", "", "(same pts)", "", "lit1", "literal", "", "series", "(run)", "(run)",
                "");
    for (size_t k = 0; k < std::size(kCases); ++k) {
        const Case& c = kCases[k];
        if (!chosen(static_cast<int>(k), argc, argv)) continue;
        const std::vector<Measurement> fast = fastRuns(c);
        for (int choice = 0; choice < 2; ++choice) {
            const char* functions = choice == 0 ? "accurate" : "series";
            const Measurement& fastOne = fast[static_cast<size_t>(choice)];
            const Measurement& fastAll = fast[static_cast<size_t>(choice) + 2];
            const bool reduced = c.literalPoints != c.points;
            const Measurement literal = measure(c, c.literalPoints, {1, true, functions});
            const Measurement fastSame =
                reduced ? measure(c, c.literalPoints, {1, false, functions}) : fastOne;
            const std::uint64_t least = leastEvaluations(c, functions);
            const double litOverFast = literal.seconds / fastSame.seconds;
            const double oneOverAll = fastOne.seconds / fastAll.seconds;
            const double diff = std::max(largestDifference(literal.values, fastSame.values),
                                         largestDifference(fastOne.values, fastAll.values));
            std::printf(
                "%-22s %-8s %8.3f %8.3f %8.3f | %8.1f %8.2f | %8.1f %8d | %9.1e | %8.2f | %11llu "
                "%11llu %6.3f\n",
                choice == 0 ? c.name : "", functions, literal.seconds, fastOne.seconds,
                fastAll.seconds, litOverFast, oneOverAll, litOverFast * oneOverAll, c.literalPoints,
                diff, fastOne.seconds / fast[1].seconds,
                static_cast<unsigned long long>(fastOne.evaluations),
                static_cast<unsigned long long>(least),
                least == 0 ? 0.0
                           : static_cast<double>(fastOne.evaluations) / static_cast<double>(least));
        }
    }
    std::printf(
        "\nliteral1: the literal path (every field solved afresh at every point, Gamma per series "
        "term) on one\n"
        "thread, on the points of the column 'points literal' (-1: the tabled point and the "
        "residual only,\n"
        "where the whole curve would take hours); fast1 / fastN: the fast path (all checked curves "
        "of a point\n"
        "from one field solution, points shared among threads) on one thread / all cores over the "
        "whole case.\n"
        "lit/fast compares the two paths on the literal's points; 'fastN vs lit1' is the speed-up "
        "of "
        "the whole\n"
        "case on all cores over the literal path on one thread (lit/fast x 1/N).\n"
        "max diff: the largest relative difference of any shown number between the paths and "
        "thread counts.\n"
        "fast1 vs series: the one-thread fast time of the row's Bessel functions over that of the "
        "series (both\n"
        "measured alternating).\n"
        "evals fast: the Bessel evaluations of the whole fast run; least: the distinct (function, "
        "p, nu, z) of\n"
        "that run, the least a run needs; ratio: fast / least.\n");
    return 0;
}
