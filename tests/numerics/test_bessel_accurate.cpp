// Tests of the accurate Bessel functions on plain doubles: closed forms in every method, the
// order symmetries, the seams between methods, scaling, faults, counts and threads.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <numbers>
#include <set>
#include <thread>
#include <vector>

#include "numerics/bessel.hpp"
#include "numerics/bessel_accurate.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kPi = std::numbers::pi;

Complex polar(double modulus, double arg) {
    return {modulus * std::cos(arg), modulus * std::sin(arg)};
}

double relative(const Complex& a, const Complex& b) { return abs(a - b) / abs(b); }

// value·e^scale compared with an expected value given as factor·e^exponent (exponent complex),
// without forming either exponential.
double scaledError(const Complex& value, double scale, const Complex& factor,
                   const Complex& exponent) {
    return relative(value * exp(Complex(scale) - exponent), factor);
}

class BesselAccurate : public testing::Test {
protected:
    void SetUp() override { clearFpFaults(); }
    void TearDown() override { EXPECT_NO_THROW(throwOnFpFault()); }
};

// I_{±1/2}, I_{3/2}, K_{1/2}, K_{3/2} in closed form (DLMF 10.39.1, 10.49.8, 10.49.12), at
// arguments that take every method: series and Temme (small), CF2 and CF1 (middle), the
// uniform expansion (large, up to 500 near arg π/2, where e^(−z) matters for I).
TEST_F(BesselAccurate, HalfIntegerOrdersMatchTheirClosedFormsInEveryMethod) {
    std::set<BesselMethod> seen;
    for (const double m : {1e-6, 0.3, 1.9, 3.0, 12.0, 24.0, 60.0, 500.0}) {
        for (const double arg : {0.0, 0.785, 1.56}) {
            const Complex z = polar(m, arg);
            SCOPED_TRACE(testing::Message() << "|z| " << m << " arg " << arg);
            const Complex root = sqrt(2.0 / (kPi * z));
            const Complex cosh = (exp(z) + exp(-z)) / 2.0;
            // sinh z·e^(−z) and cosh z·e^(−z); sinh by its Taylor series where 1 − e^(−2z) cancels
            const Complex z2 = z * z;
            const Complex sinh =
                m < 0.05 ? z * (1.0 + z2 / 6.0 *
                                          (1.0 + z2 / 20.0 * (1.0 + z2 / 42.0 * (1.0 + z2 / 72.0))))
                         : (exp(z) - exp(-z)) / 2.0;
            const Complex sinhOverExp = m < 300 ? sinh * exp(-z) : (1.0 - exp(-2.0 * z)) / 2.0;
            const Complex coshOverExp = (1.0 + exp(-2.0 * z)) / 2.0;
            BesselMethod method{};
            const ScaledBessel i12 = scaledBesselI(0.5, z, &method);
            seen.insert(method);
            // I_{1/2} = √(2/(πz))·sinh z, I′_{1/2} = √(2/(πz))·(cosh z − sinh z/(2z)).
            EXPECT_LT(scaledError(i12.value, i12.scale, root * sinhOverExp, z),
                      16 * kEps * (1 + m));
            EXPECT_LT(scaledError(i12.derivative, i12.scale,
                                  root * (coshOverExp - sinhOverExp / (2.0 * z)), z),
                      16 * kEps * (1 + m));
            // I_{3/2} = √(2/(πz))·(cosh z − sinh z / z); the small-z cancellation is the
            // formula's, so it is compared only where it has none.
            if (m >= 1.0) {
                const ScaledBessel i32 = scaledBesselI(1.5, z, &method);
                seen.insert(method);
                EXPECT_LT(
                    scaledError(i32.value, i32.scale, root * (coshOverExp - sinhOverExp / z), z),
                    16 * kEps * (1 + m));
            }
            // K_{1/2} = √(π/(2z))·e^(−z), K_{3/2} = K_{1/2}·(1 + 1/z), K_{−1/2} = K_{1/2}.
            const Complex k12 = sqrt(kPi / (2.0 * z));
            for (const double nu : {0.5, -0.5}) {
                const ScaledBessel k = scaledBesselK(nu, z, &method);
                seen.insert(method);
                EXPECT_LT(scaledError(k.value, k.scale, k12, -z), 16 * kEps * (1 + m));
                EXPECT_LT(scaledError(k.derivative, k.scale, -k12 * (1.0 + 0.5 / z), -z),
                          16 * kEps * (1 + m));
            }
            const ScaledBessel k32 = scaledBesselK(1.5, z, &method);
            seen.insert(method);
            EXPECT_LT(scaledError(k32.value, k32.scale, k12 * (1.0 + 1.0 / z), -z),
                      16 * kEps * (1 + m));
            // I_{−1/2} = √(2/(πz))·cosh z, from I_{1/2} and K_{1/2} for the negative order.
            const ScaledBessel im12 = scaledBesselI(-0.5, z);
            EXPECT_LT(relative(im12.value * std::exp(im12.scale), root * cosh), 16 * kEps * (1 + m))
                << "only for moderate |z|, where cosh z is a double";
            if (m > 300) break;
        }
    }
    // CF1 with Temme's K is the fallback for a CF2 that does not converge, not met here.
    EXPECT_EQ(seen, (std::set<BesselMethod>{BesselMethod::PowerSeries, BesselMethod::Temme,
                                            BesselMethod::Steed, BesselMethod::Uniform,
                                            BesselMethod::WronskianSteed}));
}

