// The field of one harmonic: layer and gap constants, core ratio, coefficients and point fields.
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "model/number_format.hpp"

namespace emforce {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

AsynchronousMotor::AsynchronousMotor(ModelData& data) : MotorGeneralClass(data) {}

Complex AsynchronousMotor::frequencyOf(double kh, double s) const {
    const MotorParameters& p = params();
    if (p.formulation == Formulation::Legacy) return Complex(p.fI, kTwoPi * s);
    // The harmonic of order h travels at syncSpeed/h; the layer, moving at n, meets m·s of its
    // periods per second: m = kh = kp·h in the rotating geometries, and m = h in the linear one,
    // whose speeds are counted in fundamental wavelengths.
    const double m = p.geometry == Geometry::Linear ? std::round(kh / p.kp) : kh;
    return Complex(p.fI, kTwoPi * m * s);
}

Complex AsynchronousMotor::solveHarmonic(const double& kh, const double& /*x*/, const double& g,
                                         const double& a, const double& theta, const double& s) {
    solveConstants(kh, a, theta, s);
    const double R = params().R;
    m_layerBasis = LayerBasis(
        m_slots, {m_layerPower, m_lambdaShift, m_lambdaFirst, m_lambdaSecond, m_beta}, m_x0, R);
    m_gapBasis = GapBasis(m_slots, m_mu1, m_mu2, m_lambdaShift, R, R + g);
    m_coreRatio = solveCoreRatio(kh);
    return m_coreRatio;
}

void AsynchronousMotor::solveConstants(double kh, double a, double theta, double s) {
    const MotorParameters& p = params();
    m_kh = kh;
    m_sinTheta = std::sin(theta);
    m_complexFrequency = frequencyOf(kh, s);
    m_alpha = -(p.ni12 + p.ni21) * kh * kJ / p.ni2 / 2.0;
    m_rho = Complex(-(p.ni12d + p.ni21d) * kh) * kJ / p.ni2d / 2.0;
    if (p.geometry == Geometry::Spherical) {
        m_alpha = m_alpha / m_sinTheta;
        m_rho = m_rho / m_sinTheta;
    }
    m_x0 = p.R - a;
    solveLayerOrders(kh);
    solveGapRoots(kh);
    m_display = SolveDisplay{m_lambdaFirst, m_beta * p.R};
    ++m_solveCount;
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
    const LayerValues core = m_layerBasis.at(m_x0, LayerParts::Both);
    const Complex& p1 = core.firstKind.value;
    const Complex& p2 = core.secondKind.value;
    const Complex& d1 = core.firstKind.derivative;
    const Complex& d2 = core.secondKind.derivative;
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

// U = first-kind solution − c·second-kind solution, and U′ from the derivatives.
Complex AsynchronousMotor::layerSolution(const LayerValues& v) const {
    return v.firstKind.value - m_coreRatio * v.secondKind.value;
}

Complex AsynchronousMotor::layerSolutionDerivative(const LayerValues& v) const {
    return v.firstKind.derivative - m_coreRatio * v.secondKind.derivative;
}

Complex AsynchronousMotor::layerSolution(double r) const {
    return layerSolution(m_layerBasis.at(r, LayerParts::Values));
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

// −L(r)·H_t of a gap solution with unit weight.
Complex AsynchronousMotor::gapFunctional(const GapSolution& solution, double r) const {
    const MotorParameters& p = params();
    double n = 1.0;
    if (p.geometry == Geometry::Cylindrical) n = r;
    if (p.geometry == Geometry::Spherical) n = m_sinTheta;
    return p.ni2d * n * solution.derivative + kJ * m_kh * p.ni21d * solution.value;
}

FieldCoefficients AsynchronousMotor::coefficientsOfSolution(double g) const {
    const double R = params().R;
    const LayerValues layer = m_layerBasis.at(R, LayerParts::Both);
    const Complex u0 = layerSolution(layer);
    const Complex wl = layerFunctional(u0, layerSolutionDerivative(layer), R);
    const GapValues gap = m_gapBasis.at(R);
    const Complex& g1 = gap.first.value;
    const Complex& g2 = gap.second.value;
    const Complex w1 = gapFunctional(gap.first, R);
    const Complex w2 = gapFunctional(gap.second, R);
    const Complex tau = w1 * g2 - w2 * g1;
    const double stator = R + g;
    const GapValues sheet = m_gapBasis.at(stator);
    const Complex s1 = gapFunctional(sheet.first, stator);
    const Complex s2 = gapFunctional(sheet.second, stator);
    if (m_layerBasis.normalised()) {
        // The matching without dividing by τ: a gap solution that has all but vanished at one
        // end makes τ vanish with it, while C = j·kh·τ / den and D1, D2 stay finite.
        const Complex nu = wl * g2 - u0 * w2;
        const Complex nv = u0 * w1 - wl * g1;
        const Complex den = nu * s1 + nv * s2;
        return {kJ * m_kh * tau / den, kJ * m_kh * nu / den, kJ * m_kh * nv / den};
    }
    const Complex u = (wl * g2 - u0 * w2) / tau;
    const Complex v = (u0 * w1 - wl * g1) / tau;
    const Complex c = kJ * m_kh / (u * s1 + v * s2);
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

Complex AsynchronousMotor::layerTangentialOf(const FieldCoefficients& f, const LayerValues& v,
                                             double r) const {
    Complex factor = 1.0;
    if (params().geometry == Geometry::Cylindrical) factor = m_beta;
    if (params().geometry == Geometry::Spherical) factor = 1.0 / r;
    return -factor * f.C * layerSolutionDerivative(v);
}

Complex AsynchronousMotor::layerTangentialOf(const FieldCoefficients& f, double r) const {
    return layerTangentialOf(f, m_layerBasis.at(r, LayerParts::Derivatives), r);
}

Complex AsynchronousMotor::gapPotentialOf(const FieldCoefficients& f, const GapValues& v) const {
    return f.D1 * v.first.value + f.D2 * v.second.value;
}

Complex AsynchronousMotor::gapTangentialOf(const FieldCoefficients& f, const GapValues& v,
                                           const Complex& normal, double r) const {
    const MotorParameters& p = params();
    const double dL = p.geometry == Geometry::Spherical ? r : 1.0;
    const Complex derivative = f.D1 * v.first.derivative + f.D2 * v.second.derivative;
    return p.ni21d * normal - (p.ni2d / dL) * derivative;
}

AsynchronousMotor::LayerPoint AsynchronousMotor::layerPointAt(const FieldCoefficients& f, double r,
                                                              bool tangential) const {
    return layerPointOf(f, m_layerBasis.at(r, tangential ? LayerParts::Both : LayerParts::Values),
                        r, tangential);
}

AsynchronousMotor::LayerPoint AsynchronousMotor::layerPointOf(const FieldCoefficients& f,
                                                              const LayerValues& v, double r,
                                                              bool tangential) const {
    LayerPoint point;
    point.potential = f.C * layerSolution(v);
    point.normalFlux = normalFluxOf(point.potential, r);
    if (tangential) point.tangentialFlux = layerTangentialOf(f, v, r);
    return point;
}

AsynchronousMotor::GapPoint AsynchronousMotor::gapPointAt(const FieldCoefficients& f,
                                                          double r) const {
    const GapValues v = m_gapBasis.at(r);
    GapPoint point;
    point.potential = gapPotentialOf(f, v);
    point.normalFlux = normalFluxOf(point.potential, r);
    point.tangentialField = gapTangentialOf(f, v, point.normalFlux, r);
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
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    return gapPotentialOf(f, m_gapBasis.at(x));
}

Complex AsynchronousMotor::gapNormalFlux(const double& kh, const double& x, const double& g,
                                         const double& a, const double& theta, const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    return normalFluxOf(gapPotentialOf(f, m_gapBasis.at(x)), x);
}

Complex AsynchronousMotor::gapTangentialField(const double& kh, const double& x, const double& g,
                                              const double& a, const double& theta,
                                              const double& s) {
    solveHarmonic(kh, x, g, a, theta, s);
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    const Complex normal = gapNormalFlux(kh, x, g, a, theta, s);
    return gapTangentialOf(f, m_gapBasis.at(x), normal, x);
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
    if (!m_display) return std::nullopt;
    return lambdaText(*m_display);
}

std::optional<std::string> AsynchronousMotor::edit3Text() const {
    if (!m_display) return std::nullopt;
    return betaRText(*m_display);
}

std::string lambdaText(const SolveDisplay& d) {
    return "  lambda =  " + formatFixed(d.lambda.re(), 7, 7) + " + i( " +
           formatFixed(d.lambda.im(), 7, 7) + " )";
}

std::string betaRText(const SolveDisplay& d) {
    return "     modul( beta times R ) =  " + formatFixed(abs(d.betaTimesR), 7, 1);
}

}  // namespace emforce
