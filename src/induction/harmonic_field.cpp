// The field of one harmonic: layer and gap constants, core ratio, coefficients and point fields.
#include "induction/harmonic_field.hpp"

#include <cmath>

namespace emforce {

namespace {

constexpr double kTwoPi = 6.283185307179586;

void solveConstants(HarmonicField& f, const HarmonicArgs& h) {
    const MotorParameters& p = *f.params;
    f.kh = h.kh;
    f.sinTheta = std::sin(h.theta);
    f.frequency = frequencyOf(p, h.kh, h.s);
    f.alpha = -(p.ni12 + p.ni21) * h.kh * kJ / p.ni2 / 2.0;
    f.rho = Complex(-(p.ni12d + p.ni21d) * h.kh) * kJ / p.ni2d / 2.0;
    if (p.geometry == Geometry::Spherical) {
        f.alpha = f.alpha / f.sinTheta;
        f.rho = f.rho / f.sinTheta;
    }
    f.x0 = p.R - h.a;
}

void solveLayerOrders(HarmonicField& f) {
    const MotorParameters& p = *f.params;
    const double kh = f.kh;
    const Complex& sc = f.frequency;
    if (p.geometry == Geometry::Linear) {
        f.layerPower = 0.0;
        f.lambdaShift = 0.0;
        f.beta = 1.0;
        f.kappa = (kh * kh * p.ni1 + p.gamma * sc + p.eps * sc * sc) / p.ni2;
        const Complex root = sqrt(f.alpha * f.alpha + f.kappa);
        f.lambdaFirst = f.alpha - root;
        f.lambdaSecond = f.alpha + root;
        return;
    }
    f.beta = sqrt(sc * (p.gamma + p.eps * sc) / p.ni2);
    if (p.geometry == Geometry::Cylindrical) {
        f.layerPower = f.alpha;
        f.lambdaShift = 0.0;
        f.lambdaFirst = sqrt(f.alpha * f.alpha + kh * kh * p.ni1 / p.ni2);
    } else {
        f.layerPower = f.alpha - 0.5;
        f.lambdaShift = 1.0;
        f.lambdaFirst = sqrt(f.layerPower * f.layerPower + layerPolarTerm(f) / p.ni2);
    }
    f.lambdaSecond = f.lambdaFirst;
}

void solveGapRoots(HarmonicField& f) {
    const MotorParameters& p = *f.params;
    const double kh = f.kh;
    if (p.geometry != Geometry::Spherical) {
        f.mu1 = f.rho + sqrt(f.rho * f.rho + kh * kh * p.ni1d / p.ni2d);
        f.mu2 = 2.0 * f.rho - f.mu1;
        return;
    }
    const double t = f.sinTheta;
    f.mu1 =
        (f.rho - 0.5) + sqrt((0.5 - f.rho) * (0.5 - f.rho) + kh * kh * p.ni1d / (p.ni2d * t * t) -
                             kJ * kh * p.ni12d / (p.ni2d * t));
    f.mu2 = (2.0 * f.rho - 1.0) - f.mu1;
}

Complex solveCoreRatio(const HarmonicField& f) {
    const MotorParameters& p = *f.params;
    const LayerValues core = f.layer.at(f.x0, LayerParts::Both);
    const Complex& p1 = core.firstKind.value;
    const Complex& p2 = core.secondKind.value;
    const Complex& d1 = core.firstKind.derivative;
    const Complex& d2 = core.secondKind.derivative;
    const Complex coupling = kJ * f.kh * p.ni21;
    switch (p.geometry) {
        case Geometry::Linear:
            return (p.ni2 * d1 + coupling * p1) / (p.ni2 * d2 + coupling * p2);
        case Geometry::Cylindrical: {
            const Complex m = p.ni2 * f.beta * f.x0;
            return (m * d1 + coupling * p1) / (m * d2 + coupling * p2);
        }
        case Geometry::Spherical:
            break;
    }
    return (p.ni2 * d1 + coupling * p1 / f.sinTheta) / (p.ni2 * d2 + coupling * p2 / f.sinTheta);
}

Complex layerSolutionDerivative(const HarmonicField& f, const LayerValues& v) {
    return v.firstKind.derivative - f.coreRatio * v.secondKind.derivative;
}

// −L(r)·H_t of the layer solution with unit weight, from its value and derivative at r.
Complex layerFunctional(const HarmonicField& f, const Complex& value, const Complex& derivative,
                        double r) {
    const MotorParameters& p = *f.params;
    Complex m = 1.0;
    if (p.geometry == Geometry::Cylindrical) m = f.beta * r;
    if (p.geometry == Geometry::Spherical) m = f.sinTheta;
    return kJ * f.kh * p.ni21 * value + p.ni2 * m * derivative;
}

// −L(r)·H_t of a gap solution with unit weight.
Complex gapFunctional(const HarmonicField& f, const GapSolution& solution, double r) {
    const MotorParameters& p = *f.params;
    double n = 1.0;
    if (p.geometry == Geometry::Cylindrical) n = r;
    if (p.geometry == Geometry::Spherical) n = f.sinTheta;
    return p.ni2d * n * solution.derivative + kJ * f.kh * p.ni21d * solution.value;
}

FieldCoefficients matchCoefficients(const HarmonicField& f, double g) {
    const double R = f.params->R;
    const double kh = f.kh;
    const LayerValues layer = f.layer.at(R, LayerParts::Both);
    const Complex u0 = layerSolution(f, layer);
    const Complex wl = layerFunctional(f, u0, layerSolutionDerivative(f, layer), R);
    const GapValues gap = f.gap.at(R);
    const Complex& g1 = gap.first.value;
    const Complex& g2 = gap.second.value;
    const Complex w1 = gapFunctional(f, gap.first, R);
    const Complex w2 = gapFunctional(f, gap.second, R);
    const Complex tau = w1 * g2 - w2 * g1;
    const double stator = R + g;
    const GapValues sheet = f.gap.at(stator);
    const Complex s1 = gapFunctional(f, sheet.first, stator);
    const Complex s2 = gapFunctional(f, sheet.second, stator);
    if (f.layer.normalised()) {
        // The matching without dividing by τ: a gap solution that has all but vanished at one
        // end makes τ vanish with it, while C = j·kh·τ / den and D1, D2 stay finite.
        const Complex nu = wl * g2 - u0 * w2;
        const Complex nv = u0 * w1 - wl * g1;
        const Complex den = nu * s1 + nv * s2;
        return {kJ * kh * tau / den, kJ * kh * nu / den, kJ * kh * nv / den};
    }
    const Complex u = (wl * g2 - u0 * w2) / tau;
    const Complex v = (u0 * w1 - wl * g1) / tau;
    const Complex c = kJ * kh / (u * s1 + v * s2);
    return {c, c * u, c * v};
}

Complex normalFluxOf(const HarmonicField& f, const Complex& potential, double r) {
    double L = 1.0;
    if (f.params->geometry == Geometry::Cylindrical) L = r;
    if (f.params->geometry == Geometry::Spherical) L = r * f.sinTheta;
    return (-kJ * f.kh / L) * potential;
}

}  // namespace

Complex frequencyOf(const MotorParameters& p, double kh, double s) {
    if (p.formulation == Formulation::Legacy) return Complex(p.fI, kTwoPi * s);
    // The harmonic of order h travels at syncSpeed/h; the layer, moving at n, meets m·s of its
    // periods per second: m = kh = kp·h in the rotating geometries, and m = h in the linear one,
    // whose speeds are counted in fundamental wavelengths.
    const double m = p.geometry == Geometry::Linear ? std::round(kh / p.kp) : kh;
    return Complex(p.fI, kTwoPi * m * s);
}

HarmonicField solveHarmonicField(const MotorParameters& p, const RadialSlots& slots,
                                 const HarmonicArgs& h, FieldSolve solve) {
    HarmonicField f;
    f.params = &p;
    f.slots = slots;
    solveConstants(f, h);
    solveLayerOrders(f);
    solveGapRoots(f);
    f.display = SolveDisplay{f.lambdaFirst, f.beta * p.R};
    const double R = p.R;
    f.layer = LayerBasis(
        slots, {f.layerPower, f.lambdaShift, f.lambdaFirst, f.lambdaSecond, f.beta}, f.x0, R);
    f.gap = GapBasis(slots, f.mu1, f.mu2, f.lambdaShift, R, R + h.g);
    f.coreRatio = solveCoreRatio(f);
    if (solve == FieldSolve::Matched) f.coefficients = matchCoefficients(f, h.g);
    return f;
}

Complex layerPolarTerm(const HarmonicField& f) {
    const MotorParameters& p = *f.params;
    const double t = f.sinTheta;
    return f.kh * f.kh * p.ni1 / (t * t) - kJ * f.kh * p.ni12 / t;
}

Complex layerSolution(const HarmonicField& f, const LayerValues& v) {
    return v.firstKind.value - f.coreRatio * v.secondKind.value;
}

LayerPoint layerPointOf(const HarmonicField& f, const LayerValues& v, double r, bool tangential) {
    LayerPoint point;
    point.potential = f.coefficients.C * layerSolution(f, v);
    point.normalFlux = normalFluxOf(f, point.potential, r);
    if (tangential) {
        Complex factor = 1.0;
        if (f.params->geometry == Geometry::Cylindrical) factor = f.beta;
        if (f.params->geometry == Geometry::Spherical) factor = 1.0 / r;
        point.tangentialFlux = -factor * f.coefficients.C * layerSolutionDerivative(f, v);
    }
    return point;
}

LayerPoint layerPointAt(const HarmonicField& f, double r, bool tangential) {
    return layerPointOf(f, f.layer.at(r, tangential ? LayerParts::Both : LayerParts::Values), r,
                        tangential);
}

GapPoint gapPointAt(const HarmonicField& f, double r) {
    const MotorParameters& p = *f.params;
    const GapValues v = f.gap.at(r);
    const FieldCoefficients& c = f.coefficients;
    GapPoint point;
    point.potential = c.D1 * v.first.value + c.D2 * v.second.value;
    point.normalFlux = normalFluxOf(f, point.potential, r);
    const double dL = p.geometry == Geometry::Spherical ? r : 1.0;
    const Complex derivative = c.D1 * v.first.derivative + c.D2 * v.second.derivative;
    point.tangentialField = p.ni21d * point.normalFlux - (p.ni2d / dL) * derivative;
    return point;
}

}  // namespace emforce
