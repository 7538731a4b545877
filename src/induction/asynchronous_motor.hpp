// The induction motor: the evaluators of the layered model, harmonic by harmonic.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "induction/field_integration.hpp"
#include "induction/harmonic_field.hpp"
#include "induction/solve_display.hpp"
#include "model/curve_slots.hpp"
#include "model/motor_general.hpp"
#include "numerics/complex.hpp"
#include "numerics/integration.hpp"

namespace emforce {

/// A choice of induction evaluators, by SlotEvaluator.
using EvaluatorSelection = std::bitset<kSlotEvaluators>;

/// The two sums of the ODE error: residual E and norm N.
struct OdeSums {
    double error = 0.0;
    double norm = 0.0;
};

/// The chosen evaluators at one point, as AsynchronousMotor::evaluateTogether gives them.
struct TogetherValues {
    /// By evaluator: the number the evaluator gives alone (0 where not chosen).
    std::array<double, kSlotEvaluators> values{};
    /// By evaluator: the display numbers of the last field solution the evaluator makes alone;
    /// none when it solves no harmonic.
    std::array<std::optional<SolveDisplay>, kSlotEvaluators> lastSolve{};
    /// The sums of the ODE error at the same arguments, when asked for, and the display
    /// numbers of the last solve of odeError.
    std::optional<OdeSums> ode;
    std::optional<SolveDisplay> odeLastSolve;
};

/// The induction motor. Its evaluators take (kp, x, g, a, z, n), the evaluator argument list
/// with the speed n last; each sums the densities of the included harmonics (integration
/// driver, field_integration.hpp) over the fields it solves. An object keeps the display
/// numbers of its last solve; it is not reentrant but may be copied (it points to the shared
/// model data), one copy per worker.
class AsynchronousMotor : public MotorGeneralClass<double, Complex, Evaluator, ComplexEvaluator> {
public:
    /// How the evaluators take the field of a harmonic. Both modes give the same results and
    /// leave the same display numbers behind.
    enum class EvaluationMode {
        /// Every density on its own, its harmonic solved again at every node.
        Literal,
        /// One solve per harmonic (and polar-angle node in the spherical geometry) serves every
        /// node across the layer and every density that takes the harmonic.
        Reuse,
    };

    /// The motor reads its parameters and spectra from `data`, which outlives it.
    explicit AsynchronousMotor(ModelData& data);

    /// Chooses how the evaluators take the field (Reuse by default); Reuse also keeps the Γ
    /// values of the Bessel series of each order.
    void setEvaluationMode(EvaluationMode mode) {
        m_mode = mode;
        setGammaTabulation(mode == EvaluationMode::Reuse);
    }
    [[nodiscard]] EvaluationMode evaluationMode() const { return m_mode; }
    /// Takes every integral of the evaluators (across the layer and over θ) as `panels` equal
    /// panels of the chosen rule, summed; 1, the default, is the rule itself. A finer rule for
    /// measuring the integration error of a result.
    void setRulePanels(int panels) { m_rulePanels = panels < 1 ? 1 : panels; }

    /// The field of the harmonic of kh = kp·h and slip speed s for the gap g and the layer a
    /// at the polar angle θ (read in the spherical geometry), solved from this motor's
    /// parameters and radial functions; its display numbers become the last solve's. The
    /// field refers to the parameters, valid until the next reading.
    HarmonicField solveField(double kh, double g, double a, double theta, double s,
                             FieldSolve solve = FieldSolve::Matched);

    /// frequencyOf (harmonic_field.hpp) of this motor's parameters.
    [[nodiscard]] Complex frequencyOf(double kh, double s) const;

    /// The layer order text of the last solve; none before the first solve.
    [[nodiscard]] std::optional<std::string> edit2Text() const;
    /// The |β·R| text of the last solve; none before the first solve.
    [[nodiscard]] std::optional<std::string> edit3Text() const;
    /// The numbers behind the two texts: those of the last solve, or as set below.
    [[nodiscard]] const std::optional<SolveDisplay>& displayNumbers() const { return m_display; }
    /// Puts the numbers of another solve behind the texts (a run shows what the evaluators
    /// would have left had they run one after the other on this object).
    void setDisplayNumbers(const std::optional<SolveDisplay>& d) { m_display = d; }
    /// Number of solves this object has made; it tells whether a call solved anything.
    [[nodiscard]] std::uint64_t solveCount() const { return m_solveCount; }

    // The evaluators of the curve slots (SlotEvaluator).

