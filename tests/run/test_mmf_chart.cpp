// The MMF chart: bars, current densities, distributions, box states and abandoned redraws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "run/mmf_chart.hpp"

namespace emforce {
namespace {

constexpr double kPi = std::numbers::pi;

class MmfChartTest : public ::testing::Test {
protected:
    MmfChart draw(const MmfChartOptions& options) {
        return computeMmfChart(*model, record, options, [this](const std::string& question) {
            questions.push_back(question);
            return false;
        });
    }
    // The error of a redraw that must fail.
    MmfChartError failure(const MmfChartOptions& options) {
        try {
            draw(options);
        } catch (const MmfChartError& e) {
            return e;
        }
        ADD_FAILURE() << "the redraw did not fail";
        return MmfChartError("", {});
    }
    [[nodiscard]] const HarmonicSpectrum& stator() const { return model->data.statorSpectrum; }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    InputRecord record = startupRecord();
    std::vector<std::string> questions;
};

std::vector<double> xs(const std::vector<ChartPoint>& points) {
    std::vector<double> out;
    for (const ChartPoint& p : points) out.push_back(p.x);
    return out;
}

std::vector<double> allOrders() {
    std::vector<double> out;
    for (int h = -17; h <= 17; h += 2) out.push_back(h);
    return out;
}

TEST_F(MmfChartTest, SynchronousSpectrumShowsBothSheetsAsBars) {
    record.induction = false;
    record.highestHarmonic = "17";
    const MmfChart chart = draw({.spectrum = true, .statorMmf = true, .rotorMmf = true});
    const auto& statorBars = chart.points(MmfSeries::StatorBars);
    const auto& rotorBars = chart.points(MmfSeries::RotorBars);
    EXPECT_EQ(xs(statorBars), allOrders());
    EXPECT_EQ(xs(rotorBars), allOrders());
    // Stator 250 A, rotor 100 A; chorded 6/7 has no order -1 (index 8) or 7 (index 12).
    for (size_t i = 0; i < rotorBars.size(); ++i)
        EXPECT_NEAR(rotorBars[i].y, statorBars[i].y * 0.4, 1e-12 * std::fabs(statorBars[i].y));
    EXPECT_DOUBLE_EQ(statorBars[9].y, 250 * kFourOverPi * 1.5 * 0.9749079);
    EXPECT_EQ(statorBars[8].y, 0.0);
    EXPECT_EQ(rotorBars[12].y, 0.0);
    for (MmfSeries s : {MmfSeries::OuterDensity, MmfSeries::InnerDensity,
                        MmfSeries::StatorDistribution, MmfSeries::RotorDistribution})
        EXPECT_TRUE(chart.points(s).empty());
    EXPECT_EQ(chart.title, std::string(kMmfSpectrumTitle));
}

TEST_F(MmfChartTest, StatorDistributionSpansOnePeriod) {
    record.windingPattern = 6;  // only order -5
    record.highestHarmonic = "17";
    const MmfChart chart = draw({});
    const auto& points = chart.points(MmfSeries::StatorDistribution);
    ASSERT_EQ(points.size(), 10001u);
    EXPECT_EQ(points.front().x, -kPi);
    EXPECT_NEAR(points.back().x, kPi, 1e-9);
    // At φ = -0.9π, sin(5φ) = -1: the order enters by its absolute value.
    EXPECT_NEAR(points[500].x, -0.9 * kPi, 1e-12);
    const double amplitude = 250 * kFourOverPi * 1.5 * 0.1;
    EXPECT_NEAR(points[500].y, -amplitude, 1e-9 * amplitude);
    EXPECT_EQ(chart.title, std::string(kMmfDistributionTitle));
    EXPECT_EQ(chart.underConstructionMessages, 0);
    for (int s = 0; s < kMmfSeriesCount; ++s) {
        if (s != static_cast<int>(MmfSeries::StatorDistribution)) {
            EXPECT_TRUE(chart.series[static_cast<size_t>(s)].empty());
        }
    }
}

TEST_F(MmfChartTest, InductionDensityIsRelativeToTheFundamental) {
    record.highestHarmonic = "17";
    MmfChart chart = draw({.spectrum = true, .outerDensity = true, .innerDensity = true});
    // Every order, including those without stator amplitude and the triplen ones.
    const auto& outer = chart.points(MmfSeries::OuterDensity);
    const auto& inner = chart.points(MmfSeries::InnerDensity);
    ASSERT_EQ(xs(outer), allOrders());
    ASSERT_EQ(xs(inner), allOrders());
    EXPECT_EQ(outer[9].y, 1.0);
    EXPECT_NE(inner[9].y, 1.0);  // taken at R - a, not at R
    for (const auto& p : inner) EXPECT_GT(p.y, 0.0);
    EXPECT_EQ(chart.points(MmfSeries::StatorBars).size(), 18u);
    EXPECT_TRUE(chart.points(MmfSeries::RotorBars).empty());

    record.value(15) = "-10";  // order -5 moves with the layer: 50 / -5 = -10
    chart = draw({.spectrum = true, .statorMmf = false, .outerDensity = true});
    std::vector<double> withoutMinusFive = allOrders();
    withoutMinusFive.erase(withoutMinusFive.begin() + 6);
    EXPECT_EQ(xs(chart.points(MmfSeries::OuterDensity)), withoutMinusFive);
    EXPECT_EQ(chart.points(MmfSeries::OuterDensity)[8].y, 1.0);
    EXPECT_TRUE(chart.points(MmfSeries::StatorBars).empty());
}

// The current densities come from the record's choice of Bessel functions: the choices agree
// on the start-up data and part where the series lose their digits (a copper rotor of 0.2 m).
TEST_F(MmfChartTest, CurrentDensitiesFollowTheChoiceOfBesselFunctions) {
    const MmfChartOptions options{.spectrum = true, .outerDensity = true, .innerDensity = true};
    const auto largestDifference = [&] {
        record.besselFunctions = "accurate";
        const MmfChart accurate = draw(options);
        record.besselFunctions = "series";
        const MmfChart series = draw(options);
        double largest = 0;
        for (MmfSeries s : {MmfSeries::OuterDensity, MmfSeries::InnerDensity}) {
            EXPECT_EQ(xs(accurate.points(s)), xs(series.points(s)));
            for (size_t i = 0; i < accurate.points(s).size(); ++i)
                largest =
                    std::max(largest, std::fabs(accurate.points(s)[i].y - series.points(s)[i].y) /
                                          std::fabs(accurate.points(s)[i].y));
        }
        return largest;
    };
    // The legacy formulation keeps the higher harmonics' currents at low frequencies, where the
    // series are accurate.
    record.formulation = "legacy";
    record.highestHarmonic = "17";
    record.geometry = Geometry::Cylindrical;
    EXPECT_LT(largestDifference(), 1e-7);
    record.value(0) = record.value(1) = "0,2";
    record.value(8) = "5,8e7";
    EXPECT_GT(largestDifference(), 1e-4);
}

TEST_F(MmfChartTest, BoxStatesFollowTheMotorKind) {
    const MmfChartOptions allChecked{.outerDensity = true, .innerDensity = true, .rotorMmf = true};
    record.induction = false;
    MmfChart chart = draw(allChecked);
    ASSERT_TRUE(chart.boxes);
    EXPECT_EQ(chart.boxes->outerDensity, (CheckBoxState{false, false}));
    EXPECT_EQ(chart.boxes->innerDensity, (CheckBoxState{false, false}));
    EXPECT_EQ(chart.boxes->rotorMmf, (CheckBoxState{true, true}));
    EXPECT_EQ(chart.underConstructionMessages, 0);

    record.induction = true;
    chart = draw(allChecked);
    ASSERT_TRUE(chart.boxes);
    EXPECT_EQ(chart.boxes->outerDensity, (CheckBoxState{true, true}));
    EXPECT_EQ(chart.boxes->innerDensity, (CheckBoxState{true, true}));
    EXPECT_EQ(chart.boxes->rotorMmf, (CheckBoxState{false, true}));
    // The density boxes only announce themselves; the disabled rotor box still draws.
    EXPECT_EQ(chart.underConstructionMessages, 2);
    EXPECT_TRUE(chart.points(MmfSeries::OuterDensity).empty());
    EXPECT_TRUE(chart.points(MmfSeries::InnerDensity).empty());
    EXPECT_EQ(chart.points(MmfSeries::RotorDistribution).size(), 10001u);
}

TEST_F(MmfChartTest, FaultStopsTheSpectrumAfterTheFirstBar) {
    struct Case {
        int row;
        const char* text;
    };
    // Speed = synchronous speed makes J1 zero; f1 = 0 makes the relative-speed test divide
    // by a zero synchronous speed.
    for (const Case& c : {Case{15, "50"}, Case{16, "0"}}) {
        SCOPED_TRACE(c.text);
        record = startupRecord();
        record.geometry = Geometry::Linear;
        record.value(c.row) = c.text;
        const MmfChartError e = failure({.spectrum = true, .outerDensity = true});
        EXPECT_STREQ(e.what(), kDivisionByZero);
        const MmfChart& partial = e.partial();
        EXPECT_EQ(xs(partial.points(MmfSeries::StatorBars)), std::vector<double>{-1.0});
        EXPECT_TRUE(partial.points(MmfSeries::OuterDensity).empty());
        EXPECT_EQ(partial.title, std::string(kMmfSpectrumTitle));
        EXPECT_TRUE(partial.boxes);
    }
}

TEST_F(MmfChartTest, BadTextDrawsNothing) {
    record.value(8) = "5.0.e6";
    const MmfChartError e = failure({.spectrum = true});
    EXPECT_STREQ(e.what(), "'5.0.e6' is not a valid floating point value");
    for (const auto& points : e.partial().series) EXPECT_TRUE(points.empty());
    EXPECT_FALSE(e.partial().title);
    EXPECT_FALSE(e.partial().boxes);
}

TEST_F(MmfChartTest, EveryRedrawIsAFullReading) {
    record.value(0) = "0,07";
    record.value(3) = "0,06";  // a > R
    draw({});
    EXPECT_EQ(record.value(0), record.value(1));
    EXPECT_EQ(questions, std::vector<std::string>{kLayerQuestion});
    EXPECT_DOUBLE_EQ(model->data.params.x, 0.051);  // moved into the gap [R, R + g]
}

}  // namespace
}  // namespace emforce
