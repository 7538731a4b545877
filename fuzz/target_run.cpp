// Fuzz target: calculation runs and MMF chart redraws over input records built from the bytes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fuzz_support.hpp"
#include "run/calculation_run.hpp"
#include "run/mmf_chart.hpp"
#include "model/number_format.hpp"
#include "model/sample_sets.hpp"
#include "model/spectrum.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce::fuzz {

namespace {

// Texts that reach the edges of the model: zeros, the ends of the double range, angles at the
// poles of the sphere, and texts that do not convert.
constexpr std::array<std::string_view, 28> kEdgeTexts = {"0",
                                                         "-0",
                                                         "1",
                                                         "-1",
                                                         "2",
                                                         "0,5",
                                                         "1e300",
                                                         "-1e300",
                                                         "1e-300",
                                                         "-1e-300",
                                                         "1,7e308",
                                                         "4,9e-324",
                                                         "1e-12",
                                                         "1e12",
                                                         "1e-7",
                                                         "3,141592653589793",
                                                         "3,14159265358979",
                                                         "1,5707963267949",
                                                         "1e-9",
                                                         "6,283185307179586",
                                                         "",
                                                         "abc",
                                                         "1.5",
                                                         "  7,0e6 ",
                                                         "1e999",
                                                         "-50",
                                                         "50",
                                                         "25"};

constexpr std::array<double, 10> kScales = {0,   -1, 1e-6,   1e6,   1 + 1e-12,
                                            0.5, 2,  1e-300, 1e300, 1 - 1e-12};

// Every text cell of the record that a reading converts.
std::vector<std::string*> cells(InputRecord& r) {
    std::vector<std::string*> all;
    for (int row = 0; row < kParameterRows; ++row) all.push_back(&r.value(row));
    for (size_t row : {1, 2})
        for (size_t column : {1, 2}) all.push_back(&r.reluctivityTable[row][column]);
    for (std::string* s :
         {&r.ni12dGap, &r.ni21dGap, &r.minSpeed, &r.maxSpeed, &r.besselAccuracy, &r.besselLimit})
        all.push_back(s);
    return all;
}

std::string realText(double v) { return std::isfinite(v) ? formatGeneral(v) : "1e309"; }

// A new text for a cell: an edge text, a scaled copy, any double, a copy of another cell or
// a few bytes.
std::string cellText(FuzzInput& in, InputRecord& r, const std::string& current) {
    switch (in.pick(6)) {
        case 0:
        case 1:
            return std::string(kEdgeTexts[static_cast<size_t>(in.pick(kEdgeTexts.size()))]);
        case 2: {
            const double scale = kScales[static_cast<size_t>(in.pick(kScales.size()))];
            try {
                return realText(toReal(current) * scale);
            } catch (const CalcError&) {
                return current;
            }
        }
        case 3:
            return realText(in.rawReal());
        case 4: {
            const std::vector<std::string*> all = cells(r);
            return *all[static_cast<size_t>(in.pick(static_cast<int>(all.size())))];
        }
        default: {
            std::string t = in.text(12);
            std::replace(t.begin(), t.end(), '\0', ' ');  // a message would end at a zero byte
            return t;
        }
    }
}

template <size_t N>
std::string listOrEdge(FuzzInput& in, const std::array<std::string_view, N>& items, InputRecord& r,
                       const std::string& current) {
    const int choice = in.pick(static_cast<int>(N) + 3);
    if (choice < static_cast<int>(N)) return std::string(items[static_cast<size_t>(choice)]);
    if (choice == static_cast<int>(N)) return current;
    return cellText(in, r, current);
}

constexpr std::array<std::string_view, 9> kPointTexts = {"-3", "0",      "1",          "2", "3",
                                                         "4",  "100001", "2147483647", "10"};

// The choices of a run beside the record.
struct RunSetup {
    bool mmfChart = false;
    MmfChartOptions mmf;
    RunOptions options;
    bool answerYes = false;
};

InputRecord buildRecord(FuzzInput& in, RunSetup& setup) {
    InputRecord r = startupRecord();
    if (const int set = in.pick(kSampleSets.size() + 1); set < static_cast<int>(kSampleSets.size()))
        applySampleSet(r, kSampleSets[static_cast<size_t>(set)]);
    r.geometry = static_cast<Geometry>(in.pick(3));
    r.induction = in.pick(4) != 0;
    r.windingPattern = in.pick(16) - 1;  // -1 and 14 are no patterns
    r.domain = std::min(in.pick(6), 5);  // 5 is no domain
    // Random curves, or the groups whose statistics a run shows.
    switch (in.pick(4)) {
        case 0:
            r.curves.fill(true);
            break;
        case 1:
            r.curves = {true, true, true, true, true, false, false, false, false, false};
            break;
        case 2:
            r.curves = {false, false, false, false, false, true, true, true, false, false};
            break;
        default:
            for (bool& curve : r.curves) curve = in.pick(4) == 0;
    }
    r.integrationMethod = listOrEdge(in, kIntegrationMethodItems, r, r.integrationMethod);
    r.besselAccuracy = listOrEdge(in, kBesselAccuracyItems, r, r.besselAccuracy);
    r.besselLimit = listOrEdge(in, kBesselLimitItems, r, r.besselLimit);
    r.besselFunctions = listOrEdge(in, kBesselFunctionItems, r, r.besselFunctions);
    if (in.pick(4) == 0)
        r.highestHarmonic = std::to_string(in.pick(41) - 20);
    else
        r.highestHarmonic = listOrEdge(in, kHighestHarmonicItems, r, r.highestHarmonic);
    r.pointsPerCurve = listOrEdge(in, kPointTexts, r, r.pointsPerCurve);
    for (int edits = in.pick(8); edits > 0; --edits) {
        const std::vector<std::string*> all = cells(r);
        std::string& cell = *all[static_cast<size_t>(in.pick(static_cast<int>(all.size())))];
        cell = cellText(in, r, cell);
    }
    setup.mmfChart = in.pick(8) == 0;
    setup.mmf = {in.flag(), in.flag(), in.flag(), in.flag(), in.flag()};
    setup.options.threads = std::array{1, 1, 2, 3}[static_cast<size_t>(in.pick(4))];
    setup.options.literal = in.pick(8) == 0;
    r.formulation = listOrEdge(in, kFormulationItems, r, r.formulation);
    setup.answerYes = in.pick(4) == 0;
    return r;
}

// Integrand calls of one integral by the method of the text (Monte Carlo at its cap).
long long nodes(const std::string& method, bool overX) {
    switch (itemIndex(kIntegrationMethodItems, method)) {
        case 0:
            return overX ? 225 : 60;
        case 1:
        case 7:
            return 5;
        case 2:
        case 8:
            return 6;
        case 3:
        case 9:
            return 7;
        case 4:
            return 8;
        case 5:
            return 10;
        case 6:
            return 15;
        case 10:
            return 10000;
        default:
            return 0;  // refused by the reading
    }
}

template <class T>
std::optional<T> converted(T (*convert)(std::string_view), const std::string& text) {
    try {
        return convert(text);
    } catch (const CalcError&) {
        return std::nullopt;
    }
}

// A bound on the field solutions a run of the record makes: evaluator calls times harmonics
// times the nodes of the polar-angle and layer integrals.
long long runCost(const InputRecord& r) {
    const int highest = converted<int>(toInteger, r.highestHarmonic).value_or(0);
    const int points = converted<int>(toInteger, r.pointsPerCurve).value_or(10);
    if (highest > kMaxHighestHarmonic || points > kMaxPointsPerCurve)
        return 0;  // refused by the reading
    const HarmonicRange range = harmonicRange(highest);
    const long long harmonics = std::clamp(range.last - range.first + 1, 0, kHarmonicCount);
    const long long curves = std::count(r.curves.begin(), r.curves.end(), true);
    const long long calls = 5 + curves * (std::max(points, -1) + 1);
    const long long perCall =
        harmonics * (r.geometry == Geometry::Spherical ? nodes(r.integrationMethod, false) : 1) *
        (r.induction ? nodes(r.integrationMethod, true) : 1);
    // The Bessel series of a layer run longer the larger the limit of their argument.
    const bool bessel = r.induction && r.geometry != Geometry::Linear;
    const double limit = converted<double>(toReal, r.besselLimit).value_or(15);
    const long long terms = bessel && std::isfinite(limit)
                                ? static_cast<long long>(std::clamp(limit, 15.0, 375.0) / 15)
                                : 1;
    return calls * perCall * terms;
}

// Keeps a run within the fuzzer's time: fewer points first, then, in the order the bytes
// choose, no curves, a short rule or the fundamental alone.
void boundWork(InputRecord& r, bool curvesLast) {
    constexpr long long kBudget = 3000;
    if (runCost(r) > kBudget && converted<int>(toInteger, r.pointsPerCurve).value_or(10) > 2)
        r.pointsPerCurve = "2";
    if (!curvesLast && runCost(r) > kBudget) r.curves.fill(false);
    if (runCost(r) > kBudget) r.integrationMethod = kIntegrationMethodItems[1];
    if (runCost(r) > kBudget) r.highestHarmonic = "1";
    if (runCost(r) > kBudget) r.curves.fill(false);
}

// Everything a run writes, and checks on it as it arrives.
struct CheckingObserver : RunObserver {
    std::map<int, std::vector<std::pair<double, double>>> series;
    std::vector<std::string> texts;
    std::string abandoned;
    int questions = 0;
    bool answer = false;

