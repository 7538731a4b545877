// Tests of the modified Bessel functions, Γ, factorials and harmonic numbers on plain doubles.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "numerics/bessel.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

constexpr double kPi = std::numbers::pi;
const BesselSettings kDefault{};  // accuracy 1e-17, limit 15

double relativeError(const Complex& value, const Complex& expected) {
    return abs(value - expected) / abs(expected);
}

Complex polar(double modulus, double arg) {
    return {modulus * std::cos(arg), modulus * std::sin(arg)};
}

// Every test starts with clear fault flags and checks that no routine left one behind.
class Bessel : public testing::Test {
protected:
    void SetUp() override { clearFpFaults(); }
};

TEST_F(Bessel, PublishedValuesAtRealArgumentsWithZeroImaginaryPartAtOrderZero) {
    struct Case {
        bool firstKind;
        double nu, z, value, tolerance;
    };
    // Abramowitz & Stegun, tables 9.8 and 9.9; K_{3/2} by the reflection formula, which loses
    // about a factor 20 to cancellation at z = 2.
    const Case cases[] = {
        {true, 0.0, 2.0, 2.2795853023360673, 1e-14},
        {false, 0.0, 2.0, 0.11389387274953344, 1e-14},
        {true, 1.0, 1.0, 0.56515910399248503, 1e-14},
        {false, 1.0, 1.0, 0.60190723019723457, 1e-14},
        {false, 2.0, 2.0, 0.25375975456605586, 1e-14},
        {false, 1.5, 2.0, 0.17990665795209217, 1e-12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.firstKind ? "I" : "K") << c.nu << "(" << c.z << ")");
        const Complex v =
            c.firstKind ? besselI(kDefault, 0.0, c.nu, c.z) : besselK(kDefault, 0.0, c.nu, c.z);
        EXPECT_NEAR(v.re(), c.value, c.tolerance * c.value);
        if (c.nu == 0.0) {
            EXPECT_EQ(v.im(), 0.0);
        }
    }
    EXPECT_NO_THROW(throwOnFpFault());
}

TEST_F(Bessel, IntegerOrderTestIsExactAndNegativeIntegerOrdersEqualPositiveOnes) {
    const Complex z(2.0, 0.0);
    const Complex k2 = besselK(kDefault, 0.0, 2.0, z);
    EXPECT_EQ(besselK(kDefault, 0.0, Complex(2.0, 0.0), z), k2);
    EXPECT_EQ(besselK(kDefault, 0.0, -2.0, z), k2);
    // The smallest imaginary part already takes the reflection formula.
    EXPECT_NE(besselK(kDefault, 0.0, Complex(2.0, 1e-12), z), k2);
    // Next to the integer the reflection formula still holds nine digits at z = 2.
    EXPECT_LT(relativeError(besselK(kDefault, 0.0, 2.000001, z), 0.25375995137899368), 1e-9);

    // I_{−n} = I_n, and so are the derivatives of both kinds, with the power applied.
    const Complex p(0.6, -0.5);
    const Complex w(1.3, 0.8);
    EXPECT_EQ(besselI(kDefault, p, -3.0, w), besselI(kDefault, p, 3.0, w));
    EXPECT_EQ(besselIPrime(kDefault, p, -3.0, w), besselIPrime(kDefault, p, 3.0, w));
    EXPECT_EQ(besselK(kDefault, p, -3.0, w), besselK(kDefault, p, 3.0, w));
    EXPECT_EQ(besselKPrime(kDefault, p, -3.0, w), besselKPrime(kDefault, p, 3.0, w));
    EXPECT_NO_THROW(throwOnFpFault());
}

// A term that vanishes through its coefficient (ν + p = −2: the derivative of z^0) must not end
// the derivative series; the reflection formula meets it for p = −1/2 and the order 3/2.
TEST_F(Bessel, DerivativeSeriesGoesOnPastATermWithAZeroCoefficient) {
    EXPECT_LT(relativeError(besselIPrime(kDefault, -0.5, -1.5, 2.0), 0.80444043067186200), 1e-13);
    EXPECT_LT(relativeError(besselIPrime(kDefault, -0.5, -1.5, Complex(0.5, 0.3)),
                            Complex(-0.30654385261583844, -7.9746812887654535)),
              1e-13);
    EXPECT_LT(relativeError(besselKPrime(kDefault, -0.5, 1.5, 2.0), -0.21202202969755515), 1e-13);
}

