// The material, impulse and coenergy components of the force or torque.
#include <cmath>

#include "induction/asynchronous_motor.hpp"

namespace emforce {

double AsynchronousMotor::materialForce(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    const MotorParameters& p = params();
    // A Hermitian layer has no material component: no field is solved for it.
    const bool hermitian = abs(p.ni21 - conj(p.ni12)) == 0.0;
    return harmonicSum(kp, x, g, a, z, n, squaredAmplitude,
                       bound(&AsynchronousMotor::materialIntegral), hermitian);
}

double AsynchronousMotor::impulseForce(const double& kp, const double& x, const double& g,
                                       const double& a, const double& z, const double& n) {
    return harmonicSum(
        kp, x, g, a, z, n, [this](const HarmonicTerm& h) { return impulseWeight(h); },
        bound(&AsynchronousMotor::layerPotentialIntegral));
}

// The displacement current −ε·s_c²·A adds to the conduction current −γ·s_c·A: its force density
// has Im(ε·s_c²) = 2·fI·ω·ε where the Lorentz density has γ·ω, with the same factor kh. The legacy
// weight has |kh| (without it Maxwell = Lorentz + material + impulse missed by (|kh| − 1) times
// the impulse term of every harmonic).
double AsynchronousMotor::impulseWeight(const HarmonicTerm& h) const {
    if (params().formulation == Formulation::Physical)
        return h.amplitude * h.amplitude * 2.0 * h.frequency.im() * h.frequency.re() *
               params().eps * h.kh;
    return h.amplitude * h.amplitude * 2.0 * h.frequency.im() * h.frequency.re() * params().eps *
           std::fabs(h.kh);
}

double AsynchronousMotor::coenergyForce(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    return harmonicSum(kp, x, g, a, z, n, squaredAmplitude,
                       bound(&AsynchronousMotor::coenergyIntegral));
}

double AsynchronousMotor::materialDensity(const double& kh, const double& r, const double& g,
                                          const double& a, const double& theta, const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return materialAt(fieldCoefficients(kh, r, g, a, theta, s), kh, r);
    LayerPoint point;
    point.normalFlux = layerNormalFlux(kh, r, g, a, theta, s);
    point.tangentialFlux = layerTangentialFlux(kh, r, g, a, theta, s);
    return materialOf(kh, r, point);
}

double AsynchronousMotor::materialOf(double kh, double r, const LayerPoint& p) const {
    const MotorParameters& mp = params();
    const Complex d = mp.ni21 - conj(mp.ni12);
    return imag(materialFactor(kh, r) * d * p.normalFlux * conj(p.tangentialFlux));
}

double AsynchronousMotor::materialAt(const FieldCoefficients& f, double kh, double r) const {
    return materialOf(kh, r, layerPointAt(f, r, true));
}

double AsynchronousMotor::materialIntegral(const double& kh, const double& x, const double& g,
                                           const double& a, const double& theta, const double& s) {
    return layerIntegral(&AsynchronousMotor::materialDensity, &AsynchronousMotor::materialAt, kh, x,
                         g, a, theta, s);
}

double AsynchronousMotor::coenergyDensity(const double& kh, const double& r, const double& g,
                                          const double& a, const double& theta, const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return coenergyAt(fieldCoefficients(kh, r, g, a, theta, s), kh, r);
    LayerPoint point;
    point.potential = layerPotential(kh, r, g, a, theta, s);
    point.normalFlux = layerNormalFlux(kh, r, g, a, theta, s);
    point.tangentialFlux = layerTangentialFlux(kh, r, g, a, theta, s);
    return coenergyOf(kh, r, point);
}

// The four reluctivity terms are j·(conj(H_t)·B_t + conj(H_n)·B_n); the last term is the
// conduction current's share, γ·Im(s_c)·|A|² in the real part.
double AsynchronousMotor::coenergyOf(double kh, double r, const LayerPoint& p) const {
    const MotorParameters& mp = params();
    const Complex& A = p.potential;
    const Complex& bn = p.normalFlux;
    const Complex& bt = p.tangentialFlux;
    const Complex S = mp.gamma * m_complexFrequency * A * conj(kJ * A) +
                      kJ * conj(mp.ni1 * bn) * bn + kJ * conj(mp.ni12 * bt) * bn +
                      kJ * conj(mp.ni21 * bn) * bt + kJ * conj(mp.ni2 * bt) * bt;
    return materialFactor(kh, r) * real(S);
}

double AsynchronousMotor::coenergyAt(const FieldCoefficients& f, double kh, double r) const {
    return coenergyOf(kh, r, layerPointAt(f, r, true));
}

double AsynchronousMotor::coenergyIntegral(const double& kh, const double& x, const double& g,
                                           const double& a, const double& theta, const double& s) {
    return layerIntegral(&AsynchronousMotor::coenergyDensity, &AsynchronousMotor::coenergyAt, kh, x,
                         g, a, theta, s);
}

}  // namespace emforce
