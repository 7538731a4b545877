// The calculation run: readings, harmonic list, report, curves, statistics and failure semantics.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"
#include "recording_observer.hpp"
#include "run/calculation_run.hpp"

namespace emforce {
namespace {

class CalculationRun : public ::testing::Test {
protected:
    RunOutcome run() { return runCalculation(*model, record, observer, options); }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    InputRecord record = startupRecord();
    RecordingObserver observer;
    RunOptions options;
};

// The numbers of the series functions, which the start-up data keep well inside their domain.
TEST_F(CalculationRun, StartUpRunIsPinned) {
    record.besselFunctions = "series";
    const RunOutcome outcome = run();
    ASSERT_TRUE(outcome.complete) << outcome.message;
    EXPECT_EQ(observer.harmonics,
              (std::vector<std::string>{" h = -1     Ah = 0,0", " h = 1     Ah = 465,5"}));
    EXPECT_EQ(
        observer.report,
        (std::vector<std::string>{
            "------  for data from table -> -> -> ", "  ", "------  Maxwell's method  ------",
            "6,756296882E-001", "-------  Lorentz method   ------", "6,756296882E-001",
            "-----  Material component  -----", "0,000000000E+000",
            "-----  Impulse  component  -----", "0,000000000E+000", "  ",
            "Force / Torque balance ratio", "1,0000000000", "--------------------------------"}));
    const std::vector<double> maxwell = {0.15028212777639277,
                                         0.16663283794377887,
                                         0.18701345605365163,
                                         0.21309764441487314,
                                         0.24762014291093268,
                                         0.29535516518203847,
                                         0.3653736859209869,
                                         0.4768768186090008,
                                         0.6756296882223107,
                                         1.0509685313915833,
                                         0};
    const std::vector<double> lorentz = {0.15028212789007325,
                                         0.16663283802126572,
                                         0.1870134560999969,
                                         0.21309764444661414,
                                         0.24762014293299234,
                                         0.2953551652002114,
                                         0.36537368593717023,
                                         0.47687681862456704,
                                         0.6756296882388112,
                                         1.0509685314113923,
                                         0};
    ASSERT_EQ(observer.series[0].size(), 11u);
    ASSERT_EQ(observer.series[1].size(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_DOUBLE_EQ(observer.series[0][i].first, 5.0 * static_cast<double>(i));
        EXPECT_NEAR(observer.series[0][i].second, maxwell[i], 1e-13 * maxwell[i]);
        EXPECT_NEAR(observer.series[1][i].second, lorentz[i], 1e-13 * lorentz[i]);
    }
    EXPECT_TRUE(observer.series[2].empty());
    EXPECT_EQ(observer.fields[ResultField::Lambda], "  lambda =  1,0914810 + i( 0,0000000 )");
    EXPECT_EQ(observer.fields[ResultField::BetaR], "     modul( beta times R ) =  3,1");
    EXPECT_EQ(observer.fields[ResultField::OdeResidual], "1,51E-004");
    EXPECT_EQ(observer.fields[ResultField::AverageBalance].rfind("undefined", 0), 0u);
    EXPECT_EQ(observer.times.front().rfind("Start Time  =  ", 0), 0u);
    EXPECT_EQ(observer.times.back().rfind("Calculation Time (including chart drawing) = ", 0), 0u);
    EXPECT_EQ(model->induction.curveY(),
              model->results.of(CurveSlot::Lorentz));  // the last curve drawn
    EXPECT_EQ(observer.finished, (std::vector<int>{0, 1}));
}

// The accurate functions give the start-up run the same report to its ten digits, and satisfy
// the layer equation to rounding.
TEST_F(CalculationRun, StartUpRunWithTheAccurateFunctions) {
    const RunOutcome accurate = run();
    ASSERT_TRUE(accurate.complete) << accurate.message;
    const RecordingObserver reference = observer;
    record.besselFunctions = "series";
    observer = {};
    ASSERT_TRUE(run().complete);
    EXPECT_EQ(reference.report, observer.report);
    EXPECT_EQ(reference.fields.at(ResultField::Lambda), observer.fields.at(ResultField::Lambda));
    ASSERT_TRUE(accurate.odeError);
    EXPECT_LT(*accurate.odeError, 1e-13);
}

TEST_F(CalculationRun, AllCurvesGiveEveryStatistic) {
    record.curves.fill(true);
    const RunOutcome outcome = run();
    ASSERT_TRUE(outcome.complete) << outcome.message;
    for (int slot = 0; slot < kCurveSlots; ++slot)
        EXPECT_EQ(observer.series[slot].size(), 11u) << slot;
    ASSERT_TRUE(outcome.statistics.avgBalance && outcome.statistics.avgPower);
    EXPECT_LT(*outcome.statistics.maxBalance, 1e-6);
    EXPECT_LT(*outcome.statistics.avgCoenergy, 1e-6);
    EXPECT_LT(*outcome.statistics.avgPower, 1e-6);
    EXPECT_EQ(observer.fields[ResultField::AverageBalance].find("E-"), 8u);
    EXPECT_EQ(observer.fields[ResultField::PowerFixed].size(),
              std::string("0,00000000000000000").size());
}

// The fast path (all checked curves of a point together, points shared among threads) writes
// exactly what the literal path writes on one thread, call by call and bit for bit: report,
// curves in slot order with their points in order, progress texts, display texts after every
// curve, statistics, residual, and a fault in one curve with every curve before it whole.
TEST_F(CalculationRun, FastRunsWriteTheLiteralOneThreadRun) {
    struct Case {
        int set;
        Geometry geometry;
        int method;
        int domain;
        std::vector<std::pair<int, const char*>> cells;
    };
    const Case cases[] = {
        {16, Geometry::Spherical, 1, 4, {}},    // anisotropy and an impulse field
        {13, Geometry::Cylindrical, 0, 0, {}},  // Simpson, the surface x swept through the gap
        {5, Geometry::Linear, 6, 2, {}},        // complex off-diagonal terms, layer width swept
        {1, Geometry::Spherical, 7, 3, {{5, "0"}}},    // θ = 0: the accuracy curves fault
        {1, Geometry::Spherical, 4, 4, {{15, "45"}}},  // the speed reaches the synchronous one
    };
    for (const Case& c : cases) {
        for (const char* functions : {"accurate", "series"}) {
            const auto runWith = [&](int threads, bool literal) {
                model = std::make_unique<Model>();
                record = startupRecord();
                applySampleSet(record, kSampleSets[static_cast<size_t>(c.set)]);
                for (const auto& [row, text] : c.cells) record.value(row) = text;
                record.geometry = c.geometry;
                record.integrationMethod = kIntegrationMethodItems[static_cast<size_t>(c.method)];
                record.domain = c.domain;
                record.curves.fill(true);
                record.highestHarmonic = "5";
                record.pointsPerCurve = "4";
                record.maxSpeed = "50";
                record.besselFunctions = functions;
                options.threads = threads;
                options.literal = literal;
                observer = {};
                const RunOutcome outcome = run();
                return std::pair{outcome.message, observer.events};
            };
            const auto literal = runWith(1, true);
            for (int threads : {1, 3}) {
                const auto fast = runWith(threads, false);
                EXPECT_EQ(fast.first, literal.first) << c.set << " " << functions;
                EXPECT_EQ(fast.second, literal.second)
                    << c.set << " " << functions << " " << threads;
            }
        }
    }
}

// Orders in the hundreds near the poles of the sphere, and a large copper rotor at the highest
// harmonic 17: every intermediate of the field solution stays in range, so the runs complete.
TEST_F(CalculationRun, LargeOrdersAndArgumentsCompleteWithoutAFault) {
    struct Case {
        int set;
        Geometry geometry;
        std::vector<std::pair<int, const char*>> cells;
    };
    const std::vector<std::pair<int, const char*>> copper = {{0, "0,2"}, {1, "0,2"}, {8, "5,8e7"}};
    for (const Case& c : {Case{6, Geometry::Spherical, {}}, Case{1, Geometry::Cylindrical, copper},
                          Case{1, Geometry::Spherical, copper}}) {
        record = startupRecord();
        applySampleSet(record, kSampleSets[static_cast<size_t>(c.set)]);
        for (const auto& [row, text] : c.cells) record.value(row) = text;
        record.geometry = c.geometry;
        record.highestHarmonic = "17";
        record.pointsPerCurve = "2";
        const RunOutcome outcome = run();
        EXPECT_TRUE(outcome.complete) << c.set << " " << outcome.message;
        ASSERT_TRUE(outcome.tabled && outcome.tabled->ratio);
        EXPECT_NEAR(*outcome.tabled->ratio, 1.0, 1e-6) << c.set;
    }
}

TEST_F(CalculationRun, TypedXCellServesTheReportOnly) {
    record.geometry = Geometry::Linear;
    record.value(0) = "0,0505";  // inside the gap, above R = 0.05
    record.curves = {true};
    record.domain = 0;
    ASSERT_TRUE(run().complete);
    EXPECT_EQ(record.value(0), record.value(1));
    EXPECT_DOUBLE_EQ(observer.series[0].front().first, 0.05);  // the curve starts at R
    const std::string typedReport = observer.report[3];
    record.value(0) = "0,05";
    ASSERT_TRUE(run().complete);
    EXPECT_EQ(observer.report[3], typedReport);  // isotropic gap: the stress is the same across it
}

TEST_F(CalculationRun, SynchronousRunSkipsInductionOutputs) {
    applySampleSet(record, kSampleSets[9]);
    record.induction = false;
    record.curves.fill(true);
    observer.fields[ResultField::OdeResidual] = "previous";
    const RunOutcome outcome = run();
    ASSERT_TRUE(outcome.complete) << outcome.message;
    EXPECT_EQ(observer.report[7], "0,000000000E+000");
    EXPECT_EQ(observer.report[9], "0,000000000E+000");
    for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(observer.series[slot].size(), 11u);
    for (int slot = 5; slot < kCurveSlots; ++slot) EXPECT_TRUE(observer.series[slot].empty());
    EXPECT_EQ(observer.fields[ResultField::OdeResidual], "previous");
    EXPECT_EQ(observer.fields[ResultField::AverageBalance], "");
    EXPECT_FALSE(outcome.statistics.avgBalance);
    // The load angle runs from -pi/kp to pi/kp.
    EXPECT_DOUBLE_EQ(observer.series[0].front().first, -3.141592653589793 / 3);
}

TEST_F(CalculationRun, ZeroMaxwellStopsAtTheRatioKeepingTwelveLines) {
    record.value(15) = "50";  // speed = synchronous speed: every harmonic skipped
    const RunOutcome outcome = run();
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(outcome.message, kInvalidOperation);  // 0 / 0
    EXPECT_EQ(observer.abandoned, kInvalidOperation);
    EXPECT_EQ(observer.report.size(), 12u);
    EXPECT_TRUE(observer.series[0].empty());
}

TEST_F(CalculationRun, ConversionErrorAbandonsKeepingWhatWasWritten) {
    record.value(8) = "5.0.e6";
    const RunOutcome outcome = run();
    EXPECT_EQ(outcome.message, "'5.0.e6' is not a valid floating point value");
    EXPECT_EQ(observer.times.size(), 1u);  // the start time stays
    EXPECT_TRUE(observer.report.empty());
}

TEST_F(CalculationRun, CalculationTimeAcrossMidnight) {
    using namespace std::chrono;
    const auto late = sys_days{2026y / 12 / 10} + 23h + 59min + 58s;
    int calls = 0;
    options.now = [&] { return late + milliseconds(5480 * calls++); };
    ASSERT_TRUE(run().complete);
    // To the tenth of a second, truncated.
    EXPECT_EQ(observer.times.back(), "Calculation Time (including chart drawing) = 00:00:05,4");
}

TEST_F(CalculationRun, CurvesWithReversedRangeAndOddCounts) {
    record.minSpeed = "50";
    record.maxSpeed = "0";
    record.pointsPerCurve = "15";
    ASSERT_TRUE(run().complete);
    EXPECT_EQ(model->results.of(CurveSlot::Maxwell).size(), 16u);
    EXPECT_DOUBLE_EQ(model->induction.curveX().front(), 50.0);
    EXPECT_EQ(observer.progress.size(), 22u);  // 11 texts per curve
    // A count below 1 is refused by the reading, before the run writes anything.
    for (const char* points : {"-3", "0"}) {
        record.pointsPerCurve = points;
        observer = {};
        EXPECT_EQ(run().message, std::string("Impossible input: Points per curve = ") + points +
                                     " (the point count must be at least 1)");
        EXPECT_TRUE(observer.report.empty());
    }
}

TEST_F(CalculationRun, LayerQuestionAnsweredYesEndsTheProgram) {
    record.value(3) = "0,06";  // a > R
    observer.answer = true;
    EXPECT_THROW(run(), ExitRequested);
    EXPECT_EQ(observer.questions.size(), 1u);
}

}  // namespace
}  // namespace emforce
