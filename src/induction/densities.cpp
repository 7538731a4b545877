// The densities of the induction evaluators and the layer equation's accuracy, from a field.
#include "induction/densities.hpp"

#include <cmath>

#include "numerics/bessel.hpp"

namespace emforce {

namespace {

constexpr double kPi = 3.141592653589793;

// K(r) of the potential, Poynting, anisotropy and residual densities: the time average of a
// harmonic's density over the span of the results (the circumference, resp. the polar ring) and
// the length, halved for the product of two amplitudes. The linear results are those of one
// fundamental wavelength 2π/|kp|; the legacy formulation took each harmonic over its own.
double volumeFactor(const HarmonicField& f, double r) {
    const MotorParameters& p = *f.params;
    switch (p.geometry) {
        case Geometry::Linear:
            if (p.formulation == Formulation::Physical) return kPi * p.l / std::fabs(p.kp);
            return kPi * p.l / std::fabs(f.kh);
        case Geometry::Cylindrical:
            return kPi * p.l * r;
        case Geometry::Spherical:
            break;
    }
    return kPi * r * r * f.sinTheta;
}

// K(r) of the material and coenergy densities. A force density f along the travel of a wave of
// angular frequency ω and wave number kh delivers the power f·ω/kh, so the torque of a power
// density P is P·kh/ω: kh (with its sign) times the volume factor. The legacy formulation took
// |kh|.
double materialFactor(const HarmonicField& f, double r) {
    const MotorParameters& p = *f.params;
    const double kh = f.kh;
    if (p.formulation == Formulation::Physical) return kh * volumeFactor(f, r);
    switch (p.geometry) {
        case Geometry::Linear:
            return kPi * p.l;
        case Geometry::Cylindrical:
            return std::fabs(kh) * kPi * p.l * r;
        case Geometry::Spherical:
            break;
    }
    return std::fabs(kh) * kPi * r * r * f.sinTheta;
}

// The stress r²·B_n·H_t over the circumference (the polar ring, the length), time averaged: the
// sign of the travel is in the fields. The legacy formulation multiplies by the sign of kh,
// which its frequency 2π·s, negative for a backward harmonic, made up for.
double maxwellDensity(const HarmonicField& f, double r, const GapPoint& g) {
    const MotorParameters& mp = *f.params;
    const double kh = f.kh;
    const double product = real(g.tangentialField * conj(g.normalFlux));
    if (mp.formulation == Formulation::Physical) {
        if (mp.geometry == Geometry::Linear) return kPi * mp.l / std::fabs(mp.kp) * product;
        if (mp.geometry == Geometry::Cylindrical) return kPi * mp.l * (r * r) * product;
        return kPi * (r * r * r) * (f.sinTheta * f.sinTheta) * product;
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
            factor = kPi * (r * r * r) * (f.sinTheta * f.sinTheta) * kh / std::fabs(kh);
            break;
    }
    return factor * product;
}

double poyntingDensity(const HarmonicField& f, double r, const GapPoint& g) {
    return -volumeFactor(f, r) * real(f.frequency * g.potential * conj(g.tangentialField));
}

double potentialDensity(const HarmonicField& f, double r, const LayerPoint& p) {
    return volumeFactor(f, r) * abs(p.potential) * abs(p.potential);
}

double materialDensity(const HarmonicField& f, double r, const LayerPoint& p) {
    const MotorParameters& mp = *f.params;
    const Complex d = mp.ni21 - conj(mp.ni12);
    return imag(materialFactor(f, r) * d * p.normalFlux * conj(p.tangentialFlux));
}

// The four reluctivity terms are j·(conj(H_t)·B_t + conj(H_n)·B_n); the last term is the
// conduction current's share, γ·Im(s_c)·|A|² in the real part.
double coenergyDensity(const HarmonicField& f, double r, const LayerPoint& p) {
    const MotorParameters& mp = *f.params;
    const Complex& A = p.potential;
    const Complex& bn = p.normalFlux;
    const Complex& bt = p.tangentialFlux;
    const Complex S = mp.gamma * f.frequency * A * conj(kJ * A) + kJ * conj(mp.ni1 * bn) * bn +
                      kJ * conj(mp.ni12 * bt) * bn + kJ * conj(mp.ni21 * bn) * bt +
                      kJ * conj(mp.ni2 * bt) * bt;
    return materialFactor(f, r) * real(S);
}

double anisotropyDensity(const HarmonicField& f, double r, const LayerPoint& p) {
    const MotorParameters& mp = *f.params;
    const Complex d = mp.ni21 - conj(mp.ni12);
    return imag(d * volumeFactor(f, r) * p.normalFlux * conj(p.tangentialFlux));
}

// Half the volume factor times Re(conj(H_t)·B_t + conj(H_n)·B_n).
double magneticEnergyDensity(const HarmonicField& f, double r, const LayerPoint& p) {
    const MotorParameters& mp = *f.params;
    // The legacy formulation forms the half of each volume factor in its own order of rounding.
    double half = 0.5 * volumeFactor(f, r);
    if (mp.formulation == Formulation::Legacy) {
        switch (mp.geometry) {
            case Geometry::Linear:
                half = kPi * mp.l * 0.5 / std::fabs(f.kh);
                break;
            case Geometry::Cylindrical:
                half = kPi * mp.l * 0.5 * r;
                break;
            case Geometry::Spherical:
                half = kPi * r * r * 0.5 * f.sinTheta;
                break;
        }
    }
    const Complex& bn = p.normalFlux;
    const Complex& bt = p.tangentialFlux;
    const Complex sum = conj(mp.ni1 * bn) * bn + conj(mp.ni12 * bt) * bn + conj(mp.ni21 * bn) * bt +
                        conj(mp.ni2 * bt) * bt;
    return half * real(sum);
}

// In the linear geometry the exponential's second derivative is exact; the series Bessel
// functions use their difference quotients, taken from the first derivative in hand. (The
// accurate functions give theirs exactly, with their values.)
Complex secondDerivative(const HarmonicField& f, bool firstKind, const Complex& lambda,
                         const Complex& first, const Complex& z) {
    if (f.params->geometry == Geometry::Linear) return lambda * first;
    const BesselSettings& b = f.slots.besselSettings();
    return firstKind ? besselISecondFrom(b, f.layerPower, lambda, z, first)
                     : besselKSecondFrom(b, f.layerPower, lambda, z, first);
}

// The left-hand side of the layer equation for a solution Φ(β·r), from dΦ/dz and d²Φ/dz².
Complex layerOperator(const HarmonicField& f, const Complex& first, const Complex& second,
                      double r) {
    switch (f.params->geometry) {
        case Geometry::Linear:
            return second - 2.0 * f.alpha * first;
        case Geometry::Cylindrical:
            return f.beta * f.beta * second + (1.0 - 2.0 * f.alpha) * f.beta * first / r;
        case Geometry::Spherical:
            break;
    }
    return f.beta * f.beta * second + 2.0 * (1.0 - f.alpha) * f.beta * first / r;
}

// The right-hand coefficient of the layer equation.
Complex layerCoefficient(const HarmonicField& f, double r) {
    const MotorParameters& p = *f.params;
    const double kh = f.kh;
    switch (p.geometry) {
        case Geometry::Linear:
            return f.kappa;
        case Geometry::Cylindrical:
            return f.beta * f.beta + kh * kh * p.ni1 / p.ni2 / r / r;
        case Geometry::Spherical:
            break;
    }
    return f.beta * f.beta + layerPolarTerm(f) / p.ni2 / r / r;
}

// K(r)·|A_ode − A|², where A_ode is the potential that the layer equation implies. A
// normalised basis brings the derivatives of the equation in the node's values; otherwise they
// come from the slots.
double odeResidualDensity(const HarmonicField& f, const LayerNode& node) {
    const double r = node.r;
    const LayerValues& v = node.values;
    Complex left;
    if (f.layer.normalised()) {
        left = layerOperator(f, v.firstKind.first, v.firstKind.second, r) -
               f.coreRatio * layerOperator(f, v.secondKind.first, v.secondKind.second, r);
    } else {
        const Complex z = f.beta * r;
        const Complex d1 = f.slots.radialFirstKindDerivative(f.layerPower, f.lambdaFirst, z);
        const Complex d2 = f.slots.radialSecondKindDerivative(f.layerPower, f.lambdaSecond, z);
        left = layerOperator(f, d1, secondDerivative(f, true, f.lambdaFirst, d1, z), r) -
               f.coreRatio *
                   layerOperator(f, d2, secondDerivative(f, false, f.lambdaSecond, d2, z), r);
    }
    const Complex implied = left * (f.coefficients.C / layerCoefficient(f, r));
    const double deviation = abs(implied - node.point.potential);
    return volumeFactor(f, r) * deviation * deviation;
}

}  // namespace

bool needsTangential(Density d) {
    return d == Density::Material || d == Density::Coenergy || d == Density::Anisotropy ||
           d == Density::Energy;
}

LayerNode layerNodeAt(const HarmonicField& f, double r, bool tangential) {
    LayerNode node;
    node.r = r;
    node.values = f.layer.at(r, tangential ? LayerParts::Both : LayerParts::Values);
    node.point = layerPointOf(f, node.values, r, tangential);
    return node;
}

double surfaceDensity(Density d, const HarmonicField& f, double r, const GapPoint& p) {
    return d == Density::Maxwell ? maxwellDensity(f, r, p) : poyntingDensity(f, r, p);
}

double layerDensity(Density d, const HarmonicField& f, const LayerNode& node) {
    switch (d) {
        case Density::Potential:
            return potentialDensity(f, node.r, node.point);
        case Density::Material:
            return materialDensity(f, node.r, node.point);
        case Density::Coenergy:
            return coenergyDensity(f, node.r, node.point);
        case Density::Anisotropy:
            return anisotropyDensity(f, node.r, node.point);
        case Density::Energy:
            return magneticEnergyDensity(f, node.r, node.point);
        case Density::Residual:
            return odeResidualDensity(f, node);
        case Density::Maxwell:
        case Density::Poynting:
            break;
    }
    return surfaceDensity(d, f, node.r, gapPointAt(f, node.r));
}

double densityAt(Density d, const HarmonicField& f, double r) {
    if (!acrossLayer(d)) return surfaceDensity(d, f, r, gapPointAt(f, r));
    return layerDensity(d, f, layerNodeAt(f, r, needsTangential(d)));
}

double layerEquationAccuracy(const HarmonicField& f, bool firstKind, double x) {
    const Complex& lambda = firstKind ? f.lambdaFirst : f.lambdaSecond;
    const Complex arg = f.beta * x;
    if (f.slots.scaledSolutions()) {
        // The ratio of the two sides does not depend on the scale of the solution; where x is a
        // face of the layer the solve's own value serves.
        const ScaledProduct p = f.layer.product(firstKind ? 0 : 1, x);
        return abs(layerOperator(f, p.first, p.second, x) / (layerCoefficient(f, x) * p.value));
    }
    const Complex phi = firstKind ? f.slots.radialFirstKind(f.layerPower, lambda, arg)
                                  : f.slots.radialSecondKind(f.layerPower, lambda, arg);
    const Complex first = firstKind ? f.slots.radialFirstKindDerivative(f.layerPower, lambda, arg)
                                    : f.slots.radialSecondKindDerivative(f.layerPower, lambda, arg);
    const Complex second = secondDerivative(f, firstKind, lambda, first, arg);
    return abs(layerOperator(f, first, second, x) / (layerCoefficient(f, x) * phi));
}

}  // namespace emforce
