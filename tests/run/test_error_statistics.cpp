// The balance statistics of a run's curves.
#include "run/error_statistics.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

TEST(ErrorStatistics, AveragesCountZeroReferencePointsWithoutAddingThem) {
    const Curve te = {2.0, 0.0, 4.0, -1.0};
    const Curve tel = {1.0, 5.0, 4.0, -1.5};
    const Curve tem = {0.5, 0.0, 0.0, 0.0};
    const Curve tp = {0.0, 0.0, 1.0, 0.0};
    // ratios 0.25, (skipped), 0.25, 0.5
    EXPECT_DOUBLE_EQ(*avgBalanceError(te, tel, tem, tp), 1.0 / 4.0);
    EXPECT_DOUBLE_EQ(*maxBalanceError(te, tel, tem, tp), 0.5);
    const Curve tec = {2.0, 1.0, 2.0, -1.0};
    EXPECT_DOUBLE_EQ(*avgCoenergyBalanceError(te, tec, tp), (0.0 + 0.25 + 0.0) / 4.0);
    const Curve ps = {10.0, 0.0};
    EXPECT_DOUBLE_EQ(*avgPowerError(ps, {8.0, 3.0}, {1.0, 0.0}), 0.1 / 2.0);
}

TEST(ErrorStatistics, ExactBalanceAndAllZeroReference) {
    const Curve te = {1.0, 2.0};
    EXPECT_EQ(*avgBalanceError(te, {0.5, 1.0}, {0.25, 0.5}, {0.25, 0.5}), 0.0);
    const Curve zero = {0.0, 0.0};
    EXPECT_EQ(*maxBalanceError(zero, zero, zero, zero), 0.0);
}

TEST(ErrorStatistics, UndefinedWithoutReferenceOrWithUnequalLengths) {
    const Curve empty;
    const Curve one = {1.0};
    EXPECT_FALSE(avgBalanceError(empty, empty, empty, empty));
    EXPECT_FALSE(avgBalanceError(one, one, empty, one));  // the start-up selection lacks TeM, TP
    EXPECT_FALSE(maxBalanceError(one, one, one, {1.0, 2.0}));
    EXPECT_FALSE(avgCoenergyBalanceError(one, empty, one));
    EXPECT_FALSE(avgPowerError(empty, one, one));
}

TEST(ErrorStatistics, ARatioBeyondTheDoubleRangeIsAnOverflow) {
    const Curve tiny = {1.0, 1e-300};
    const Curve huge = {1.0, 1e300};
    const Curve zero = {0.0, 0.0};
    const std::function<std::optional<double>()> statistics[] = {
        [&] { return avgBalanceError(tiny, huge, zero, zero); },
        [&] { return maxBalanceError(tiny, zero, huge, zero); },
        [&] { return avgCoenergyBalanceError(tiny, huge, zero); },
        [&] { return avgPowerError(tiny, zero, huge); }};
    for (const auto& statistic : statistics) {
        try {
            statistic();
            ADD_FAILURE() << "no overflow";
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), kOverflow);
        }
    }
    // A large ratio within the range is shown as it is.
    EXPECT_DOUBLE_EQ(*maxBalanceError({1e-5}, {1e290}, {0.0}, {0.0}), 1e295);
}

}  // namespace
}  // namespace emforce
