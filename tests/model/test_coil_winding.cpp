// The current-density waves of a winding of coil sides.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "model/coil_winding.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

constexpr double kPi = std::numbers::pi;

// Sides of width w and density J at midlines 0, 60°, ..., 300° as +A, −B, +C, −A, +B, −C,
// the phases fed at 0, 2π/3, 4π/3: a balanced winding whose fundamental travels forward.
Winding threePhase(double width, double density) {
    Winding w;
    w.phaseAngles = {0.0, 2.0 * kPi / 3.0, 4.0 * kPi / 3.0};
    const int phase[] = {0, 1, 2, 0, 1, 2}, sign[] = {1, -1, 1, -1, 1, -1};
    for (int i = 0; i < 6; ++i)
        w.sides.push_back({i * kPi / 3.0, width, phase[i], sign[i], density});
    return w;
}

double phaseAmplitude(int h, double width, double density) {  // a_h = (4J/(hπ))·sin(h·w/2)
    return 4.0 * density / (h * kPi) * std::sin(h * width / 2.0);
}

TEST(WindingSpectrum, ThreePhaseKeepsForwardAndBackwardOrdersAndCancelsTriplens) {
    const double width = kPi / 4.0, density = 3.1e6;
    const std::vector<SourceHarmonic> waves = windingSpectrum(threePhase(width, density), 51);
    std::vector<int> orders;
    for (const SourceHarmonic& s : waves) {
        orders.push_back(s.order);
        // 1, 7, 13, ... forward; 5, 11, ... backward; each 3/2·a_h.
        const int m = std::abs(s.order);
        EXPECT_EQ(m % 6 == 1 ? 1 : -1, s.order > 0 ? 1 : -1) << s.order;
        EXPECT_NEAR(abs(s.amplitude), 1.5 * std::fabs(phaseAmplitude(m, width, density)),
                    1e-9 * density)
            << s.order;
    }
    const std::vector<int> expected = {1,   -5, 7,   -11, 13,  -17, 19,  -23, 25,
                                       -29, 31, -35, 37,  -41, 43,  -47, 49};
    EXPECT_EQ(orders, expected);
}

TEST(WindingSpectrum, SinglePhaseIsAPulsatingFieldOfEveryOddOrder) {
    Winding w;
    w.phaseAngles = {0.0};
    const double width = kPi / 4.0, density = 2.0;
    w.sides = {{0.0, width, 0, 1, density}, {kPi, width, 0, -1, density}};
    const std::vector<SourceHarmonic> waves = windingSpectrum(w, 9);
    ASSERT_EQ(waves.size(), 10u);  // ±1, ±3, ..., ±9 (±5 included: sin(5π/8) ≠ 0)
    for (const SourceHarmonic& s : waves) {
        const int m = std::abs(s.order);
        EXPECT_EQ(m % 2, 1);
        EXPECT_NEAR(real(s.amplitude), phaseAmplitude(m, width, density) / 2.0, 1e-15);
        EXPECT_NEAR(imag(s.amplitude), 0.0, 1e-15);
    }
}

// One side off the origin carries the phase of its position and of its current.
TEST(WindingSpectrum, OneSideCarriesItsPositionAndTimePhase) {
    Winding w;
    w.phaseAngles = {0.3};
    w.sides = {{0.5, 1.0, 0, -1, 7.0}};
    const std::vector<SourceHarmonic> waves = windingSpectrum(w, 2);
    ASSERT_EQ(waves.size(), 4u);
    for (const SourceHarmonic& s : waves) {
        const int h = s.order;
        const double a = -7.0 * std::sin(h * 0.5) / (h * kPi), angle = 0.3 + h * 0.5;
        EXPECT_NEAR(real(s.amplitude), a * std::cos(angle), 1e-15) << h;
        EXPECT_NEAR(imag(s.amplitude), a * std::sin(angle), 1e-15) << h;
    }
}

TEST(WindingSpectrum, RefusesFaultySidesNamingThem) {
    struct Case {
        CoilSide side;
        int highest;
        const char* message;
    };
    const Case cases[] = {
        {{0.0, 0.0, 0, 1, 1.0}, 5, "Coil side 2: its width must be above 0 and at most 2 pi"},
        {{0.0, 7.0, 0, 1, 1.0}, 5, "Coil side 2: its width must be above 0 and at most 2 pi"},
        {{0.0, 1.0, 0, 0, 1.0}, 5, "Coil side 2: its sign must be +1 or -1"},
        {{0.0, 1.0, 1, 1, 1.0}, 5, "Coil side 2: phase 2 has no time angle"},
        {{0.0, 1.0, 0, 1, NAN}, 5, "Coil side 2: its midline and current density must be finite"},
        {{0.0, 1.0, 0, 1, 1.0}, 0, "The highest order of a winding must lie in 1..999"},
    };
    for (const Case& c : cases) {
        Winding w;
        w.phaseAngles = {0.0};
        w.sides = {{0.0, 1.0, 0, 1, 1.0}, c.side};
        try {
            windingSpectrum(w, c.highest);
            ADD_FAILURE() << c.message;
        } catch (const CalcError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace emforce
