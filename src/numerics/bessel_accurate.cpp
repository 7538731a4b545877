// Modified Bessel functions of complex order and argument: first version on the series routines.
#include "numerics/bessel_accurate.hpp"

#include "numerics/bessel.hpp"

namespace emforce {

namespace {

const BesselSettings kSettings{};

// z^p·f and its derivatives from f, f′ and the Bessel equation f″ = (1 + ν²/z²)·f − f′/z.
ScaledProduct product(const Complex& p, const Complex& nu, const Complex& z, const ScaledBessel& f) {
    const Complex second = (1.0 + nu * nu / (z * z)) * f.value - f.derivative / z;
    const Complex zp = pow(z, p);
    const Complex q = p / z;
    return {zp * f.value, zp * (q * f.value + f.derivative),
            zp * ((q * q - q / z) * f.value + 2.0 * q * f.derivative + second), f.scale};
}

}  // namespace

ScaledBessel scaledBesselI(const Complex& nu, const Complex& z) {
    return {besselI(kSettings, 0.0, nu, z), besselIPrime(kSettings, 0.0, nu, z), 0.0};
}

ScaledBessel scaledBesselK(const Complex& nu, const Complex& z) {
    return {besselK(kSettings, 0.0, nu, z), besselKPrime(kSettings, 0.0, nu, z), 0.0};
}

ScaledProduct scaledBesselIProduct(const Complex& p, const Complex& nu, const Complex& z) {
    return product(p, nu, z, scaledBesselI(nu, z));
}

ScaledProduct scaledBesselKProduct(const Complex& p, const Complex& nu, const Complex& z) {
    return product(p, nu, z, scaledBesselK(nu, z));
}

Complex accurateBesselI(const Complex& p, const Complex& nu, const Complex& z) {
    return scaledBesselIProduct(p, nu, z).value;
}
Complex accurateBesselIPrime(const Complex& p, const Complex& nu, const Complex& z) {
    return scaledBesselIProduct(p, nu, z).first;
}
Complex accurateBesselISecond(const Complex& p, const Complex& nu, const Complex& z) {
    return scaledBesselIProduct(p, nu, z).second;
}
Complex accurateBesselK(const Complex& p, const Complex& nu, const Complex& z) {
    return scaledBesselKProduct(p, nu, z).value;
}
Complex accurateBesselKPrime(const Complex& p, const Complex& nu, const Complex& z) {
    return scaledBesselKProduct(p, nu, z).first;
}
Complex accurateBesselKSecond(const Complex& p, const Complex& nu, const Complex& z) {
    return scaledBesselKProduct(p, nu, z).second;
}

}  // namespace emforce
