// The order recurrences each in its stable direction: I downwards from a higher order, K upwards
// through the products K·I and the Wronskian.
#include <algorithm>
#include <cmath>
#include <vector>

#include "numerics/bessel_methods.hpp"

namespace emforce::bessel_detail {

namespace {

// A product of many factors held as value·e^scale, renormalised before it leaves the range.
struct Running {
    Complex value{1.0};
    double scale = 0.0;
    void times(const Complex& f) {
        value *= f;
        const double size = modulus(value);
        if (size > 1e100 || size < 1e-100) {
            scale += std::log(size);
            value = value / size;
        }
    }
};

// Beyond this exponent P_μ = K_μ·I_μ is not a double; below it P_μ may underflow harmlessly
// (the recurrence then starts from 1/z alone).
constexpr double kLargestExponent = 690.0;

}  // namespace

// Orders μ + j, j = 0 … n + m, with n = round(Re ν); r_j = I_{μ+j+1}/I_{μ+j}.
std::optional<ShiftedBessel> shiftedOrders(const Complex& nu, const Complex& z,
                                           const ScaledBessel& start, int m,
                                           const ScaledBessel& top) {
    const double rounded = std::clamp(std::round(nu.re()), 0.0, kMostOrderSteps);
    const int n = static_cast<int>(rounded);
    const Complex mu = nu - rounded;
    const std::optional<Complex> topRatio = ratioI(nu + static_cast<double>(m), z);
    if (!topRatio) return std::nullopt;
    std::vector<Complex> ratios(static_cast<std::size_t>(n) + 1);
    Running toNu, toMu;  // I_ν/I_{ν+m} and I_μ/I_ν
    Complex r = *topRatio;
    for (int j = n + m; j >= 0; --j) {
        if (j <= n) ratios[static_cast<std::size_t>(j)] = r;
        if (j == 0) break;
        const Complex next = 1.0 / (2.0 * (mu + static_cast<double>(j)) / z + r);
        if (!std::isfinite(next.re()) || !std::isfinite(next.im())) return std::nullopt;
        (j > n ? toNu : toMu).times(1.0 / next);
        r = next;
    }
    // I_ν = iv·e^is; P_0 = K_μ·I_μ.
    const Complex iv = top.value * toNu.value;
    const double is = top.scale + toNu.scale;
    const Complex p0 = start.value * iv * toMu.value;
    const double exponent = start.scale + is + toMu.scale;
    if (p0 == Complex(0.0) || exponent + std::log(modulus(p0)) > kLargestExponent)
        return std::nullopt;
    Complex p = exponent < -kLargestExponent ? Complex(0.0) : p0 * std::exp(exponent);
    // P_{j+1} = r_j·(1/z − r_j·P_j) up to P_{n+1}; the error of P_j reaches the end scaled by
    // Π |r_i² P_i / P_{i+1}|, whose largest tail is the magnification.
    const Complex inverseZ = 1.0 / z;
    std::vector<Complex> products(static_cast<std::size_t>(n) + 2);
    products[0] = p;
    double logGrowth = 0.0, leastLogGrowth = 0.0;
    for (int j = 0; j <= n; ++j) {
        const Complex rj = ratios[static_cast<std::size_t>(j)];
        const Complex next = rj * (inverseZ - rj * p);
        if (p != Complex(0.0) && next != Complex(0.0)) {
            logGrowth += std::log(modulus(rj * rj * p) / modulus(next));
            leastLogGrowth = std::min(leastLogGrowth, logGrowth);
        }
        p = next;
        products[static_cast<std::size_t>(j) + 1] = p;
    }
    const Complex rNu = ratios[static_cast<std::size_t>(n)];
    const Complex logDerivative = nu / z + rNu;  // I′_ν/I_ν
    ShiftedBessel out;
    out.i = {iv, iv * logDerivative, is};
    const Complex kNu = products[static_cast<std::size_t>(n)] / iv;
    out.k.k = {kNu, kNu * logDerivative - inverseZ / iv, -is};
    out.k.next = products[static_cast<std::size_t>(n) + 1] / (iv * rNu);
    out.k.previousCount = std::min(n, 2);
    out.k.previous[0] = n >= 1 ? products[static_cast<std::size_t>(n) - 1] *
                                     ratios[static_cast<std::size_t>(n) - 1] / iv
                               : Complex(0.0);
    out.k.previous[1] = n >= 2 ? products[static_cast<std::size_t>(n) - 2] *
                                     ratios[static_cast<std::size_t>(n) - 2] *
                                     ratios[static_cast<std::size_t>(n) - 1] / iv
                               : Complex(0.0);
    out.k.amplification = std::exp(std::max(0.0, logGrowth - leastLogGrowth));
    return out;
}

}  // namespace emforce::bessel_detail
