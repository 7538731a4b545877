// The induction field solution and its evaluators: field identities, balances and special values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "induction/asynchronous_motor.hpp"
#include "model/sample_sets.hpp"
#include "numerics/bessel.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

constexpr double kPi = 3.141592653589793;

// Sample sets by menu position.
constexpr int kUpdatedWorkshop = 1;
constexpr int kIsotropicInteger = 3;
constexpr int kAnisotropicInteger = 4;
constexpr int kAnisotropicComplex = 5;
constexpr int kPoyntingLinear = 10;
constexpr int kPoyntingCylindrical = 11;
constexpr int kPoyntingSpherical = 12;
constexpr int kData1 = 13;
constexpr int kImpulseAnisotropy = 16;

constexpr int kTessor = 6;
constexpr int kHighFrequency = 14;
// R = 0.2 m (also the x cell) and the conductivity of copper.
const std::vector<std::pair<int, const char*>> kCopperRotor = {
    {0, "0,2"}, {1, "0,2"}, {8, "5,8e7"}};

constexpr int kSimpson = 0;
constexpr int kGauss5 = 1;
constexpr int kGauss8 = 4;
constexpr int kGauss15 = 6;

constexpr Geometry kGeometries[] = {Geometry::Linear, Geometry::Cylindrical, Geometry::Spherical};

const char* name(Geometry g) {
    switch (g) {
        case Geometry::Linear:
            return "linear";
        case Geometry::Cylindrical:
            return "cylindrical";
        case Geometry::Spherical:
            return "spherical";
    }
    return "?";
}

using EvaluatorMember = double (AsynchronousMotor::*)(const double&, const double&, const double&,
                                                      const double&, const double&, const double&);

constexpr const char* kChoices[] = {"accurate", "series"};

// A motor read from a sample set, evaluated at the layer surface x = R.
class TestMotor {
public:
    TestMotor(int set, Geometry geometry, const std::string& highestHarmonic = "1",
              int method = kGauss8, const char* functions = "accurate",
              const std::vector<std::pair<int, const char*>>& cells = {},
              const char* formulation = "physical") {
        InputRecord record = startupRecord();
        applySampleSet(record, kSampleSets[static_cast<std::size_t>(set)]);
        for (const auto& [row, text] : cells) record.value(row) = text;
        record.geometry = geometry;
        record.highestHarmonic = highestHarmonic;
        record.integrationMethod =
            std::string(kIntegrationMethodItems[static_cast<std::size_t>(method)]);
        record.besselFunctions = functions;
        record.formulation = formulation;
        clearFpFaults();
        motor.readParameters(record, {});
    }
    TestMotor(const TestMotor&) = delete;
    TestMotor& operator=(const TestMotor&) = delete;

    MotorParameters& p() { return data.params; }
    // The evaluator at the tabled point with the surface at R; a raised flag fails the call.
    double operator()(EvaluatorMember e) { return at(e, p().R); }
    double at(EvaluatorMember e, double x) {
        return checkedValue((motor.*e)(p().kp, x, p().g, p().a, p().z, p().n));
    }
    // kh and slip of harmonic order h.
    double kh(int h) { return p().kp * h; }
    double slip(int h) { return p().syncSpeed / h - p().n; }

    ModelData data;
    AsynchronousMotor motor{data};
};

bool close(const Complex& a, const Complex& b, double rel) {
    return abs(a - b) <= rel * std::max(abs(a), abs(b));
}

struct Balance {
    double force;     // |L + M + I − T| / |T|
    double coenergy;  // |C + I − T| / |T|
    double power;     // |J + A − P| / |P|
};

