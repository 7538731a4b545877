// Swept curves: domain ends, progress texts, point values and the failure cases of the count.
#include <gtest/gtest.h>

#include <numbers>

#include "numerics/fp_guard.hpp"
#include "recording_observer.hpp"
#include "run/sweep.hpp"

namespace emforce {
namespace {

struct Sweep : ::testing::Test {
    void sweep(int n, Domain domain, DomainEnds ends, int slot = 0) {
        sweepWith(evaluator, 0, n, domain, ends, slot);
    }
    // One curve of `e`, with `workers` working copies of it.
    void sweepWith(const Evaluator& e, int workers, int n, Domain domain, DomainEnds ends,
                   int slot = 0, const std::atomic<bool>* cancel = nullptr) {
        clearFpFaults();
        const SweepEvaluators evaluators{eachAlone({e}),
                                         std::vector<PointEvaluator>(workers, eachAlone({e}))};
        CurveSweep sweep(1, n, domain, ends, evaluators, args, cancel);
        sweep.show(0, slot, {x, y, &results, {}}, observer);
    }
    // y = 1000·kp + 100·x + 10·g + a + z/10 + s/100 shows which argument the sweep replaced.
    Evaluator evaluator = [](const double& kp, const double& x, const double& g, const double& a,
                             const double& z, const double& s) {
        return 1000 * kp + 100 * x + 10 * g + a + z / 10 + s / 100;
    };
    EvaluatorArgs args{1, 2, 3, 4, 5, 6};
    std::vector<double> x, y, results;
    RecordingObserver observer;
};

TEST_F(Sweep, SpeedDomainGivesNPlusOneEvenPoints) {
    sweep(10, Domain::SpeedOrAngle, {0, 50});
    ASSERT_EQ(x.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_DOUBLE_EQ(x[static_cast<size_t>(i)], 5.0 * i);
        EXPECT_DOUBLE_EQ(y[static_cast<size_t>(i)], 1000 + 200 + 30 + 4 + 0.5 + 5.0 * i / 100);
    }
    EXPECT_EQ(results, y);
    EXPECT_EQ(observer.series[0].size(), 11u);
    EXPECT_EQ(observer.progress.size(), 11u);
    EXPECT_EQ(observer.progress.back(), "it has been done by now 100 % of serie no. 1");
    EXPECT_EQ(observer.started, (std::vector<std::pair<int, int>>{{0, 11}}));
}

TEST_F(Sweep, EachDomainReplacesItsOwnArgument) {
    sweep(1, Domain::Position, {7, 7});
    EXPECT_DOUBLE_EQ(y[0], 1000 + 700 + 30 + 4 + 0.5 + 0.06);
    y.clear();
    sweep(1, Domain::ThirdCoordinate, {7, 7});
    EXPECT_DOUBLE_EQ(y[0], 1000 + 200 + 30 + 4 + 0.7 + 0.06);
}

TEST_F(Sweep, ProgressTextsForFifteenPoints) {
    sweep(15, Domain::SpeedOrAngle, {0, 1}, 3);
    std::vector<std::string> expected;
    for (const char* p : {"0", "13", "20", "33", "40", "53", "60", "73", "80", "93", "100"})
        expected.push_back(std::string("it has been done by now ") + p + " % of serie no. 4");
    EXPECT_EQ(observer.progress, expected);
}

TEST_F(Sweep, ReversedRangeKeepsComputedOrder) {
    sweep(2, Domain::SpeedOrAngle, {50, 0});
    EXPECT_EQ(x, (std::vector<double>{50, 25, 0}));
}

TEST_F(Sweep, ZeroPointsIsAnInvalidOperationBeforeThefirstPoint) {
    try {
        sweep(0, Domain::SpeedOrAngle, {0, 50});
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kInvalidOperation);
    }
    EXPECT_TRUE(x.empty());
    EXPECT_TRUE(observer.series[0].empty());
}

TEST_F(Sweep, NegativeCountDrawsNothing) {
    sweep(-5, Domain::SpeedOrAngle, {0, 50});
    EXPECT_TRUE(x.empty());
    EXPECT_TRUE(observer.progress.empty());
}

TEST_F(Sweep, FaultingEvaluatorStopsAtThatPointKeepingEarlierOnes) {
    evaluator = [](const double&, const double&, const double&, const double&, const double&,
                   const double& s) { return 1.0 / (s - 5.0); };
    try {
        sweep(10, Domain::SpeedOrAngle, {0, 50});
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kDivisionByZero);
    }
    EXPECT_EQ(observer.series[0].size(), 1u);
    EXPECT_EQ(y.size(), 1u);
}

