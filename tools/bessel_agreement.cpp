// Prints how closely the Bessel routines agree with Arb, case by case, against the expected error.
#include <cmath>
#include <cstdio>
#include <string>

#include "reference/bessel_reference.hpp"

namespace {

std::string number(const char* format, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

}  // namespace

// Columns: routine, power p, order ν, |z|@arg z (L50: limit 50 instead of 15), regime, loss
// (Σ|contributions| / |exact|, series only), relative error against Arb, the same in units of
// the double epsilon (small errors only), and the expected bound ("none": the large-argument
// form is outside its asymptotic range and carries no digits).
int main() {
    using namespace emforce;
    using namespace emforce::reference;
    std::printf("%-3s %-14s %-14s %-12s %-6s %-9s %-9s %-8s %-9s\n", "fn", "p", "nu", "|z|@arg",
                "regime", "loss", "rel.err", "eps", "bound");
    int failures = 0;
    for (const BesselCase& c : agreementCases()) {
        const Agreement a = measure(c);
        const bool ok = a.error <= a.bound;
        failures += ok ? 0 : 1;
        char where[32];
        std::snprintf(where, sizeof where, "%g@%.2g%s", detail::modulus(c.z),
                      std::atan2(c.z.im(), c.z.re()), c.settings.limit != 15.0 ? " L50" : "");
        std::printf("%-3s %-14s %-14s %-12s %-6s %-9s %-9.2e %-8s %-9s%s\n",
                    functionName(c.function), text(c.p).c_str(), text(c.nu).c_str(), where,
                    a.series ? "series" : "large", a.series ? number("%.2e", a.loss).c_str() : "-",
                    a.error, a.error < 1e-9 ? number("%.0f", a.error / kEps).c_str() : "-",
                    std::isinf(a.bound) ? "none" : number("%.2e", a.bound).c_str(),
                    ok ? "" : "  EXCEEDS");
    }
    std::printf("%d case(s) beyond the expected bound\n", failures);
    return failures == 0 ? 0 : 1;
}
