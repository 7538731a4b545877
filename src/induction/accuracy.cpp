// How well the layer solutions satisfy the layer equation: accuracy curves and ODE residual.
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "numerics/bessel.hpp"

namespace emforce {

// In the linear geometry the exponential's second derivative is exact; the series Bessel
// functions use their difference quotients, which the reuse mode takes from the first
// derivative in hand. (The accurate functions give theirs exactly, with their values.)
Complex AsynchronousMotor::secondDerivative(bool firstKind, const Complex& lambda,
                                            const Complex& first, const Complex& z) const {
    if (params().geometry == Geometry::Linear) return lambda * first;
    const BesselSettings& b = m_slots.besselSettings();
    if (m_mode == EvaluationMode::Reuse) {
        return firstKind ? besselISecondFrom(b, m_layerPower, lambda, z, first)
                         : besselKSecondFrom(b, m_layerPower, lambda, z, first);
    }
    return firstKind ? besselISecond(b, m_layerPower, lambda, z)
                     : besselKSecond(b, m_layerPower, lambda, z);
}

// The left-hand side of the layer equation for a solution Φ(β·r), from dΦ/dz and d²Φ/dz².
Complex AsynchronousMotor::layerOperator(const Complex& first, const Complex& second,
                                         double r) const {
    switch (params().geometry) {
        case Geometry::Linear:
            return second - 2.0 * m_alpha * first;
        case Geometry::Cylindrical:
            return m_beta * m_beta * second + (1.0 - 2.0 * m_alpha) * m_beta * first / r;
        case Geometry::Spherical:
            break;
    }
    return m_beta * m_beta * second + 2.0 * (1.0 - m_alpha) * m_beta * first / r;
}

// The right-hand coefficient of the layer equation.
Complex AsynchronousMotor::layerCoefficient(double kh, double r) const {
    const MotorParameters& p = params();
    switch (p.geometry) {
        case Geometry::Linear:
            return m_kappa;
        case Geometry::Cylindrical:
            return m_beta * m_beta + kh * kh * p.ni1 / p.ni2 / r / r;
        case Geometry::Spherical:
            break;
    }
    return m_beta * m_beta + layerPolarTerm(kh) / p.ni2 / r / r;
}

double AsynchronousMotor::accuracy(bool firstKind, const double& kp, const double& x,
                                   const double& g, const double& a, const double& z,
                                   const double& n) {
    if (!solveFundamental(kp, x, g, a, z, n)) return 0.0;
    return accuracyOfSolved(firstKind, kp, x);
}

// Solves the fundamental at the speed n, unless it is synchronous with the layer.
bool AsynchronousMotor::solveFundamental(const double& kp, const double& x, const double& g,
                                         const double& a, const double& z, const double& n) {
    const double sync = params().syncSpeed;
    const double slip = sync - n;
    if (std::fabs(slip / sync) < 1e-7) return false;
    solveHarmonic(kp, x, g, a, z, slip);
    return true;
}

double AsynchronousMotor::accuracyOfSolved(bool firstKind, double kp, double x) const {
    const Complex& lambda = firstKind ? m_lambdaFirst : m_lambdaSecond;
    const Complex arg = m_beta * x;
    if (m_slots.scaledSolutions()) {
        // The ratio of the two sides does not depend on the scale of the solution. The reuse
        // mode takes the solve's own value where x is a face of the layer.
        const int kind = firstKind ? 0 : 1;
        const ScaledProduct f =
            m_mode == EvaluationMode::Reuse
                ? m_layerBasis.product(kind, x)
                : (firstKind ? m_slots.firstKindProduct(m_layerPower, lambda, arg)
                             : m_slots.secondKindProduct(m_layerPower, lambda, arg));
        return abs(layerOperator(f.first, f.second, x) / (layerCoefficient(kp, x) * f.value));
    }
    const Complex phi = firstKind ? m_slots.radialFirstKind(m_layerPower, lambda, arg)
                                  : m_slots.radialSecondKind(m_layerPower, lambda, arg);
    const Complex first = firstKind ? m_slots.radialFirstKindDerivative(m_layerPower, lambda, arg)
                                    : m_slots.radialSecondKindDerivative(m_layerPower, lambda, arg);
    const Complex second = secondDerivative(firstKind, lambda, first, arg);
    return abs(layerOperator(first, second, x) / (layerCoefficient(kp, x) * phi));
}

double AsynchronousMotor::accuracyI(const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n) {
    return accuracy(true, kp, x, g, a, z, n);
}

double AsynchronousMotor::accuracyK(const double& kp, const double& x, const double& g,
                                    const double& a, const double& z, const double& n) {
    return accuracy(false, kp, x, g, a, z, n);
}

double AsynchronousMotor::odeResidualDensity(const double& kh, const double& r, const double& g,
                                             const double& a, const double& theta,
                                             const double& s) {
    if (m_mode == EvaluationMode::Reuse)
        return odeResidualAt(fieldCoefficients(kh, r, g, a, theta, s), kh, r);
    solveHarmonic(kh, r, g, a, theta, s);
    const FieldCoefficients f = fieldCoefficients(kh, r, g, a, theta, s);
    const Complex potential = layerPotential(kh, r, g, a, theta, s);
    const LayerValues terms =
        m_layerBasis.normalised() ? m_layerBasis.at(r, LayerParts::Values) : LayerValues{};
    return odeResidualOf(f, kh, r, potential, terms);
}

// K(r)·|A_ode − A|², where A_ode is the potential that the layer equation implies. A
// normalised basis brings the derivatives of the equation in v; otherwise they come from the
// slots.
double AsynchronousMotor::odeResidualOf(const FieldCoefficients& f, double kh, double r,
                                        const Complex& potential, const LayerValues& v) const {
    Complex left;
    if (m_layerBasis.normalised()) {
        left = layerOperator(v.firstKind.first, v.firstKind.second, r) -
               m_coreRatio * layerOperator(v.secondKind.first, v.secondKind.second, r);
    } else {
        const Complex z = m_beta * r;
        const Complex d1 = m_slots.radialFirstKindDerivative(m_layerPower, m_lambdaFirst, z);
        const Complex d2 = m_slots.radialSecondKindDerivative(m_layerPower, m_lambdaSecond, z);
        left = layerOperator(d1, secondDerivative(true, m_lambdaFirst, d1, z), r) -
               m_coreRatio * layerOperator(d2, secondDerivative(false, m_lambdaSecond, d2, z), r);
    }
    const Complex implied = left * (f.C / layerCoefficient(kh, r));
    const double deviation = abs(implied - potential);
    return volumeFactor(kh, r) * deviation * deviation;
}

double AsynchronousMotor::odeResidualAt(const FieldCoefficients& f, double kh, double r) const {
    const LayerValues v = m_layerBasis.at(r, LayerParts::Values);
    return odeResidualOf(f, kh, r, f.C * layerSolution(v), v);
}

double AsynchronousMotor::odeResidualIntegral(const double& kh, const double& x, const double& g,
                                              const double& a, const double& theta,
                                              const double& s) {
    return layerIntegral(&AsynchronousMotor::odeResidualDensity, &AsynchronousMotor::odeResidualAt,
                         kh, x, g, a, theta, s);
}

// The amplitude enters both sums once, with its sign.
OdeSums AsynchronousMotor::odeSums(const double& kp, const double& x, const double& g,
                                   const double& a, const double& z, const double& n) {
    const Evaluator residual = bound(&AsynchronousMotor::odeResidualIntegral);
    const Evaluator potential = bound(&AsynchronousMotor::layerPotentialIntegral);
    // Both densities of a layer point from one value of its potential.
    const PointDensities<2> together = [this](const FieldCoefficients& f, double kh, double r) {
        const LayerValues v = m_layerBasis.at(r, LayerParts::Values);
        const Complex layer = f.C * layerSolution(v);
        return std::array{odeResidualOf(f, kh, r, layer, v), potentialOf(kh, r, layer)};
    };
    OdeSums sums;
    forEachIncludedHarmonic(kp, n, false, [&](const HarmonicTerm& h) {
        const auto [error, norm] = sharesNodes() ? termValues(together, h, x, g, a, z)
                                                 : std::array{termValue(residual, h, x, g, a, z),
                                                              termValue(potential, h, x, g, a, z)};
        sums.error = sums.error + h.amplitude * error;
        sums.norm = sums.norm + h.amplitude * norm / std::fabs(h.kh);
    });
    return sums;
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
