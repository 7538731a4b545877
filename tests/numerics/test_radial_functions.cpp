// The radial-function families behind the slots of a motor object.
#include "numerics/radial_functions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace emforce {
namespace {

TEST(RadialFunctions, ExponentialFamilies) {
    const RadialSlots s(GapFamily::Exponential, LayerFamily::Exponential, {});
    const Complex nu{0.3, -1.2}, z{2.0, 0.5}, p{7.0, 3.0};
    EXPECT_EQ(s.radialFirstKind(p, nu, z), s.radialSecondKind(Complex{}, nu, z));  // p has no effect
    EXPECT_EQ(s.radialFirstKindDerivative(p, nu, z), nu * exp(nu * z));
    EXPECT_EQ(s.radialPower(Complex(0.0), 0.7), Complex(1.0));
    EXPECT_EQ(s.radialPowerDerivative(Complex(0.0), 0.7), Complex(0.0));
    EXPECT_NEAR(s.radialPower(Complex(2.0), 0.5).re(), std::exp(1.0), 1e-15);
}

TEST(RadialFunctions, PowerAndBesselFamilies) {
    const RadialSlots s(GapFamily::Power, LayerFamily::Bessel, {});
    const Complex cube = s.radialPower(Complex(3.0), 0.5);
    EXPECT_NEAR(cube.re(), 0.125, 1e-16);
    EXPECT_EQ(cube.im(), 0.0);
    EXPECT_EQ(s.radialPowerDerivative(Complex(0.0), 0.5), Complex(0.0));
    EXPECT_NEAR(s.radialPowerDerivative(Complex(2.0), 3.0).re(), 6.0, 1e-14);
    // I_0(2) and K_0(2), published values.
    EXPECT_NEAR(s.radialFirstKind(Complex{}, Complex{}, Complex(2.0)).re(), 2.2795853023360673, 1e-12);
    EXPECT_NEAR(s.radialSecondKind(Complex{}, Complex{}, Complex(2.0)).re(), 0.11389387274953344, 1e-12);
}

TEST(RadialFunctions, MotorWithoutLayerHasNoLayerSlots) {
    const RadialSlots s(GapFamily::Power, LayerFamily::None, {});
    EXPECT_THROW((void)s.radialFirstKind(Complex{}, Complex{}, Complex(1.0)), std::logic_error);
}

}  // namespace
}  // namespace emforce
