// Force or torque by the Maxwell stress tensor and by the Lorentz force density.
#include <cmath>

#include "induction/asynchronous_motor.hpp"

namespace emforce {

namespace {
constexpr double kPi = 3.141592653589793;
}  // namespace

double AsynchronousMotor::maxwellForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return harmonicSum(kp, x, g, a, z, n, squaredAmplitude,
                       bound(&AsynchronousMotor::maxwellDensity));
}

double AsynchronousMotor::lorentzForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return harmonicSum(
        kp, x, g, a, z, n, [this](const HarmonicTerm& h) { return lorentzWeight(h); },
        bound(&AsynchronousMotor::layerPotentialIntegral));
}

// J = −γ·s_c·A and B_n = −j·kh·A/L: the density Re(J·conj(B_n))/2 is kh·ω·γ·|A|²/(2L), whose
// sign is that of the wave's travel relative to the layer. The legacy weight has |kh|.
double AsynchronousMotor::lorentzWeight(const HarmonicTerm& h) const {
    if (params().formulation == Formulation::Physical)
        return h.amplitude * h.amplitude * h.kh * h.frequency.im() * params().gamma;
    return h.amplitude * h.amplitude * std::fabs(h.kh) * h.frequency.im() * params().gamma;
}

double AsynchronousMotor::maxwellDensity(const double& kh, const double& r, const double& g,
                                         const double& a, const double& theta, const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return maxwellOf(kh, r, gapPointAt(fieldCoefficients(kh, r, g, a, theta, s), r));
    GapPoint point;
    point.normalFlux = gapNormalFlux(kh, r, g, a, theta, s);
    point.tangentialField = gapTangentialField(kh, r, g, a, theta, s);
    return maxwellOf(kh, r, point);
}

// The stress r²·B_n·H_t over the circumference (the polar ring, the length), time averaged: the
// sign of the travel is in the fields. The legacy formulation multiplies by the sign of kh,
// which its frequency 2π·s, negative for a backward harmonic, made up for.
double AsynchronousMotor::maxwellOf(double kh, double r, const GapPoint& p) const {
    const MotorParameters& mp = params();
    const double product = real(p.tangentialField * conj(p.normalFlux));
    if (mp.formulation == Formulation::Physical) {
        if (mp.geometry == Geometry::Linear) return kPi * mp.l / std::fabs(mp.kp) * product;
        if (mp.geometry == Geometry::Cylindrical) return kPi * mp.l * (r * r) * product;
        return kPi * (r * r * r) * (m_sinTheta * m_sinTheta) * product;
    }
    double factor = 0.0;
    switch (mp.geometry) {
        case Geometry::Linear:
            factor = kPi * mp.l / kh;
            break;
        case Geometry::Cylindrical:
            factor = kPi * mp.l * (r * r) * kh / std::fabs(kh);
            break;
        case Geometry::Spherical:
            factor = kPi * (r * r * r) * (m_sinTheta * m_sinTheta) * kh / std::fabs(kh);
            break;
    }
    return factor * product;
}

double AsynchronousMotor::potentialDensity(const double& kh, const double& r, const double& g,
                                           const double& a, const double& theta, const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return potentialAt(fieldCoefficients(kh, r, g, a, theta, s), kh, r);
    return potentialOf(kh, r, layerPotential(kh, r, g, a, theta, s));
}

double AsynchronousMotor::potentialOf(double kh, double r, const Complex& potential) const {
    return volumeFactor(kh, r) * abs(potential) * abs(potential);
}

double AsynchronousMotor::potentialAt(const FieldCoefficients& f, double kh, double r) const {
    return potentialOf(kh, r, layerPointAt(f, r, false).potential);
}

double AsynchronousMotor::layerPotentialIntegral(const double& kh, const double& r, const double& g,
                                                 const double& a, const double& theta,
                                                 const double& s) {
    return layerIntegral(&AsynchronousMotor::potentialDensity, &AsynchronousMotor::potentialAt, kh,
                         r, g, a, theta, s);
}

}  // namespace emforce