    static void checkText(const std::string& text) {
        check(text.find("INF") == std::string::npos && text.find("NAN") == std::string::npos,
              "shown: " + text);
    }
    void clearReport() override {}
    void appendReportLine(const std::string& line) override { checkText(line); }
    void clearHarmonics() override {}
    void appendHarmonicLine(const std::string& line) override { checkText(line); }
    void setProgressText(const std::string& text) override { checkText(text); }
    void setTimeText(const std::string&) override {}
    void clearSeries(int slot) override { series[slot].clear(); }
    void appendPoint(int slot, double x, double y) override {
        check(std::isfinite(x) && std::isfinite(y), "a chart point that is not finite");
        series[slot].emplace_back(x, y);
    }
    void curveFinished(int) override {}
    void setField(ResultField, const std::string& text) override { checkText(text); }
    bool ask(const std::string& question) override {
        check(question == kLayerQuestion, "question: " + question);
        ++questions;
        return answer;
    }
    void runAbandoned(const std::string& message) override { abandoned = message; }
};

// The texts a reading converts, one of which a conversion message must name.
bool namesAText(InputRecord& r, const std::string& argument) {
    const std::vector<std::string*> all = cells(r);
    return argument == r.highestHarmonic || argument == r.pointsPerCurve ||
           std::any_of(all.begin(), all.end(),
                       [&](const std::string* s) { return *s == argument; });
}

// A message of an abandoned run or redraw: one of the program's, naming what it refused.
std::string checkMessage(const std::string& message, InputRecord& r) {
    std::string argument;
    const auto kind = messageKind(message, &argument);
    check(kind.has_value(), "message: " + message);
    check(!kind->starts_with("cannot") && *kind != "item index outside its list" &&
              *kind != "cancelled",
          "message of another action: " + message);
    if (*kind == "not a real" || *kind == "not an integer")
        check(namesAText(r, argument), "the message names no text of the record: " + message);
    if (*kind == "not a listed method") check(argument == r.integrationMethod, message);
    if (*kind == "harmonic beyond the spectrum") check(argument == r.highestHarmonic, message);
    if (*kind == "too many points") check(argument == r.pointsPerCurve, message);
    return std::string(*kind);
}

void finite(const std::optional<double>& v, const char* what) {
    if (v) check(std::isfinite(*v), std::string(what) + " is not finite");
}

std::string checkRun(Model& model, InputRecord& r, const RunSetup& setup,
                     CheckingObserver& observer) {
    const RunOutcome outcome = runCalculation(model, r, observer, setup.options);
    if (outcome.tabled) {
        const TabledPoint& t = *outcome.tabled;
        for (double v : {t.maxwell, t.lorentz, t.material, t.impulse})
            check(std::isfinite(v), "tabled value");
        finite(t.ratio, "the balance ratio");
    }
    const RunStatistics& s = outcome.statistics;
    for (const auto* v : {&s.avgBalance, &s.maxBalance, &s.avgCoenergy, &s.avgPower})
        finite(*v, "a statistic");
    finite(outcome.odeError, "the residual");
    check(outcome.message == observer.abandoned, "outcome and observer disagree");
    // Every point shown is kept in its result vector, complete run or not.
    for (int slot = 0; slot < 8; ++slot) {
        std::vector<double> shown;
        for (const auto& point : observer.series[slot]) shown.push_back(point.second);
        check(shown == *model.results.forSlot(slot),
              "result vector " + std::to_string(slot) + " differs from its curve");
    }
    if (!outcome.complete) return checkMessage(outcome.message, r);
    // A complete run drew every checked curve whole.
    check(outcome.message.empty() && outcome.tabled && outcome.tabled->ratio,
          "complete run without its report");
    const int points = model.data.params.pointsPerCurve;
    const int slots = r.induction ? kCurveSlots : 5;
    for (int slot = 0; slot < slots; ++slot) {
        if (!r.curves[static_cast<size_t>(slot)]) continue;
        const size_t want = points < 0 ? 0 : static_cast<size_t>(points) + 1;
        check(observer.series[slot].size() == want,
              "curve " + std::to_string(slot) + " lost points");
        if (const auto* results = model.results.forSlot(slot))
            check(results->size() == want,
                  "result vector " + std::to_string(slot) + " lost points");
    }
    return "complete";
}

std::string checkMmfChart(Model& model, InputRecord& r, const RunSetup& setup,
                          CheckingObserver& observer) {
    const QuestionCallback ask = [&observer](const std::string& q) { return observer.ask(q); };
    auto checkPoints = [](const MmfChart& chart) {
        for (const auto& series : chart.series)
            for (const ChartPoint& p : series)
                check(std::isfinite(p.x) && std::isfinite(p.y), "MMF chart point");
    };
    try {
        checkPoints(computeMmfChart(model, r, setup.mmf, ask));
        return "MMF chart complete";
    } catch (const MmfChartError& e) {
        checkPoints(e.partial());
        return "MMF chart: " + checkMessage(e.what(), r);
    }
}

// Outcome counts of this process, written at exit to the file that EMFORCE_FUZZ_STATS names.
class OutcomeCounts {
public:
    static OutcomeCounts& instance() {
        static OutcomeCounts* counts = [] {
            auto* c = new OutcomeCounts;  // left alive for the exit handler
            if (std::getenv("EMFORCE_FUZZ_STATS") != nullptr)
                std::atexit([] { instance().write(); });
            return c;
        }();
        return *counts;
    }