Balance balance(TestMotor& m) {
    const double T = m(&AsynchronousMotor::maxwellForce);
    const double L = m(&AsynchronousMotor::lorentzForce);
    const double M = m(&AsynchronousMotor::materialForce);
    const double I = m(&AsynchronousMotor::impulseForce);
    const double C = m(&AsynchronousMotor::coenergyForce);
    const double P = m(&AsynchronousMotor::poyntingPower);
    const double J = m(&AsynchronousMotor::joulePower);
    const double A = m(&AsynchronousMotor::anisotropyPower);
    return {std::fabs(L + M + I - T) / std::fabs(T), std::fabs(C + I - T) / std::fabs(T),
            std::fabs(J + A - P) / std::fabs(P)};
}

Balance balance(int set, Geometry geometry, const char* highest, int method,
                const char* functions) {
    TestMotor m(set, geometry, highest, method, functions);
    return balance(m);
}

// Layer tangential field strength H_t = ν21·B_n + ν2·B_t at r, and a field strength scale there.
struct LayerField {
    Complex value;
    double scale;
};
LayerField layerTangentialField(TestMotor& m, const HarmonicField& f, double r) {
    const LayerPoint point = layerPointAt(f, r, true);
    const Complex& bn = point.normalFlux;
    const Complex& bt = point.tangentialFlux;
    return {m.p().ni21 * bn + m.p().ni2 * bt, m.p().ni2 * (abs(bn) + abs(bt))};
}

TEST(InductionField, CoreGapAndStatorConditionsHoldForEveryGeometryAndLayer) {
    for (int set : {kAnisotropicComplex, kData1, kUpdatedWorkshop}) {
        for (Geometry geometry : kGeometries) {
            for (int h : {1, -5, 7}) {
                TestMotor m(set, geometry);
                const double kh = m.kh(h), s = m.slip(h), theta = 1.0;
                const double R = m.p().R, g = m.p().g, a = m.p().a;
                const std::string what =
                    std::to_string(set) + " " + name(geometry) + " h=" + std::to_string(h);
                const HarmonicField f = m.motor.solveField(kh, g, a, theta, s);
                // Infinitely permeable core: no tangential field strength at its surface.
                const LayerField core = layerTangentialField(m, f, R - a);
                EXPECT_LE(abs(core.value), 1e-9 * core.scale) << what;
                // Potential and tangential field strength are continuous at the layer surface.
                EXPECT_TRUE(
                    close(layerPointAt(f, R, false).potential, gapPointAt(f, R).potential, 1e-9))
                    << what;
                EXPECT_TRUE(close(layerTangentialField(m, f, R).value,
                                  gapPointAt(f, R).tangentialField, 1e-9))
                    << what;
                // The unit current sheet at the stator surface: −L·H_t = j·kh.
                const double stator = R + g;
                double L = 1.0;
                if (geometry == Geometry::Cylindrical) L = stator;
                if (geometry == Geometry::Spherical) L = stator * std::sin(theta);
                const Complex sheet = -L * gapPointAt(f, stator).tangentialField;
                EXPECT_TRUE(close(sheet, Complex(0.0, kh), 1e-9)) << what;
                EXPECT_NO_THROW(throwOnFpFault()) << what;
            }
        }
    }
}

TEST(InductionField, LayerOrdersOfTheNamedSampleSets) {
    struct Case {
        int set;
        Complex power;
        Complex lambda;
    };
    const Complex alpha(0.6, -0.5);
    for (const Case& c : {Case{kIsotropicInteger, 0.0, 1.0}, Case{kAnisotropicInteger, 1.0, 3.0},
                          Case{kAnisotropicComplex, alpha, sqrt(alpha * alpha + 4.0)}}) {
        TestMotor m(c.set, Geometry::Cylindrical);
        const HarmonicField f = m.motor.solveField(m.kh(1), m.p().g, m.p().a, m.p().z, m.slip(1));
        EXPECT_LE(abs(f.layerPower - c.power), 1e-15) << c.set;
        EXPECT_LE(abs(f.alpha - c.power), 1e-15) << c.set;
        EXPECT_TRUE(close(f.lambdaFirst, c.lambda, 1e-15)) << c.set;
        EXPECT_EQ(f.lambdaSecond, f.lambdaFirst) << c.set;
    }
}

