// Complex arithmetic: Smith division, principal branches, and the flags the operations raise.
#include "numerics/complex.hpp"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <numbers>

#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

void expectNear(const Complex& a, const Complex& b, double tol = 1e-15) {
    EXPECT_NEAR(a.re(), b.re(), tol * (1 + abs(b)));
    EXPECT_NEAR(a.im(), b.im(), tol * (1 + abs(b)));
}

TEST(Complex, ArithmeticAndDivision) {
    const Complex a{3, -4}, b{1, 2};
    expectNear(a * b, {11, 2});
    expectNear(a / b, {-1, -2});
    expectNear(Complex(1) / Complex(0, 2), {0, -0.5});
    expectNear(2.0 - a, {-1, 4});
    expectNear(2.0 / b, {0.4, -0.8});
    EXPECT_DOUBLE_EQ(abs(Complex(1e300, 1e300)), std::hypot(1e300, 1e300));  // no overflow
}

TEST(Complex, PrincipalBranches) {
    expectNear(sqrt(Complex(-4, 0)), {0, 2});
    expectNear(sqrt(Complex(-4, -0.0)), {0, -2});
    expectNear(log(Complex(-1, 0)), {0, std::numbers::pi});
    expectNear(exp(Complex(0, std::numbers::pi)), {-1, 0});
    expectNear(sin(Complex(1, 2)), {std::sin(1) * std::cosh(2), std::cos(1) * std::sinh(2)});
    expectNear(pow(Complex(0, 1), 2), {-1, 0});
    expectNear(pow(Complex(1, 1), -2), {0, -0.5});
    expectNear(pow(Complex(2, 0), 0.5), {std::sqrt(2.0), 0});
    expectNear(pow(2.0, Complex(0, 1)), exp(Complex(0, std::log(2.0))));
    expectNear(pow(Complex(0, 1), Complex(0, 1)), {std::exp(-std::numbers::pi / 2), 0});
    EXPECT_EQ(pow(Complex(3, 0), 3.0).im(), 0.0);
}

TEST(Complex, DivisionByZeroIsAnInvalidOperationAndLogOfZeroADivision) {
    clearFpFaults();
    const Complex q = Complex(1, 1) / Complex(0, 0);
    EXPECT_TRUE(std::isnan(q.re()));
    try {
        throwOnFpFault();
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kInvalidOperation);
    }
    const Complex l = log(Complex(0, 0));
    EXPECT_TRUE(std::isinf(l.re()));
    EXPECT_THROW(throwOnFpFault(), CalcError);
}

TEST(Complex, RegularOperationsRaiseNoFaultFlags) {
    clearFpFaults();
    volatile double big = 700;
    Complex acc = exp(Complex(big, 0)) * Complex(0.5, 0) + sqrt(Complex(-1e-300, 0)) + sin(Complex(3, 0)) +
                  pow(Complex(0.5, 0.5), 50) + Complex(1, 1) / Complex(1e-300, 1e300);
    EXPECT_TRUE(std::isfinite(acc.re()));
    EXPECT_NO_THROW(throwOnFpFault());
}

}  // namespace
}  // namespace emforce
