// Force and torque of the synchronous motor by the Maxwell stress and by the Lorentz force.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/spectrum.hpp"
#include "synchronous/silnik_synchroniczny.hpp"

namespace emforce {

namespace {

constexpr double kPi = std::numbers::pi;

// Orders that are multiples of 3 are left out for every winding, the single-phase one
// included, and so is every order that lacks a stator or a rotor amplitude.
template <class Contribution>
double harmonicSum(const ModelData& data, const Contribution& contribution) {
    const HarmonicRange range = harmonicRange(data.params.highestHarmonic);
    const int last = std::min(range.last, kHarmonicCount - 1);
    double sum = 0.0;
    for (int i = std::max(range.first, 0); i <= last; ++i) {
        if (harmonicOrder(i) % 3 == 0) continue;
        const auto k = static_cast<std::size_t>(i);
        if (data.statorSpectrum[k] == 0.0 || data.rotorSpectrum[k] == 0.0) continue;
        sum += contribution(i);
    }
    return sum;
}

// The rotor sheet's phase factor for the load angle y.
Complex loadAngleFactor(const double& kh, const double& y) { return exp(kJ * kh * y); }

// Spherical Maxwell densities of the stator sheet, of both sheets together and of the rotor.
std::array<double, 3> maxwellDensities(const GapFields& f, const double& kh, const double& theta,
                                       const double& y) {
    const double t = std::sin(theta);
    const double t4 = t * t * t * t;
    const Complex e = loadAngleFactor(kh, y);
    return {t4 * real(f.hs * conj(f.bs)), t4 * real(f.hs * conj(f.br * e) + f.hr * e * conj(f.bs)),
            t4 * real(f.hr * conj(f.br))};
}

// Spherical Lorentz densities of the stator's field and of the rotor's own on the rotor sheet.
std::array<double, 2> lorentzDensities(const GapFields& f, const double& kh, const double& theta,
                                       const double& y) {
    const double t = std::sin(theta);
    const double t3 = t * t * t;
    const Complex e = loadAngleFactor(kh, y);
    return {t3 * real(e * conj(f.bs)), t3 * real(conj(f.br))};
}

}  // namespace

Evaluator SilnikSynchroniczny::bound(Integrand integrand) {
    return [this, integrand](const double& kh, const double& x, const double& g, const double& a,
                             const double& theta,
                             const double& y) { return (this->*integrand)(kh, x, g, a, theta, y); };
}

template <std::size_t N, class Densities>
std::array<double, N> SilnikSynchroniczny::thetaIntegrals(
    const std::array<Integrand, N>& integrands, const Densities& densities, const double& kh,
    const double& x, const double& g, const double& a, const double& theta, const double& y) {
    const MotorParameters& p = params();
    const auto method = static_cast<IntegrationMethod>(p.integrationMethod);
    if (m_mode == EvaluationMode::Reuse && method != IntegrationMethod::MonteCarlo) {
        // The nodes and the sums are those of integrate, so the results are the same numbers.
        return integrateTogether<N>(method, false, p.teta1, p.teta2, densities);
    }
    std::array<double, N> result{};
    for (std::size_t k = 0; k < N; ++k)
        result[k] =
            integrate(method, bound(integrands[k]), kh, x, g, a, theta, y, false, p.teta1, p.teta2);
    return result;
}

double SilnikSynchroniczny::synchronousMaxwell(const double& kp, const double& x, const double& g,
                                               const double& a, const double& z, const double& y) {
    return harmonicSum(data(), [&](int i) { return maxwellContribution(i, kp, x, g, a, z, y); });
}

double SilnikSynchroniczny::synchronousLorentz(const double& kp, const double& /*x*/,
                                               const double& g, const double& a, const double& z,
                                               const double& y) {
    return harmonicSum(data(), [&](int i) { return lorentzContribution(i, kp, g, a, z, y); });
}

double SilnikSynchroniczny::synchronousMaterial(const double&, const double&, const double&,
                                                const double&, const double&, const double&) {
    return 0.0;
}

double SilnikSynchroniczny::synchronousImpulse(const double&, const double&, const double&,
                                               const double&, const double&, const double&) {
    return 0.0;
}

double SilnikSynchroniczny::synchronousCoenergy(const double&, const double&, const double&,
                                                const double&, const double&, const double&) {
    return 0.0;
}

// A linear harmonic's force is that of one fundamental wavelength, |h| of its own. The legacy
// formulation took one of its own, and with the sign of h, which made every backward harmonic
// push the wrong way: the mirror image y -> -y of order -h is order h, with the same force.
bool SilnikSynchroniczny::physical() const {
    return params().formulation == Formulation::Physical;
}

double SilnikSynchroniczny::maxwellContribution(int index, const double& kp, const double& x,
                                                const double& g, const double& a, const double& z,
                                                const double& y) {
    const MotorParameters& p = params();
    const auto k = static_cast<std::size_t>(index);
    const double as = m_data->statorSpectrum[k];
    const double ar = m_data->rotorSpectrum[k];
    const int h = harmonicOrder(index);
    const double kh = kp * h;
    if (spherical()) {
        const std::array<double, 3> m = thetaIntegrals<3>(
            {&SilnikSynchroniczny::maxwellStatorIntegrand,
             &SilnikSynchroniczny::maxwellMutualIntegrand,
             &SilnikSynchroniczny::maxwellRotorIntegrand},
            [&](const double& theta) {
                return maxwellDensities(fieldsAt(kh, x, g, a, theta, y), kh, theta, y);
            },
            kh, x, g, a, z, y);
        return (as * as * m[0] + as * ar * m[1] + ar * ar * m[2]) * kPi * x * x * x;
    }
    const Complex e = loadAngleFactor(kh, y);
    const GapFields f = fieldsAt(kh, x, g, a, z, y);
    const Complex b = as * f.bs + ar * f.br * e;
    const Complex hField = as * f.hs + ar * f.hr * e;
    // The linear force divides by the signed order; the torque has no sign factor.
    if (p.geometry == Geometry::Linear) {
        if (physical()) return real(hField * conj(b)) * p.l / kp * kPi;
        return real(hField * conj(b)) * p.l / kp / h * kPi;
    }
    return real(hField * conj(b)) * kPi * p.l * x * x;
}

double SilnikSynchroniczny::lorentzContribution(int index, const double& kp, const double& g,
                                                const double& a, const double& z, const double& y) {
    const MotorParameters& p = params();
    const auto k = static_cast<std::size_t>(index);
    const double as = m_data->statorSpectrum[k];
    const double ar = m_data->rotorSpectrum[k];
    const int h = harmonicOrder(index);
    const double kh = kp * h;
    const double rotor = p.R;
    if (spherical()) {
        const std::array<double, 2> l = thetaIntegrals<2>(
            {&SilnikSynchroniczny::lorentzMutualIntegrand,
             &SilnikSynchroniczny::lorentzRotorIntegrand},
            [&](const double& theta) {
                return lorentzDensities(normalFluxesAt(kh, rotor, g, a, theta, y), kh, theta, y);
            },
            kh, rotor, g, a, z, y);
        return (as * ar * l[0] + ar * ar * l[1]) * (-kPi) * rotor * rotor * kp * h;
    }
    const Complex e = loadAngleFactor(kh, y);
    const GapFields f = normalFluxesAt(kh, rotor, g, a, z, y);
    const Complex b = as * f.bs + ar * f.br * e;
    const double density = real(ar * e * conj(b));
    if (p.geometry == Geometry::Linear) return density * (-kPi) * p.l * (physical() ? h : 1);
    return density * (-kPi) * p.l * rotor * kp * h;
}

double SilnikSynchroniczny::maxwellStatorIntegrand(const double& kh, const double& x,
                                                   const double& g, const double& a,
                                                   const double& theta, const double& y) {
    return maxwellDensities(fieldsAt(kh, x, g, a, theta, y), kh, theta, y)[0];
}

double SilnikSynchroniczny::maxwellMutualIntegrand(const double& kh, const double& x,
                                                   const double& g, const double& a,
                                                   const double& theta, const double& y) {
    return maxwellDensities(fieldsAt(kh, x, g, a, theta, y), kh, theta, y)[1];
}

double SilnikSynchroniczny::maxwellRotorIntegrand(const double& kh, const double& x,
                                                  const double& g, const double& a,
                                                  const double& theta, const double& y) {
    return maxwellDensities(fieldsAt(kh, x, g, a, theta, y), kh, theta, y)[2];
}

double SilnikSynchroniczny::lorentzMutualIntegrand(const double& kh, const double& x,
                                                   const double& g, const double& a,
                                                   const double& theta, const double& y) {
    return lorentzDensities(normalFluxesAt(kh, x, g, a, theta, y), kh, theta, y)[0];
}

double SilnikSynchroniczny::lorentzRotorIntegrand(const double& kh, const double& x,
                                                  const double& g, const double& a,
                                                  const double& theta, const double& y) {
    return lorentzDensities(normalFluxesAt(kh, x, g, a, theta, y), kh, theta, y)[1];
}

}  // namespace emforce
