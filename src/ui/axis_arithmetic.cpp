// The arithmetic of the chart buttons and of the automatic axis ranges.
#include "ui/axis_arithmetic.hpp"

#include <algorithm>
#include <cmath>

#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

double nextIncrement(double minimum, double maximum, double increment) {
    const double span = maximum - minimum;
    // Checked first, so an empty span never reaches the logarithm.
    if (increment >= span) return 0;
    const double power = std::pow(10.0, std::floor(std::log10(span / 10)) + 1);
    return increment + power * 0.5 / 10;
}

int nextLabelFontSize(int size, int largest) { return size < largest ? size + 1 : 7; }

std::pair<int, int> titleFontSizes(std::string_view left, std::string_view bottom) {
    constexpr std::pair<int, int> fallback{14, 14};
    try {
        const int l = toInteger(left);
        const int b = toInteger(bottom);
        // A size below one point cannot be drawn.
        if (l < 1 || b < 1) return fallback;
        return {l, b};
    } catch (const CalcError&) {
        return fallback;
    }
}

double niceStep(double span) {
    const double raw = span / 8;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double ratio = raw / power;
    if (ratio <= 1) return power;
    if (ratio <= 2) return 2 * power;
    if (ratio <= 5) return 5 * power;
    return 10 * power;
}

AxisRange automaticRange(double dataMin, double dataMax, std::optional<double> fixedMin,
                         std::optional<double> fixedMax) {
    double lo = fixedMin.value_or(dataMin);
    double hi = fixedMax.value_or(dataMax);
    if (!(hi > lo)) {
        const double magnitude = std::max(std::abs(lo), std::abs(hi)) * 0.1;
        const double pad = magnitude > 0 ? magnitude : 1;
        if (!fixedMin && !fixedMax) {
            lo -= pad;
            hi += pad;
        } else if (fixedMin && !fixedMax) {
            hi = lo + 2 * pad;
        } else {
            lo = hi - 2 * pad;
        }
    }
    const double step = niceStep(hi - lo);
    if (!fixedMin) lo = std::floor(lo / step) * step;
    if (!fixedMax) hi = std::ceil(hi / step) * step;
    return {lo, hi, step};
}

int labelDecimals(double step, int maxDecimals) {
    double scaled = step;
    for (int decimals = 0; decimals < maxDecimals; ++decimals, scaled *= 10)
        if (std::abs(scaled - std::round(scaled)) <= 1e-9 * scaled) return decimals;
    return maxDecimals;
}

}  // namespace emforce