TEST(InductionField, IsotropicConstants) {
    // Linear: α = ρ = 0, λ = ∓√κ, μ = ±|kh|, p = 0, β = 1.
    TestMotor linear(kUpdatedWorkshop, Geometry::Linear);
    const double kh = linear.kh(-5);
    const HarmonicField l = linear.motor.solveField(kh, 0.0, linear.p().a, 0.0, linear.slip(-5));
    EXPECT_EQ(l.alpha, Complex(0.0));
    EXPECT_EQ(abs(l.rho), 0.0);
    EXPECT_EQ(l.beta, Complex(1.0));
    EXPECT_EQ(l.layerPower, Complex(0.0));
    EXPECT_TRUE(close(l.lambdaFirst, -sqrt(l.kappa), 1e-15));
    EXPECT_TRUE(close(l.lambdaSecond, sqrt(l.kappa), 1e-15));
    EXPECT_TRUE(close(l.mu1, 5.0, 1e-15));
    EXPECT_TRUE(close(l.mu2, -5.0, 1e-15));
    // The layer meets the fifth harmonic at five times its slip speed, in fundamental wavelengths.
    EXPECT_TRUE(close(l.frequency, Complex(0.0, 2 * kPi * -5 * linear.slip(-5)), 1e-15));
    // Sphere at the equator with an isotropic gap: μ1 + μ2 = −1 and μ1·μ2 = −kh².
    TestMotor sphere(kUpdatedWorkshop, Geometry::Spherical);
    for (double k : {1.0, 3.0, -7.0}) {
        const HarmonicField f = sphere.motor.solveField(k, 0.0, sphere.p().a, kPi / 2, 10.0);
        EXPECT_TRUE(close(f.mu1 + f.mu2, -1.0, 1e-15)) << k;
        EXPECT_TRUE(close(f.mu1 * f.mu2, -k * k, 1e-14)) << k;
        EXPECT_EQ(f.lambdaShift, Complex(1.0));
        EXPECT_DOUBLE_EQ(f.x0, sphere.p().R - sphere.p().a);
    }
    EXPECT_NO_THROW(throwOnFpFault());
}

TEST(InductionField, DisplayTextsShowTheLastSolve) {
    TestMotor m(kAnisotropicInteger, Geometry::Cylindrical);
    EXPECT_FALSE(m.motor.edit2Text());
    EXPECT_FALSE(m.motor.edit3Text());
    (void)m.motor.solveField(m.kh(1), m.p().g, m.p().a, m.p().z, m.slip(1));
    EXPECT_EQ(m.motor.edit2Text(), "  lambda =  3,0000000 + i( 0,0000000 )");
    // The linear layer has β = 1: the second text shows R.
    TestMotor linear(kIsotropicInteger, Geometry::Linear);
    linear(&AsynchronousMotor::maxwellForce);
    EXPECT_EQ(linear.motor.edit3Text(), "     modul( beta times R ) =  0,1");
}

TEST(InductionField, SphericalPoleIsAFloatingPointFault) {
    TestMotor m(kUpdatedWorkshop, Geometry::Spherical);
    (void)m.motor.solveField(m.kh(1), m.p().g, m.p().a, 0.0, m.slip(1));
    EXPECT_THROW(
        try { throwOnFpFault(); } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), "Floating point division by zero");
            throw;
        },
        CalcError);
}

