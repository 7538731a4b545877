// A run of a record holding a stack of regions: the one-layer model entered as a stack gives
// the record's tabled Maxwell torque and speed curve, and what a stack cannot run is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/seed_stack.hpp"
#include "recording_observer.hpp"
#include "run/calculation_run.hpp"

namespace emforce {
namespace {

// The start-up data with an air gap and no permittivity, which a stack holds, in a geometry.
InputRecord airGapRecord(Geometry geometry) {
    InputRecord record = startupRecord();
    record.geometry = geometry;
    record.value(9) = "0";                      // eps / eps0
    record.value(10) = record.value(11) = "1";  // the gap's ni1d, ni2d
    return record;
}

struct Ran {
    RunOutcome outcome;
    RecordingObserver observer;
    std::unique_ptr<Model> model = std::make_unique<Model>();
};

std::unique_ptr<Ran> ran(InputRecord record) {
    auto r = std::make_unique<Ran>();
    RunOptions options;
    options.threads = 1;
    r->outcome = runCalculation(*r->model, record, r->observer, options);
    return r;
}

TEST(StackRun, SeedModelAsAStackGivesTheRecordsMaxwellTorqueAndCurve) {
    for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
        InputRecord record = airGapRecord(geometry);
        const auto plain = ran(record);
        ASSERT_TRUE(plain->outcome.complete) << plain->outcome.message;
        EXPECT_FALSE(plain->outcome.regions);
        record.stack = seedStack(plain->model->data.params, plain->model->data.statorSpectrum);
        const auto stacked = ran(record);
        ASSERT_TRUE(stacked->outcome.complete) << stacked->outcome.message;
        const double maxwell = plain->outcome.tabled->maxwell;
        EXPECT_NEAR(stacked->outcome.tabled->maxwell, maxwell, 1e-12 * std::fabs(maxwell));
        EXPECT_EQ(stacked->outcome.tabled->impulse, 0.0);
        EXPECT_NEAR(*stacked->outcome.tabled->ratio, 1.0, 1e-12);
        ASSERT_TRUE(stacked->outcome.regions);
        ASSERT_EQ(stacked->outcome.regions->size(), 1u);
        EXPECT_EQ(stacked->outcome.regions->front().name, "layer");
        const std::vector<std::string>& report = stacked->observer.report;
        EXPECT_NE(std::ranges::find(report, "-----  Conducting regions  -----"), report.end());
        EXPECT_NE(std::ranges::find(report, "layer"), report.end());
        EXPECT_TRUE(stacked->observer.harmonics.empty());
        EXPECT_EQ(stacked->observer.fields[ResultField::OdeResidual],
                  "undefined: the run evaluates a region stack");
        const auto& want = plain->observer.series[0];
        const auto& got = stacked->observer.series[0];
        ASSERT_EQ(got.size(), want.size());
        double largest = 0;
        for (const auto& point : want) largest = std::max(largest, std::fabs(point.second));
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].first, want[i].first);
            EXPECT_NEAR(got[i].second, want[i].second, 1e-12 * largest) << "point " << i;
        }
    }
}

TEST(StackRun, WhatAStackCannotRunAbandonsWithItsMessage) {
    const auto change = [](auto&& f) {
        InputRecord record = airGapRecord(Geometry::Cylindrical);
        record.stack = RegionStack{};
        record.stack->gap = 0.001;
        record.stack->coreSurface = 0.05;
        record.stack->winding = {{{0.0, 1.0, 0, 1, 1e4}}, {0.0}};
        f(record);
        return record;
    };
    const std::vector<std::pair<InputRecord, std::string>> cases = {
        {change([](InputRecord& r) { r.geometry = Geometry::Spherical; }),
         "A stack of regions is linear or cylindrical"},
        {change([](InputRecord& r) { r.induction = false; }),
         "A region stack is an induction machine: choose the induction motor"},
        {change([](InputRecord& r) { r.curves[5] = true; }),
         "Curve \"P_Poynting\" is not computed for a region stack: uncheck it"},
        {change([](InputRecord& r) { r.domain = 1; }),
         "A region stack is swept over the speed only: choose \"speed / power angle\""},
        {change([](InputRecord& r) { r.stack->gap = 0; }),
         "Region 'gap': its width must be positive"},
    };
    for (const auto& [record, message] : cases) {
        const auto r = ran(record);
        EXPECT_FALSE(r->outcome.complete);
        EXPECT_EQ(r->outcome.message, message);
        EXPECT_EQ(r->observer.abandoned, message);
    }
    const auto fine = ran(change([](InputRecord&) {}));
    EXPECT_TRUE(fine->outcome.complete) << fine->outcome.message;
}

}  // namespace
}  // namespace emforce
