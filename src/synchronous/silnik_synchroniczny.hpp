// The synchronous motor: the force evaluators over the gap field of the stator and rotor sheets.
#pragma once

#include "model/field_policy.hpp"
#include "model/motor_general.hpp"
#include "numerics/complex.hpp"
#include "numerics/integration.hpp"
#include "synchronous/synchronous_field.hpp"

namespace emforce {

/// The synchronous motor model. The rotor surface at r = R and the stator surface at r = R + g
/// are infinitely permeable and each carries an MMF sheet; only the gap between them is solved
/// (synchronous_field.hpp). Every evaluator takes (kp, x, g, a, z, y) by reference, y the load
/// angle, and sums the densities (gap_densities.hpp) of the included harmonics; in the
/// spherical geometry the driver (gap_integration.hpp) integrates them over θ. The evaluators keep
/// no state of a solve; an object may be copied (it points to the shared model data).
class SilnikSynchroniczny : public MotorGeneralClass<double, Complex, Evaluator, ComplexEvaluator> {
public:
    /// How the evaluators take the field of a harmonic. Both give the same numbers.
    enum class EvaluationMode {
        /// Every density on its own, its harmonic solved again at every node.
        Literal,
        /// One solve per harmonic and point (and per θ node of the spherical integrals) serves
        /// every density that takes it.
        Reuse,
    };

    /// The motor reads the parameters and spectra of `data`, which outlives it.
    explicit SilnikSynchroniczny(ModelData& data);

    /// Selects how the evaluators take the field; Reuse by default.
    void setEvaluationMode(EvaluationMode mode) { m_mode = mode; }
    [[nodiscard]] EvaluationMode evaluationMode() const { return m_mode; }

    /// The gap field of the harmonic kh = kp·h for the gap g at the polar angle θ (read in the
    /// spherical geometry), solved from this motor's parameters and radial functions; it refers
    /// to them, valid until the next reading.
    [[nodiscard]] SynchronousField solveField(double kh, double g, double theta) const;

    /// Force (linear, N) or torque (N·m) by the Maxwell stress on the surface x, summed over
    /// the harmonics; y is the load angle.
    double synchronousMaxwell(const double& kp, const double& x, const double& g, const double& a,
                              const double& z, const double& y);
    /// Force or torque on the rotor current sheet, taken at R whatever x is.
    double synchronousLorentz(const double& kp, const double& x, const double& g, const double& a,
                              const double& z, const double& y);
    /// The material component; the synchronous model has none: 0.
    double synchronousMaterial(const double& kp, const double& x, const double& g, const double& a,
                               const double& z, const double& y);
    /// The impulse component; the synchronous model has none: 0.
    double synchronousImpulse(const double& kp, const double& x, const double& g, const double& a,
                              const double& z, const double& y);
    /// The coenergy component; the synchronous model has none: 0.
    double synchronousCoenergy(const double& kp, const double& x, const double& g, const double& a,
                               const double& z, const double& y);

private:
    [[nodiscard]] bool spherical() const { return params().geometry == Geometry::Spherical; }
    [[nodiscard]] bool physical() const;
    [[nodiscard]] FieldPolicy policy() const;
    [[nodiscard]] double maxwellContribution(int index, double kp, double x, double g, double z,
                                             double y) const;
    [[nodiscard]] double lorentzContribution(int index, double kp, double g, double z,
                                             double y) const;

    EvaluationMode m_mode = EvaluationMode::Reuse;
};

}  // namespace emforce