// The derivative routines are summed or formed separately from the values: a central
// difference of the values checks the derivative series, the derivative S′ of the large-argument
// sum and the power's contribution in both regimes. With the step |z|/10⁵ the quotient's own
// error stays near 2e-8: truncation (h²/6)·|f‴/f′| at |z| = 30, and at |z| = 5 the rounding of
// K's series, magnified 10⁴ by its cancellation, over the step.
TEST_F(Bessel, DerivativesMatchCentralDifferencesOfTheValuesInBothRegimes) {
    struct Case {
        Complex p, nu, z;
    };
    const Complex alpha(0.6, -0.5);
    const Case cases[] = {
        {0.0, 0.0, 2.0},
        {alpha, sqrt(alpha * alpha + 4.0), polar(3.0, 0.6)},
        {-0.5, 1.5, 5.0},
        {1.0, 3.0, polar(1.0, 1.2)},
        {0.0, 0.0, 20.0},
        {alpha, sqrt(alpha * alpha + 4.0), polar(20.0, 0.6)},
        {1.0, 3.0, polar(30.0, 0.3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "p " << c.p.re() << "," << c.p.im() << " nu " << c.nu.re() << ","
                     << c.nu.im() << " z " << c.z.re() << "," << c.z.im());
        const Complex h = 1e-5 * c.z;
        const Complex dI =
            (besselI(kDefault, c.p, c.nu, c.z + h) - besselI(kDefault, c.p, c.nu, c.z - h)) /
            (2.0 * h);
        const Complex dK =
            (besselK(kDefault, c.p, c.nu, c.z + h) - besselK(kDefault, c.p, c.nu, c.z - h)) /
            (2.0 * h);
        EXPECT_LT(relativeError(besselIPrime(kDefault, c.p, c.nu, c.z), dI), 1e-7);
        EXPECT_LT(relativeError(besselKPrime(kDefault, c.p, c.nu, c.z), dK), 1e-7);
    }
    EXPECT_NO_THROW(throwOnFpFault());
}

// At |z| = 15 the series and the two-term large-argument form of I differ by the size of the
// first omitted term: a third term, or a single one, would change these figures.
TEST_F(Bessel, LargeArgumentFormOfIHoldsTwoCorrectionTerms) {
    const BesselSettings series{1e-17, 16.0};
    const BesselSettings large{1e-17, 14.0};
    struct Case {
        double nu, arg, difference;
    };
    const Case cases[] = {
        {0.0, 0.0, 2.41e-5}, {0.0, 0.6, 2.35e-5}, {2.0, 0.0, 1.12e-4}, {2.0, 0.6, 1.07e-4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "nu " << c.nu << " arg " << c.arg);
        const Complex z = polar(15.0, c.arg);
        const Complex reference = besselI(series, 0.0, c.nu, z);
        EXPECT_NEAR(relativeError(besselI(large, 0.0, c.nu, z), reference), c.difference,
                    0.01 * c.difference);
    }
    // The series still serves |z| equal to the limit.
    EXPECT_NEAR(besselI(BesselSettings{1e-17, 2.0}, 0.0, 0.0, 2.0).re(), 2.2795853023360673,
                1e-14 * 2.2795853023360673);
}

// K keeps only the leading term √(π/2)·z^(p−1/2)·e^(−z): the order does not enter.
TEST_F(Bessel, LargeArgumentFormOfKIsTheLeadingTermAlone) {
    const Complex p(0.6, -0.5);
    const Complex z = polar(20.0, 0.6);
    const Complex leading = std::sqrt(kPi / 2.0) * pow(z, p - 0.5) * exp(-z);
    for (const Complex& nu : {Complex(0.0), Complex(3.0), Complex(2.03, -0.15)}) {
        EXPECT_LT(relativeError(besselK(kDefault, p, nu, z), leading), 1e-15);
        EXPECT_LT(relativeError(besselKPrime(kDefault, p, nu, z), leading * ((p - 0.5) / z - 1.0)),
                  1e-15);
    }
}

// For ν = 1/2 and 3/2 the expansion terminates: the sums end at the zero term and the forms are
// exact for e^z·I and e^(−z)·K.
TEST_F(Bessel, HalfIntegerOrdersEndTheLargeArgumentSumAtItsZeroTerm) {
    const Complex z = polar(20.0, 0.4);
    const Complex front = exp(z) / sqrt(2.0 * kPi * z);
    EXPECT_LT(relativeError(besselI(kDefault, 0.0, 0.5, z), front), 1e-14);
    EXPECT_LT(relativeError(besselI(kDefault, 0.0, 1.5, z), front * (1.0 - 1.0 / z)), 1e-14);
    // d/dz[e^z·z^(−1/2)·(1 − 1/z)] = e^z·z^(−1/2)·[(1 − 1/(2z))·(1 − 1/z) + 1/z²].
    const Complex derivative = front * ((1.0 - 0.5 / z) * (1.0 - 1.0 / z) + 1.0 / (z * z));
    EXPECT_LT(relativeError(besselIPrime(kDefault, 0.0, 1.5, z), derivative), 1e-14);
    EXPECT_LT(relativeError(besselK(kDefault, 0.0, 0.5, z), sqrt(kPi / (2.0 * z)) * exp(-z)),
              1e-14);
    EXPECT_NO_THROW(throwOnFpFault());
}

// With p = 0: z²·f″ + z·f′ − (z² + ν²)·f = 0 (DLMF 10.25.1), to the accuracy of the
// one-sided difference quotient with step z/10⁴.
TEST_F(Bessel, SecondDerivativesSatisfyTheModifiedBesselEquation) {
    const Complex orders[] = {0.0, 1.5, Complex(0.6, -0.5)};
    const Complex arguments[] = {0.5, polar(3.0, 0.6), 8.0};
    for (const Complex& nu : orders) {
        for (const Complex& z : arguments) {
            SCOPED_TRACE(testing::Message()
                         << "nu " << nu.re() << "," << nu.im() << " z " << z.re() << "," << z.im());
            const Complex i[] = {besselI(kDefault, 0.0, nu, z), besselIPrime(kDefault, 0.0, nu, z),
                                 besselISecond(kDefault, 0.0, nu, z)};
            const Complex k[] = {besselK(kDefault, 0.0, nu, z), besselKPrime(kDefault, 0.0, nu, z),
                                 besselKSecond(kDefault, 0.0, nu, z)};
            for (const Complex* f : {i, k}) {
                const Complex a = z * z * f[2], b = z * f[1], c = (z * z + nu * nu) * f[0];
                EXPECT_LT(abs(a + b - c), 1e-3 * (abs(a) + abs(b) + abs(c)));
            }
        }
    }
    EXPECT_NO_THROW(throwOnFpFault());
}

TEST_F(Bessel, GammaValuesAndReflection) {
    struct Case {
        Complex w, value;
    };
    const Case cases[] = {
        {1.0, 1.0},
        {2.0, 1.0},
        {5.0, 24.0},
        {0.5, std::sqrt(kPi)},
        {-0.5, -2.0 * std::sqrt(kPi)},
        {Complex(1.0, 1.0), Complex(0.49801566811835604, -0.15494982830181069)},
        {Complex(-1.5, 0.5), Complex(0.93791666278788505, 0.34920566814780487)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "w " << c.w.re() << "," << c.w.im());
        EXPECT_LT(relativeError(complexGamma(c.w), c.value), 2e-10);
    }
    // The power and the exponential of the Lanczos form do not overflow on the way to Γ(170.5).
    EXPECT_NEAR(complexGamma(170.5).re(), 5.56209e305, 1e-5 * 5.56209e305);
    EXPECT_NO_THROW(throwOnFpFault());
}

TEST_F(Bessel, GammaPolesAreDivisionsByZero) {
    for (const double pole : {0.0, -1.0, -3.0}) {
        clearFpFaults();
        SCOPED_TRACE(testing::Message() << "w " << pole);
        try {
            checkedValue(complexGamma(pole).re());
            ADD_FAILURE() << "no fault at a pole";
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), "Floating point division by zero");
        }
    }
}

