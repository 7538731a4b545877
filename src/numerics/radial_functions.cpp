// The exponential, power and Bessel families behind the radial-function slots.
#include "numerics/radial_functions.hpp"

#include <cmath>
#include <stdexcept>

namespace emforce {

namespace {
[[noreturn]] void noLayer() {
    throw std::logic_error("the layer slots of a motor without a conductive layer were called");
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
        case LayerFamily::Bessel: return besselI(m_bessel, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

Complex RadialSlots::radialSecondKind(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return exp(nu * z);
        case LayerFamily::Bessel: return besselK(m_bessel, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

Complex RadialSlots::radialFirstKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return nu * exp(nu * z);
        case LayerFamily::Bessel: return besselIPrime(m_bessel, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

Complex RadialSlots::radialSecondKindDerivative(const Complex& p, const Complex& nu, const Complex& z) const {
    switch (m_layer) {
        case LayerFamily::Exponential: return nu * exp(nu * z);
        case LayerFamily::Bessel: return besselKPrime(m_bessel, p, nu, z);
        case LayerFamily::None: break;
    }
    noLayer();
}

}  // namespace emforce
