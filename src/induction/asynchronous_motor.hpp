// The induction motor: the field of one MMF harmonic in the layered model, and its evaluators.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "induction/field_basis.hpp"
#include "induction/solve_display.hpp"
#include "model/motor_general.hpp"
#include "numerics/complex.hpp"
#include "numerics/integration.hpp"

namespace emforce {

/// Weights of the layer solution (C) and of the two gap solutions (D1, D2) of one harmonic, of
/// the solutions of the last solve's bases (normalised with the accurate Bessel functions): the
/// potentials C·U(r) and D1·G1(r) + D2·G2(r) are the same either way.
struct FieldCoefficients {
    Complex C;
    Complex D1;
    Complex D2;
};

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
    /// The complex frequency fI + j·ω of the layer's field (AsynchronousMotor::frequencyOf).
    Complex frequency;
};

/// The weight w_h that multiplies a harmonic's term in a harmonic sum.
using HarmonicWeight = std::function<double(const HarmonicTerm&)>;

/// Number of induction evaluators of the curve slots: Maxwell, Lorentz, material, impulse,
/// coenergy, Poynting, Joule, anisotropy power, I accuracy, K accuracy (slot order).
inline constexpr std::size_t kInductionEvaluators = 10;
/// A choice of induction evaluators, by curve slot.
using EvaluatorSelection = std::bitset<kInductionEvaluators>;

/// The two sums of the ODE error: residual E and norm N.
struct OdeSums {
    double error = 0.0;
    double norm = 0.0;
};

/// The chosen evaluators at one point, as AsynchronousMotor::evaluateTogether gives them.
struct TogetherValues {
    /// By slot: the number the evaluator gives alone (0 where not chosen).
    std::array<double, kInductionEvaluators> values{};
    /// By slot: the display numbers of the last field solution the evaluator makes alone;
    /// none when it solves no harmonic.
    std::array<std::optional<SolveDisplay>, kInductionEvaluators> lastSolve{};
    /// The sums of the ODE error at the same arguments, when asked for, and the display
    /// numbers of the last solve of odeError.
    std::optional<OdeSums> ode;
    std::optional<SolveDisplay> odeLastSolve;
};

/// The induction motor. Every field operation and density takes (kh, x, g, a, θ, s): the
/// evaluator argument list with kh = kp·h first and the harmonic's slip speed last, so that it
/// can be handed to the integration routine unchanged. Operations write the scratch fields of
/// the last harmonic solved; an object is not reentrant but may be copied (it points to the
/// shared model data), one copy per worker.
class AsynchronousMotor : public MotorGeneralClass<double, Complex, Evaluator, ComplexEvaluator> {
public:
    /// How the evaluators use the field solution of a harmonic. Both modes give the same
    /// results and leave the same scratch fields and display texts behind.
    enum class EvaluationMode {
        /// Every point operation solves its harmonic afresh, twice (the solution and, inside
        /// fieldCoefficients, again); nothing is kept between the points of an integral.
        Literal,
        /// A per-harmonic term solves its harmonic once (once per polar-angle node in the
        /// spherical geometry) and reuses the solution at every node across the layer; the
        /// potential and the flux densities of one point come from one set of function values.
        Reuse,
    };

    /// The motor reads its parameters and spectra from `data`, which outlives it.
    explicit AsynchronousMotor(ModelData& data);

    /// Chooses how the evaluators use the field solution (Reuse by default); Reuse also keeps
    /// the Γ values of the Bessel series of each order.
    void setEvaluationMode(EvaluationMode mode) {
        m_mode = mode;
        setGammaTabulation(mode == EvaluationMode::Reuse);
    }
    [[nodiscard]] EvaluationMode evaluationMode() const { return m_mode; }
    /// Takes every integral of the evaluators (across the layer and over θ) as `panels` equal
    /// panels of the chosen rule, summed; 1, the default, is the rule itself. A finer rule for
    /// measuring the integration error of a result.
    void setRulePanels(int panels) { m_rulePanels = std::max(panels, 1); }

