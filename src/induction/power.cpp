// The power of the conductive layer: Poynting vector, Joule losses and anisotropy power.
#include <cmath>

#include "induction/asynchronous_motor.hpp"

namespace emforce {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = 3.141592653589793;
}  // namespace

double AsynchronousMotor::poyntingPower(const double& kp, const double& x, const double& g,
                                        const double& a, const double& z, const double& n) {
    // The surface is the layer's outer boundary whatever x the caller passes.
    const Evaluator atSurface = [this](const double& kh, const double&, const double& gg,
                                       const double& aa, const double& theta, const double& s) {
        return poyntingDensity(kh, params().R, gg, aa, theta, s);
    };
    return harmonicSum(kp, x, g, a, z, n, squaredAmplitude, atSurface);
}

double AsynchronousMotor::joulePower(const double& kp, const double& x, const double& g,
                                     const double& a, const double& z, const double& n) {
    return harmonicSum(
        kp, x, g, a, z, n, [this](const HarmonicTerm& h) { return jouleWeight(h); },
        bound(&AsynchronousMotor::layerPotentialIntegral));
}

double AsynchronousMotor::jouleWeight(const HarmonicTerm& h) const {
    return h.amplitude * h.amplitude * abs(h.frequency * h.frequency) * params().gamma;
}

double AsynchronousMotor::anisotropyPower(const double& kp, const double& x, const double& g,
                                          const double& a, const double& z, const double& n) {
    const MotorParameters& p = params();
    const Evaluator anisotropy = bound(&AsynchronousMotor::anisotropyIntegral);
    const Evaluator potential = bound(&AsynchronousMotor::layerPotentialIntegral);
    const Evaluator energy = bound(&AsynchronousMotor::magneticEnergyIntegral);
    // The three densities of a layer point from one set of its fields.
    const PointDensities<3> together = [this](const FieldCoefficients& f, double kh, double r) {
        const LayerPoint point = layerPointAt(f, r, true);
        return std::array{anisotropyOf(kh, r, point), potentialOf(kh, r, point.potential),
                          magneticEnergyOf(kh, r, point)};
    };
    double total = 0.0;
    forEachIncludedHarmonic(kp, n, false, [&](const HarmonicTerm& h) {
        if (p.fI != 0.0 && sharesNodes()) {
            const auto [anisotropic, electric, magnetic] = termValues(together, h, x, g, a, z);
            total = addAnisotropyPower(total, h, anisotropic, electric, magnetic);
            return;
        }
        const double anisotropic = termValue(anisotropy, h, x, g, a, z);
        if (p.fI == 0.0) {
            total = addAnisotropyPower(total, h, anisotropic, 0.0, 0.0);
            return;
        }
        const double electric = termValue(potential, h, x, g, a, z);
        total =
            addAnisotropyPower(total, h, anisotropic, electric, termValue(energy, h, x, g, a, z));
    });
    return total;
}

// The anisotropy part, and with an impulse field the electric and magnetic energy it stores.
double AsynchronousMotor::addAnisotropyPower(double total, const HarmonicTerm& h,
                                             double anisotropic, double electric,
                                             double magnetic) const {
    const MotorParameters& p = params();
    const double A = h.amplitude;
    // The magnetic loss of a non-Hermitian reluctivity at the angular frequency of the layer's
    // field; the legacy formulation took 2π·s.
    if (p.formulation == Formulation::Physical)
        total = total + A * A * h.frequency.im() * anisotropic;
    else
        total = total + A * A * kTwoPi * h.slip * anisotropic;
    if (p.fI == 0.0) return total;
    return total +
           A * p.fI * A * (abs(h.frequency * h.frequency) * p.eps * electric + 2.0 * magnetic);
}

