// The one-layer model of a parameter record entered as a stack gives the record's Maxwell and
// Lorentz results, and what a stack cannot hold is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "induction/asynchronous_motor.hpp"
#include "induction/region_stack_results.hpp"
#include "model/sample_sets.hpp"
#include "model/seed_stack.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {
namespace {

// A sample set read with the 15-point rule, its gap made of air, without permittivity and fI,
// its layer as the set has it or made isotropic (ν1 = ν2, no off-diagonal terms).
struct AirGapSeed {
    AirGapSeed(std::size_t set, Geometry geometry, const std::string& highest, bool isotropic) {
        InputRecord record = startupRecord();
        applySampleSet(record, kSampleSets[set]);
        record.geometry = geometry;
        record.highestHarmonic = highest;
        record.integrationMethod = std::string(kIntegrationMethodItems[6]);
        clearFpFaults();
        motor.readParameters(record, {});
        MotorParameters& p = data.params;
        if (isotropic) {
            p.ni1 = p.ni2;
            p.ni12 = p.ni21 = 0.0;
        }
        p.ni1d = p.ni2d = kNi0;
        p.ni12d = p.ni21d = 0.0;
        p.eps = p.fI = 0.0;
    }
    ModelData data;
    AsynchronousMotor motor{data};
};

// The record's Maxwell and Lorentz torques (forces) and the stack's, per metre (square metre).
struct Torques {
    double maxwell, lorentz, stackMaxwell, stackLorentz;
    double size;  // Σ|T_h| of the stack's waves: what a sum that cancels is accurate to
};

Torques torques(AirGapSeed& seed) {
    MotorParameters& p = seed.data.params;
    const double maxwell = seed.motor.maxwellForce(p.kp, p.R, p.g, p.a, p.z, p.n);
    const double lorentz = seed.motor.lorentzForce(p.kp, p.R, p.g, p.a, p.z, p.n);
    const StackResults r = solveStack(seedStack(p, seed.data.statorSpectrum), stackSpeed(p, p.n));
    const double scale =
        p.l * (p.geometry == Geometry::Linear ? 2.0 * std::numbers::pi / p.kp : 1.0);
    double size = 0.0;
    for (const WaveResult& w : r.waves) size += std::fabs(w.maxwell) * scale;
    return {maxwell, lorentz, r.maxwell * scale, r.rotorLorentz * scale, size};
}

double balanceGap(const Torques& t) { return std::fabs(t.lorentz - t.maxwell) / t.size; }

// Every sample set in both geometries, for the fundamental and for the orders up to 17 with
// the set's pole pairs (the physical formulation), its layer as it is (anisotropic in most) and
// made isotropic; all relative to Σ|T_h| over the waves, since the sum of forward and backward
// torques may cancel. The record's Maxwell torque is that of the field in the gap, to 2e-13 but
// where the record's own Lorentz torque of the fundamental in the isotropic layer differs from
// it by more than rounding (a weakly coupled layer, Im(A·A'*) ≪ |A|·|A'|: three cylindrical
// sets, up to 8e-12): there to five times that. The record's Lorentz torque is a 15-point
// quadrature over the layer, which misses high orders in thick layers (up to 3e-4 at order 17
// with two pole pairs): it is held to five times its own gap to the Maxwell torque in the
// isotropic layer, where the stack's two agree to rounding.
TEST(SeedStack, EqualsTheRecordsMaxwellAndLorentzOnEverySampleSet) {
    for (std::size_t set = 0; set < kSampleSets.size(); ++set)
        for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
            AirGapSeed fundamental(set, geometry, "1", true);
            const double maxwellTolerance = std::max(2e-13, 5.0 * balanceGap(torques(fundamental)));
            for (const char* highest : {"1", "17"}) {
                AirGapSeed isotropic(set, geometry, highest, true);
                const Torques t = torques(isotropic);
                const double lorentzTolerance = std::max(maxwellTolerance, 5.0 * balanceGap(t));
                AirGapSeed asItIs(set, geometry, highest, false);
                const Torques cases[] = {t, torques(asItIs)};
                for (const Torques& c : cases) {
                    const std::string where =
                        std::string(kSampleSets[set].name) + " " +
                        (geometry == Geometry::Linear ? "linear" : "cylindrical") + " H " +
                        highest + (&c == cases ? " isotropic" : "");
                    EXPECT_NEAR(c.stackMaxwell, c.maxwell, maxwellTolerance * c.size) << where;
                    EXPECT_NEAR(c.stackLorentz, c.lorentz, lorentzTolerance * c.size) << where;
                }
                EXPECT_NEAR(t.stackLorentz, t.stackMaxwell, 1e-13 * t.size);
            }
        }
}

TEST(SeedStack, RefusesWhatAStackDoesNotHold) {
    struct Case {
        const char* message;
        void (*change)(MotorParameters&);
    };
    const Case cases[] = {
        {"it is spherical", [](MotorParameters& p) { p.geometry = Geometry::Spherical; }},
        {"its gap is not air", [](MotorParameters& p) { p.ni2d = 2.0 * kNi0; }},
        {"its layer has a permittivity", [](MotorParameters& p) { p.eps = 1e-11; }},
        {"its field has an fI", [](MotorParameters& p) { p.fI = 1.0; }},
    };
    for (const Case& c : cases) {
        AirGapSeed seed(1, Geometry::Cylindrical, "1", true);
        c.change(seed.data.params);
        try {
            seedStack(seed.data.params, seed.data.statorSpectrum);
            ADD_FAILURE() << c.message;
        } catch (const CalcError& e) {
            EXPECT_EQ(
                e.what(),
                std::string("This machine cannot be entered as a stack of regions: ") + c.message);
        }
    }
}

}  // namespace
}  // namespace emforce