// z^p·K_ν where z^(p−ν) is nearly constant or linear (p = ν, ν + 1) has derivatives far below
// their parts at |z| ≪ 1; with ν = 1/2, 3/2 they are closed forms: z^(1/2)K_{1/2} = c·e^(−z),
// z^(3/2)K_{1/2} = c·z·e^(−z), z^(3/2)K_{3/2} = c·(1 + z)·e^(−z), z^(5/2)K_{3/2} = c·(z +
// z²)·e^(−z), c = √(π/2).
TEST_F(BesselAccurate, ProductDerivativesHoldWhereThePowerIsNearlyLinear) {
    struct Case {
        double nu, p;
        Complex (*value)(const Complex&), (*first)(const Complex&), (*second)(const Complex&);
    };
    const Case cases[] = {
        {0.5, 0.5, [](const Complex&) { return Complex(1.0); },
         [](const Complex&) { return Complex(-1.0); }, [](const Complex&) { return Complex(1.0); }},
        {0.5, 1.5, [](const Complex& z) { return z; }, [](const Complex& z) { return 1.0 - z; },
         [](const Complex& z) { return z - 2.0; }},
        {1.5, 1.5, [](const Complex& z) { return 1.0 + z; }, [](const Complex& z) { return -z; },
         [](const Complex& z) { return z - 1.0; }},
        {1.5, 2.5, [](const Complex& z) { return z + z * z; },
         [](const Complex& z) { return 1.0 + z - z * z; },
         [](const Complex& z) { return z * z - 3.0 * z; }},
    };
    const double c = std::sqrt(kPi / 2.0);
    for (const Case& k : cases) {
        for (const double m : {1e-6, 1e-3, 0.1, 0.5}) {
            for (const double arg : {0.0, 0.785, 1.5}) {
                const Complex z = polar(m, arg);
                SCOPED_TRACE(testing::Message()
                             << "nu " << k.nu << " p " << k.p << " |z| " << m << " arg " << arg);
                const ScaledProduct r = scaledBesselKProduct(k.p, k.nu, z);
                EXPECT_LT(scaledError(r.value, r.scale, c * k.value(z), -z), 16 * kEps);
                EXPECT_LT(scaledError(r.first, r.scale, c * k.first(z), -z), 16 * kEps);
                EXPECT_LT(scaledError(r.second, r.scale, c * k.second(z), -z), 16 * kEps);
            }
        }
    }
}

// K_{−ν} = K_ν for every order and I_{−n} = I_n for integers, to the last bit; integer orders
// given as complex numbers with a zero imaginary part are the same inputs.
TEST_F(BesselAccurate, OrderSymmetriesAreExact) {
    for (const Complex nu :
         {Complex(2.0), Complex(0.6, -0.5), Complex(34.6, -2.5), Complex(7.25)}) {
        for (const Complex z : {polar(0.5, 0.3), polar(5.0, 0.785), polar(80.0, 1.2)}) {
            const ScaledBessel k = scaledBesselK(nu, z), km = scaledBesselK(-nu, z);
            EXPECT_EQ(k.value, km.value);
            EXPECT_EQ(k.derivative, km.derivative);
            EXPECT_EQ(k.scale, km.scale);
        }
    }
    const Complex z = polar(3.0, 0.785);
    EXPECT_EQ(scaledBesselI(-3.0, z).value, scaledBesselI(3.0, z).value);
}