    void add(const std::string& outcome) {
        const std::lock_guard lock(m_mutex);
        ++m_counts[outcome];
    }

private:
    void write() {
        std::FILE* f = std::fopen(std::getenv("EMFORCE_FUZZ_STATS"), "w");
        if (f == nullptr) return;
        for (const auto& [outcome, count] : m_counts)
            std::fprintf(f, "%lld\t%s\n", count, outcome.c_str());
        std::fclose(f);
    }

    std::mutex m_mutex;
    std::map<std::string, long long> m_counts;
};

// The record's choices on standard error, for looking into an input that fails or is slow.
void describe(const InputRecord& r, const RunSetup& setup) {
    std::string text =
        "geometry " + std::to_string(static_cast<int>(r.geometry)) +
        (r.induction ? " induction" : " synchronous") + (setup.mmfChart ? " MMF chart" : " run") +
        ", pattern " + std::to_string(r.windingPattern) + ", domain " + std::to_string(r.domain) +
        ", method '" + r.integrationMethod + "', accuracy '" + r.besselAccuracy + "', limit '" +
        r.besselLimit + "', functions '" + r.besselFunctions + "', formulation '" + r.formulation + "', harmonic '" + r.highestHarmonic + "', points '" + r.pointsPerCurve +
        "', threads " + std::to_string(setup.options.threads) + ", curves";
    for (bool c : r.curves) text += c ? " 1" : " 0";
    text += "\n";
    for (int row = 0; row < kParameterRows; ++row)
        text += "  " + std::to_string(row) + ": '" + r.value(row) + "'\n";
    text += "  ni12 '" + r.reluctivityTable[1][1] + "' '" + r.reluctivityTable[1][2] + "', ni21 '" +
            r.reluctivityTable[2][1] + "' '" + r.reluctivityTable[2][2] + "', gap '" + r.ni12dGap +
            "' '" + r.ni21dGap + "', speeds '" + r.minSpeed + "' '" + r.maxSpeed + "'\n";
    std::fputs(text.c_str(), stderr);
}

}  // namespace

int fuzzRun(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const SeparatorScope separator(in.flag() ? '.' : ',');
    RunSetup setup;
    InputRecord record = buildRecord(in, setup);
    boundWork(record, in.flag());
    if (std::getenv("EMFORCE_FUZZ_DESCRIBE") != nullptr) describe(record, setup);
    const auto model = std::make_unique<Model>();
    CheckingObserver observer;
    observer.answer = setup.answerYes;
    std::string outcome;
    try {
        outcome = setup.mmfChart ? checkMmfChart(*model, record, setup, observer)
                                 : checkRun(*model, record, setup, observer);
    } catch (const ExitRequested&) {
        check(observer.questions > 0 && observer.answer,
              "the program ended without being asked to");
        outcome = "ended by the layer question";
    }
    OutcomeCounts::instance().add(outcome);
    return 0;
}

}  // namespace emforce::fuzz