    // Field solution of one harmonic.

    /// Solves the layer and gap constants of the harmonic, stores them in the scratch fields and
    /// returns the core ratio c, the weight of the second-kind layer solution that makes the
    /// tangential field strength vanish at the core surface. Reads kh, a, θ and s, and g for
    /// the gap basis. With the accurate Bessel functions the layer and gap solutions are
    /// normalised (field_basis.hpp) and c weighs the normalised ones.
    Complex solveHarmonic(const double& kh, const double& x, const double& g, const double& a,
                          const double& theta, const double& s);
    /// Solves the harmonic and returns the weights that join the layer and gap solutions at R
    /// and put the unit current sheet at the stator surface R + g.
    FieldCoefficients fieldCoefficients(const double& kh, const double& x, const double& g,
                                        const double& a, const double& theta, const double& s);
    /// Potential in the layer at r = x.
    Complex layerPotential(const double& kh, const double& x, const double& g, const double& a,
                           const double& theta, const double& s);
    /// Potential in the gap at r = x.
    Complex gapPotential(const double& kh, const double& x, const double& g, const double& a,
                         const double& theta, const double& s);
    /// Normal flux density in the gap at x.
    Complex gapNormalFlux(const double& kh, const double& x, const double& g, const double& a,
                          const double& theta, const double& s);
    /// Tangential field strength in the gap at x.
    Complex gapTangentialField(const double& kh, const double& x, const double& g, const double& a,
                               const double& theta, const double& s);
    /// Normal flux density in the layer at x.
    Complex layerNormalFlux(const double& kh, const double& x, const double& g, const double& a,
                            const double& theta, const double& s);
    /// Tangential flux density in the layer at x.
    Complex layerTangentialFlux(const double& kh, const double& x, const double& g, const double& a,
                                const double& theta, const double& s);

    /// The complex frequency s_c = fI + j·ω of the layer's field for a harmonic of kh = kp·h and
    /// slip speed s: ω = 2π·m·s with m = kh (cylindrical, spherical) or h (linear) in the
    /// physical formulation, ω = 2π·s in the legacy one.
    [[nodiscard]] Complex frequencyOf(double kh, double s) const;

    /// Scratch fields of the last solve.
    [[nodiscard]] double x0() const { return m_x0; }
    [[nodiscard]] const Complex& layerPower() const { return m_layerPower; }
    [[nodiscard]] const Complex& lambdaShift() const { return m_lambdaShift; }
    [[nodiscard]] const Complex& complexFrequency() const { return m_complexFrequency; }
    [[nodiscard]] const Complex& coreRatio() const { return m_coreRatio; }
    [[nodiscard]] const Complex& alpha() const { return m_alpha; }
    [[nodiscard]] const Complex& rho() const { return m_rho; }
    [[nodiscard]] const Complex& kappa() const { return m_kappa; }
    [[nodiscard]] const Complex& beta() const { return m_beta; }
    [[nodiscard]] const Complex& lambdaFirst() const { return m_lambdaFirst; }
    [[nodiscard]] const Complex& lambdaSecond() const { return m_lambdaSecond; }
    [[nodiscard]] const Complex& mu1() const { return m_mu1; }
    [[nodiscard]] const Complex& mu2() const { return m_mu2; }

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

    // Harmonic sum and evaluators: (kp, x, g, a, z, n) with the speed n last.

    /// Σ over the included harmonics of weight(h)·term(kh, x, g, a, z, s); in the spherical
    /// geometry the term is integrated over θ from teta1 to teta2 first. skipAll is an extra
    /// skip test that drops every harmonic after the inclusion rule has been applied.
    double harmonicSum(const double& kp, const double& x, const double& g, const double& a,
                       const double& z, const double& n, const HarmonicWeight& weight,
                       const Evaluator& term, bool skipAll = false);

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