// The driver takes any set of densities at once, each bit for bit what it is alone, whichever
// policy, rule (Simpson's shared panel ends too) and number of panels; a field is a value, so
// the solves in between change nothing.
TEST(InductionField, DensitiesTogetherAreEachDensityAlone) {
    struct Case {
        Geometry geometry;
        int method;
        int panels;
    };
    for (const Case& c :
         {Case{Geometry::Cylindrical, kGauss8, 1}, Case{Geometry::Linear, kSimpson, 2},
          Case{Geometry::Spherical, kSimpson, 1}, Case{Geometry::Spherical, kGauss5, 3}}) {
        TestMotor m(kImpulseAnisotropy, c.geometry, "1", c.method);
        const double kh = m.kh(-5), s = m.slip(-5);
        const double x = m.p().R + 0.5 * m.p().g;
        const AngleSolver solve = [&](double theta) {
            return m.motor.solveField(kh, m.p().g, m.p().a, theta, s);
        };
        const auto together = [&](FieldPolicy policy, const DensitySet& chosen) {
            const DensityIntegration how{&m.p(), c.panels, policy};
            return integrateDensities(how, chosen, solve, x, m.p().a, m.p().z);
        };
        const DensityValues all = together(FieldPolicy::Shared, DensitySet().set());
        EXPECT_EQ(together(FieldPolicy::Literal, DensitySet().set()), all) << name(c.geometry);
        for (std::size_t k = 0; k < kDensityCount; ++k) {
            for (FieldPolicy policy : {FieldPolicy::Shared, FieldPolicy::Literal})
                EXPECT_EQ(together(policy, DensitySet().set(k))[k], all[k])
                    << name(c.geometry) << " density " << k;
            if (static_cast<Density>(k) != Density::Residual) {
                EXPECT_NE(all[k], 0.0) << name(c.geometry) << " density " << k;
            }
        }
        EXPECT_NO_THROW(throwOnFpFault()) << name(c.geometry);
    }
}

void printBalanceRow(int set, Geometry geometry, const char* functions, const Balance& b8,
                     const Balance& b15) {
    std::printf("  set %2d %-12s %-8s force %9.2e %9.2e  coenergy %9.2e %9.2e  power %9.2e %9.2e\n",
                set, name(geometry), functions, b8.force, b15.force, b8.coenergy, b15.coenergy,
                b8.power, b15.power);
}

// Maxwell = Lorentz + material + impulse = coenergy + impulse and Poynting = Joule + anisotropy,
// with and without anisotropy and impulse fields, up to the integration error, for both choices
// of Bessel functions.
TEST(InductionBalance, ForceAndPowerBalancesConvergeWithTheRule) {
    std::printf("  relative balance errors, Gauss 8 | Gauss 15\n");
    for (const char* functions : kChoices) {
        double worst8 = 0.0, worst15 = 0.0;
        for (int set : {kUpdatedWorkshop, kAnisotropicInteger, kAnisotropicComplex, kData1,
                        kPoyntingCylindrical, kPoyntingSpherical, kImpulseAnisotropy}) {
            for (Geometry geometry : kGeometries) {
                const Balance b8 = balance(set, geometry, "1", kGauss8, functions);
                const Balance b15 = balance(set, geometry, "1", kGauss15, functions);
                printBalanceRow(set, geometry, functions, b8, b15);
                for (double e : {b15.force, b15.coenergy, b15.power}) EXPECT_LT(e, 1e-9) << set;
                worst8 = std::max({worst8, b8.force, b8.coenergy, b8.power});
                worst15 = std::max({worst15, b15.force, b15.coenergy, b15.power});
            }
        }
        EXPECT_LT(worst8, 1e-5) << functions;
        EXPECT_LT(worst15 * 100.0, worst8) << functions;
    }
}

TEST(InductionBalance, HigherHarmonicsKeepTheBalances) {
    for (const char* functions : kChoices) {
        for (Geometry geometry : kGeometries) {
            const Balance b = balance(kData1, geometry, "17", kGauss15, functions);
            for (double e : {b.force, b.coenergy, b.power})
                EXPECT_LT(e, 1e-9) << name(geometry) << " " << functions;
        }
    }
}

