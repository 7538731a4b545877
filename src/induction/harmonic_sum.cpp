// The harmonic sum of the induction evaluators and the layer integrals of their densities.
#include <algorithm>
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "induction/panels.hpp"
#include "model/spectrum.hpp"

namespace emforce {

namespace {
constexpr double kPi = 3.141592653589793;
}  // namespace

using panels::overPanels;

IntegrationMethod AsynchronousMotor::method() const {
    return static_cast<IntegrationMethod>(params().integrationMethod);
}

void AsynchronousMotor::forEachIncludedHarmonic(
    const double& kp, const double& n, bool skipAll,
    const std::function<void(const HarmonicTerm&)>& body) {
    const MotorParameters& p = params();
    const HarmonicRange range = harmonicRange(p.highestHarmonic);
    // The reading refuses orders beyond the spectra; the clamp only keeps the indices valid.
    const int last = std::min(range.last, kHarmonicCount - 1);
    for (int i = std::max(range.first, 0); i <= last; ++i) {
        const double h = harmonicOrder(i);
        const double s = p.syncSpeed / h - n;
        const double amplitude = m_data->statorSpectrum[static_cast<std::size_t>(i)];
        if (!harmonicIncluded(s, h, p.phases, amplitude, p.syncSpeed) || skipAll) continue;
        body({h, s, amplitude, kp * h, frequencyOf(kp * h, s)});
    }
}

double AsynchronousMotor::termValue(const Evaluator& term, const HarmonicTerm& h, const double& x,
                                    const double& g, const double& a, const double& z) {
    const MotorParameters& p = params();
    if (p.geometry != Geometry::Spherical) return term(h.kh, x, g, a, z, h.slip);
    return overPanels(m_rulePanels, p.teta1, p.teta2, [&](double lower, double upper) {
        if (!sharesNodes())
            return integrate(method(), term, h.kh, x, g, a, z, h.slip, false, lower, upper);
        // A term's value and the scratch fields it leaves depend on its arguments alone, so the
        // polar-angle node that ends one panel and starts the next is evaluated once.
        return integrateTogether<1>(method(), false, lower, upper, [&](double theta) {
            return std::array{term(h.kh, x, g, a, theta, h.slip)};
        })[0];
    });
}

template <std::size_t N>
std::array<double, N> AsynchronousMotor::layerIntegrals(const PointDensities<N>& at,
                                                        const double& kh, const double& x,
                                                        const double& g, const double& a,
                                                        const double& theta, const double& s) {
    const double upper = params().R;
    const double lower = upper - a;
    // The solution does not depend on the layer coordinate: one solve serves every node.
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    return overPanels(m_rulePanels, lower, upper, [&](double from, double to) {
        return integrateTogether<N>(method(), true, from, to,
                                    [&](double r) { return at(f, kh, r); });
    });
}

template <std::size_t N>
std::array<double, N> AsynchronousMotor::termValues(const PointDensities<N>& at,
                                                    const HarmonicTerm& h, const double& x,
                                                    const double& g, const double& a,
                                                    const double& z) {
    const MotorParameters& p = params();
    const auto atAngle = [&](double theta) {
        return layerIntegrals(at, h.kh, x, g, a, theta, h.slip);
    };
    if (p.geometry != Geometry::Spherical) return atAngle(z);
    return overPanels(m_rulePanels, p.teta1, p.teta2, [&](double lower, double upper) {
        return integrateTogether<N>(method(), false, lower, upper, atAngle);
    });
}

template std::array<double, 2> AsynchronousMotor::termValues<2>(const PointDensities<2>&,
                                                                const HarmonicTerm&, const double&,
                                                                const double&, const double&,
                                                                const double&);
template std::array<double, 3> AsynchronousMotor::termValues<3>(const PointDensities<3>&,
                                                                const HarmonicTerm&, const double&,
                                                                const double&, const double&,
                                                                const double&);

bool AsynchronousMotor::sharesNodes() const {
    return m_mode == EvaluationMode::Reuse && method() != IntegrationMethod::MonteCarlo;
}

double AsynchronousMotor::harmonicSum(const double& kp, const double& x, const double& g,
                                      const double& a, const double& z, const double& n,
                                      const HarmonicWeight& weight, const Evaluator& term,
                                      bool skipAll) {
    double total = 0.0;
    forEachIncludedHarmonic(kp, n, skipAll, [&](const HarmonicTerm& h) {
        const double w = weight(h);
        // A zero weight adds ±0 to the total whatever its term is: the reuse mode does not
        // evaluate it (the impulse terms without an impulse field, the Lorentz terms of γ = 0).
        if (w == 0.0 && m_mode == EvaluationMode::Reuse) return;
        total = total + w * termValue(term, h, x, g, a, z);
    });
    return total;
}

Evaluator AsynchronousMotor::bound(Density density) {
    return [this, density](const double& kh, const double& x, const double& g, const double& a,
                           const double& theta,
                           const double& s) { return (this->*density)(kh, x, g, a, theta, s); };
}

double AsynchronousMotor::layerIntegral(Density literal, SolvedDensity solved, const double& kh,
                                        const double& x, const double& g, const double& a,
                                        const double& theta, const double& s) {
    const double upper = params().R;
    const double lower = upper - a;
    if (m_mode == EvaluationMode::Literal) {
        return overPanels(m_rulePanels, lower, upper, [&](double from, double to) {
            return integrate(method(), bound(literal), kh, x, g, a, theta, s, true, from, to);
        });
    }
    if (sharesNodes()) {
        const PointDensities<1> at = [this, solved](const FieldCoefficients& f, double k,
                                                    double r) {
            return std::array{(this->*solved)(f, k, r)};
        };
        return layerIntegrals(at, kh, x, g, a, theta, s)[0];
    }
    // Monte Carlo draws its own layer points; one solve still serves them all.
    const FieldCoefficients f = fieldCoefficients(kh, x, g, a, theta, s);
    const Evaluator atNode = [this, &f, solved](const double& k, const double& r, const double&,
                                                const double&, const double&,
                                                const double&) { return (this->*solved)(f, k, r); };
    return overPanels(m_rulePanels, lower, upper, [&](double from, double to) {
        return integrate(method(), atNode, kh, x, g, a, theta, s, true, from, to);
    });
}

// K(r) of the potential, Poynting, anisotropy and residual densities: the time average of a
// harmonic's density over the span of the results (the circumference, resp. the polar ring) and
// the length, halved for the product of two amplitudes. The linear results are those of one
// fundamental wavelength 2π/|kp|; the legacy formulation took each harmonic over its own.
double AsynchronousMotor::volumeFactor(double kh, double r) const {
    const MotorParameters& p = params();
    switch (p.geometry) {
        case Geometry::Linear:
            if (p.formulation == Formulation::Physical) return kPi * p.l / std::fabs(p.kp);
            return kPi * p.l / std::fabs(kh);
        case Geometry::Cylindrical:
            return kPi * p.l * r;
        case Geometry::Spherical:
            break;
    }
    return kPi * r * r * m_sinTheta;
}

// K(r) of the material and coenergy densities. A force density f along the travel of a wave of
// angular frequency ω and wave number kh delivers the power f·ω/kh, so the torque of a power
// density P is P·kh/ω: kh (with its sign) times the volume factor. The legacy formulation took
// |kh|.
double AsynchronousMotor::materialFactor(double kh, double r) const {
    const MotorParameters& p = params();
    if (p.formulation == Formulation::Physical) return kh * volumeFactor(kh, r);
    switch (p.geometry) {
        case Geometry::Linear:
            return kPi * p.l;
        case Geometry::Cylindrical:
            return std::fabs(kh) * kPi * p.l * r;
        case Geometry::Spherical:
            break;
    }
    return std::fabs(kh) * kPi * r * r * m_sinTheta;
}

}  // namespace emforce
