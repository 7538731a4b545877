// The synchronous motor: gap roots, sheet fields at the iron surfaces, and the force evaluators.
#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cmath>
#include <numbers>
#include <string>
#include <type_traits>

#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"
#include "synchronous/silnik_synchroniczny.hpp"

namespace emforce {
namespace {

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Parameter-table rows that the tests change.
constexpr int kRowMmfStator = 6, kRowMmfRotor = 7, kRowNi1d = 10, kRowNi2d = 11;

// The built-in synchronous sets, one per geometry.
int sampleSetOf(Geometry geometry) { return 7 + static_cast<int>(geometry); }

// Off-diagonal gap terms (relative texts) of the anisotropic cases.
struct GapTerms {
    const char* ni12d;
    const char* ni21d;
};
constexpr GapTerms kIsotropicTerms{"0,0", "0,0"};
constexpr GapTerms kGapTerms[] = {
    kIsotropicTerms, {"0,3", "0,1"}, {"0,3", "-0,3"}, {"-0,2", "0,5"}};
constexpr Geometry kGeometries[] = {Geometry::Linear, Geometry::Cylindrical, Geometry::Spherical};
constexpr int kOrders[] = {1, -5, 7, -11};

std::string describe(Geometry geometry, GapTerms terms) {
    return "geometry " + std::to_string(static_cast<int>(geometry)) + ", ni12d " + terms.ni12d +
           ", ni21d " + terms.ni21d;
}

class SynchronousMotor : public ::testing::Test {
protected:
    // The built-in set of the geometry with the motor kind, geometry and gap terms set; call
    // read() after any further change of the record.
    void prepare(Geometry geometry, GapTerms terms = kIsotropicTerms) {
        record = startupRecord();
        applySampleSet(record, kSampleSets[static_cast<size_t>(sampleSetOf(geometry))]);
        record.induction = false;
        record.geometry = geometry;
        record.ni12dGap = terms.ni12d;
        record.ni21dGap = terms.ni21d;
    }
    void load(Geometry geometry, GapTerms terms = kIsotropicTerms) {
        prepare(geometry, terms);
        read();
    }
    void read() {
        motor.readParameters(record, {});
        clearFpFaults();
    }

    [[nodiscard]] const MotorParameters& p() const { return data.params; }
    double maxwell(double x) {
        return motor.synchronousMaxwell(p().kp, x, p().g, p().a, p().z, p().y);
    }
    double lorentz() { return motor.synchronousLorentz(p().kp, p().x, p().g, p().a, p().z, p().y); }
    // L(x) of the geometry at the tabled polar angle: the tangential field times L is what
    // the boundary functional measures.
    [[nodiscard]] double scale(double x) const {
        if (p().geometry == Geometry::Linear) return 1.0;
        if (p().geometry == Geometry::Cylindrical) return x;
        return x * std::sin(p().z);
    }

