// The arithmetic of the chart buttons and of the automatic axis ranges.
#include "ui/axis_arithmetic.hpp"

#include <algorithm>
#include <cmath>

#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

double nextIncrement(double span, double increment, double maxTicks) {
    if (!(span > 0) || !(maxTicks >= 1)) return 0;
    constexpr double kSlack = 1e-9;
    const double finest = span / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(std::max(finest, increment))));
    for (double candidate : {power, 2 * power, 5 * power, 10 * power, 20 * power}) {
        if (candidate < finest * (1 - kSlack)) continue;                       // labels crowd
        if (increment > 0 && candidate <= increment * (1 + kSlack)) continue;  // not coarser
        return candidate <= span / 2 ? candidate : 0;
    }
    return 0;
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

namespace {

// The significant digits of exponent labels: from the largest tick's down to the step's.
int exponentDigits(double largest, double step) {
    if (!(largest > 0)) return 1;
    const double digits = std::floor(std::log10(largest)) - std::floor(std::log10(step)) + 1;
    return static_cast<int>(std::clamp(digits, 1.0, 15.0));
}

}  // namespace

std::vector<AxisTick> axisTicks(double minimum, double maximum, double step, int maxDecimals) {
    std::vector<AxisTick> ticks;
    if (!(step > 0) || !(maximum >= minimum)) return ticks;
    constexpr double kSlack = 1e-9;  // a tick a rounding error beyond an end still counts
    // + 0.0 turns the -0 of ceil(-0.3) into 0.
    const double first = std::ceil(minimum / step - kSlack) + 0.0;
    const double last = std::floor(maximum / step + kSlack);
    constexpr double kMostTicks = 10000;
    if (!(last - first < kMostTicks)) return ticks;
    const bool exponent = step < std::pow(10.0, -maxDecimals) * (1 - kSlack);
    const int digits = exponentDigits(std::max(std::abs(first), std::abs(last)) * step, step);
    const int decimals = labelDecimals(step, maxDecimals);
    for (double k = first; k <= last; ++k) {
        const double v = k * step;
        std::string text = k == 0     ? formatFixed(0, 1, exponent ? 0 : decimals)
                           : exponent ? formatExponent(v, digits, 1)
                                      : formatFixed(v, 15, decimals);
        ticks.push_back({v, std::move(text)});
    }
    return ticks;
}

}  // namespace emforce
