// Floating-point faults become the one typed error with the exact user message.
#include "numerics/fp_guard.hpp"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>

namespace emforce {
namespace {

std::string messageOf(double (*compute)(double), double input) {
    clearFpFaults();
    try {
        checkedValue(compute(input));
    } catch (const CalcError& e) {
        return e.what();
    }
    return "no error";
}

TEST(FpGuard, EachFaultHasItsMessage) {
    EXPECT_EQ(messageOf([](double v) { return 1.0 / v; }, 0.0), kDivisionByZero);
    EXPECT_EQ(messageOf([](double v) { return v / v; }, 0.0), kInvalidOperation);
    EXPECT_EQ(messageOf([](double v) { return v * v; }, 1e200), kOverflow);
    EXPECT_EQ(messageOf([](double v) { return std::exp(v); }, 1000.0), kOverflow);
    EXPECT_EQ(messageOf([](double v) { return std::sqrt(v); }, -1.0), kInvalidOperation);
    EXPECT_EQ(messageOf([](double v) { return v * 1e-300; }, 1e-300), "no error");  // underflow is no fault
    EXPECT_EQ(messageOf([](double v) { return v / 3; }, 1.0), "no error");          // inexact is no fault
}

TEST(FpGuard, DivisionReportedBeforeTheInvalidOperationItCauses) {
    clearFpFaults();
    volatile double zero = 0.0;
    const double inf = 1.0 / zero;
    try {
        checkedValue(inf - inf);
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kDivisionByZero);
    }
    EXPECT_NO_THROW(throwOnFpFault());  // the flags were cleared with the report
}

TEST(FpGuard, NonFiniteValueWithoutFlagIsStillRefused) {
    clearFpFaults();
    EXPECT_THROW(checkedValue(std::numeric_limits<double>::quiet_NaN()), CalcError);
    EXPECT_THROW(checkedValue(std::numeric_limits<double>::infinity()), CalcError);
}

TEST(FpGuard, FlagsScopeRestoresTheFlags) {
    clearFpFaults();
    {
        const FpFlagsScope scope;
        volatile double zero = 0.0;
        (void)(1.0 / zero);
    }
    EXPECT_NO_THROW(throwOnFpFault());
}

}  // namespace
}  // namespace emforce