    ModelData data;
    SilnikSynchroniczny motor{data};
    InputRecord record;
};

TEST_F(SynchronousMotor, RootsSolveTheGapEquationWithTheFirstRootOnThePlusBranch) {
    for (const Geometry geometry : kGeometries) {
        for (const GapTerms terms : kGapTerms) {
            load(geometry, terms);
            for (const int h : kOrders) {
                SCOPED_TRACE(describe(geometry, terms) + ", h " + std::to_string(h));
                const double kh = p().kp * h;
                const SynchronousField f = motor.solveField(kh, p().g, p().z);
                const double t = geometry == Geometry::Spherical ? std::sin(p().z) : 1.0;
                const bool sphere = geometry == Geometry::Spherical;
                for (const Complex& mu : {f.mu1, f.mu2}) {
                    // ν2d·μ(μ + δ) + j·kh·(ν12d + ν21d)·μ/t − ν1d·kh²/t² + δ·j·kh·ν12d/t = 0
                    const Complex residual = p().ni2d * mu * (mu + (sphere ? 1.0 : 0.0)) +
                                             kJ * kh * (p().ni12d + p().ni21d) * mu / t -
                                             p().ni1d * kh * kh / (t * t) +
                                             (sphere ? kJ * kh * p().ni12d / t : 0.0);
                    EXPECT_LT(abs(residual), 1e-12 * p().ni1d * kh * kh / (t * t));
                }
                EXPECT_GE(real(f.mu1 - f.mu2), 0.0);
                EXPECT_EQ(f.lambdaShift, sphere ? 1.0 : 0.0);
            }
        }
    }
}

TEST_F(SynchronousMotor, IsotropicGapRoots) {
    prepare(Geometry::Linear);
    record.value(kRowNi1d) = record.value(kRowNi2d) = "1,0";
    read();
    for (const int h : kOrders) {
        const double kh = p().kp * h;
        const SynchronousField f = motor.solveField(kh, p().g, p().z);
        EXPECT_EQ(f.rho, Complex(0.0));
        EXPECT_DOUBLE_EQ(real(f.mu1), std::fabs(kh));
        EXPECT_DOUBLE_EQ(real(f.mu2), -std::fabs(kh));
        EXPECT_EQ(imag(f.mu1), 0.0);
    }

    prepare(Geometry::Spherical);
    record.value(kRowNi1d) = record.value(kRowNi2d) = "1,0";
    read();
    const double equator = std::numbers::pi / 2;
    for (const int h : kOrders) {
        const double kh = p().kp * h;
        const SynchronousField f = motor.solveField(kh, p().g, equator);
        EXPECT_NEAR(real(f.mu1 + f.mu2), -1.0, 1e-14);
        EXPECT_NEAR(real(f.mu1 * f.mu2), -kh * kh, 1e-12 * kh * kh);
        EXPECT_EQ(imag(f.mu1 * f.mu2), 0.0);
    }
}

TEST_F(SynchronousMotor, OppositeOffDiagonalTermsCancelRhoButNotTheSphericalConstantTerm) {
    for (const Geometry geometry : kGeometries) {
        load(geometry, {"0,3", "-0,3"});
        const double kh = p().kp;
        const SynchronousField f = motor.solveField(kh, p().g, p().z);
        EXPECT_EQ(abs(f.rho), 0.0);
        if (geometry != Geometry::Spherical) continue;
        // μ1·μ2 = −(ν1d·kh²/(ν2d·t²) − τ) with τ = j·kh·ν12d/(ν2d·t).
        const double t = std::sin(p().z);
        EXPECT_NEAR(real(f.mu1 + f.mu2), -1.0, 1e-14);
        EXPECT_NEAR(imag(f.mu1 * f.mu2), kh * p().ni12d / p().ni2d / t, 1e-12);
        EXPECT_GT(imag(f.mu1 * f.mu2), 0.1);
    }
}

TEST_F(SynchronousMotor, EachSheetFieldVanishesAtTheOppositeIronAndIsDrivenAtItsOwnSurface) {
    for (const Geometry geometry : kGeometries) {
        for (const GapTerms terms : kGapTerms) {
            load(geometry, terms);
            const double rotor = p().R;
            const double stator = p().R + p().g;
            for (const int h : kOrders) {
                SCOPED_TRACE(describe(geometry, terms) + ", h " + std::to_string(h));
                const double kh = p().kp * h;
                const double tol = 1e-9 * std::fabs(kh);
                const SynchronousField f = motor.solveField(kh, p().g, p().z);
                const auto hs = [&](double x) { return scale(x) * gapFieldsAt(f, x).hs; };
                const auto hr = [&](double x) { return scale(x) * gapFieldsAt(f, x).hr; };
                EXPECT_LT(abs(hs(rotor)), tol);
                EXPECT_LT(abs(hr(stator)), tol);
                EXPECT_LT(abs(hs(stator) + kh), tol);
                EXPECT_LT(abs(hr(rotor) + kh), tol);
                EXPECT_EQ(std::fetestexcept(kFaultFlags), 0);
            }
        }
    }
}

// Only the fundamental of the linear and cylindrical sets, whose fields are hyperbolic in
// x and in ln r: F = π·l·As·Ar·k·sin(k·y)/(√(ν1d·ν2d)·sinh(κ·g)) with κ = k·√(ν1d/ν2d), and
// T = π·l·As·Ar·p³·sin(p·y)/(ν2d·κ·sinh(κ·ln(1 + g/R))) with κ = p·√(ν1d/ν2d).
TEST_F(SynchronousMotor, FundamentalForceAndTorqueHaveTheirClosedForms) {
    for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
        load(geometry);
        const double k = p().kp;
        const double kappa = k * std::sqrt(p().ni1d / p().ni2d);
        const double amplitudes = std::numbers::pi * p().l * data.statorSpectrum[9] *
                                  data.rotorSpectrum[9] * std::sin(k * p().y);
        const double expected =
            geometry == Geometry::Linear
                ? amplitudes * k / (std::sqrt(p().ni1d * p().ni2d) * std::sinh(kappa * p().g))
                : amplitudes * k * k * k /
                      (p().ni2d * kappa * std::sinh(kappa * std::log1p(p().g / p().R)));
        SCOPED_TRACE(static_cast<int>(geometry));
        EXPECT_NEAR(lorentz(), expected, 1e-10 * std::fabs(expected));
        EXPECT_NEAR(maxwell(p().R + p().g / 2), expected, 1e-10 * std::fabs(expected));
    }
}

TEST_F(SynchronousMotor, MaxwellEqualsLorentzAcrossAGapWithoutOffDiagonalTerms) {
    for (const Geometry geometry : kGeometries) {
        prepare(geometry);
        record.highestHarmonic = "17";
        read();
        const double force = lorentz();
        SCOPED_TRACE(static_cast<int>(geometry));
        ASSERT_GT(std::fabs(force), 1e-6);
        for (const double fraction : {0.0, 0.3, 1.0})
            EXPECT_NEAR(maxwell(p().R + fraction * p().g), force, 1e-9 * std::fabs(force));
        EXPECT_EQ(std::fetestexcept(kFaultFlags), 0);

        // At R itself the two agree whatever the gap, since only the rotor sheet drives H there.
        load(geometry, {"0,3", "0,1"});
        EXPECT_NEAR(maxwell(p().R), lorentz(), 1e-9 * std::fabs(lorentz()));
        EXPECT_GT(std::fabs(maxwell(p().R + p().g / 2) - lorentz()), 1e-3 * std::fabs(lorentz()));
    }
}

TEST_F(SynchronousMotor, OrdersOfThreeAndOrdersWithoutAmplitudeAreSkipped) {
    for (const Geometry geometry : kGeometries) {
        SCOPED_TRACE(static_cast<int>(geometry));
        // The single-phase winding has amplitudes at ±3; they are skipped all the same.
        prepare(geometry);
        record.windingPattern = 5;
        read();
        ASSERT_NE(data.statorSpectrum[10], 0.0);
        const double fundamental[] = {maxwell(p().R), lorentz()};
        record.highestHarmonic = "3";
        read();
        EXPECT_EQ(maxwell(p().R), fundamental[0]);
        EXPECT_EQ(lorentz(), fundamental[1]);

        for (const int row : {kRowMmfRotor, kRowMmfStator}) {
            prepare(geometry);
            record.highestHarmonic = "17";
            record.value(row) = "000,0";
            read();
            EXPECT_EQ(maxwell(p().R + p().g / 2), 0.0);
            EXPECT_EQ(lorentz(), 0.0);
        }
    }
}

TEST_F(SynchronousMotor, ZeroLoadAngleGivesNoForceInAnIsotropicGap) {
    for (const Geometry geometry : kGeometries) {
        prepare(geometry);
        record.highestHarmonic = "17";
        read();
        const double zero = 0.0;
        EXPECT_EQ(motor.synchronousMaxwell(p().kp, p().R, p().g, p().a, p().z, zero), 0.0);
        EXPECT_EQ(motor.synchronousLorentz(p().kp, p().R, p().g, p().a, p().z, zero), 0.0);
    }
}

// Equal amplitudes at h and −h: the linear force divides by the signed order, the cylindrical
// torque has no sign factor.
// Opposite orders of equal amplitudes pull alike: order -h is the mirror image of order h. The
// legacy linear force carried the sign of h and made them pull against each other.
TEST_F(SynchronousMotor, OppositeOrdersPullAlikeButInTheLegacyLinearMotor) {
    for (const char* formulation : {"physical", "legacy"}) {
        for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
            prepare(geometry);
            record.formulation = formulation;
            read();
            const HarmonicSpectrum stator = data.statorSpectrum;
            const HarmonicSpectrum rotor = data.rotorSpectrum;
            const auto onlyOrder = [&](size_t index) {
                data.statorSpectrum = {};
                data.rotorSpectrum = {};
                data.statorSpectrum[index] = stator[9];
                data.rotorSpectrum[index] = rotor[9];
                return std::array{maxwell(p().R + p().g / 2), lorentz()};
            };
            const std::array<double, 2> forward = onlyOrder(9);
            const std::array<double, 2> backward = onlyOrder(8);
            const bool legacyLinear =
                geometry == Geometry::Linear && std::string(formulation) == "legacy";
            SCOPED_TRACE(std::string(formulation) + " " + std::to_string(static_cast<int>(geometry)));
            for (size_t i = 0; i < 2; ++i) {
                ASSERT_NE(forward[i], 0.0);
                EXPECT_NEAR(backward[i], (legacyLinear ? -1.0 : 1.0) * forward[i],
                            1e-12 * std::fabs(forward[i]));
            }
        }
    }
}

