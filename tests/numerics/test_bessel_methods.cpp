// Tests of the arithmetic helpers of the Bessel methods: the inline reciprocal is the complex
// division bit for bit, the cheap modulus is hypot's to rounding and raises no fault.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numerics/bessel_methods.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

using bessel_detail::modulus;
using bessel_detail::reciprocal;

bool sameBits(const Complex& a, const Complex& b) {
    return std::signbit(a.re()) == std::signbit(b.re()) &&
           std::signbit(a.im()) == std::signbit(b.im()) &&
           (a.re() == b.re() || (std::isnan(a.re()) && std::isnan(b.re()))) &&
           (a.im() == b.im() || (std::isnan(a.im()) && std::isnan(b.im())));
}

// Both branches of Smith's method, parts of either sign, zero parts, and parts far outside the
// range where a square would overflow or vanish.
const Complex kValues[] = {{3.0, 0.0},    {0.0, -2.5},    {1.5, 0.7},        {-0.7, 1.5},
                           {-1e-3, -7.0}, {1e200, 3e199}, {-2e-200, 1e-210}, {5e160, -1e-170},
                           {1.0, 1.0},    {-4.0, 4.0}};

TEST(BesselMethods, InlineReciprocalIsTheComplexDivisionBitForBit) {
    for (const Complex& y : kValues)
        EXPECT_TRUE(sameBits(reciprocal(y), Complex(1.0) / y)) << y.re() << " " << y.im();
}

// A zero divisor makes the same invalid operation as the complex division, which the run reports.
TEST(BesselMethods, DivisionByZeroRaisesTheSameFault) {
    clearFpFaults();
    const Complex r = reciprocal(Complex(0.0));
    EXPECT_TRUE(std::isnan(r.re()));
    EXPECT_THROW(throwOnFpFault(), CalcError);
    clearFpFaults();
}

TEST(BesselMethods, ModulusIsHypotsToRoundingWithoutFaults) {
    clearFpFaults();
    for (const Complex& x : kValues) {
        const double exact = abs(x);
        EXPECT_LE(std::fabs(modulus(x) - exact),
                  2.0 * std::numeric_limits<double>::epsilon() * exact)
            << x.re() << " " << x.im();
    }
    EXPECT_EQ(modulus(Complex(1e300, -1e300)), abs(Complex(1e300, -1e300)));
    EXPECT_EQ(modulus(Complex(0.0)), 0.0);
    EXPECT_NO_THROW(throwOnFpFault());
}

}  // namespace
}  // namespace emforce
