// The four balance statistics, summed in point order.
#include "run/error_statistics.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

bool defined(const Curve& reference, std::initializer_list<const Curve*> others) {
    if (reference.empty()) return false;
    return std::all_of(others.begin(), others.end(),
                       [&reference](const Curve* c) { return c->size() == reference.size(); });
}

// A ratio of finite values, or their sum, may still leave the range of a double; what a run
// shows is finite, so that is the overflow of any other computation.
double finiteOrOverflow(long double v) {
    const auto d = static_cast<double>(v);
    if (std::isinf(d)) throw CalcError(kOverflow);
    return d;
}

}  // namespace

std::optional<double> avgBalanceError(const Curve& Te, const Curve& TeL, const Curve& TeM, const Curve& TP) {
    if (!defined(Te, {&TeL, &TeM, &TP})) return std::nullopt;
    long double sum = 0;
    for (size_t i = 0; i < Te.size(); ++i)
        if (Te[i] != 0) sum += std::fabs(TeL[i] + TeM[i] + TP[i] - Te[i]) / std::fabs(Te[i]);
    return finiteOrOverflow(sum / static_cast<long double>(Te.size()));
}

std::optional<double> maxBalanceError(const Curve& Te, const Curve& TeL, const Curve& TeM, const Curve& TP) {
    if (!defined(Te, {&TeL, &TeM, &TP})) return std::nullopt;
    double largest = 0;
    for (size_t i = 0; i < Te.size(); ++i)
        if (Te[i] != 0) largest = std::max(largest, std::fabs(TeL[i] + TeM[i] + TP[i] - Te[i]) / std::fabs(Te[i]));
    return finiteOrOverflow(largest);
}

std::optional<double> avgCoenergyBalanceError(const Curve& Te, const Curve& TeC, const Curve& TP) {
    if (!defined(Te, {&TeC, &TP})) return std::nullopt;
    long double sum = 0;
    for (size_t i = 0; i < Te.size(); ++i)
        if (Te[i] != 0) sum += std::fabs((TeC[i] + TP[i] - Te[i]) / Te[i]);
    return finiteOrOverflow(sum / static_cast<long double>(Te.size()));
}

std::optional<double> avgPowerError(const Curve& PS, const Curve& PJoule, const Curve& PAnis) {
    if (!defined(PS, {&PJoule, &PAnis})) return std::nullopt;
    long double sum = 0;
    for (size_t i = 0; i < PS.size(); ++i)
        if (PS[i] != 0) sum += std::fabs(PJoule[i] + PAnis[i] - PS[i]) / std::fabs(PS[i]);
    return finiteOrOverflow(sum / static_cast<long double>(PS.size()));
}

}  // namespace emforce
