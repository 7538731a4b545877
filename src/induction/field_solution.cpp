// The field of one harmonic: layer and gap constants, core ratio, coefficients and point fields.
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "model/number_format.hpp"

namespace emforce {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

AsynchronousMotor::AsynchronousMotor(ModelData& data) : MotorGeneralClass(data) {}

Complex AsynchronousMotor::solveHarmonic(const double& kh, const double& /*x*/, const double& /*g*/,
                                         const double& a, const double& theta, const double& s) {
    solveConstants(kh, a, theta, s);
    m_coreRatio = solveCoreRatio(kh);
    return m_coreRatio;
}

void AsynchronousMotor::solveConstants(double kh, double a, double theta, double s) {
    const MotorParameters& p = params();
    m_kh = kh;
    m_sinTheta = std::sin(theta);
    m_complexFrequency = Complex(p.fI, kTwoPi * s);
    m_alpha = -(p.ni12 + p.ni21) * kh * kJ / p.ni2 / 2.0;
    m_rho = Complex(-(p.ni12d + p.ni21d) * kh) * kJ / p.ni2d / 2.0;
    if (p.geometry == Geometry::Spherical) {
        m_alpha = m_alpha / m_sinTheta;
        m_rho = m_rho / m_sinTheta;
    }
    m_x0 = p.R - a;
    solveLayerOrders(kh);
    solveGapRoots(kh);
    m_solved = true;
    m_betaTimesR = m_beta * p.R;
}

// The polar term of the spherical layer order carries ν12 alone, while α carries ν12 + ν21.
Complex AsynchronousMotor::layerPolarTerm(double kh) const {
    const MotorParameters& p = params();
    const double t = m_sinTheta;
    return kh * kh * p.ni1 / (t * t) - kJ * kh * p.ni12 / t;
}

void AsynchronousMotor::solveLayerOrders(double kh) {
    const MotorParameters& p = params();
    const Complex& sc = m_complexFrequency;
    if (p.geometry == Geometry::Linear) {
        m_layerPower = 0.0;
        m_lambdaShift = 0.0;
        m_beta = 1.0;
        m_kappa = (kh * kh * p.ni1 + p.gamma * sc + p.eps * sc * sc) / p.ni2;
        const Complex root = sqrt(m_alpha * m_alpha + m_kappa);
        m_lambdaFirst = m_alpha - root;
        m_lambdaSecond = m_alpha + root;
        return;
    }
    m_beta = sqrt(sc * (p.gamma + p.eps * sc) / p.ni2);
    if (p.geometry == Geometry::Cylindrical) {
        m_layerPower = m_alpha;
        m_lambdaShift = 0.0;
        m_lambdaFirst = sqrt(m_alpha * m_alpha + kh * kh * p.ni1 / p.ni2);
    } else {
        m_layerPower = m_alpha - 0.5;
        m_lambdaShift = 1.0;
        m_lambdaFirst = sqrt(m_layerPower * m_layerPower + layerPolarTerm(kh) / p.ni2);
    }
    m_lambdaSecond = m_lambdaFirst;
}

void AsynchronousMotor::solveGapRoots(double kh) {
    const MotorParameters& p = params();
    if (p.geometry != Geometry::Spherical) {
        m_mu1 = m_rho + sqrt(m_rho * m_rho + kh * kh * p.ni1d / p.ni2d);
        m_mu2 = 2.0 * m_rho - m_mu1;
        return;
    }
    const double t = m_sinTheta;
    m_mu1 =
        (m_rho - 0.5) + sqrt((0.5 - m_rho) * (0.5 - m_rho) + kh * kh * p.ni1d / (p.ni2d * t * t) -
                             kJ * kh * p.ni12d / (p.ni2d * t));
    m_mu2 = (2.0 * m_rho - 1.0) - m_mu1;
}

Complex AsynchronousMotor::solveCoreRatio(double kh) const {
    const MotorParameters& p = params();
    const Complex z0 = m_beta * m_x0;
    const Complex shifted = m_layerPower + m_lambdaShift;
    const Complex p1 = m_slots.radialFirstKind(m_layerPower, m_lambdaFirst, z0);
    const Complex p2 = m_slots.radialSecondKind(m_layerPower, m_lambdaSecond, z0);
    const Complex d1 = m_slots.radialFirstKindDerivative(shifted, m_lambdaFirst, z0);
    const Complex d2 = m_slots.radialSecondKindDerivative(shifted, m_lambdaSecond, z0);
    const Complex coupling = kJ * kh * p.ni21;
    switch (p.geometry) {
        case Geometry::Linear:
            return (p.ni2 * d1 + coupling * p1) / (p.ni2 * d2 + coupling * p2);
        case Geometry::Cylindrical: {
            const Complex m = p.ni2 * m_beta * m_x0;
            return (m * d1 + coupling * p1) / (m * d2 + coupling * p2);
        }
        case Geometry::Spherical:
            break;
    }
    return (p.ni2 * d1 + coupling * p1 / m_sinTheta) / (p.ni2 * d2 + coupling * p2 / m_sinTheta);
}

Complex AsynchronousMotor::layerSolution(double r) const {
    const Complex z = m_beta * r;
    return m_slots.radialFirstKind(m_layerPower, m_lambdaFirst, z) -
           m_coreRatio * m_slots.radialSecondKind(m_layerPower, m_lambdaSecond, z);
}

Complex AsynchronousMotor::layerSolutionDerivative(double r) const {
    const Complex z = m_beta * r;
    const Complex shifted = m_layerPower + m_lambdaShift;
    return m_slots.radialFirstKindDerivative(shifted, m_lambdaFirst, z) -
           m_coreRatio * m_slots.radialSecondKindDerivative(shifted, m_lambdaSecond, z);
}

// −L(r)·H_t of the layer solution with unit weight, from its value and derivative at r.
Complex AsynchronousMotor::layerFunctional(const Complex& value, const Complex& derivative,
                                           double r) const {
    const MotorParameters& p = params();
    Complex m = 1.0;
    if (p.geometry == Geometry::Cylindrical) m = m_beta * r;
    if (p.geometry == Geometry::Spherical) m = m_sinTheta;
    return kJ * m_kh * p.ni21 * value + p.ni2 * m * derivative;
}

// −L(r)·H_t of the gap solution with root μ and unit weight.
Complex AsynchronousMotor::gapFunctional(const Complex& mu, double r) const {
    const MotorParameters& p = params();
    double n = 1.0;
    if (p.geometry == Geometry::Cylindrical) n = r;
    if (p.geometry == Geometry::Spherical) n = m_sinTheta;
    return p.ni2d * n * m_slots.radialPowerDerivative(mu + m_lambdaShift, r) +
           kJ * m_kh * p.ni21d * m_slots.radialPower(mu, r);
}

FieldCoefficients AsynchronousMotor::coefficientsOfSolution(double g) const {
    const double R = params().R;
    const Complex u0 = layerSolution(R);
    const Complex wl = layerFunctional(u0, layerSolutionDerivative(R), R);
    const Complex g1 = m_slots.radialPower(m_mu1, R);
    const Complex g2 = m_slots.radialPower(m_mu2, R);
    const Complex w1 = gapFunctional(m_mu1, R);
    const Complex w2 = gapFunctional(m_mu2, R);
    const Complex tau = w1 * g2 - w2 * g1;
    const Complex u = (wl * g2 - u0 * w2) / tau;
    const Complex v = (u0 * w1 - wl * g1) / tau;
    const double stator = R + g;
    const Complex c =
        kJ * m_kh / (u * gapFunctional(m_mu1, stator) + v * gapFunctional(m_mu2, stator));
    return {c, c * u, c * v};
}

FieldCoefficients AsynchronousMotor::fieldCoefficients(const double& kh, const double& x,
                                                       const double& g, const double& a,
                                                       const double& theta, const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    return coefficientsOfSolution(g);
}

Complex AsynchronousMotor::normalFluxOf(const Complex& potential, double r) const {
    double L = 1.0;
    if (params().geometry == Geometry::Cylindrical) L = r;
    if (params().geometry == Geometry::Spherical) L = r * m_sinTheta;
    return (-kJ * m_kh / L) * potential;
}

Complex AsynchronousMotor::layerTangentialOf(const FieldCoefficients& f, double r) const {
    Complex factor = 1.0;
    if (params().geometry == Geometry::Cylindrical) factor = m_beta;
    if (params().geometry == Geometry::Spherical) factor = 1.0 / r;
    return -factor * f.C * layerSolutionDerivative(r);
}

Complex AsynchronousMotor::gapPotentialOf(const FieldCoefficients& f, double r) const {
    return f.D1 * m_slots.radialPower(m_mu1, r) + f.D2 * m_slots.radialPower(m_mu2, r);
}

Complex AsynchronousMotor::gapTangentialOf(const FieldCoefficients& f, const Complex& normal,
                                           double r) const {
    const MotorParameters& p = params();
    const double dL = p.geometry == Geometry::Spherical ? r : 1.0;
    const Complex derivative = f.D1 * m_slots.radialPowerDerivative(m_mu1 + m_lambdaShift, r) +
                               f.D2 * m_slots.radialPowerDerivative(m_mu2 + m_lambdaShift, r);
    return p.ni21d * normal - (p.ni2d / dL) * derivative;
}

AsynchronousMotor::LayerPoint AsynchronousMotor::layerPointAt(const FieldCoefficients& f, double r,
                                                              bool tangential) const {
    LayerPoint point;
    point.potential = f.C * layerSolution(r);
    point.normalFlux = normalFluxOf(point.potential, r);
    if (tangential) point.tangentialFlux = layerTangentialOf(f, r);
    return point;
}

AsynchronousMotor::GapPoint AsynchronousMotor::gapPointAt(const FieldCoefficients& f,
                                                          double r) const {
    GapPoint point;
    point.potential = gapPotentialOf(f, r);
    point.normalFlux = normalFluxOf(point.potential, r);
    point.tangentialField = gapTangentialOf(f, point.normalFlux, r);
    return point;
}

Complex AsynchronousMotor::layerPotential(const double& kh, const double& x, const double& g,
                                          const double& a, const double& theta, const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    return f.C * layerSolution(x);
}

Complex AsynchronousMotor::gapPotential(const double& kh, const double& x, const double& g,
                                        const double& a, const double& theta, const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    return gapPotentialOf(fieldCoefficients(kh, x, g, a, theta, s), x);
}

Complex AsynchronousMotor::gapNormalFlux(const double& kh, const double& x, const double& g,
                                         const double& a, const double& theta, const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    return normalFluxOf(gapPotentialOf(fieldCoefficients(kh, x, g, a, theta, s), x), x);
}

Complex AsynchronousMotor::gapTangentialField(const double& kh, const double& x, const double& g,
                                              const double& a, const double& theta,
                                              const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    const Complex normal = gapNormalFlux(kh, x, g, a, theta, s);
    return gapTangentialOf(f, normal, x);
}

Complex AsynchronousMotor::layerNormalFlux(const double& kh, const double& x, const double& g,
                                           const double& a, const double& theta, const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    return normalFluxOf(f.C * layerSolution(x), x);
}

Complex AsynchronousMotor::layerTangentialFlux(const double& kh, const double& x, const double& g,
                                               const double& a, const double& theta,
                                               const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    return layerTangentialOf(fieldCoefficients(kh, x, g, a, theta, s), x);
}

std::optional<std::string> AsynchronousMotor::edit2Text() const {
    if (!m_solved) return std::nullopt;
    return "  lambda =  " + formatFixed(m_lambdaFirst.re(), 7, 7) + " + i( " +
           formatFixed(m_lambdaFirst.im(), 7, 7) + " )";
}

std::optional<std::string> AsynchronousMotor::edit3Text() const {
    if (!m_solved) return std::nullopt;
    return "     modul( beta times R ) =  " + formatFixed(abs(m_betaTimesR), 7, 1);
}

}  // namespace emforce
