// The physical and the legacy formulation of the induction field: the frequency of a harmonic's
// layer currents, finite-element values beyond the fundamental, and the power of every harmonic.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "induction/asynchronous_motor.hpp"
#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kWorkshop34 = 0;

using Cells = std::vector<std::pair<int, std::string>>;

// A motor read from a sample set with a few cells, a pattern and a highest harmonic changed.
class Motor {
public:
    Motor(int set, Geometry geometry, const char* formulation, const Cells& cells, int pattern = 1,
          const char* highest = "1") {
        InputRecord record = startupRecord();
        applySampleSet(record, kSampleSets[static_cast<size_t>(set)]);
        for (const auto& [row, text] : cells) record.value(row) = text;
        record.geometry = geometry;
        record.formulation = formulation;
        record.windingPattern = pattern;
        record.highestHarmonic = highest;
        clearFpFaults();
        motor.readParameters(record, {});
    }
    Motor(const Motor&) = delete;
    Motor& operator=(const Motor&) = delete;

    const MotorParameters& p() const { return data.params; }
    double operator()(double (AsynchronousMotor::*e)(const double&, const double&, const double&,
                                                     const double&, const double&, const double&)) {
        return checkedValue((motor.*e)(p().kp, p().x, p().g, p().a, p().z, p().n));
    }

    ModelData data;
    AsynchronousMotor motor{data};
};

// The layer and the gap made isotropic and non-magnetic (ν1 = ν2 = ν0).
Cells isotropic(Cells more = {}) {
    more.insert(more.begin(), {{13, "1"}, {14, "1"}});
    return more;
}

TEST(Formulation, LayerCurrentsAreAtTheFrequencyTheMovingLayerMeets) {
    struct Case {
        Geometry geometry;
        const char* kp;
        int h;
        const char* n;
        double physical;  // ω_h / 2π
        double legacy;    // 2π·s / 2π
    };
    // f1 = 50 Hz throughout; kp is the pole-pair number, or in the linear geometry the wave number.
    const Case cases[] = {
        {Geometry::Cylindrical, "2", 1, "0", 50.0, 25.0},
        {Geometry::Cylindrical, "2", -5, "10", 50.0 + 2 * 5 * 10, -5.0 - 10},
        {Geometry::Spherical, "3", 7, "4", 50.0 - 3 * 7 * 4, 50.0 / 21 - 4},
        {Geometry::Linear, "5", 7, "3", 50.0 - 7 * 3, 50.0 / 7 - 3},
        {Geometry::Linear, "5", -11, "0", 50.0, -50.0 / 11},
    };
    for (const Case& c : cases) {
        for (const char* formulation : {"physical", "legacy"}) {
            Motor m(kWorkshop34, c.geometry, formulation, {{12, c.kp}, {15, c.n}});
            const double kh = m.p().kp * c.h;
            const double slip = m.p().syncSpeed / c.h - m.p().n;
            const Complex sc = m.motor.frequencyOf(kh, slip);
            const double expected = std::string(formulation) == "physical" ? c.physical : c.legacy;
            EXPECT_NEAR(sc.im() / kTwoPi, expected, 1e-12 * std::fabs(expected) + 1e-13)
                << formulation << " kp " << c.kp << " h " << c.h;
            EXPECT_EQ(sc.re(), m.p().fI);
        }
    }
}

// Torques (N·m) and forces (N) of an independent finite-element solution at the physical
// frequency (A_z in the frame of the layer, converged to about 1e-6), and the numbers the
// program gave before, which the legacy formulation keeps; both rounded as published.
TEST(Formulation, PhysicalAgreesWithFiniteElementsBeyondTheFundamental) {
    struct Case {
        const char* what;
        Geometry geometry;
        Cells cells;
        int pattern;
        const char* highest;
        double fe;
        double earlier;
        double halfUnit;  // of the last published digit
    };
    const Case cases[] = {
        {"p = 2, n = 0", Geometry::Cylindrical, isotropic({{12, "2"}, {15, "0"}}), 1, "1", 12.846,
         12.216, 5e-4},
        {"p = 2, n = 12", Geometry::Cylindrical, isotropic({{12, "2"}, {15, "12"}}), 1, "1", 12.401,
         8.138, 5e-4},
        {"p = 2, n = 24", Geometry::Cylindrical, isotropic({{12, "2"}, {15, "24"}}), 1, "1", 1.394,
         0.698, 5e-4},
        {"order -5 alone, n = 0", Geometry::Cylindrical, isotropic({{15, "0"}}), 6, "5", -0.1373,
         -0.02861, 5e-5},
        {"order -5 alone, n = 40", Geometry::Cylindrical, isotropic({{15, "40"}}), 6, "5", -0.3412,
         -0.1373, 5e-5},
        {"order -5 alone, linear, n = 0", Geometry::Linear, isotropic({{15, "0"}}), 6, "5",
         -0.15956, -0.15910, 5e-6},
    };
    for (const Case& c : cases) {
        Motor physical(kWorkshop34, c.geometry, "physical", c.cells, c.pattern, c.highest);
        EXPECT_NEAR(physical(&AsynchronousMotor::maxwellForce), c.fe, c.halfUnit) << c.what;
        EXPECT_NEAR(physical(&AsynchronousMotor::lorentzForce), c.fe, c.halfUnit) << c.what;
        Motor legacy(kWorkshop34, c.geometry, "legacy", c.cells, c.pattern, c.highest);
        EXPECT_NEAR(legacy(&AsynchronousMotor::maxwellForce), c.earlier, c.halfUnit) << c.what;
    }
}

// With no anisotropy and no impulse field a harmonic's Joule loss is the power its torque
// transmits at the slip: T·ω_h/kh, that is T·2π·s (cylindrical) or F·2π·s/kp (linear).
TEST(Formulation, JouleLossOfAHarmonicIsItsSlipPower) {
    for (Geometry geometry : {Geometry::Cylindrical, Geometry::Linear}) {
        for (int pattern : {6, 7}) {  // the orders -5 and 7 alone
            const int h = pattern == 6 ? -5 : 7;
            Motor m(kWorkshop34, geometry, "physical", isotropic({{12, "2"}, {15, "7"}}), pattern,
                    "7");
            const double slip = m.p().syncSpeed / h - m.p().n;
            const double speed = kTwoPi * slip / (geometry == Geometry::Linear ? m.p().kp : 1.0);
            const double torque = m(&AsynchronousMotor::lorentzForce);
            EXPECT_NEAR(m(&AsynchronousMotor::joulePower), torque * speed,
                        1e-13 * std::fabs(torque * speed))
                << "pattern " << pattern;
            EXPECT_NEAR(m(&AsynchronousMotor::maxwellForce), torque, 1e-7 * std::fabs(torque));
        }
    }
}

}  // namespace
}  // namespace emforce
