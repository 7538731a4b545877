// The exponential, power and Bessel families behind the radial-function slots.
#include "numerics/radial_functions.hpp"

#include <cmath>
#include <stdexcept>

namespace emforce {

namespace {
[[noreturn]] void noLayer() {
    throw std::logic_error("the layer slots of a motor without a conductive layer were called");
}

// The accurate functions are made for arg z in [0, π/2); a harmonic that runs ahead of the
// layer (negative slip) has its argument in (−π/2, 0), where f(z) = conj(f̄(z̄)) with the
// conjugate power and order (I, K and z^p are real on the positive axis).
ScaledProduct conjugated(const ScaledProduct& c) {
    return {conj(c.value), conj(c.first), conj(c.second), c.scale};
}

ScaledProduct inUpperHalfPlane(ScaledProduct (*f)(const Complex&, const Complex&, const Complex&),
                               const Complex& p, const Complex& nu, const Complex& z) {
    if (!(z.im() < 0.0)) return f(p, nu, z);
    return conjugated(f(conj(p), conj(nu), conj(z)));
}

Complex inUpperHalfPlane(Complex (*f)(const Complex&, const Complex&, const Complex&),
                         const Complex& p, const Complex& nu, const Complex& z) {
    if (!(z.im() < 0.0)) return f(p, nu, z);
    return conj(f(conj(p), conj(nu), conj(z)));
}

// e^(νz) as e^(j·Im(νz)) with the scale Re(νz); its derivatives are ν and ν² times it.
ScaledProduct exponentialProduct(const Complex& nu, const Complex& z) {
    const Complex w = nu * z;
    const Complex value = exp(Complex(0.0, w.im()));
    return {value, nu * value, nu * nu * value, w.re()};
}
}  // namespace

Complex RadialSlots::radialPower(const Complex& lambda, const double& x) const {
    if (m_gap == GapFamily::Exponential) return exp(lambda * x);
    return pow(x, lambda);
}

Complex RadialSlots::radialPowerDerivative(const Complex& lambda, const double& x) const {
    if (m_gap == GapFamily::Exponential) return lambda * exp(lambda * x);
    return lambda * pow(x, lambda - 1.0);
}

Complex RadialSlots::radialFirstKind(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return exp(nu * z);
        case LayerFamily::Bessel:
            return series() ? besselI(m_bessel, p, nu, z)
                            : inUpperHalfPlane(accurateBesselI, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

Complex RadialSlots::radialSecondKind(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return exp(nu * z);
        case LayerFamily::Bessel:
            return series() ? besselK(m_bessel, p, nu, z)
                            : inUpperHalfPlane(accurateBesselK, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

Complex RadialSlots::radialFirstKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return nu * exp(nu * z);
        case LayerFamily::Bessel:
            return series() ? besselIPrime(m_bessel, p, nu, z)
                            : inUpperHalfPlane(accurateBesselIPrime, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

Complex RadialSlots::radialSecondKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return nu * exp(nu * z);
        case LayerFamily::Bessel:
            return series() ? besselKPrime(m_bessel, p, nu, z)
                            : inUpperHalfPlane(accurateBesselKPrime, p, nu, z);
        case LayerFamily::None:
            break;
    }
    noLayer();
}

ScaledProduct RadialSlots::firstKindProduct(const Complex& p, const Complex& nu,
                                            const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential:
            return exponentialProduct(nu, z);
        case LayerFamily::Bessel:
            return inUpperHalfPlane(scaledBesselIProduct, p, nu, z);
        case LayerFamily::None:
            break;
    }
    noLayer();
}

ScaledProduct RadialSlots::secondKindProduct(const Complex& p, const Complex& nu,
                                             const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential:
            return exponentialProduct(nu, z);
        case LayerFamily::Bessel:
            return inUpperHalfPlane(scaledBesselKProduct, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

std::array<ScaledProduct, 2> RadialSlots::layerProducts(const Complex& p, const Complex& nu1,
                                                        const Complex& nu2,
                                                        const Complex& z) const {
    if (m_layer != LayerFamily::Bessel || !(nu1 == nu2))
        return {firstKindProduct(p, nu1, z), secondKindProduct(p, nu2, z)};
    if (!(z.im() < 0.0)) {
        const ScaledProducts b = scaledBesselIKProducts(p, nu1, z);
        return {b.i, b.k};
    }
    const ScaledProducts b = scaledBesselIKProducts(conj(p), conj(nu1), conj(z));
    return {conjugated(b.i), conjugated(b.k)};
}

Complex RadialSlots::normalisedPower(const Complex& lambda, double x, double reference) const {
    if (m_gap == GapFamily::Exponential) return exp(lambda * (x - reference));
    return exp(lambda * (std::log(x) - std::log(reference)));
}

// (λ + δ)·x^(λ+δ−1) / reference^λ = (λ + δ)·(x/reference)^λ·x^(δ−1); in the exponential family
// (λ + δ)·e^(λ(x − reference) + δx).
Complex RadialSlots::normalisedPowerDerivative(const Complex& lambda, const Complex& shift,
                                               double x, double reference) const {
    const Complex order = lambda + shift;
    if (m_gap == GapFamily::Exponential) return order * exp(lambda * (x - reference) + shift * x);
    return order * exp(lambda * (std::log(x) - std::log(reference)) + (shift - 1.0) * std::log(x));
}

}  // namespace emforce
