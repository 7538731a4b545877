// The induction evaluators: weighted sums over the included harmonics of the densities' terms.
#include <algorithm>
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "model/spectrum.hpp"

namespace emforce {

namespace {

constexpr double kTwoPi = 6.283185307179586;

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

// The one density of each slot that sums weight·term (slots 0 to 6).
constexpr std::array<Density, 7> kDensityOfSlot = {
    Density::Maxwell,  Density::Potential, Density::Material, Density::Potential,
    Density::Coenergy, Density::Poynting,  Density::Potential};

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
double AsynchronousMotor::weightOf(std::size_t slot, const HarmonicTerm& h) const {
    const MotorParameters& p = params();
    const double A = h.amplitude;
    const double k = p.formulation == Formulation::Physical ? h.kh : std::fabs(h.kh);
    switch (slot) {
        case LorentzSlot:
            return A * A * k * h.frequency.im() * p.gamma;
        case ImpulseSlot:
            return A * A * 2.0 * h.frequency.im() * h.frequency.re() * p.eps * k;
        case JouleSlot:
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

// Each harmonic asks of the field what the slots that take it need; a slot takes a harmonic
// unless its weight is 0 (the impulse terms without an impulse field, the Lorentz terms of
// γ = 0: they add ±0 whatever the term) or it is the material component of a Hermitian layer.
void AsynchronousMotor::addHarmonic(const EvaluatorSelection& chosen, bool odeSums,
                                    const HarmonicTerm& h, double x, double g, double a, double z,
                                    TogetherValues& out) {
    const MotorParameters& p = params();
    const bool hermitian = abs(p.ni21 - conj(p.ni12)) == 0.0;
    std::array<double, kDensityOfSlot.size()> weights{};
    EvaluatorSelection takes;
    DensitySet need;
    for (std::size_t slot = 0; slot < kDensityOfSlot.size(); ++slot) {
        if (!chosen[slot] || (slot == MaterialSlot && hermitian)) continue;
        weights[slot] = weightOf(slot, h);
        if (weights[slot] == 0.0) continue;
        takes.set(slot);
        need.set(indexOf(kDensityOfSlot[slot]));
    }
    // The anisotropy power and the ODE error take every included harmonic.
    if (chosen[AnisotropySlot]) {
        takes.set(AnisotropySlot);
        need.set(indexOf(Density::Anisotropy));
        if (p.fI != 0.0) need.set(indexOf(Density::Potential)).set(indexOf(Density::Energy));
    }
    if (odeSums) need.set(indexOf(Density::Residual)).set(indexOf(Density::Potential));
    if (takes.none() && !odeSums) return;
    const AngleSolver solve = [&](double theta) { return solveField(h.kh, g, a, theta, h.slip); };
    const DensityValues t = integrateDensities(integration(), need, solve, x, a, z);
    for (std::size_t slot = 0; slot < kDensityOfSlot.size(); ++slot) {
        if (takes[slot])
            out.values[slot] = out.values[slot] + weights[slot] * t[indexOf(kDensityOfSlot[slot])];
    }
    if (takes[AnisotropySlot])
        out.values[AnisotropySlot] = anisotropyTerm(h, t, out.values[AnisotropySlot]);
    for (std::size_t slot = 0; slot < kInductionEvaluators; ++slot)
        if (takes[slot]) out.lastSolve[slot] = m_display;
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
                                      double g, double a, double z, double n,
                                      TogetherValues& out) {
    if (!chosen[AccuracyISlot] && !chosen[AccuracyKSlot]) return;
    const double sync = params().syncSpeed;
    const double slip = sync - n;
    if (std::fabs(slip / sync) < 1e-7) return;
    const HarmonicField f = solveField(kp, g, a, z, slip, FieldSolve::Constants);
    for (const std::size_t slot : {AccuracyISlot, AccuracyKSlot}) {
        if (!chosen[slot]) continue;
        out.values[slot] = layerEquationAccuracy(f, slot == AccuracyISlot, x);
        out.lastSolve[slot] = m_display;
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
        addHarmonic(chosen, odeSums, {h, s, amplitude, kp * h, frequencyOf(kp * h, s)}, x, g, a,
                    z, out);
    }
    addAccuracies(chosen, kp, x, g, a, z, n, out);
    return out;
}

double AsynchronousMotor::slotValue(std::size_t slot, const double& kp, const double& x,
                                    const double& g, const double& a, const double& z,
                                    const double& n) {
    return evaluateTogether(EvaluatorSelection().set(slot), false, kp, x, g, a, z, n).values[slot];
}

double AsynchronousMotor::maxwellForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return slotValue(MaxwellSlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::lorentzForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return slotValue(LorentzSlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::materialForce(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return slotValue(MaterialSlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::impulseForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return slotValue(ImpulseSlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::coenergyForce(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return slotValue(CoenergySlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::poyntingPower(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return slotValue(PoyntingSlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::joulePower(const double& kp, const double& x, const double& g,
                                     const double& a, const double& z, const double& n) {
    return slotValue(JouleSlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::anisotropyPower(const double& kp, const double& x, const double& g,
                                          const double& a, const double& z, const double& n) {
    return slotValue(AnisotropySlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::accuracyI(const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n) {
    return slotValue(AccuracyISlot, kp, x, g, a, z, n);
}

double AsynchronousMotor::accuracyK(const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n) {
    return slotValue(AccuracyKSlot, kp, x, g, a, z, n);
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
