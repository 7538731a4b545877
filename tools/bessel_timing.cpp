// Prints the cost of one value pair (function and derivative) of the accurate Bessel functions
// and of the series functions at the same model-like inputs, and of the I and K products of one
// order at one argument by the joint call and by two separate ones, measured in one run.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "numerics/bessel.hpp"
#include "numerics/bessel_accurate.hpp"

namespace {

using namespace emforce;

struct Input {
    Complex nu, z;
};

// Orders of the field model (integer, anisotropic complex, spherical) up to |ν| ≈ 50 and
// arguments |z| from 0.05 to 100 near arg π/4, where the model's β·r lies.
std::vector<Input> inputs(double maxModulus) {
    std::vector<Input> v;
    for (const Complex nu : {Complex(1.0), Complex(3.0), Complex(2.028, -0.148), Complex(17.0),
                             Complex(34.6, -2.5), Complex(50.0, -4.0)})
        for (double m = 0.05; m <= maxModulus; m *= 1.35)
            for (const double arg : {0.6, 0.785, 1.0})
                v.push_back({nu, {m * std::cos(arg), m * std::sin(arg)}});
    return v;
}

template <class F>
double nanosecondsPerPair(const std::vector<Input>& in, F pair) {
    Complex sink{};
    const int repeats = 200;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r)
        for (const Input& x : in) sink += pair(x);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (std::isnan(sink.re())) std::printf("(nan)\n");
    return seconds * 1e9 / (repeats * static_cast<double>(in.size()));
}

}  // namespace

int main() {
    const BesselSettings series{};
    for (const double maxModulus : {15.0, 100.0}) {
        const std::vector<Input> in = inputs(maxModulus);
        const double accurateI = nanosecondsPerPair(in, [](const Input& x) {
            const ScaledBessel b = scaledBesselI(x.nu, x.z);
            return b.value + b.derivative;
        });
        const double accurateK = nanosecondsPerPair(in, [](const Input& x) {
            const ScaledBessel b = scaledBesselK(x.nu, x.z);
            return b.value + b.derivative;
        });
        const double seriesI = nanosecondsPerPair(in, [&](const Input& x) {
            return besselI(series, 0.0, x.nu, x.z) + besselIPrime(series, 0.0, x.nu, x.z);
        });
        const double seriesK = nanosecondsPerPair(in, [&](const Input& x) {
            return besselK(series, 0.0, x.nu, x.z) + besselKPrime(series, 0.0, x.nu, x.z);
        });
        // The field model's use: z^p·I and z^p·K of one order at one argument.
        const Complex p(0.5, -0.3);
        const double joint = nanosecondsPerPair(in, [&](const Input& x) {
            const ScaledProducts b = scaledBesselIKProducts(p, x.nu, x.z);
            return b.i.value + b.k.value;
        });
        const double separate = nanosecondsPerPair(in, [&](const Input& x) {
            return scaledBesselIProduct(p, x.nu, x.z).value +
                   scaledBesselKProduct(p, x.nu, x.z).value;
        });
        std::printf(
            "|z| <= %-4g %4zu inputs   I pair: accurate %6.0f ns, series %6.0f ns (%.2fx)   "
            "K pair: accurate %6.0f ns, series %6.0f ns (%.2fx)   I and K products: joint %6.0f "
            "ns, separate %6.0f ns (%.2fx)\n",
            maxModulus, in.size(), accurateI, seriesI, accurateI / seriesI, accurateK, seriesK,
            accurateK / seriesK, joint, separate, joint / separate);
    }
    return 0;
}