    /// Force or torque by the Maxwell stress tensor on the surface x.
    double maxwellForce(const double& kp, const double& x, const double& g, const double& a,
                        const double& z, const double& n);
    /// Force or torque by the Lorentz force density over the layer.
    double lorentzForce(const double& kp, const double& x, const double& g, const double& a,
                        const double& z, const double& n);
    /// Material (anisotropy) component; exactly 0 for a Hermitian layer.
    double materialForce(const double& kp, const double& x, const double& g, const double& a,
                         const double& z, const double& n);
    /// Electromagnetic impulse component; exactly 0 when fI is 0.
    double impulseForce(const double& kp, const double& x, const double& g, const double& a,
                        const double& z, const double& n);
    /// Force or torque by the coenergy function.
    double coenergyForce(const double& kp, const double& x, const double& g, const double& a,
                         const double& z, const double& n);
    /// Layer power by the Poynting vector at R, whatever x.
    double poyntingPower(const double& kp, const double& x, const double& g, const double& a,
                         const double& z, const double& n);
    /// Layer power by the Joule losses.
    double joulePower(const double& kp, const double& x, const double& g, const double& a,
                      const double& z, const double& n);
    /// Anisotropy power and, when fI is not 0, the impulse power.
    double anisotropyPower(const double& kp, const double& x, const double& g, const double& a,
                           const double& z, const double& n);
    /// |ratio of the two sides of the layer equation| for the first-kind solution of the
    /// fundamental at x; 0 when the fundamental is synchronous with the layer.
    double accuracyI(const double& kp, const double& x, const double& g, const double& a,
                     const double& z, const double& n);
    /// The same for the second-kind solution.
    double accuracyK(const double& kp, const double& x, const double& g, const double& a,
                     const double& z, const double& n);
    /// Relative error of the layer equation over the layer, √|E/N|. With no harmonic included
    /// E = N = 0 and the quotient raises the invalid-operation flag.
    double odeError(const double& kp, const double& x, const double& g, const double& a,
                    const double& z, const double& n);
    /// odeError, or none when N is 0 (no harmonic included), without raising a flag for it.
    std::optional<double> odeErrorValue(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n);
    /// The odeErrorValue of two sums.
    static std::optional<double> odeErrorOf(const OdeSums& sums);

    /// Whether evaluateTogether shares its work among the evaluators: the reuse mode with a
    /// fixed rule (Monte Carlo draws its own points for every integral).
    [[nodiscard]] bool evaluatesTogether() const;
    /// The chosen evaluators at (kp, x, g, a, z, n) from one solve per harmonic and polar-angle
    /// node and one set of layer fields per layer node, which feed every chosen evaluator that
    /// takes the harmonic; the gap fields at x and at R serve Maxwell and Poynting, and the
    /// two accuracies share one solve of the fundamental. With `odeSums` the sums of the ODE
    /// error (which does not read x) come from the same solves and layer nodes. Each value is
    /// bit for bit the one its evaluator gives alone, and the floating-point flags raised are
    /// those the chosen evaluators raise alone, together.
    TogetherValues evaluateTogether(const EvaluatorSelection& chosen, bool odeSums,
                                    const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n);

private:
    /// One harmonic of a harmonic sum.
    struct HarmonicTerm {
        /// Signed order h.
        double order;
        /// Slip speed of the harmonic's field relative to the layer.
        double slip;
        /// Stator MMF amplitude A_h.
        double amplitude;
        /// kp·h.
        double kh;
        /// The complex frequency fI + j·ω of the layer's field.
        Complex frequency;
    };

    // The sums of every chosen evaluator over the included harmonics (evaluators.cpp).
    void addHarmonic(const EvaluatorSelection& chosen, bool odeSums, const HarmonicTerm& h,
                     double x, double g, double a, double z, TogetherValues& out);
    void addAccuracies(const EvaluatorSelection& chosen, double kp, double x, double g, double a,
                       double z, double n, TogetherValues& out);
    double evaluatorValue(SlotEvaluator e, const double& kp, const double& x, const double& g,
                          const double& a, const double& z, const double& n);
    OdeSums odeSums(const double& kp, const double& x, const double& g, const double& a,
                    const double& z, const double& n);
    [[nodiscard]] double weightOf(SlotEvaluator e, const HarmonicTerm& h) const;
    // The anisotropy power's running total after harmonic h, from its densities.
    [[nodiscard]] double anisotropyTerm(const HarmonicTerm& h, const DensityValues& t,
                                        double total) const;
    [[nodiscard]] DensityIntegration integration() const;

    EvaluationMode m_mode = EvaluationMode::Reuse;
    int m_rulePanels = 1;
    // The numbers behind the two display texts, from the last solve.
    std::optional<SolveDisplay> m_display;
    std::uint64_t m_solveCount = 0;
};

}  // namespace emforce