// Where the series are accurate (the fundamental: small |β·r| and low orders) both choices give
// the same numbers, every evaluator, every geometry. The legacy formulation keeps the currents of
// the two-pole-pair set at half the frequency, where the series keep ten digits.
TEST(InductionEvaluators, AccurateAndSeriesAgreeWhereTheSeriesAreAccurate) {
    const EvaluatorMember all[] = {
        &AsynchronousMotor::maxwellForce,   &AsynchronousMotor::lorentzForce,
        &AsynchronousMotor::materialForce,  &AsynchronousMotor::coenergyForce,
        &AsynchronousMotor::poyntingPower,  &AsynchronousMotor::joulePower,
        &AsynchronousMotor::anisotropyPower};
    for (int set : {kUpdatedWorkshop, kAnisotropicComplex, kData1}) {
        for (Geometry geometry : kGeometries) {
            TestMotor accurate(set, geometry, "1", kGauss8, "accurate", {}, "legacy");
            TestMotor series(set, geometry, "1", kGauss8, "series", {}, "legacy");
            for (EvaluatorMember e : all) {
                const double want = series(e);
                EXPECT_NEAR(accurate(e), want, 1e-10 * std::fabs(want))
                    << set << " " << name(geometry);
            }
            EXPECT_EQ(accurate.motor.edit2Text(), series.motor.edit2Text());
        }
    }
}

// Beyond the series' domain (highest harmonic 17, where |β·r| or the order is large) the
// accurate functions give the torques of an independent arbitrary-precision evaluation of the
// legacy model, and every balance closes; in the physical formulation, whose higher harmonics
// are at higher frequencies, every balance closes with each integral on four panels.
TEST(InductionBalance, AccurateFunctionsCloseTheBalancesWhereTheSeriesFail) {
    struct Case {
        int set;
        Geometry geometry;
        const char* highest;
        double maxwell;  // to the digits given
        double digits;
    };
    const Case cases[] = {{kAnisotropicComplex, Geometry::Cylindrical, "17", -10.31, 1e-2},
                          {kAnisotropicComplex, Geometry::Spherical, "17", -8.571, 1e-3},
                          {kIsotropicInteger, Geometry::Cylindrical, "17", 3.806, 1e-3},
                          {kAnisotropicInteger, Geometry::Cylindrical, "17", 7.895, 1e-3},
                          {kAnisotropicInteger, Geometry::Spherical, "17", 8.620, 1e-3},
                          {kPoyntingLinear, Geometry::Cylindrical, "17", 1.770e-7, 1e-10},
                          {kHighFrequency, Geometry::Spherical, "1", 0.27385, 1e-5}};
    for (const Case& c : cases) {
        TestMotor m(c.set, c.geometry, c.highest, kGauss15, "accurate", {}, "legacy");
        EXPECT_NEAR(m(&AsynchronousMotor::maxwellForce), c.maxwell, 0.5 * c.digits)
            << c.set << " " << name(c.geometry);
        const Balance b = balance(m);
        for (double e : {b.force, b.coenergy, b.power})
            EXPECT_LT(e, 1e-6) << c.set << " " << name(c.geometry);
        TestMotor physical(c.set, c.geometry, c.highest, kGauss15);
        physical.motor.setRulePanels(4);
        const Balance p = balance(physical);
        for (double e : {p.force, p.coenergy, p.power})
            EXPECT_LT(e, 1e-11) << c.set << " " << name(c.geometry) << " physical";
    }
}

// Where an intermediate leaves the double range, the field solution is still formed: the orders
// near the poles of the sphere (θ from 0.01) and a large copper rotor (|β·R| about 80 at the
// highest harmonic 17) give finite numbers and closed balances.
TEST(InductionBalance, LargeOrdersAndArgumentsNeedNoIntermediateBeyondTheRange) {
    struct Case {
        int set;
        Geometry geometry;
        std::vector<std::pair<int, const char*>> cells;
    };
    const Case cases[] = {{kTessor, Geometry::Spherical, {}},
                          {kUpdatedWorkshop, Geometry::Cylindrical, kCopperRotor},
                          {kUpdatedWorkshop, Geometry::Spherical, kCopperRotor}};
    for (const Case& c : cases) {
        TestMotor m(c.set, c.geometry, "17", kGauss15, "accurate", c.cells);
        const Balance b = balance(m);
        for (double e : {b.force, b.coenergy, b.power})
            EXPECT_LT(e, 1e-6) << c.set << " " << name(c.geometry);
    }
}

