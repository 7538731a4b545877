// Force and torque of the synchronous motor by the Maxwell stress and by the Lorentz force.
#include "synchronous/silnik_synchroniczny.hpp"

#include <algorithm>
#include <numbers>

#include "model/spectrum.hpp"
#include "synchronous/gap_densities.hpp"
#include "synchronous/gap_integration.hpp"

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

}  // namespace

SilnikSynchroniczny::SilnikSynchroniczny(ModelData& data) : MotorGeneralClass(data) {}

SynchronousField SilnikSynchroniczny::solveField(double kh, double g, double theta) const {
    return solveSynchronousField(params(), m_slots, kh, g, theta);
}

double SilnikSynchroniczny::synchronousMaxwell(const double& kp, const double& x, const double& g,
                                               const double& /*a*/, const double& z,
                                               const double& y) {
    return harmonicSum(data(), [&](int i) { return maxwellContribution(i, kp, x, g, z, y); });
}

double SilnikSynchroniczny::synchronousLorentz(const double& kp, const double& /*x*/,
                                               const double& g, const double& /*a*/,
                                               const double& z, const double& y) {
    return harmonicSum(data(), [&](int i) { return lorentzContribution(i, kp, g, z, y); });
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
bool SilnikSynchroniczny::physical() const { return params().formulation == Formulation::Physical; }

FieldPolicy SilnikSynchroniczny::policy() const {
    return m_mode == EvaluationMode::Reuse ? FieldPolicy::Shared : FieldPolicy::Literal;
}

double SilnikSynchroniczny::maxwellContribution(int index, double kp, double x, double g, double z,
                                                double y) const {
    const MotorParameters& p = params();
    const auto k = static_cast<std::size_t>(index);
    const double as = m_data->statorSpectrum[k];
    const double ar = m_data->rotorSpectrum[k];
    const int h = harmonicOrder(index);
    const double kh = kp * h;
    if (spherical()) {
        const std::array<double, 3> m = integrateOverTheta<3>(
            p, policy(), [&](double theta) { return solveField(kh, g, theta); },
            [&](const SynchronousField& f) { return sphericalMaxwellDensities(f, x, y); });
        return (as * as * m[0] + as * ar * m[1] + ar * ar * m[2]) * kPi * x * x * x;
    }
    const double density = planeMaxwellDensity(solveField(kh, g, z), x, as, ar, y);
    // The linear force divides by the signed order; the torque has no sign factor.
    if (p.geometry == Geometry::Linear) {
        if (physical()) return density * p.l / kp * kPi;
        return density * p.l / kp / h * kPi;
    }
    return density * kPi * p.l * x * x;
}

double SilnikSynchroniczny::lorentzContribution(int index, double kp, double g, double z,
                                                double y) const {
    const MotorParameters& p = params();
    const auto k = static_cast<std::size_t>(index);
    const double as = m_data->statorSpectrum[k];
    const double ar = m_data->rotorSpectrum[k];
    const int h = harmonicOrder(index);
    const double kh = kp * h;
    const double rotor = p.R;
    if (spherical()) {
        const std::array<double, 2> l = integrateOverTheta<2>(
            p, policy(), [&](double theta) { return solveField(kh, g, theta); },
            [&](const SynchronousField& f) { return sphericalLorentzDensities(f, rotor, y); });
        return (as * ar * l[0] + ar * ar * l[1]) * (-kPi) * rotor * rotor * kp * h;
    }
    const double density = planeLorentzDensity(solveField(kh, g, z), rotor, as, ar, y);
    if (p.geometry == Geometry::Linear) return density * (-kPi) * p.l * (physical() ? h : 1);
    return density * (-kPi) * p.l * rotor * kp * h;
}

}  // namespace emforce