// The physical formulation takes the force of a linear harmonic over one fundamental wavelength,
// |h| of its own, without the legacy sign of h: h times the legacy force. Torques do not change.
TEST_F(SynchronousMotor, LinearHarmonicsActOverOneFundamentalWavelength) {
    for (const Geometry geometry : {Geometry::Linear, Geometry::Cylindrical}) {
        for (const int index : {6, 12}) {  // the orders -5 and 7
            const int h = 2 * index - 17;
            std::array<double, 2> results[2];
            for (int f = 0; f < 2; ++f) {
                prepare(geometry);
                record.formulation = f == 0 ? "physical" : "legacy";
                record.highestHarmonic = "7";
                read();
                const double stator = data.statorSpectrum[9], rotor = data.rotorSpectrum[9];
                data.statorSpectrum = {};
                data.rotorSpectrum = {};
                data.statorSpectrum[static_cast<size_t>(index)] = stator;
                data.rotorSpectrum[static_cast<size_t>(index)] = rotor;
                results[f] = {maxwell(p().R + p().g / 2), lorentz()};
            }
            const double span = geometry == Geometry::Linear ? h : 1.0;
            SCOPED_TRACE(std::to_string(static_cast<int>(geometry)) + ", h " + std::to_string(h));
            for (size_t i = 0; i < 2; ++i) {
                ASSERT_NE(results[1][i], 0.0);
                EXPECT_NEAR(results[0][i], span * results[1][i], 1e-13 * std::fabs(results[0][i]));
            }
        }
    }
}

