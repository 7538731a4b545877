// The induction evaluators: weighted sums over the included harmonics of the densities' terms.
#include <algorithm>
#include <cmath>
#include <optional>

#include "induction/asynchronous_motor.hpp"
#include "model/spectrum.hpp"

namespace emforce {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The density whose weighted sum an evaluator is, for those that are one such sum.
std::optional<Density> densityOf(SlotEvaluator e) {
    switch (e) {
        case SlotEvaluator::MaxwellForce:
            return Density::Maxwell;
        case SlotEvaluator::LorentzForce:
        case SlotEvaluator::ImpulseForce:
        case SlotEvaluator::JoulePower:
            return Density::Potential;
        case SlotEvaluator::MaterialForce:
            return Density::Material;
        case SlotEvaluator::CoenergyForce:
            return Density::Coenergy;
        case SlotEvaluator::PoyntingPower:
            return Density::Poynting;
        case SlotEvaluator::AnisotropyPower:
        case SlotEvaluator::AccuracyI:
        case SlotEvaluator::AccuracyK:
            break;
    }
    return std::nullopt;
}

double squaredAmplitude(double amplitude) { return amplitude * amplitude; }

}  // namespace

AsynchronousMotor::AsynchronousMotor(ModelData& data) : MotorGeneralClass(data) {}

HarmonicField AsynchronousMotor::solveField(double kh, double g, double a, double theta, double s,
                                            FieldSolve solve) {
    HarmonicField f = solveHarmonicField(params(), m_slots, {kh, g, a, theta, s}, solve);
    m_display = f.display;
    ++m_solveCount;
    return f;
}

Complex AsynchronousMotor::frequencyOf(double kh, double s) const {
    return emforce::frequencyOf(params(), kh, s);
}

std::optional<std::string> AsynchronousMotor::edit2Text() const {
    if (!m_display) return std::nullopt;
    return lambdaText(*m_display);
}

std::optional<std::string> AsynchronousMotor::edit3Text() const {
    if (!m_display) return std::nullopt;
    return betaRText(*m_display);
}

DensityIntegration AsynchronousMotor::integration() const {
    return {&params(), m_rulePanels,
            m_mode == EvaluationMode::Reuse ? FieldPolicy::Shared : FieldPolicy::Literal};
}

bool AsynchronousMotor::evaluatesTogether() const {
    return m_mode == EvaluationMode::Reuse &&
           static_cast<IntegrationMethod>(params().integrationMethod) !=
               IntegrationMethod::MonteCarlo;
}

// The weights w_h of the slots' terms. J = −γ·s_c·A and B_n = −j·kh·A/L: the Lorentz density
// Re(J·conj(B_n))/2 is kh·ω·γ·|A|²/(2L), whose sign is that of the wave's travel relative to
// the layer. The displacement current −ε·s_c²·A adds to the conduction current: its force
// density has Im(ε·s_c²) = 2·fI·ω·ε where the Lorentz density has γ·ω, with the same factor kh.
// The legacy weights have |kh| (without it in the impulse weight Maxwell = Lorentz + material +
// impulse missed by (|kh| − 1) times the impulse term of every harmonic).
double AsynchronousMotor::weightOf(SlotEvaluator e, const HarmonicTerm& h) const {
    const MotorParameters& p = params();
    const double A = h.amplitude;
    const double k = p.formulation == Formulation::Physical ? h.kh : std::fabs(h.kh);
    switch (e) {
        case SlotEvaluator::LorentzForce:
            return A * A * k * h.frequency.im() * p.gamma;
        case SlotEvaluator::ImpulseForce:
            return A * A * 2.0 * h.frequency.im() * h.frequency.re() * p.eps * k;
        case SlotEvaluator::JoulePower:
            return A * A * abs(h.frequency * h.frequency) * p.gamma;
        default:
            return squaredAmplitude(A);
    }
}

