// All chosen induction evaluators of one point from one field solution per harmonic and node.
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "induction/panels.hpp"

namespace emforce {

namespace {

// The per-harmonic terms the evaluators are made of: the Maxwell term at x, the Poynting term
// at R and the layer integrals of six densities, each integrated over θ in the sphere.
enum Term : std::size_t {
    MaxwellTerm,
    PoyntingTerm,
    PotentialTerm,
    MaterialTerm,
    CoenergyTerm,
    AnisotropyTerm,
    EnergyTerm,
    ResidualTerm,
    kTermCount
};
using Terms = std::array<double, kTermCount>;
using TermSet = std::bitset<kTermCount>;

// The layer densities, in the order of their terms from PotentialTerm on.
constexpr std::size_t kFirstLayerTerm = PotentialTerm;
constexpr std::size_t kLayerTerms = kTermCount - kFirstLayerTerm;

enum Slot : std::size_t {
    MaxwellSlot,
    LorentzSlot,
    MaterialSlot,
    ImpulseSlot,
    CoenergySlot,
    PoyntingSlot,
    JouleSlot,
    AnisotropySlot,
    AccuracyISlot,
    AccuracyKSlot
};

// The one term of each slot that sums weight·term (slots 0 to 6).
constexpr std::array<Term, 7> kTermOfSlot = {MaxwellTerm,   PotentialTerm, MaterialTerm,
                                             PotentialTerm, CoenergyTerm,  PoyntingTerm,
                                             PotentialTerm};

}  // namespace

using panels::overPanels;

// The chosen evaluators of one point, harmonic by harmonic. Each harmonic asks of the field
// what the slots that take it need; a slot takes a harmonic as its evaluator alone does in the
// reuse mode: not when its weight is 0, the material component not for a Hermitian layer.
class TogetherEvaluation {
public:
    TogetherEvaluation(AsynchronousMotor& motor, const EvaluatorSelection& chosen, bool odeSums)
        : m(motor), m_chosen(chosen), m_odeSums(odeSums) {
        const MotorParameters& p = m.params();
        m_hermitian = abs(p.ni21 - conj(p.ni12)) == 0.0;
    }

    void addHarmonic(const HarmonicTerm& h, const double& x, const double& g, const double& a,
                     const double& z, TogetherValues& out) {
        std::array<double, 7> weights{};
        EvaluatorSelection takes;
        TermSet need;
        for (std::size_t slot = 0; slot < kTermOfSlot.size(); ++slot) {
            if (!m_chosen[slot] || (slot == MaterialSlot && m_hermitian)) continue;
            weights[slot] = weightOf(slot, h);
            if (weights[slot] == 0.0) continue;
            takes.set(slot);
            need.set(kTermOfSlot[slot]);
        }
        // The anisotropy power takes every included harmonic.
        if (m_chosen[AnisotropySlot]) {
            takes.set(AnisotropySlot);
            need.set(AnisotropyTerm);
            if (m.params().fI != 0.0) need.set(PotentialTerm).set(EnergyTerm);
        }
        // So does the ODE error.
        if (m_odeSums) need.set(ResidualTerm).set(PotentialTerm);
        if (takes.none() && !m_odeSums) return;
        const Terms t = terms(need, h, x, g, a, z);
        for (std::size_t slot = 0; slot < kTermOfSlot.size(); ++slot) {
            if (takes[slot])
                out.values[slot] = out.values[slot] + weights[slot] * t[kTermOfSlot[slot]];
        }
        if (takes[AnisotropySlot]) {
            out.values[AnisotropySlot] = m.addAnisotropyPower(
                out.values[AnisotropySlot], h, t[AnisotropyTerm], t[PotentialTerm], t[EnergyTerm]);
        }
        for (std::size_t slot = 0; slot < kInductionEvaluators; ++slot)
            if (takes[slot]) out.lastSolve[slot] = m.displayNumbers();
        if (!m_odeSums) return;
        // The amplitude enters both sums once, with its sign, as in odeSums.
        OdeSums& sums = *out.ode;
        sums.error = sums.error + h.amplitude * t[ResidualTerm];
        sums.norm = sums.norm + h.amplitude * t[PotentialTerm] / std::fabs(h.kh);
        out.odeLastSolve = m.displayNumbers();
    }

    // The two accuracies from one solve of the fundamental.
    void addAccuracies(const double& kp, const double& x, const double& g, const double& a,
                       const double& z, const double& n, TogetherValues& out) {
        if (!m_chosen[AccuracyISlot] && !m_chosen[AccuracyKSlot]) return;
        if (!m.solveFundamental(kp, x, g, a, z, n)) return;
        for (const std::size_t slot : {AccuracyISlot, AccuracyKSlot}) {
            if (!m_chosen[slot]) continue;
            out.values[slot] = m.accuracyOfSolved(slot == AccuracyISlot, kp, x);
            out.lastSolve[slot] = m.displayNumbers();
        }
    }

private:
    [[nodiscard]] double weightOf(std::size_t slot, const HarmonicTerm& h) const {
        switch (slot) {
            case LorentzSlot:
                return m.lorentzWeight(h);
            case ImpulseSlot:
                return m.impulseWeight(h);
            case JouleSlot:
                return m.jouleWeight(h);
            default:
                return AsynchronousMotor::squaredAmplitude(h);
        }
    }