TEST_F(Bessel, FactorialAndHarmonicNumber) {
    EXPECT_EQ(factorial(-3), 1.0);
    EXPECT_EQ(factorial(0), 1.0);
    EXPECT_EQ(factorial(1), 1.0);
    EXPECT_EQ(factorial(5), 120.0);
    EXPECT_NEAR(factorial(170), 7.257415615307999e306, 1e-15 * 7.257415615307999e306);
    EXPECT_EQ(harmonicNumber(-2), 0.0);
    EXPECT_EQ(harmonicNumber(0), 0.0);
    EXPECT_EQ(harmonicNumber(1), 1.0);
    EXPECT_DOUBLE_EQ(harmonicNumber(3), 11.0 / 6.0);
    EXPECT_NO_THROW(throwOnFpFault());
}

// The series are arithmetic that stored results depend on: these values are pinned to the bit.
// Keeping Γ values and the last sums (the default) gives the same bits and flags as evaluating
// everything afresh, also when a sum is taken again, and a faulty sum raises its flag each time.
TEST_F(Bessel, SeriesKeepTheirBitsWhateverIsKept) {
    struct Case {
        Complex nu, p, z;
        std::array<Complex, 4> values;  // I, I', K, K'
    };
    const Case cases[] = {
        {{0.6, -0.5},
         {0.6, -0.5},
         {3, 2},
         {{{0x1.5c7f299ff65f6p+0, 0x1.a7f11b3f8d8a7p+3},
           {0x1.609cc6a76f164p+1, 0x1.78b3eff305349p+3},
           {-0x1.43e866b5c950ep-4, -0x1.648a15d944edap-5},
           {0x1.38e90f5a5af58p-4, 0x1.c25344befba9fp-5}}}},
        {{17, 0},
         {0, 0},
         {1.5, 1.4},
         {{{0x1.2fe0b497c0a68p-48, 0x1.406aef49ef77ap-50},
           {0x1.1fe0dfc558ae9p-45, -0x1.30645e8600f1ep-46},
           {0x1.7aa1dee59a21ep+42, -0x1.9b0fd9ec012c3p+40},
           {-0x1.b1ad942fa7082p+44, 0x1.57e950aed0d12p+45}}}},
        {{2.4, -0.1},
         {-0.5, 0},
         {12, 9},
         {{{-0x1.161e0f44b35b7p+11, 0x1.7c596a032cb8ep+11},
           {-0x1.1234f15db8feep+11, 0x1.6146665bd055cp+11},
           {-0x1.2a8056d055fcp-21, 0x1.9582d91a272d3p-23},
           {0x1.347dcbfc0f9dbp-21, -0x1.ff0dcb16c3bb5p-23}}}},
        {{3, 0},
         {0.5, 0},
         {0.02, 0.001},
         {{{0x1.9083d35a1f978p-26, 0x1.1b05833045c44p-28},
           {0x1.1385e28ce51ap-18, 0x1.14be31f5ffa64p-21},
           {0x1.1131b83f84734p+17, -0x1.1267ffbf761a9p+14},
           {-0x1.08774ad0e4d82p+24, 0x1.75c36e1f979cep+21}}}},
    };
    BesselSettings fresh;
    fresh.tabulateGamma = false;
    for (const Case& c : cases) {
        for (const BesselSettings& s : {kDefault, kDefault, fresh}) {
            const std::array<Complex, 4> v = {
                besselI(s, c.p, c.nu, c.z), besselIPrime(s, c.p, c.nu, c.z),
                besselK(s, c.p, c.nu, c.z), besselKPrime(s, c.p, c.nu, c.z)};
            EXPECT_EQ(v, c.values) << c.nu.re() << " " << s.tabulateGamma;
        }
    }
    EXPECT_NO_THROW(throwOnFpFault());
    for (int again = 0; again < 2; ++again) {
        besselK(kDefault, 0.0, 0.5, 0.0);
        EXPECT_THROW(throwOnFpFault(), CalcError) << again;
    }
}

