// An integral taken as the sum of equal panels of the rule, for one value or several at once.
#pragma once

#include <array>
#include <cstddef>

namespace emforce::panels {

inline void addTo(double& total, double v) { total = total + v; }

template <std::size_t N>
void addTo(std::array<double, N>& total, const std::array<double, N>& v) {
    for (std::size_t k = 0; k < N; ++k) total[k] = total[k] + v[k];
}

/// integral(lower, upper) as the sum over `panels` equal panels, in order; one panel is the
/// call itself. Several integrals at once are summed element by element, each as it would be
/// alone.
template <class Integral>
auto overPanels(int panels, double lower, double upper, const Integral& integral) {
    const auto end = [&](int k) {
        return k == panels ? upper : lower + (upper - lower) * k / panels;
    };
    auto total = integral(lower, end(1));
    for (int k = 1; k < panels; ++k) addTo(total, integral(end(k), end(k + 1)));
    return total;
}

}  // namespace emforce::panels