// The impulse weight carries the factor |kh| of the Lorentz weight, so that both force balances
// close for harmonics with |kh| ≠ 1 too (without it they missed by (|kh| − 1)·impulse).
TEST(InductionBalance, ImpulseTermOfHarmonicsWithKhOtherThanOne) {
    struct Case {
        int set;
        Geometry geometry;
        const char* highest;
    };
    for (const Case& c : {Case{kPoyntingLinear, Geometry::Linear, "1"},  // kp = 1.496
                          Case{kPoyntingCylindrical, Geometry::Cylindrical, "17"},
                          Case{kPoyntingSpherical, Geometry::Spherical, "17"}}) {
        TestMotor m(c.set, c.geometry, c.highest, kGauss15);
        const double T = m(&AsynchronousMotor::maxwellForce);
        const double L = m(&AsynchronousMotor::lorentzForce);
        const double I = m(&AsynchronousMotor::impulseForce);
        const double C = m(&AsynchronousMotor::coenergyForce);
        EXPECT_GT(std::fabs(I), 1e-3 * std::fabs(T)) << c.set;
        EXPECT_NEAR(L + I, T, 1e-9 * std::fabs(T)) << c.set;
        EXPECT_NEAR(C + I, T, 1e-9 * std::fabs(T)) << c.set;
    }
}

TEST(InductionEvaluators, ExactZeros) {
    TestMotor m(kData1, Geometry::Cylindrical);
    // fI = 0 and ε ≠ 0: no impulse component; the anisotropic layer has a material one.
    EXPECT_EQ(m(&AsynchronousMotor::impulseForce), 0.0);
    EXPECT_NE(m(&AsynchronousMotor::materialForce), 0.0);
    // Hermitian layer, also with complex off-diagonal terms.
    m.p().ni21 = conj(m.p().ni12);
    EXPECT_EQ(m(&AsynchronousMotor::materialForce), 0.0);
    EXPECT_EQ(m(&AsynchronousMotor::anisotropyPower), 0.0);
    // A symmetric complex pair is not Hermitian.
    m.p().ni12 = m.p().ni21 = Complex(0.5, 0.5) * kNi0;
    EXPECT_NE(m(&AsynchronousMotor::materialForce), 0.0);
    // A layer that does not conduct carries no current.
    m.p().gamma = 0.0;
    EXPECT_EQ(m(&AsynchronousMotor::lorentzForce), 0.0);
    EXPECT_EQ(m(&AsynchronousMotor::joulePower), 0.0);
}

TEST(InductionEvaluators, SynchronousSpeedSkipsTheFundamental) {
    const EvaluatorMember all[] = {
        &AsynchronousMotor::maxwellForce,  &AsynchronousMotor::lorentzForce,
        &AsynchronousMotor::materialForce, &AsynchronousMotor::impulseForce,
        &AsynchronousMotor::coenergyForce, &AsynchronousMotor::poyntingPower,
        &AsynchronousMotor::joulePower,    &AsynchronousMotor::anisotropyPower,
        &AsynchronousMotor::accuracyI,     &AsynchronousMotor::accuracyK};
    for (Geometry geometry : kGeometries) {
        TestMotor m(kImpulseAnisotropy, geometry);
        m.p().n = m.p().syncSpeed;
        for (EvaluatorMember e : all) EXPECT_EQ(m(e), 0.0) << name(geometry);
        EXPECT_FALSE(m.motor.odeErrorValue(m.p().kp, m.p().R, m.p().g, m.p().a, m.p().z, m.p().n));
        EXPECT_NO_THROW(throwOnFpFault());
        EXPECT_THROW(
            try { m(&AsynchronousMotor::odeError); } catch (const CalcError& e) {
                EXPECT_STREQ(e.what(), "Invalid floating point operation");
                throw;
            },
            CalcError);
    }
    // Order -5 still slips at the fundamental's synchronous speed.
    TestMotor m(kUpdatedWorkshop, Geometry::Cylindrical, "5");
    m.p().n = m.p().syncSpeed;
    EXPECT_NE(m(&AsynchronousMotor::maxwellForce), 0.0);
}