// The anisotropy part, and with an impulse field the electric and magnetic energy it stores.
double AsynchronousMotor::anisotropyTerm(const HarmonicTerm& h, const DensityValues& t,
                                         double total) const {
    const MotorParameters& p = params();
    const double A = h.amplitude;
    const double anisotropic = t[indexOf(Density::Anisotropy)];
    // The magnetic loss of a non-Hermitian reluctivity at the angular frequency of the layer's
    // field; the legacy formulation took 2π·s.
    if (p.formulation == Formulation::Physical)
        total = total + A * A * h.frequency.im() * anisotropic;
    else
        total = total + A * A * kTwoPi * h.slip * anisotropic;
    if (p.fI == 0.0) return total;
    const double electric = t[indexOf(Density::Potential)];
    const double magnetic = t[indexOf(Density::Energy)];
    return total +
           A * p.fI * A * (abs(h.frequency * h.frequency) * p.eps * electric + 2.0 * magnetic);
}

// Each harmonic asks of the field what the evaluators that take it need; one takes a harmonic
// unless its weight is 0 (the impulse terms without an impulse field, the Lorentz terms of
// γ = 0: they add ±0 whatever the term) or it is the material component of a Hermitian layer.
void AsynchronousMotor::addHarmonic(const EvaluatorSelection& chosen, bool odeSums,
                                    const HarmonicTerm& h, double x, double g, double a, double z,
                                    TogetherValues& out) {
    const MotorParameters& p = params();
    const bool hermitian = abs(p.ni21 - conj(p.ni12)) == 0.0;
    const std::size_t anisotropy = evaluatorAt(SlotEvaluator::AnisotropyPower);
    std::array<double, kSlotEvaluators> weights{};
    std::array<std::optional<Density>, kSlotEvaluators> densities{};
    EvaluatorSelection takes;
    DensitySet need;
    for (std::size_t k = 0; k < kSlotEvaluators; ++k) {
        const auto e = static_cast<SlotEvaluator>(k);
        densities[k] = densityOf(e);
        if (!chosen[k] || !densities[k] || (e == SlotEvaluator::MaterialForce && hermitian))
            continue;
        weights[k] = weightOf(e, h);
        if (weights[k] == 0.0) continue;
        takes.set(k);
        need.set(indexOf(*densities[k]));
    }
    // The anisotropy power and the ODE error take every included harmonic.
    if (chosen[anisotropy]) {
        takes.set(anisotropy);
        need.set(indexOf(Density::Anisotropy));
        if (p.fI != 0.0) need.set(indexOf(Density::Potential)).set(indexOf(Density::Energy));
    }
    if (odeSums) need.set(indexOf(Density::Residual)).set(indexOf(Density::Potential));
    if (takes.none() && !odeSums) return;
    const AngleSolver solve = [&](double theta) { return solveField(h.kh, g, a, theta, h.slip); };
    const DensityValues t = integrateDensities(integration(), need, solve, x, a, z);
    for (std::size_t k = 0; k < kSlotEvaluators; ++k) {
        if (takes[k] && densities[k])
            out.values[k] = out.values[k] + weights[k] * t[indexOf(*densities[k])];
    }
    if (takes[anisotropy]) out.values[anisotropy] = anisotropyTerm(h, t, out.values[anisotropy]);
    for (std::size_t k = 0; k < kSlotEvaluators; ++k)
        if (takes[k]) out.lastSolve[k] = m_display;
    if (!odeSums) return;
    // The amplitude enters both sums once, with its sign.
    OdeSums& sums = *out.ode;
    sums.error = sums.error + h.amplitude * t[indexOf(Density::Residual)];
    sums.norm = sums.norm + h.amplitude * t[indexOf(Density::Potential)] / std::fabs(h.kh);
    out.odeLastSolve = m_display;
}

// The two accuracies from one solve of the fundamental at the speed n, unless it is
// synchronous with the layer.
void AsynchronousMotor::addAccuracies(const EvaluatorSelection& chosen, double kp, double x,
                                      double g, double a, double z, double n, TogetherValues& out) {
    const std::size_t first = evaluatorAt(SlotEvaluator::AccuracyI);
    const std::size_t second = evaluatorAt(SlotEvaluator::AccuracyK);
    if (!chosen[first] && !chosen[second]) return;
    const double sync = params().syncSpeed;
    const double slip = sync - n;
    if (std::fabs(slip / sync) < 1e-7) return;
    const HarmonicField f = solveField(kp, g, a, z, slip, FieldSolve::Constants);
    for (const std::size_t k : {first, second}) {
        if (!chosen[k]) continue;
        out.values[k] = layerEquationAccuracy(f, k == first, x);
        out.lastSolve[k] = m_display;
    }
}