TEST_F(SynchronousMotor, ReuseModeGivesTheLiteralNumbers) {
    static_assert(std::is_copy_constructible_v<SilnikSynchroniczny>);
    for (const Geometry geometry : kGeometries) {
        for (const GapTerms terms : kGapTerms) {
            for (const int method : {0, 4, 9}) {
                prepare(geometry, terms);
                record.highestHarmonic = "17";
                record.integrationMethod = kIntegrationMethodItems[static_cast<size_t>(method)];
                read();
                motor.setEvaluationMode(SilnikSynchroniczny::EvaluationMode::Literal);
                SilnikSynchroniczny reusing = motor;
                reusing.setEvaluationMode(SilnikSynchroniczny::EvaluationMode::Reuse);
                const double x = p().R + p().g / 3;
                SCOPED_TRACE(describe(geometry, terms) + ", method " + std::to_string(method));
                EXPECT_EQ(reusing.synchronousMaxwell(p().kp, x, p().g, p().a, p().z, p().y),
                          maxwell(x));
                EXPECT_EQ(reusing.synchronousLorentz(p().kp, x, p().g, p().a, p().z, p().y),
                          lorentz());
            }
        }
    }
}

TEST_F(SynchronousMotor, EvaluatorsLeaveTheirArgumentsAndTheOtherComponentsAreZero) {
    load(Geometry::Spherical, {"0,3", "0,1"});
    const double kp = p().kp, x = p().R, g = p().g, a = p().a, z = p().z, y = p().y;
    using Member = double (SilnikSynchroniczny::*)(const double&, const double&, const double&,
                                                   const double&, const double&, const double&);
    const Member evaluators[] = {
        &SilnikSynchroniczny::synchronousMaxwell, &SilnikSynchroniczny::synchronousLorentz,
        &SilnikSynchroniczny::synchronousMaterial, &SilnikSynchroniczny::synchronousImpulse,
        &SilnikSynchroniczny::synchronousCoenergy};
    for (size_t i = 0; i < std::size(evaluators); ++i) {
        const double value = (motor.*evaluators[i])(kp, x, g, a, z, y);
        if (i >= 2) {
            EXPECT_EQ(value, 0.0);
        }
        EXPECT_EQ((std::array{kp, x, g, a, z, y}),
                  (std::array{p().kp, p().R, p().g, p().a, p().z, p().y}));
    }
}

}  // namespace
}  // namespace emforce
