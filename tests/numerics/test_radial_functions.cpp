// The radial-function families behind the slots of a motor object, and their scaled forms.
#include "numerics/radial_functions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

bool close(const Complex& a, const Complex& b, double rel) {
    return abs(a - b) <= rel * std::max(abs(a), abs(b));
}

TEST(RadialFunctions, ExponentialFamilies) {
    const RadialSlots s(GapFamily::Exponential, LayerFamily::Exponential, {});
    const Complex nu{0.3, -1.2}, z{2.0, 0.5}, p{7.0, 3.0};
    EXPECT_EQ(s.radialFirstKind(p, nu, z), s.radialSecondKind(Complex{}, nu, z));  // p has no effect
    EXPECT_EQ(s.radialFirstKindDerivative(p, nu, z), nu * exp(nu * z));
    EXPECT_EQ(s.radialPower(Complex(0.0), 0.7), Complex(1.0));
    EXPECT_EQ(s.radialPowerDerivative(Complex(0.0), 0.7), Complex(0.0));
    EXPECT_NEAR(s.radialPower(Complex(2.0), 0.5).re(), std::exp(1.0), 1e-15);
    // The scaled exponential: e^(νz) = value·e^scale, and its derivatives are ν and ν² times it.
    const ScaledProduct f = s.secondKindProduct(p, nu, z);
    EXPECT_TRUE(close(f.value * std::exp(f.scale), exp(nu * z), 1e-15));
    EXPECT_TRUE(close(f.first, nu * f.value, 1e-15));
    EXPECT_TRUE(close(f.second, nu * nu * f.value, 1e-15));
}

TEST(RadialFunctions, PowerAndBesselFamilies) {
    for (BesselChoice choice : {BesselChoice::Accurate, BesselChoice::Series}) {
        BesselSettings settings;
        settings.functions = choice;
        const RadialSlots s(GapFamily::Power, LayerFamily::Bessel, settings);
        const Complex cube = s.radialPower(Complex(3.0), 0.5);
        EXPECT_NEAR(cube.re(), 0.125, 1e-16);
        EXPECT_EQ(cube.im(), 0.0);
        EXPECT_EQ(s.radialPowerDerivative(Complex(0.0), 0.5), Complex(0.0));
        EXPECT_NEAR(s.radialPowerDerivative(Complex(2.0), 3.0).re(), 6.0, 1e-14);
        // I_0(2) and K_0(2), published values.
        EXPECT_NEAR(s.radialFirstKind(Complex{}, Complex{}, Complex(2.0)).re(), 2.2795853023360673, 1e-12);
        EXPECT_NEAR(s.radialSecondKind(Complex{}, Complex{}, Complex(2.0)).re(), 0.11389387274953344, 1e-12);
    }
}

// Each choice puts its own functions in the layer slots; the series settings reach the series.
TEST(RadialFunctions, LayerSlotsHoldTheChosenFunctions) {
    BesselSettings series{1e-17, 15.0, true, BesselChoice::Series};
    const RadialSlots s(GapFamily::Power, LayerFamily::Bessel, series);
    BesselSettings accurate = series;
    accurate.functions = BesselChoice::Accurate;
    const RadialSlots a(GapFamily::Power, LayerFamily::Bessel, accurate);
    const Complex p{0.6, -0.5}, nu{2.1, -0.3}, z{3.0, 3.0};
    EXPECT_EQ(s.radialFirstKind(p, nu, z), besselI(series, p, nu, z));
    EXPECT_EQ(s.radialSecondKindDerivative(p, nu, z), besselKPrime(series, p, nu, z));
    EXPECT_EQ(a.radialFirstKind(p, nu, z), accurateBesselI(p, nu, z));
    EXPECT_EQ(a.radialSecondKindDerivative(p, nu, z), accurateBesselKPrime(p, nu, z));
    // A harmonic that runs ahead of the layer puts z below the real axis; the series are
    // accurate there too at a small modulus.
    const Complex below{1.2, -1.0};
    const ScaledProduct i = a.firstKindProduct(p, nu, below);
    const ScaledProduct k = a.secondKindProduct(p, nu, below);
    EXPECT_TRUE(close(i.value * std::exp(i.scale), besselI(series, p, nu, below), 1e-12));
    EXPECT_TRUE(close(i.first * std::exp(i.scale), besselIPrime(series, p, nu, below), 1e-12));
    EXPECT_TRUE(close(k.value * std::exp(k.scale), besselK(series, p, nu, below), 1e-12));
    EXPECT_TRUE(close(k.first * std::exp(k.scale), besselKPrime(series, p, nu, below), 1e-12));
    EXPECT_TRUE(close(a.radialSecondKind(p, nu, below), besselK(series, p, nu, below), 1e-12));
    EXPECT_TRUE(a.scaledSolutions());
    EXPECT_FALSE(s.scaledSolutions());
    EXPECT_FALSE(RadialSlots(GapFamily::Power, LayerFamily::None, accurate).scaledSolutions());
}