double AsynchronousMotor::poyntingDensity(const double& kh, const double& r, const double& g,
                                          const double& a, const double& theta, const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return poyntingOf(kh, r, gapPointAt(fieldCoefficients(kh, r, g, a, theta, s), r));
    GapPoint point;
    point.potential = gapPotential(kh, r, g, a, theta, s);
    point.tangentialField = gapTangentialField(kh, r, g, a, theta, s);
    return poyntingOf(kh, r, point);
}

double AsynchronousMotor::poyntingOf(double kh, double r, const GapPoint& p) const {
    return -volumeFactor(kh, r) * real(m_complexFrequency * p.potential * conj(p.tangentialField));
}

double AsynchronousMotor::anisotropyDensity(const double& kh, const double& r, const double& g,
                                            const double& a, const double& theta, const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return anisotropyAt(fieldCoefficients(kh, r, g, a, theta, s), kh, r);
    LayerPoint point;
    point.normalFlux = layerNormalFlux(kh, r, g, a, theta, s);
    point.tangentialFlux = layerTangentialFlux(kh, r, g, a, theta, s);
    return anisotropyOf(kh, r, point);
}

double AsynchronousMotor::anisotropyOf(double kh, double r, const LayerPoint& p) const {
    const MotorParameters& mp = params();
    const Complex d = mp.ni21 - conj(mp.ni12);
    return imag(d * volumeFactor(kh, r) * p.normalFlux * conj(p.tangentialFlux));
}

double AsynchronousMotor::anisotropyAt(const FieldCoefficients& f, double kh, double r) const {
    return anisotropyOf(kh, r, layerPointAt(f, r, true));
}

double AsynchronousMotor::anisotropyIntegral(const double& kh, const double& x, const double& g,
                                             const double& a, const double& theta,
                                             const double& s) {
    return layerIntegral(&AsynchronousMotor::anisotropyDensity, &AsynchronousMotor::anisotropyAt,
                         kh, x, g, a, theta, s);
}

double AsynchronousMotor::magneticEnergyDensity(const double& kh, const double& r, const double& g,
                                                const double& a, const double& theta,
                                                const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return magneticEnergyAt(fieldCoefficients(kh, r, g, a, theta, s), kh, r);
    LayerPoint point;
    point.normalFlux = layerNormalFlux(kh, r, g, a, theta, s);
    point.tangentialFlux = layerTangentialFlux(kh, r, g, a, theta, s);
    return magneticEnergyOf(kh, r, point);
}

// Half the volume factor times Re(conj(H_t)·B_t + conj(H_n)·B_n).
double AsynchronousMotor::magneticEnergyOf(double kh, double r, const LayerPoint& p) const {
    const MotorParameters& mp = params();
    // The legacy formulation forms the half of each volume factor in its own order of rounding.
    double half = 0.5 * volumeFactor(kh, r);
    if (mp.formulation == Formulation::Legacy) {
        switch (mp.geometry) {
            case Geometry::Linear:
                half = kPi * mp.l * 0.5 / std::fabs(kh);
                break;
            case Geometry::Cylindrical:
                half = kPi * mp.l * 0.5 * r;
                break;
            case Geometry::Spherical:
                half = kPi * r * r * 0.5 * m_sinTheta;
                break;
        }
    }
    const Complex& bn = p.normalFlux;
    const Complex& bt = p.tangentialFlux;
    const Complex sum = conj(mp.ni1 * bn) * bn + conj(mp.ni12 * bt) * bn + conj(mp.ni21 * bn) * bt +
                        conj(mp.ni2 * bt) * bt;
    return half * real(sum);
}

double AsynchronousMotor::magneticEnergyAt(const FieldCoefficients& f, double kh, double r) const {
    return magneticEnergyOf(kh, r, layerPointAt(f, r, true));
}

double AsynchronousMotor::magneticEnergyIntegral(const double& kh, const double& x, const double& g,
                                                 const double& a, const double& theta,
                                                 const double& s) {
    return layerIntegral(&AsynchronousMotor::magneticEnergyDensity,
                         &AsynchronousMotor::magneticEnergyAt, kh, x, g, a, theta, s);
}

}  // namespace emforce
