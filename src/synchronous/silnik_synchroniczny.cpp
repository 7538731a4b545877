// The gap field of the synchronous motor: roots, boundary functional, coefficients, point fields.
#include "synchronous/silnik_synchroniczny.hpp"

#include <cmath>

namespace emforce {

SilnikSynchroniczny::SilnikSynchroniczny(ModelData& data) : MotorGeneralClass(data) {}

void SilnikSynchroniczny::solveGapRoots(const double& kh, const double& /*x*/, const double& /*g*/,
                                        const double& /*a*/, const double& theta,
                                        const double& /*y*/) {
    const MotorParameters& p = params();
    m_rho = (-0.5 * (p.ni12d + p.ni21d) * kh) * kJ / p.ni2d;
    if (!spherical()) {
        m_lambdaShift = 0.0;
        m_mu1 = m_rho + sqrt(m_rho * m_rho + kh * kh * p.ni1d / p.ni2d);
        m_mu2 = 2.0 * m_rho - m_mu1;
        return;
    }
    // The spherical equation carries the polar angle through t = sin θ, and its constant term
    // has the 12 term alone where ρ has the sum of both off-diagonal terms.
    const double t = std::sin(theta);
    m_lambdaShift = 1.0;
    m_rho = m_rho / t;
    const Complex tau = kJ * kh * p.ni12d / p.ni2d / t;
    m_mu1 = (m_rho - 0.5) +
            sqrt((0.5 - m_rho) * (0.5 - m_rho) + p.ni1d * kh * kh / (p.ni2d * t * t) - tau);
    m_mu2 = (2.0 * m_rho - 1.0) - m_mu1;
}

Complex SilnikSynchroniczny::boundaryFunctional(const Complex& mu, const double& r,
                                                const double& kh, const double& theta) const {
    const MotorParameters& p = params();
    double s = 1.0;
    if (p.geometry == Geometry::Cylindrical) s = r;
    if (p.geometry == Geometry::Spherical) s = std::sin(theta);
    return kJ * kh * p.ni21d * m_slots.radialPower(mu, r) +
           s * p.ni2d * m_slots.radialPowerDerivative(mu + m_lambdaShift, r);
}

GapCoefficients SilnikSynchroniczny::coefficientsOfRoots(const double& kh, const double& g,
                                                         const double& theta) const {
    const double rotor = params().R;
    const double stator = rotor + g;
    const Complex q1Rotor = boundaryFunctional(m_mu1, rotor, kh, theta);
    const Complex q2Rotor = boundaryFunctional(m_mu2, rotor, kh, theta);
    const Complex q1Stator = boundaryFunctional(m_mu1, stator, kh, theta);
    const Complex q2Stator = boundaryFunctional(m_mu2, stator, kh, theta);
    GapCoefficients c;
    // Stator sheet: driven at R + g, iron at R.
    const Complex pRatio = q1Rotor / q2Rotor;
    c.c0 = kh / (q1Stator - pRatio * q2Stator);
    c.c1 = -pRatio * c.c0;
    // Rotor sheet: driven at R, iron at R + g.
    const Complex oRatio = q1Stator / q2Stator;
    c.c2 = kh / (q1Rotor - oRatio * q2Rotor);
    c.c3 = -oRatio * c.c2;
    return c;
}

GapCoefficients SilnikSynchroniczny::gapCoefficients(const double& kh, const double& x,
                                                     const double& g, const double& a,
                                                     const double& theta, const double& y) {
    solveGapRoots(kh, x, g, a, theta, y);
    return coefficientsOfRoots(kh, g, theta);
}

Complex SilnikSynchroniczny::normalFlux(const Complex& first, const Complex& second,
                                        const double& kh, const double& x,
                                        const double& theta) const {
    double scale = 1.0;
    if (params().geometry == Geometry::Cylindrical) scale = x;
    if (params().geometry == Geometry::Spherical) scale = x * std::sin(theta);
    return (-kJ * kh / scale) *
           (first * m_slots.radialPower(m_mu1, x) + second * m_slots.radialPower(m_mu2, x));
}

Complex SilnikSynchroniczny::tangentialField(const Complex& flux, const Complex& first,
                                             const Complex& second, const double& x) const {
    const MotorParameters& p = params();
    // In the sphere the derivative slot at μ + 1 gives d(r·A)/dr, hence the division by r.
    const double scale = spherical() ? x : 1.0;
    return p.ni21d * flux -
           (p.ni2d / scale) * (first * m_slots.radialPowerDerivative(m_mu1 + m_lambdaShift, x) +
                               second * m_slots.radialPowerDerivative(m_mu2 + m_lambdaShift, x));
}

Complex SilnikSynchroniczny::statorNormalFlux(const double& kh, const double& x, const double& g,
                                              const double& a, const double& theta,
                                              const double& y) {
    solveGapRoots(kh, x, g, a, theta, y);
    const GapCoefficients c = gapCoefficients(kh, x, g, a, theta, y);
    return normalFlux(c.c0, c.c1, kh, x, theta);
}

Complex SilnikSynchroniczny::rotorNormalFlux(const double& kh, const double& x, const double& g,
                                             const double& a, const double& theta,
                                             const double& y) {
    solveGapRoots(kh, x, g, a, theta, y);
    const GapCoefficients c = gapCoefficients(kh, x, g, a, theta, y);
    return normalFlux(c.c2, c.c3, kh, x, theta);
}

Complex SilnikSynchroniczny::statorTangentialField(const double& kh, const double& x,
                                                   const double& g, const double& a,
                                                   const double& theta, const double& y) {
    solveGapRoots(kh, x, g, a, theta, y);
    const GapCoefficients c = gapCoefficients(kh, x, g, a, theta, y);
    const Complex flux = statorNormalFlux(kh, x, g, a, theta, y);
    return tangentialField(flux, c.c0, c.c1, x);
}

Complex SilnikSynchroniczny::rotorTangentialField(const double& kh, const double& x,
                                                  const double& g, const double& a,
                                                  const double& theta, const double& y) {
    solveGapRoots(kh, x, g, a, theta, y);
    const GapCoefficients c = gapCoefficients(kh, x, g, a, theta, y);
    const Complex flux = rotorNormalFlux(kh, x, g, a, theta, y);
    return tangentialField(flux, c.c2, c.c3, x);
}

GapFields SilnikSynchroniczny::fieldsAt(const double& kh, const double& x, const double& g,
                                        const double& a, const double& theta, const double& y) {
    if (m_mode == EvaluationMode::Literal) {
        return {statorNormalFlux(kh, x, g, a, theta, y), rotorNormalFlux(kh, x, g, a, theta, y),
                statorTangentialField(kh, x, g, a, theta, y),
                rotorTangentialField(kh, x, g, a, theta, y)};
    }
    // The same operations as the point operations, on one solution of roots and coefficients.
    const GapCoefficients c = gapCoefficients(kh, x, g, a, theta, y);
    GapFields f;
    f.bs = normalFlux(c.c0, c.c1, kh, x, theta);
    f.br = normalFlux(c.c2, c.c3, kh, x, theta);
    f.hs = tangentialField(f.bs, c.c0, c.c1, x);
    f.hr = tangentialField(f.br, c.c2, c.c3, x);
    return f;
}

GapFields SilnikSynchroniczny::normalFluxesAt(const double& kh, const double& x, const double& g,
                                              const double& a, const double& theta,
                                              const double& y) {
    if (m_mode == EvaluationMode::Literal) {
        return {statorNormalFlux(kh, x, g, a, theta, y),
                rotorNormalFlux(kh, x, g, a, theta, y),
                {},
                {}};
    }
    const GapCoefficients c = gapCoefficients(kh, x, g, a, theta, y);
    return {normalFlux(c.c0, c.c1, kh, x, theta), normalFlux(c.c2, c.c3, kh, x, theta), {}, {}};
}

}  // namespace emforce