    // All chosen evaluators of one point together (point_evaluation.cpp).

    /// Whether evaluateTogether applies: the reuse mode with a fixed rule (Monte Carlo draws
    /// its own points for every integral).
    [[nodiscard]] bool evaluatesTogether() const { return sharesNodes(); }
    /// The chosen evaluators at (kp, x, g, a, z, n) from one solve per harmonic and polar-angle
    /// node and one set of layer fields per layer node, which feed every chosen evaluator that
    /// takes the harmonic; the gap fields at x and at R serve Maxwell and Poynting, and the
    /// two accuracies share one solve of the fundamental. With `odeSums` the sums of the ODE
    /// error (which does not read x) come from the same solves and layer nodes. Each value is
    /// bit for bit the one its evaluator gives alone, and the floating-point flags raised are
    /// those the chosen evaluators raise alone, together. Requires evaluatesTogether().
    TogetherValues evaluateTogether(const EvaluatorSelection& chosen, bool odeSums,
                                    const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n);

    // Per-harmonic densities: (kh, r, g, a, θ, s).

    /// Maxwell stress term at the surface r.
    double maxwellDensity(const double& kh, const double& r, const double& g, const double& a,
                          const double& theta, const double& s);
    /// K(r)·|A|², the Lorentz volume density at the layer coordinate r.
    double potentialDensity(const double& kh, const double& r, const double& g, const double& a,
                            const double& theta, const double& s);
    /// potentialDensity integrated across the layer, from R − a to R; r is not used.
    double layerPotentialIntegral(const double& kh, const double& r, const double& g,
                                  const double& a, const double& theta, const double& s);
    /// Material force density at r.
    double materialDensity(const double& kh, const double& r, const double& g, const double& a,
                           const double& theta, const double& s);
    /// Coenergy force density at r.
    double coenergyDensity(const double& kh, const double& r, const double& g, const double& a,
                           const double& theta, const double& s);
    /// Poynting term at the surface r.
    double poyntingDensity(const double& kh, const double& r, const double& g, const double& a,
                           const double& theta, const double& s);
    /// Anisotropy power density at r.
    double anisotropyDensity(const double& kh, const double& r, const double& g, const double& a,
                             const double& theta, const double& s);
    /// Magnetic energy density at r.
    double magneticEnergyDensity(const double& kh, const double& r, const double& g,
                                 const double& a, const double& theta, const double& s);
    /// Squared deviation of the layer potential from the one its equation implies, at r.
    double odeResidualDensity(const double& kh, const double& r, const double& g, const double& a,
                              const double& theta, const double& s);

private:
    /// A density of the evaluator argument list.
    using Density = double (AsynchronousMotor::*)(const double&, const double&, const double&,
                                                  const double&, const double&, const double&);
    /// A density at a layer point of the harmonic solved last, with its coefficients.
    using SolvedDensity = double (AsynchronousMotor::*)(const FieldCoefficients&, double kh,
                                                        double r) const;