TEST(InductionEvaluators, LinearAccuracyIsExact) {
    TestMotor m(kData1, Geometry::Linear, "17");
    for (double n : {-30.0, 0.0, 45.0, 120.0}) {
        m.p().n = n;
        EXPECT_NEAR(m(&AsynchronousMotor::accuracyI), 1.0, 1e-13) << n;
        EXPECT_NEAR(m(&AsynchronousMotor::accuracyK), 1.0, 1e-13) << n;
        EXPECT_LT(m(&AsynchronousMotor::odeError), 1e-12) << n;
    }
}

// The series' difference quotients leave their mark on the layer equation; the accurate
// functions' exact second derivatives satisfy it to rounding.
TEST(InductionEvaluators, RotatingAccuracyIsNearOne) {
    struct Case {
        const char* functions;
        double accuracy, ode;
    };
    for (const Case& c : {Case{"series", 1e-3, 1e-2}, Case{"accurate", 1e-12, 1e-12}}) {
        for (Geometry geometry : {Geometry::Cylindrical, Geometry::Spherical}) {
            TestMotor m(kUpdatedWorkshop, geometry, "5", kGauss8, c.functions);
            EXPECT_NEAR(m(&AsynchronousMotor::accuracyI), 1.0, c.accuracy) << name(geometry);
            EXPECT_NEAR(m(&AsynchronousMotor::accuracyK), 1.0, c.accuracy) << name(geometry);
            const std::optional<double> ode =
                m.motor.odeErrorValue(m.p().kp, m.p().R, m.p().g, m.p().a, m.p().z, m.p().n);
            ASSERT_TRUE(ode);
            EXPECT_LT(*ode, c.ode) << name(geometry) << " " << c.functions;
        }
    }
}

TEST(InductionEvaluators, SurfaceIndependence) {
    for (Geometry geometry : kGeometries) {
        TestMotor m(kData1, geometry, "5");
        const double R = m.p().R, inGap = R + 0.5 * m.p().g;
        // The Poynting term is always taken at R.
        EXPECT_EQ(m.at(&AsynchronousMotor::poyntingPower, R),
                  m.at(&AsynchronousMotor::poyntingPower, 0.5 * R));
        // An isotropic gap transmits the same stress through every surface.
        const double T = m.at(&AsynchronousMotor::maxwellForce, R);
        EXPECT_NEAR(m.at(&AsynchronousMotor::maxwellForce, inGap), T, 1e-10 * std::fabs(T));
    }
}

TEST(InductionEvaluators, ResultsDoNotDependOnThePreviousCall) {
    for (Geometry geometry : kGeometries) {
        TestMotor fresh(kData1, geometry);
        TestMotor used(kData1, geometry);
        const double wide = 0.5 * used.p().a;
        used.motor.joulePower(used.p().kp, used.p().R, used.p().g, wide, used.p().z, used.p().n);
        EXPECT_EQ(used(&AsynchronousMotor::anisotropyPower),
                  fresh(&AsynchronousMotor::anisotropyPower));
    }
}

// The spherical ODE error integrates over θ and does not read the caller's polar angle.
TEST(InductionEvaluators, SphericalOdeErrorIgnoresTheCallersAngle) {
    TestMotor m(kUpdatedWorkshop, Geometry::Spherical);
    const double expected = m(&AsynchronousMotor::odeError);
    m.p().z = 0.0;
    EXPECT_EQ(m(&AsynchronousMotor::odeError), expected);
}

