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

// A sample set read for the fundamental with the 15-point rule, its layer and gap made
// isotropic (ν1 = ν2, the gap of air, no permittivity, fI = 0).
struct IsotropicSeed {
    IsotropicSeed(std::size_t set, Geometry geometry, const std::string& highest) {
        InputRecord record = startupRecord();
        applySampleSet(record, kSampleSets[set]);
        record.geometry = geometry;
        record.highestHarmonic = highest;
        record.integrationMethod = std::string(kIntegrationMethodItems[6]);
        clearFpFaults();
        motor.readParameters(record, {});
        MotorParameters& p = data.params;
        p.ni1 = p.ni2;
        p.ni12 = p.ni21 = 0.0;
        p.ni1d = p.ni2d = kNi0;
        p.ni12d = p.ni21d = 0.0;
        p.eps = p.fI = 0.0;
    }
    ModelData data;
    AsynchronousMotor motor{data};
};

// Every sample set in both geometries. The record's Maxwell torque is that of the field in the
// gap, its Lorentz torque a 15-point quadrature over the layer; where the two differ by more
// than rounding (a weakly coupled layer: Im(A·A'*) ≪ |A|·|A'|) the stack is held to five
// times their difference.
TEST(SeedStack, EqualsTheRecordsMaxwellAndLorentzOnEverySampleSet) {
    for (std::size_t set = 0; set < kSampleSets.size(); ++set)
        for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
            IsotropicSeed seed(set, geometry, "1");
            MotorParameters& p = seed.data.params;
            // One pole pair: the record's slip and span then agree with the frequency
            // ω − n·Ω of the layer currents and one fundamental wavelength.
            if (geometry == Geometry::Cylindrical) {
                p.kp = 1.0;
                p.syncSpeed = p.f1;
            }
            const double maxwell = seed.motor.maxwellForce(p.kp, p.R, p.g, p.a, p.z, p.n);
            const double lorentz = seed.motor.lorentzForce(p.kp, p.R, p.g, p.a, p.z, p.n);
            const StackResults r =
                solveStack(seedStack(p, seed.data.statorSpectrum), stackSpeed(p, p.n));
            const double scale =
                p.l * (geometry == Geometry::Linear ? 2.0 * std::numbers::pi / p.kp : 1.0);
            const double tolerance =
                std::max(2e-13, 5.0 * std::fabs(lorentz / maxwell - 1.0)) * std::fabs(maxwell);
            const std::string where = std::string(kSampleSets[set].name) + " " +
                                      (geometry == Geometry::Linear ? "linear" : "cylindrical");
            EXPECT_NEAR(r.maxwell * scale, maxwell, tolerance) << where;
            EXPECT_NEAR(r.rotorLorentz * scale, lorentz, tolerance) << where;
            ASSERT_EQ(r.regions.size(), 1u);
            EXPECT_EQ(r.regions[0].name, "layer");
        }
}

TEST(SeedStack, RefusesWhatAStackDoesNotHold) {
    struct Case {
        const char* message;
        void (*change)(MotorParameters&);
    };
    const Case cases[] = {
        {"it is spherical", [](MotorParameters& p) { p.geometry = Geometry::Spherical; }},
        {"its layer is anisotropic", [](MotorParameters& p) { p.ni21 = Complex(0.0, 1.0); }},
        {"its gap is not air", [](MotorParameters& p) { p.ni2d = 2.0 * kNi0; }},
        {"its layer has a permittivity", [](MotorParameters& p) { p.eps = 1e-11; }},
        {"its field has an fI", [](MotorParameters& p) { p.fI = 1.0; }},
    };
    for (const Case& c : cases) {
        IsotropicSeed seed(1, Geometry::Cylindrical, "1");
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