// Across each border between methods the value and derivative move as the function does, not
// by a jump: values on both sides of |z| = 2, |z| = 1 for complex fractional orders and
// |√(ν² + z²)| = 25 agree with the nearby value to rounding after the known slope is taken off.
TEST_F(BesselAccurate, ValuesAreContinuousAcrossTheBordersBetweenMethods) {
    struct Border {
        Complex nu;
        Complex z;  // on the border
    };
    const double s = 25.0;
    const Border borders[] = {
        {0.0, polar(2.0, 0.785)},
        {Complex(0.6, -0.5), polar(2.0, 0.3)},
        {Complex(2.0, 3.0), polar(1.0, 1.2)},
        {Complex(0.0), polar(s, 0.5)},
        {Complex(17.0), Complex(std::sqrt(s * s - 17.0 * 17.0), 0.0)},
        {Complex(34.6, -2.5), polar(3.0, 0.785)},
    };
    for (const Border& b : borders) {
        for (const bool firstKind : {true, false}) {
            SCOPED_TRACE(testing::Message() << (firstKind ? "I" : "K") << " nu " << b.nu.re() << "+"
                                            << b.nu.im() << "i at " << abs(b.z));
            const double h = 1e-7;
            auto at = [&](double factor) {
                const ScaledBessel f = firstKind ? scaledBesselI(b.nu, b.z * factor)
                                                 : scaledBesselK(b.nu, b.z * factor);
                return ScaledBessel{f.value * std::exp(f.scale), f.derivative * std::exp(f.scale),
                                    0.0};
            };
            const ScaledBessel below = at(1.0 - h), above = at(1.0 + h);
            // f(z(1+h)) − f(z(1−h)) ≈ 2h·z·f′(z): the second-order remainder is below 1e-13.
            const Complex slope = 2.0 * h * b.z * (below.derivative + above.derivative) / 2.0;
            EXPECT_LT(abs(above.value - below.value - slope), 1e-13 * abs(above.value));
        }
    }
}

// The scaled functions stay finite where the functions themselves leave the double range; the
// unscaled conveniences overflow exactly there, and underflow quietly.
TEST_F(BesselAccurate, ScaledValuesStayFiniteAndUnscaledOnesOverflowOnlyBeyondTheRange) {
    const ScaledBessel i = scaledBesselI(0.0, 800.0);
    EXPECT_TRUE(std::isfinite(i.value.re()) && std::isfinite(i.scale));
    EXPECT_NEAR(i.scale, 800.0, 1e-9);
    const ScaledBessel small = scaledBesselI(400.0, polar(1e-6, 0.785));
    EXPECT_TRUE(std::isfinite(small.value.re()) && small.value != Complex(0.0));
    EXPECT_LT(small.scale, -7000.0);
    EXPECT_EQ(accurateBesselK(0.0, 0.0, 800.0), Complex(0.0));
    EXPECT_NO_THROW(throwOnFpFault());
    EXPECT_TRUE(std::isfinite(accurateBesselI(0.0, 0.0, 700.0).re()));
    EXPECT_NO_THROW(throwOnFpFault());
    accurateBesselI(0.0, 0.0, 720.0);
    EXPECT_THROW(throwOnFpFault(), CalcError);
}

// No fault flag over the domain's corners and across the methods, for every function.
TEST_F(BesselAccurate, NoFaultFlagsOverTheDomain) {
    for (const Complex nu : {Complex(0.0), Complex(2.0 + 1e-9), Complex(0.5), Complex(0.0, 10.0),
                             Complex(50.0, 10.0), Complex(345.0, -25.0), Complex(400.0)}) {
        for (const double m : {1e-6, 0.01, 1.0, 2.0, 5.0, 30.0, 200.0, 500.0}) {
            for (const double arg : {0.0, 0.785, 1.5707}) {
                const Complex z = polar(m, arg);
                const Complex p(0.1, -0.5);
                for (const ScaledProduct r :
                     {scaledBesselIProduct(p, nu, z), scaledBesselKProduct(p, nu, z)}) {
                    EXPECT_TRUE(std::isfinite(r.value.re()) && std::isfinite(r.second.im()) &&
                                std::isfinite(r.scale));
                }
                ASSERT_NO_THROW(throwOnFpFault())
                    << "nu " << nu.re() << "+" << nu.im() << "i |z| " << m << " arg " << arg;
            }
        }
    }
}

