// The principal-branch elementary functions of complex numbers.
#include "numerics/complex.hpp"

namespace emforce {

Complex exp(const Complex& z) {
    const double m = std::exp(z.re());
    if (z.im() == 0.0) return {m, 0.0};
    return {m * std::cos(z.im()), m * std::sin(z.im())};
}

Complex log(const Complex& z) { return {std::log(abs(z)), std::atan2(z.im(), z.re())}; }

Complex sqrt(const Complex& z) {
    const std::complex<double> r = std::sqrt(std::complex<double>(z.re(), z.im()));
    return {r.real(), r.imag()};
}

Complex sin(const Complex& z) {
    if (z.im() == 0.0) return {std::sin(z.re()), 0.0};
    return {std::sin(z.re()) * std::cosh(z.im()), std::cos(z.re()) * std::sinh(z.im())};
}

Complex pow(const Complex& z, int n) {
    Complex result{1.0};
    Complex base = z;
    unsigned k = n < 0 ? 0u - static_cast<unsigned>(n) : static_cast<unsigned>(n);
    while (k != 0) {
        if (k & 1u) result *= base;
        k >>= 1u;
        if (k != 0) base *= base;
    }
    return n < 0 ? Complex(1.0) / result : result;
}

Complex pow(const Complex& z, double w) { return exp(w * log(z)); }

Complex pow(const Complex& z, const Complex& w) { return exp(w * log(z)); }

Complex pow(double x, const Complex& w) { return exp(w * std::log(x)); }

}  // namespace emforce