bool same(const ScaledProduct& a, const ScaledProduct& b) {
    return a.value == b.value && a.first == b.first && a.second == b.second && a.scale == b.scale;
}

// Both layer solutions at once are those of the two single calls, bit for bit: one Bessel
// computation above and below the real axis, two for unequal orders or exponentials.
TEST(RadialFunctions, LayerProductsAreTheSingleSolutions) {
    BesselSettings accurate{1e-17, 15.0, true, BesselChoice::Accurate};
    const RadialSlots bessel(GapFamily::Power, LayerFamily::Bessel, accurate);
    const RadialSlots exponential(GapFamily::Exponential, LayerFamily::Exponential, accurate);
    const Complex p{0.6, -0.5};
    struct Case {
        const RadialSlots* slots;
        Complex nu1, nu2, z;
    };
    for (const Case& c : {Case{&bessel, {2.1, -0.3}, {2.1, -0.3}, {3.0, 3.0}},
                          Case{&bessel, {34.6, 2.5}, {34.6, 2.5}, {20.0, -20.0}},
                          Case{&bessel, {2.1, -0.3}, {4.0, 0.0}, {1.2, -1.0}},
                          Case{&exponential, {-1.5, 0.2}, {1.5, -0.2}, {0.7, 0.0}}}) {
        const std::array<ScaledProduct, 2> both = c.slots->layerProducts(p, c.nu1, c.nu2, c.z);
        EXPECT_TRUE(same(both[0], c.slots->firstKindProduct(p, c.nu1, c.z)));
        EXPECT_TRUE(same(both[1], c.slots->secondKindProduct(p, c.nu2, c.z)));
    }
}

// The normalised powers are the quotients of the plain ones, and stay finite where those leave
// the double range (a gap root of order 1700 near a pole of the sphere).
TEST(RadialFunctions, NormalisedPowersAreQuotientsThatStayInRange) {
    struct Case {
        GapFamily family;
        Complex lambda;
        Complex shift;
        double x, reference;
    };
    const Case cases[] = {{GapFamily::Power, {17.0, -0.4}, 1.0, 0.052, 0.05},
                          {GapFamily::Power, {-3.5, 0.2}, 0.0, 0.05, 0.052},
                          {GapFamily::Exponential, {-40.0, 3.0}, 0.0, 0.11, 0.1}};
    for (const Case& c : cases) {
        const RadialSlots s(c.family, LayerFamily::None, {});
        const Complex base = s.radialPower(c.lambda, c.reference);
        EXPECT_TRUE(close(s.normalisedPower(c.lambda, c.x, c.reference),
                          s.radialPower(c.lambda, c.x) / base, 1e-13));
        EXPECT_TRUE(close(s.normalisedPowerDerivative(c.lambda, c.shift, c.x, c.reference),
                          s.radialPowerDerivative(c.lambda + c.shift, c.x) / base, 1e-13));
    }
    const RadialSlots s(GapFamily::Power, LayerFamily::None, {});
    clearFpFaults();
    const Complex high{1700.0, 0.3};
    const Complex ratio = s.normalisedPower(high, 0.0503, 0.0504);
    const Complex derivative = s.normalisedPowerDerivative(-high, 1.0, 0.0504, 0.0503);
    EXPECT_NO_THROW(throwOnFpFault());
    EXPECT_NEAR(abs(ratio), std::pow(0.0503 / 0.0504, 1700.0), 1e-12);
    EXPECT_TRUE(std::isfinite(abs(derivative)));
}

TEST(RadialFunctions, MotorWithoutLayerHasNoLayerSlots) {
    const RadialSlots s(GapFamily::Power, LayerFamily::None, {});
    EXPECT_THROW((void)s.radialFirstKind(Complex{}, Complex{}, Complex(1.0)), std::logic_error);
    EXPECT_THROW((void)s.firstKindProduct(Complex{}, Complex{}, Complex(1.0)), std::logic_error);
}

}  // namespace
}  // namespace emforce