TogetherValues AsynchronousMotor::evaluateTogether(const EvaluatorSelection& chosen, bool odeSums,
                                                   const double& kp, const double& x,
                                                   const double& g, const double& a,
                                                   const double& z, const double& n) {
    TogetherValues out;
    if (odeSums) out.ode = OdeSums{};
    const MotorParameters& p = params();
    const HarmonicRange range = harmonicRange(p.highestHarmonic);
    // The reading refuses orders beyond the spectra; the clamp only keeps the indices valid.
    const int last = std::min(range.last, kHarmonicCount - 1);
    for (int i = std::max(range.first, 0); i <= last; ++i) {
        const double h = harmonicOrder(i);
        const double s = p.syncSpeed / h - n;
        const double amplitude = m_data->statorSpectrum[static_cast<std::size_t>(i)];
        if (!harmonicIncluded(s, h, p.phases, amplitude, p.syncSpeed)) continue;
        addHarmonic(chosen, odeSums, {h, s, amplitude, kp * h, frequencyOf(kp * h, s)}, x, g, a, z,
                    out);
    }
    addAccuracies(chosen, kp, x, g, a, z, n, out);
    return out;
}

double AsynchronousMotor::evaluatorValue(SlotEvaluator e, const double& kp, const double& x,
                                         const double& g, const double& a, const double& z,
                                         const double& n) {
    const std::size_t k = evaluatorAt(e);
    return evaluateTogether(EvaluatorSelection().set(k), false, kp, x, g, a, z, n).values[k];
}

double AsynchronousMotor::maxwellForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::MaxwellForce, kp, x, g, a, z, n);
}

double AsynchronousMotor::lorentzForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::LorentzForce, kp, x, g, a, z, n);
}

double AsynchronousMotor::materialForce(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::MaterialForce, kp, x, g, a, z, n);
}

double AsynchronousMotor::impulseForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::ImpulseForce, kp, x, g, a, z, n);
}

double AsynchronousMotor::coenergyForce(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::CoenergyForce, kp, x, g, a, z, n);
}

double AsynchronousMotor::poyntingPower(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::PoyntingPower, kp, x, g, a, z, n);
}

double AsynchronousMotor::joulePower(const double& kp, const double& x, const double& g,
                                     const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::JoulePower, kp, x, g, a, z, n);
}

double AsynchronousMotor::anisotropyPower(const double& kp, const double& x, const double& g,
                                          const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::AnisotropyPower, kp, x, g, a, z, n);
}

double AsynchronousMotor::accuracyI(const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::AccuracyI, kp, x, g, a, z, n);
}

double AsynchronousMotor::accuracyK(const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n) {
    return evaluatorValue(SlotEvaluator::AccuracyK, kp, x, g, a, z, n);
}

OdeSums AsynchronousMotor::odeSums(const double& kp, const double& x, const double& g,
                                   const double& a, const double& z, const double& n) {
    return *evaluateTogether(EvaluatorSelection(), true, kp, x, g, a, z, n).ode;
}

double AsynchronousMotor::odeError(const double& kp, const double& x, const double& g,
                                   const double& a, const double& z, const double& n) {
    const OdeSums sums = odeSums(kp, x, g, a, z, n);
    return std::sqrt(std::fabs(sums.error / sums.norm));
}

std::optional<double> AsynchronousMotor::odeErrorValue(const double& kp, const double& x,
                                                       const double& g, const double& a,
                                                       const double& z, const double& n) {
    return odeErrorOf(odeSums(kp, x, g, a, z, n));
}

std::optional<double> AsynchronousMotor::odeErrorOf(const OdeSums& sums) {
    if (sums.norm == 0.0) return std::nullopt;
    return std::sqrt(std::fabs(sums.error / sums.norm));
}

}  // namespace emforce