// The faults of the arithmetic are the routines' only failures: a zero argument (Log 0) and an
// exponential beyond the double range are reported, a result that merely underflows is not.
TEST_F(Bessel, ZeroArgumentAndExponentialOverflowAreFloatingPointFaults) {
    struct Case {
        Complex (*function)(const BesselSettings&, const Complex&, const Complex&, const Complex&);
        double nu, z;
        const char* message;
    };
    const Case cases[] = {
        {besselI, 0.0, 0.0, "Floating point division by zero"},
        {besselIPrime, 1.0, 0.0, "Floating point division by zero"},
        {besselK, 0.0, 0.0, "Floating point division by zero"},
        {besselK, 0.5, 0.0, "Floating point division by zero"},
        {besselKPrime, 2.0, 0.0, "Floating point division by zero"},
        {besselI, 0.0, 800.0, "Floating point overflow"},
        {besselIPrime, 0.0, 800.0, "Floating point overflow"},
    };
    for (const Case& c : cases) {
        clearFpFaults();
        SCOPED_TRACE(testing::Message() << "nu " << c.nu << " z " << c.z);
        try {
            checkedValue(c.function(kDefault, 0.0, c.nu, c.z).re());
            ADD_FAILURE() << "no fault";
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    clearFpFaults();
    EXPECT_EQ(besselK(kDefault, 0.0, 0.0, 800.0).re(), 0.0);
    EXPECT_NO_THROW(throwOnFpFault());
}

// The series loops are capped: an argument that never meets the stop rule ends with a NaN that
// the fault check reports, instead of hanging.
TEST_F(Bessel, NotANumberArgumentEndsAndIsReported) {
    const Complex z(std::nan(""), 0.0);
    EXPECT_THROW(checkedValue(besselI(kDefault, 0.0, 0.3, z).re()), CalcError);
    clearFpFaults();
    EXPECT_THROW(checkedValue(besselK(kDefault, 0.0, 0.3, z).re()), CalcError);
    clearFpFaults();
    EXPECT_THROW(checkedValue(besselKPrime(kDefault, 0.0, 2.0, z).re()), CalcError);
}

}  // namespace
}  // namespace emforce