TEST(InductionEvaluators, LiteralAndReuseModesAgree) {
    const EvaluatorMember all[] = {
        &AsynchronousMotor::maxwellForce,  &AsynchronousMotor::lorentzForce,
        &AsynchronousMotor::materialForce, &AsynchronousMotor::impulseForce,
        &AsynchronousMotor::coenergyForce, &AsynchronousMotor::poyntingPower,
        &AsynchronousMotor::joulePower,    &AsynchronousMotor::anisotropyPower,
        &AsynchronousMotor::accuracyI,     &AsynchronousMotor::accuracyK,
        &AsynchronousMotor::odeError};
    for (const auto& [set, functions] : {std::pair{kData1, "accurate"},
                                         {kImpulseAnisotropy, "accurate"},
                                         {kData1, "series"},
                                         {kImpulseAnisotropy, "series"}}) {
        for (Geometry geometry : kGeometries) {
            TestMotor m(set, geometry, "7", kGauss8, functions);
            EXPECT_EQ(m.motor.evaluationMode(), AsynchronousMotor::EvaluationMode::Reuse);
            for (EvaluatorMember e : all) {
                const double reuse = m(e);
                const std::optional<std::string> texts[] = {m.motor.edit2Text(),
                                                            m.motor.edit3Text()};
                m.motor.setEvaluationMode(AsynchronousMotor::EvaluationMode::Literal);
                EXPECT_EQ(m(e), reuse) << set << " " << name(geometry) << " " << functions;
                EXPECT_EQ(m.motor.edit2Text(), texts[0]);
                EXPECT_EQ(m.motor.edit3Text(), texts[1]);
                m.motor.setEvaluationMode(AsynchronousMotor::EvaluationMode::Reuse);
            }
        }
    }
}

// Panels of the rule refine every integral (across the layer and over θ), in both modes; one
// panel is the rule itself.
TEST(InductionEvaluators, RulePanelsRefineEveryIntegral) {
    const double reference =
        TestMotor(kData1, Geometry::Spherical, "1", kGauss15)(&AsynchronousMotor::coenergyForce);
    TestMotor m(kData1, Geometry::Spherical, "1", kGauss5);
    const double plain = m(&AsynchronousMotor::coenergyForce);
    m.motor.setRulePanels(1);
    EXPECT_EQ(m(&AsynchronousMotor::coenergyForce), plain);
    m.motor.setRulePanels(8);
    const double refined = m(&AsynchronousMotor::coenergyForce);
    EXPECT_LT(std::fabs(refined - reference), 1e-3 * std::fabs(plain - reference));
    m.motor.setEvaluationMode(AsynchronousMotor::EvaluationMode::Literal);
    EXPECT_EQ(m(&AsynchronousMotor::coenergyForce), refined);
}

// Simpson calls the node that ends one panel and starts the next twice; the reuse mode
// evaluates it once and shares every node among the densities of one evaluator (anisotropy and
// stored energies, ODE residual and norm), with the literal numbers and display texts. With the
// series functions only the solve's own values at the layer's two faces come again at the end
// nodes (about 1 %); the accurate ones keep those.
TEST(InductionEvaluators, SimpsonReuseEvaluatesEachPointOnce) {
    for (EvaluatorMember e : {&AsynchronousMotor::joulePower, &AsynchronousMotor::anisotropyPower,
                              &AsynchronousMotor::odeError}) {
        TestMotor m(kImpulseAnisotropy, Geometry::Spherical, "1", kSimpson, "series");
        resetBesselEvaluations();
        trackDistinctBesselEvaluations(true);
        const double reuse = m(e);
        trackDistinctBesselEvaluations(false);
        EXPECT_LE(besselEvaluations(), 1.05 * double(distinctBesselEvaluations()));
        const std::optional<std::string> texts[] = {m.motor.edit2Text(), m.motor.edit3Text()};
        m.motor.setEvaluationMode(AsynchronousMotor::EvaluationMode::Literal);
        EXPECT_EQ(m(e), reuse);
        EXPECT_EQ(m.motor.edit2Text(), texts[0]);
        EXPECT_EQ(m.motor.edit3Text(), texts[1]);
    }
}

}  // namespace
}  // namespace emforce
