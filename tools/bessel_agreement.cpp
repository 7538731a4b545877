// Prints how closely the Bessel functions agree with Arb: the accurate functions by region, or
// (with --series) the series functions case by case against the error their algorithm allows.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "reference/accurate_reference.hpp"
#include "reference/bessel_reference.hpp"

namespace {

using namespace emforce;
using namespace emforce::reference;

std::string number(const char* format, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Columns: routine, power p, order ν, |z|@arg z (L50: limit 50 instead of 15), regime, loss
// (Σ|contributions| / |exact|, series only), relative error against Arb, the same in units of
// the double epsilon (small errors only), and the expected bound ("none": the large-argument
// form is outside its asymptotic range and carries no digits).
int seriesTable() {
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

const char* orderBand(const Complex& nu) {
    const double m = detail::modulus(nu);
    return m <= 2.5 ? "|nu|<=2.5" : m <= 20.0 ? "|nu|<=20" : m <= 60.0 ? "|nu|<=60" : "|nu|>60";
}
const char* argumentBand(const Complex& z) {
    const double m = detail::modulus(z);
    return m <= 2.0 ? "|z|<=2" : m <= 25.0 ? "|z|<=25" : m <= 100.0 ? "|z|<=100" : "|z|>100";
}
// Within about a third of |ν| of a turning point z = ±iν, for large orders.
bool nearTurningPoint(const Complex& nu, const Complex& z) {
    if (detail::modulus(nu) < 50.0) return false;
    const Complex w = z / nu;
    return detail::modulus(1.0 + w * w) < 0.6;
}
const char* angleBand(const Complex& z) {
    const double a = std::atan2(z.im(), z.re());
    return a < 0.7 ? "arg<0.7" : a < 1.3 ? "arg<1.3" : "arg<pi/2";
}

// Errors in units of ε, and in units of ε·max(1, condition number).
struct Cell {
    std::vector<double> eps;
    double worstConditioned = 0.0;
    void add(double error, double condition) {
        eps.push_back(error / kEps);
        worstConditioned = std::max(worstConditioned, error / (kEps * std::max(1.0, condition)));
    }
};

void printCells(const char* title, const std::map<std::tuple<int, std::string>, Cell>& cells) {
    std::printf("\n%s\n%-8s %-38s %6s %12s %12s %14s\n", title, "quantity", "region", "points",
                "median eps", "worst eps", "worst/cond");
    for (const auto& [key, cell] : cells) {
        std::vector<double> v = cell.eps;
        std::sort(v.begin(), v.end());
        std::printf("%-8s %-40s %6zu %12.1f %12.1f %14.1f\n", quantityName(std::get<0>(key)),
                    std::get<1>(key).c_str(), v.size(), v[v.size() / 2], v.back(),
                    cell.worstConditioned);
    }
}

// Columns: the quantity, its region (method; |ν|, |z| ranges; arg z range; or the set of the
// grid), the number of grid points, median and worst relative error against Arb in units of ε,
// and the worst error in units of ε times the condition number (|z g′/g| + |ν ∂f/∂ν / f| +
// |p ln z| of the quantity g, at least 1; see AccurateAgreement).
int accurateTable() {
    const std::vector<AccuratePoint> grid = accurateGrid(true);
    std::map<std::tuple<int, std::string>, Cell> byMethod, byAngle, bySet;
    std::map<int, Cell> overall;
    for (const AccuratePoint& pt : grid) {
        const AccurateAgreement a = measureAccurate(pt);
        for (int q = 0; q < kAccurateQuantities; ++q) {
            if (a.error[q] < 0.0) continue;
            const bool firstKind = q == 0 || q == 1 || q == 4;
            const char* method = besselMethodName(q == 6      ? a.methodK
                                                  : firstKind ? a.methodI
                                                              : a.methodK);
            const std::string region =
                std::string(method) + " " + orderBand(pt.nu) + " " +
                (nearTurningPoint(pt.nu, pt.z) ? "|1+(z/nu)^2|<0.6" : argumentBand(pt.z));
            const double condition = conditionOf(a, q);
            byMethod[{q, region}].add(a.error[q], condition);
            byAngle[{q, angleBand(pt.z)}].add(a.error[q], condition);
            bySet[{q, pt.set}].add(a.error[q], condition);
            overall[q].add(a.error[q], condition);
        }
    }
    std::printf("accurate Bessel functions against Arb: %zu points (nu, z, p)\n", grid.size());
    printCells("by method and range", byMethod);
    printCells("by arg z", byAngle);
    printCells("by grid set", bySet);
    std::map<std::tuple<int, std::string>, Cell> all;
    for (const auto& [q, cell] : overall) all[{q, "whole grid"}] = cell;
    printCells("overall", all);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--series") == 0) return seriesTable();
    return accurateTable();
}