    // The needed terms of harmonic h: at z, or integrated over θ in the sphere, as termValue
    // integrates a single term.
    Terms terms(const TermSet& need, const HarmonicTerm& h, const double& x, const double& g,
                const double& a, const double& z) {
        const MotorParameters& p = m.params();
        const auto atAngle = [&](double theta) {
            return termsAt(need, h.kh, x, g, a, theta, h.slip);
        };
        if (p.geometry != Geometry::Spherical) return atAngle(z);
        return overPanels(m.m_rulePanels, p.teta1, p.teta2, [&](double lower, double upper) {
            return integrateTogether<kTermCount>(m.method(), false, lower, upper, atAngle);
        });
    }

    // The terms at one polar angle from one solve: the gap fields at x, and at R unless x is R,
    // and the layer densities from one set of layer fields per node.
    Terms termsAt(const TermSet& need, double kh, const double& x, const double& g, const double& a,
                  double theta, double s) {
        Terms t{};
        const FieldCoefficients f = m.fieldCoefficients(kh, x, g, a, theta, s);
        const double R = m.params().R;
        if (need[MaxwellTerm] || need[PoyntingTerm]) {
            const bool atX = need[MaxwellTerm];
            const AsynchronousMotor::GapPoint gapAtX =
                atX ? m.gapPointAt(f, x) : AsynchronousMotor::GapPoint{};
            if (atX) t[MaxwellTerm] = m.maxwellOf(kh, x, gapAtX);
            if (need[PoyntingTerm])
                t[PoyntingTerm] = m.poyntingOf(kh, R, atX && x == R ? gapAtX : m.gapPointAt(f, R));
        }
        if ((need >> kFirstLayerTerm).none()) return t;
        const bool tangential =
            need[MaterialTerm] || need[CoenergyTerm] || need[AnisotropyTerm] || need[EnergyTerm];
        const LayerParts parts = tangential ? LayerParts::Both : LayerParts::Values;
        const auto densities = [&](double r) {
            const LayerValues v = m.m_layerBasis.at(r, parts);
            const AsynchronousMotor::LayerPoint point = m.layerPointOf(f, v, r, tangential);
            std::array<double, kLayerTerms> d{};
            if (need[PotentialTerm])
                d[PotentialTerm - kFirstLayerTerm] = m.potentialOf(kh, r, point.potential);
            if (need[MaterialTerm]) d[MaterialTerm - kFirstLayerTerm] = m.materialOf(kh, r, point);
            if (need[CoenergyTerm]) d[CoenergyTerm - kFirstLayerTerm] = m.coenergyOf(kh, r, point);
            if (need[AnisotropyTerm])
                d[AnisotropyTerm - kFirstLayerTerm] = m.anisotropyOf(kh, r, point);
            if (need[EnergyTerm])
                d[EnergyTerm - kFirstLayerTerm] = m.magneticEnergyOf(kh, r, point);
            if (need[ResidualTerm])
                d[ResidualTerm - kFirstLayerTerm] = m.odeResidualOf(f, kh, r, point.potential, v);
            return d;
        };
        // The bounds of layerIntegral.
        const double upper = R;
        const double lower = upper - a;
        const auto layer = overPanels(m.m_rulePanels, lower, upper, [&](double from, double to) {
            return integrateTogether<kLayerTerms>(m.method(), true, from, to, densities);
        });
        for (std::size_t k = 0; k < kLayerTerms; ++k) t[kFirstLayerTerm + k] = layer[k];
        return t;
    }

    AsynchronousMotor& m;
    EvaluatorSelection m_chosen;
    bool m_odeSums;
    bool m_hermitian = false;
};

TogetherValues AsynchronousMotor::evaluateTogether(const EvaluatorSelection& chosen, bool odeSums,
                                                   const double& kp, const double& x,
                                                   const double& g, const double& a,
                                                   const double& z, const double& n) {
    TogetherEvaluation together(*this, chosen, odeSums);
    TogetherValues out;
    if (odeSums) out.ode = OdeSums{};
    forEachIncludedHarmonic(
        kp, n, false, [&](const HarmonicTerm& h) { together.addHarmonic(h, x, g, a, z, out); });
    together.addAccuracies(kp, x, g, a, z, n, out);
    return out;
}

}  // namespace emforce