TEST_F(Sweep, CancelStopsBeforeTheNextPoint) {
    std::atomic<bool> cancel{true};
    EXPECT_THROW(sweepWith(evaluator, 0, 10, Domain::SpeedOrAngle, {0, 1}, 0, &cancel), CalcError);
    EXPECT_TRUE(x.empty());
}

// The cancel checks sit inside the evaluators (in their integrations): a request made during
// a point ends the curve there, on the calling thread or on a worker.
TEST_F(Sweep, CancelInsideAPointEndsTheCurve) {
    std::atomic<bool> cancel{false};
    const Evaluator longPoint = [&cancel](const double&, const double&, const double&,
                                          const double&, const double&, const double& s) {
        if (s == 4) cancel = true;
        throwIfCancelled();
        return s;
    };
    for (int workers : {0, 3}) {
        x.clear();
        y.clear();
        cancel = false;
        try {
            sweepWith(longPoint, workers, 10, Domain::SpeedOrAngle, {0, 10}, 0, &cancel);
            FAIL();
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), kCancelledMessage);
        }
        EXPECT_LE(y.size(), 4u) << workers;
    }
}

// A swept gap or layer width that is not positive ends the curve at that point with the message
// a reading gives, after the points before it.
TEST_F(Sweep, ImpossibleSweptWidthEndsTheCurveAtItsPoint) {
    const std::pair<Domain, const char*> cases[] = {
        {Domain::GapWidth,
         "Impossible input: gap width g [m] = 0 (the gap width must be greater than 0)"},
        {Domain::LayerWidth,
         "Impossible input: layer width a [m] = 0 (the layer width must be greater than 0)"}};
    for (const auto& [domain, message] : cases) {
        for (int workers : {0, 2}) {
            x.clear();
            y.clear();
            observer = {};
            try {
                sweepWith(evaluator, workers, 4, domain, {0.002, -0.002});
                FAIL();
            } catch (const CalcError& e) {
                EXPECT_STREQ(e.what(), message);
            }
            EXPECT_EQ(observer.series[0].size(), 2u) << workers;
        }
    }
}

TEST_F(Sweep, WorkersGiveTheOneByOneCurveInPointOrder) {
    sweep(37, Domain::SpeedOrAngle, {0, 50});
    const std::vector<double> expectedY = y;
    const std::vector<std::string> expectedProgress = observer.progress;
    for (int workers : {1, 2, 5}) {
        x.clear();
        y.clear();
        results.clear();
        observer = {};
        sweepWith(evaluator, workers, 37, Domain::SpeedOrAngle, {0, 50});
        EXPECT_EQ(y, expectedY) << workers;
        EXPECT_EQ(observer.progress, expectedProgress);
        ASSERT_EQ(observer.series[0].size(), 38u);
        for (size_t i = 0; i < 38; ++i) EXPECT_EQ(observer.series[0][i].second, expectedY[i]);
    }
}

TEST_F(Sweep, WorkersReportTheFirstFaultyPointInPointOrder) {
    // Points 7 and 3 fault; with three workers point 7 may well be known first.
    Evaluator faulty = [](const double&, const double&, const double&, const double&, const double&,
                          const double& s) { return (s == 3 || s == 7) ? 1.0 / (s - s) : s; };
    try {
        sweepWith(faulty, 3, 10, Domain::SpeedOrAngle, {0, 10});
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kDivisionByZero);
    }
    EXPECT_EQ(y, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(x.size(), 4u);
}

// Three curves of one sweep, y = (k + 1)·s for curve k; curve 1 faults at s = `faultAt`, and
// curve 2's points carry display numbers (λ = s). The calls are counted.
PointEvaluator threeCurves(std::atomic<int>& calls, double faultAt) {
    return [&calls, faultAt](const EvaluatorArgs& a) {
        ++calls;
        std::vector<PointValue> v = {{a.s, {}, std::nullopt},
                                     {2 * a.s, {}, std::nullopt},
                                     {3 * a.s, {}, SolveDisplay{a.s, 0.0}}};
        if (a.s == faultAt) v[1] = {0, kOverflow, SolveDisplay{-a.s, 0.0}};
        return v;
    };
}

