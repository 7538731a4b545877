// The gap field of the synchronous motor: roots, boundary functional, coefficients, point fields.
#include "synchronous/synchronous_field.hpp"

#include <cmath>

namespace emforce {

namespace {

bool spherical(const SynchronousField& f) { return f.params->geometry == Geometry::Spherical; }

void solveGapRoots(SynchronousField& f) {
    const MotorParameters& p = *f.params;
    const double kh = f.kh;
    f.rho = (-0.5 * (p.ni12d + p.ni21d) * kh) * kJ / p.ni2d;
    if (!spherical(f)) {
        f.lambdaShift = 0.0;
        f.mu1 = f.rho + sqrt(f.rho * f.rho + kh * kh * p.ni1d / p.ni2d);
        f.mu2 = 2.0 * f.rho - f.mu1;
        return;
    }
    // The spherical equation carries the polar angle through t = sin θ, and its constant term
    // has the 12 term alone where ρ has the sum of both off-diagonal terms.
    const double t = std::sin(f.theta);
    f.lambdaShift = 1.0;
    f.rho = f.rho / t;
    const Complex tau = kJ * kh * p.ni12d / p.ni2d / t;
    f.mu1 = (f.rho - 0.5) +
            sqrt((0.5 - f.rho) * (0.5 - f.rho) + p.ni1d * kh * kh / (p.ni2d * t * t) - tau);
    f.mu2 = (2.0 * f.rho - 1.0) - f.mu1;
}

GapCoefficients coefficientsOfRoots(const SynchronousField& f) {
    const double rotor = f.params->R;
    const double stator = rotor + f.g;
    const Complex q1Rotor = boundaryFunctional(f, f.mu1, rotor);
    const Complex q2Rotor = boundaryFunctional(f, f.mu2, rotor);
    const Complex q1Stator = boundaryFunctional(f, f.mu1, stator);
    const Complex q2Stator = boundaryFunctional(f, f.mu2, stator);
    GapCoefficients c;
    // Stator sheet: driven at R + g, iron at R.
    const Complex pRatio = q1Rotor / q2Rotor;
    c.c0 = f.kh / (q1Stator - pRatio * q2Stator);
    c.c1 = -pRatio * c.c0;
    // Rotor sheet: driven at R, iron at R + g.
    const Complex oRatio = q1Stator / q2Stator;
    c.c2 = f.kh / (q1Rotor - oRatio * q2Rotor);
    c.c3 = -oRatio * c.c2;
    return c;
}

Complex normalFlux(const SynchronousField& f, const Complex& first, const Complex& second,
                   double x) {
    double scale = 1.0;
    if (f.params->geometry == Geometry::Cylindrical) scale = x;
    if (spherical(f)) scale = x * std::sin(f.theta);
    return (-kJ * f.kh / scale) *
           (first * f.slots->radialPower(f.mu1, x) + second * f.slots->radialPower(f.mu2, x));
}

Complex tangentialField(const SynchronousField& f, const Complex& flux, const Complex& first,
                        const Complex& second, double x) {
    const MotorParameters& p = *f.params;
    // In the sphere the derivative slot at μ + 1 gives d(r·A)/dr, hence the division by r.
    const double scale = spherical(f) ? x : 1.0;
    return p.ni21d * flux -
           (p.ni2d / scale) * (first * f.slots->radialPowerDerivative(f.mu1 + f.lambdaShift, x) +
                               second * f.slots->radialPowerDerivative(f.mu2 + f.lambdaShift, x));
}

}  // namespace

SynchronousField solveSynchronousField(const MotorParameters& p, const RadialSlots& slots,
                                       double kh, double g, double theta) {
    SynchronousField f;
    f.params = &p;
    f.slots = &slots;
    f.kh = kh;
    f.g = g;
    f.theta = theta;
    solveGapRoots(f);
    f.coefficients = coefficientsOfRoots(f);
    return f;
}

Complex boundaryFunctional(const SynchronousField& f, const Complex& mu, double r) {
    const MotorParameters& p = *f.params;
    double s = 1.0;
    if (p.geometry == Geometry::Cylindrical) s = r;
    if (spherical(f)) s = std::sin(f.theta);
    return kJ * f.kh * p.ni21d * f.slots->radialPower(mu, r) +
           s * p.ni2d * f.slots->radialPowerDerivative(mu + f.lambdaShift, r);
}

GapFields gapFieldsAt(const SynchronousField& f, double x) {
    const GapCoefficients& c = f.coefficients;
    GapFields g;
    g.bs = normalFlux(f, c.c0, c.c1, x);
    g.br = normalFlux(f, c.c2, c.c3, x);
    g.hs = tangentialField(f, g.bs, c.c0, c.c1, x);
    g.hr = tangentialField(f, g.br, c.c2, c.c3, x);
    return g;
}

GapFields normalFluxesAt(const SynchronousField& f, double x) {
    const GapCoefficients& c = f.coefficients;
    return {normalFlux(f, c.c0, c.c1, x), normalFlux(f, c.c2, c.c3, x), {}, {}};
}

}  // namespace emforce
