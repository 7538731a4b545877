// Fuzz target: the accurate Bessel functions over (ν, z, p) inside and well beyond their domain.
#include <cfenv>
#include <cmath>
#include <string>

#include "fuzz_support.hpp"
#include "numerics/bessel_accurate.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce::fuzz {

namespace {

// A finite real from the bytes: mostly a magnitude spread over many decades with a sign, now and
// then an exact small integer or half-integer (the special orders), or the raw bits of any
// finite double.
double real(FuzzInput& in, double decades) {
    switch (in.pick(8)) {
        case 0:
            return 0.0;
        case 1:
            return 0.5 * (in.pick(41) - 10);
        case 2: {
            const double v = in.rawReal();
            return std::isfinite(v) ? v : 1.0;
        }
        default: {
            const double unit = (in.byte() * 256.0 + in.byte()) / 65536.0;
            const double v = std::pow(10.0, decades * (2.0 * unit - 1.0));
            return in.flag() ? -v : v;
        }
    }
}

Complex complexNumber(FuzzInput& in, double decades) {
    const double re = real(in, decades);
    return {re, in.flag() ? 0.0 : real(in, decades)};
}

bool finite(const Complex& c) { return std::isfinite(c.re()) && std::isfinite(c.im()); }

// Either every number is finite, or a fault flag is raised, whose message is one of the
// program's own.
void checkOutcome(const char* what, bool allFinite) {
    const bool flagged = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) != 0;
    try {
        throwOnFpFault();
    } catch (const CalcError& e) {
        const auto kind = messageKind(e.what());
        check(kind && (*kind == "division by zero" || *kind == "invalid operation" ||
                       *kind == "overflow"),
              std::string("message of ") + what + ": " + e.what());
    }
    check(allFinite || flagged, std::string("silent non-finite value of ") + what);
}

}  // namespace

int fuzzBessel(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    // Orders up to 1e3, arguments from 1e-8 to 1e4 and powers to 1e2 in modulus, any sign.
    const Complex nu = complexNumber(in, 3.0);
    const Complex z = complexNumber(in, 4.0);
    const Complex p = complexNumber(in, 2.0);
    clearFpFaults();
    const ScaledBessel i = scaledBesselI(nu, z);
    const ScaledBessel k = scaledBesselK(nu, z);
    checkOutcome("the scaled I and K", finite(i.value) && finite(i.derivative) &&
                                           std::isfinite(i.scale) && finite(k.value) &&
                                           finite(k.derivative) && std::isfinite(k.scale));
    clearFpFaults();
    const ScaledProduct pi = scaledBesselIProduct(p, nu, z);
    const ScaledProduct pk = scaledBesselKProduct(p, nu, z);
    checkOutcome("the scaled products", finite(pi.value) && finite(pi.first) && finite(pi.second) &&
                                            std::isfinite(pi.scale) && finite(pk.value) &&
                                            finite(pk.first) && finite(pk.second) &&
                                            std::isfinite(pk.scale));
    clearFpFaults();
    const Complex values[] = {accurateBesselI(p, nu, z),       accurateBesselIPrime(p, nu, z),
                              accurateBesselISecond(p, nu, z), accurateBesselK(p, nu, z),
                              accurateBesselKPrime(p, nu, z),  accurateBesselKSecond(p, nu, z)};
    bool allFinite = true;
    for (const Complex& v : values) allFinite = allFinite && finite(v);
    checkOutcome("the unscaled functions", allFinite);
    clearFpFaults();
    return 0;
}

}  // namespace emforce::fuzz