    /// Layer fields at one point; the tangential flux only when asked for.
    struct LayerPoint {
        Complex potential;
        Complex normalFlux;
        Complex tangentialFlux;
    };
    /// Gap fields at one point.
    struct GapPoint {
        Complex potential;
        Complex normalFlux;
        Complex tangentialField;
    };
    // Field solution (field_solution.cpp).
    void solveConstants(double kh, double a, double theta, double s);
    void solveLayerOrders(double kh);
    void solveGapRoots(double kh);
    [[nodiscard]] Complex layerPolarTerm(double kh) const;
    [[nodiscard]] Complex solveCoreRatio(double kh) const;
    [[nodiscard]] FieldCoefficients coefficientsOfSolution(double g) const;
    [[nodiscard]] Complex layerSolution(const LayerValues& v) const;
    [[nodiscard]] Complex layerSolutionDerivative(const LayerValues& v) const;
    [[nodiscard]] Complex layerSolution(double r) const;
    [[nodiscard]] Complex layerFunctional(const Complex& value, const Complex& derivative,
                                          double r) const;
    [[nodiscard]] Complex gapFunctional(const GapSolution& solution, double r) const;
    [[nodiscard]] Complex normalFluxOf(const Complex& potential, double r) const;
    [[nodiscard]] Complex layerTangentialOf(const FieldCoefficients& f, const LayerValues& v,
                                            double r) const;
    [[nodiscard]] Complex layerTangentialOf(const FieldCoefficients& f, double r) const;
    [[nodiscard]] Complex gapPotentialOf(const FieldCoefficients& f, const GapValues& v) const;
    [[nodiscard]] Complex gapTangentialOf(const FieldCoefficients& f, const GapValues& v,
                                          const Complex& normal, double r) const;
    [[nodiscard]] LayerPoint layerPointAt(const FieldCoefficients& f, double r,
                                          bool tangential) const;
    [[nodiscard]] LayerPoint layerPointOf(const FieldCoefficients& f, const LayerValues& v,
                                          double r, bool tangential) const;
    [[nodiscard]] GapPoint gapPointAt(const FieldCoefficients& f, double r) const;

    // Harmonic loop and integration helpers (harmonic_sum.cpp).
    static double squaredAmplitude(const HarmonicTerm& h) { return h.amplitude * h.amplitude; }
    // The weights of the evaluators whose weight is not A_h² alone.
    [[nodiscard]] double lorentzWeight(const HarmonicTerm& h) const;
    [[nodiscard]] double impulseWeight(const HarmonicTerm& h) const;
    [[nodiscard]] double jouleWeight(const HarmonicTerm& h) const;
    // The anisotropy power's running total after harmonic h, from its layer integrals.
    [[nodiscard]] double addAnisotropyPower(double total, const HarmonicTerm& h, double anisotropic,
                                            double electric, double magnetic) const;
    [[nodiscard]] IntegrationMethod method() const;
    void forEachIncludedHarmonic(const double& kp, const double& n, bool skipAll,
                                 const std::function<void(const HarmonicTerm&)>& body);
    double termValue(const Evaluator& term, const HarmonicTerm& h, const double& x, const double& g,
                     const double& a, const double& z);
    /// Several densities of one layer point of the harmonic solved last, from one set of field
    /// values.
    template <std::size_t N>
    using PointDensities =
        std::function<std::array<double, N>(const FieldCoefficients&, double kh, double r)>;
    /// The per-harmonic terms of several layer densities at once, for the reuse mode with a
    /// fixed rule: one solve per polar-angle node and one set of field values per layer node
    /// serve them all. Each value is the number termValue gives for its density alone.
    template <std::size_t N>
    std::array<double, N> termValues(const PointDensities<N>& at, const HarmonicTerm& h,
                                     const double& x, const double& g, const double& a,
                                     const double& z);
    /// The layer integrals of several densities at one polar angle, for the reuse mode with a
    /// fixed rule: one solve, and one set of field values per distinct layer node.
    template <std::size_t N>
    std::array<double, N> layerIntegrals(const PointDensities<N>& at, const double& kh,
                                         const double& x, const double& g, const double& a,
                                         const double& theta, const double& s);
    /// Whether integrals may share their nodes and evaluate a repeated node once: the reuse mode
    /// with a fixed rule (Monte Carlo draws its own points).
    [[nodiscard]] bool sharesNodes() const;
    Evaluator bound(Density density);
    double layerIntegral(Density literal, SolvedDensity solved, const double& kh, const double& x,
                         const double& g, const double& a, const double& theta, const double& s);
    [[nodiscard]] double volumeFactor(double kh, double r) const;
    [[nodiscard]] double materialFactor(double kh, double r) const;