TEST_F(Sweep, CurvesOfOneSweepShareEachPointAndShowOneAfterTheOther) {
    for (int workers : {0, 1, 3}) {
        std::atomic<int> calls{0};
        const PointEvaluator three = threeCurves(calls, -1);
        const SweepEvaluators evaluators{three, std::vector<PointEvaluator>(workers, three)};
        observer = {};
        std::vector<double> displays;
        {
            CurveSweep sweep(3, 10, Domain::SpeedOrAngle, {0, 10}, evaluators, args, nullptr);
            for (int k = 0; k < 3; ++k) {
                x.clear();
                y.clear();
                sweep.show(k, 2 * k,
                           {x, y, nullptr,
                            [&](const SolveDisplay& d) { displays.push_back(d.lambda.re()); }},
                           observer);
                ASSERT_EQ(y.size(), 11u);
                for (size_t i = 0; i <= 10; ++i)
                    EXPECT_EQ(y[i], (k + 1) * static_cast<double>(i)) << workers;
            }
        }
        EXPECT_EQ(calls, 11) << workers;
        EXPECT_EQ(observer.started, (std::vector<std::pair<int, int>>{{0, 11}, {2, 11}, {4, 11}}));
        EXPECT_EQ(observer.progress.size(), 33u);
        EXPECT_EQ(observer.progress.back(), "it has been done by now 100 % of serie no. 5");
        EXPECT_EQ(displays, (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }
}

// A fault ends its own curve at its point, after the curves before it were shown whole; the
// faulty point's display numbers are handed on before the curve ends.
TEST_F(Sweep, AFaultEndsItsCurveAfterTheCurvesBeforeIt) {
    for (int workers : {0, 2}) {
        std::atomic<int> calls{0};
        const PointEvaluator three = threeCurves(calls, 3);
        const SweepEvaluators evaluators{three, std::vector<PointEvaluator>(workers, three)};
        observer = {};
        y.clear();
        std::vector<double> displays;
        CurveSweep sweep(3, 10, Domain::SpeedOrAngle, {0, 10}, evaluators, args, nullptr);
        std::vector<double> cx, cy;
        sweep.show(0, 0, {cx, cy, nullptr, {}}, observer);
        try {
            sweep.show(
                1, 1,
                {x, y, &results, [&](const SolveDisplay& d) { displays.push_back(d.lambda.re()); }},
                observer);
            FAIL();
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), kOverflow);
        }
        EXPECT_EQ(observer.series[0].size(), 11u);
        EXPECT_EQ(y, (std::vector<double>{0, 2, 4}));
        EXPECT_EQ(observer.series[1].size(), 3u);
        EXPECT_EQ(displays, std::vector<double>{-3});
    }
}

TEST(DomainEnds, Table) {
    MotorParameters p;
    p.R = 0.05;
    p.kp = 2;
    p.minSpeed = 0;
    p.maxSpeed = 50;
    const auto check = [&](Domain d, bool induction, double from, double to) {
        const DomainEnds e = domainEnds(d, p, 0.001, 0.01, 1.0, induction);
        EXPECT_DOUBLE_EQ(e.from, from);
        EXPECT_DOUBLE_EQ(e.to, to);
    };
    check(Domain::Position, true, 0.05, 0.051);
    check(Domain::GapWidth, true, 0.001, 0.002);
    check(Domain::LayerWidth, true, 0.01, 0.0495);
    check(Domain::ThirdCoordinate, true, 0.1, 1.1);
    check(Domain::SpeedOrAngle, true, 0, 50);
    check(Domain::SpeedOrAngle, false, -std::numbers::pi / 2, std::numbers::pi / 2);

    // Chosen ends replace the automatic ones, one by one; the induction speed has its own.
    p.sweepFrom = 0.003;
    check(Domain::GapWidth, true, 0.003, 0.002);
    p.sweepTo = 0.004;
    check(Domain::GapWidth, true, 0.003, 0.004);
    check(Domain::SpeedOrAngle, false, 0.003, 0.004);
    check(Domain::SpeedOrAngle, true, 0, 50);
}

}  // namespace
}  // namespace emforce