// Outside the model (Re z < 0, z = 0): a result or a raised flag, never a hang or a crash.
TEST_F(BesselAccurate, ArgumentsOutsideTheRightHalfPlaneEndWithAResultOrAFlag) {
    for (const Complex z :
         {Complex(-3.0, 1.0), Complex(-40.0, 0.5), Complex(0.0), Complex(-1e-3)}) {
        clearFpFaults();
        const Complex i = accurateBesselI(0.3, Complex(2.5, 1.0), z);
        const Complex k = accurateBesselK(0.3, Complex(2.5, 1.0), z);
        const bool finite = std::isfinite(i.re()) && std::isfinite(i.im()) &&
                            std::isfinite(k.re()) && std::isfinite(k.im());
        const bool flagged = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) != 0;
        EXPECT_TRUE(finite || flagged) << z.re() << "+" << z.im() << "i";
    }
    clearFpFaults();
}

// Each call is one evaluation (the joint one, one of each kind); value and derivatives of one
// (p, ν, z) count as one distinct.
TEST_F(BesselAccurate, EachCallCountsOneEvaluation) {
    resetBesselEvaluations();
    trackDistinctBesselEvaluations(true);
    const Complex p(0.6, -0.5), nu(2.0, -0.1), z(1.0, 1.0);
    accurateBesselI(p, nu, z);
    accurateBesselIPrime(p, nu, z);
    accurateBesselISecond(p, nu, z);
    scaledBesselKProduct(p, nu, z);
    scaledBesselK(nu, z);
    EXPECT_EQ(besselEvaluations(), 5u);
    EXPECT_EQ(distinctBesselEvaluations(), 3u);
    scaledBesselIKProducts(p, nu, z);  // one I and one K, both seen before
    EXPECT_EQ(besselEvaluations(), 7u);
    EXPECT_EQ(distinctBesselEvaluations(), 3u);
    trackDistinctBesselEvaluations(false);
    resetBesselEvaluations();
}

bool same(const ScaledProduct& a, const ScaledProduct& b) {
    return a.value == b.value && a.first == b.first && a.second == b.second && a.scale == b.scale;
}

// I and K from one computation are those of the separate calls, bit for bit, in every method
// and for negative orders (I_{−ν} takes K_ν).
TEST_F(BesselAccurate, JointProductsAreTheSeparateOnes) {
    std::set<BesselMethod> seen;
    for (const Complex nu : {Complex(0.0), Complex(2.028, -0.148), Complex(-1.3, 0.4),
                             Complex(-3.0), Complex(0.4, 9.0), Complex(34.6, -2.5),
                             Complex(150.0, 3.0)}) {
        for (const double m : {1e-3, 1.5, 4.0, 20.0, 60.0, 150.0}) {
            for (const double arg : {0.3, 0.785, 1.5}) {
                const Complex z = polar(m, arg), p(0.6, -0.5);
                BesselMethod i{}, k{};
                scaledBesselI(nu, z, &i);
                scaledBesselK(nu, z, &k);
                seen.insert({i, k});
                const ScaledProducts both = scaledBesselIKProducts(p, nu, z);
                EXPECT_TRUE(same(both.i, scaledBesselIProduct(p, nu, z)) &&
                            same(both.k, scaledBesselKProduct(p, nu, z)))
                    << "nu " << nu.re() << "+" << nu.im() << "i |z| " << m << " arg " << arg;
            }
        }
    }
    EXPECT_EQ(seen.size(), 7u) << "every method";
}

// Several threads at once give the very numbers one thread gives.
TEST_F(BesselAccurate, ThreadsGiveBitIdenticalResults) {
    std::vector<Complex> args;
    for (double m = 0.01; m < 300.0; m *= 1.7) args.push_back(polar(m, 0.785));
    const Complex nu(34.6, -2.5), p(0.6, -0.5);
    auto run = [&] {
        std::vector<Complex> out;
        for (const Complex& z : args) {
            const ScaledProduct i = scaledBesselIProduct(p, nu, z);
            const ScaledProduct k = scaledBesselKProduct(p, nu, z);
            out.insert(out.end(),
                       {i.value, i.second, k.value, k.second, Complex(i.scale, k.scale)});
        }
        return out;
    };
    const std::vector<Complex> single = run();
    std::vector<std::vector<Complex>> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results) threads.emplace_back([&r, &run] { r = run(); });
    for (std::thread& t : threads) t.join();
    for (const auto& r : results) EXPECT_EQ(r, single);
}

}  // namespace
}  // namespace emforce