    // Formulas of the densities at a point of the harmonic solved last.
    [[nodiscard]] double maxwellOf(double kh, double r, const GapPoint& p) const;
    [[nodiscard]] double potentialOf(double kh, double r, const Complex& potential) const;
    [[nodiscard]] double potentialAt(const FieldCoefficients& f, double kh, double r) const;
    [[nodiscard]] double materialOf(double kh, double r, const LayerPoint& p) const;
    [[nodiscard]] double materialAt(const FieldCoefficients& f, double kh, double r) const;
    [[nodiscard]] double coenergyOf(double kh, double r, const LayerPoint& p) const;
    [[nodiscard]] double coenergyAt(const FieldCoefficients& f, double kh, double r) const;
    [[nodiscard]] double poyntingOf(double kh, double r, const GapPoint& p) const;
    [[nodiscard]] double anisotropyOf(double kh, double r, const LayerPoint& p) const;
    [[nodiscard]] double anisotropyAt(const FieldCoefficients& f, double kh, double r) const;
    [[nodiscard]] double magneticEnergyOf(double kh, double r, const LayerPoint& p) const;
    [[nodiscard]] double magneticEnergyAt(const FieldCoefficients& f, double kh, double r) const;
    [[nodiscard]] double odeResidualOf(const FieldCoefficients& f, double kh, double r,
                                       const Complex& potential, const LayerValues& v) const;
    [[nodiscard]] double odeResidualAt(const FieldCoefficients& f, double kh, double r) const;

    // Per-harmonic layer integrals of the densities.
    double materialIntegral(const double& kh, const double& x, const double& g, const double& a,
                            const double& theta, const double& s);
    double coenergyIntegral(const double& kh, const double& x, const double& g, const double& a,
                            const double& theta, const double& s);
    double anisotropyIntegral(const double& kh, const double& x, const double& g, const double& a,
                              const double& theta, const double& s);
    double magneticEnergyIntegral(const double& kh, const double& x, const double& g,
                                  const double& a, const double& theta, const double& s);
    double odeResidualIntegral(const double& kh, const double& x, const double& g, const double& a,
                               const double& theta, const double& s);

    // Layer equation (accuracy.cpp).
    [[nodiscard]] Complex secondDerivative(bool firstKind, const Complex& lambda,
                                           const Complex& first, const Complex& z) const;
    [[nodiscard]] Complex layerOperator(const Complex& first, const Complex& second,
                                        double r) const;
    [[nodiscard]] Complex layerCoefficient(double kh, double r) const;
    double accuracy(bool firstKind, const double& kp, const double& x, const double& g,
                    const double& a, const double& z, const double& n);
    bool solveFundamental(const double& kp, const double& x, const double& g, const double& a,
                          const double& z, const double& n);
    [[nodiscard]] double accuracyOfSolved(bool firstKind, double kp, double x) const;

    // The evaluation of several evaluators together works on the densities' formulas.
    friend class TogetherEvaluation;
    OdeSums odeSums(const double& kp, const double& x, const double& g, const double& a,
                    const double& z, const double& n);

    EvaluationMode m_mode = EvaluationMode::Reuse;
    int m_rulePanels = 1;

    // Scratch fields of the last solve.
    double m_x0 = 0.0;
    Complex m_layerPower;
    Complex m_lambdaShift;
    Complex m_complexFrequency;
    Complex m_coreRatio;
    Complex m_alpha;
    Complex m_rho;
    Complex m_kappa;
    Complex m_beta;
    Complex m_lambdaFirst;
    Complex m_lambdaSecond;
    Complex m_mu1;
    Complex m_mu2;
    double m_kh = 0.0;
    double m_sinTheta = 0.0;
    LayerBasis m_layerBasis;
    GapBasis m_gapBasis;

    // The numbers behind the two display texts, from the last solve.
    std::optional<SolveDisplay> m_display;
    std::uint64_t m_solveCount = 0;
};

}  // namespace emforce
