// The balance statistics of a run's curves.
#include "model/error_statistics.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace emforce
