// The arithmetic of the chart buttons and of the automatic axis ranges.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace emforce {

/// The left-axis increment after a click on "In": the next round increment (1, 2 or 5 times a
/// power of ten) above the current one, starting from automatic spacing (0) with the finest
/// that gives at most `maxTicks` intervals over the span; after the coarsest that still leaves
/// two intervals, 0 (automatic spacing) again.
double nextIncrement(double span, double increment, double maxTicks);

/// The axis label font size after a click on "f": one point more up to `largest`, then 7 again.
int nextLabelFontSize(int size, int largest = 20);

/// The left and bottom title font sizes for the two selector texts; 14 for both when either
/// text is not a positive integer.
std::pair<int, int> titleFontSizes(std::string_view left, std::string_view bottom);

/// An axis range and the spacing of its ticks.
struct AxisRange {
    double minimum;
    double maximum;
    double step;
};

/// A round tick spacing (1, 2 or 5 times a power of ten) giving about eight intervals.
double niceStep(double span);

/// The range that shows data from dataMin to dataMax: the free ends rounded outward to the tick
/// spacing, the fixed ends as given.
AxisRange automaticRange(double dataMin, double dataMax, std::optional<double> fixedMin,
                         std::optional<double> fixedMax);

/// The decimals that the labels of ticks spaced by step need, at most maxDecimals.
int labelDecimals(double step, int maxDecimals);

/// One tick of an axis: its value and its label.
struct AxisTick {
    double value;
    std::string text;
};

/// The ticks at the multiples of step from minimum to maximum, each value computed as a whole
/// multiple (no running sum, so zero is zero and never "-0,0"). Labels are fixed-point with
/// the decimals the step needs, up to maxDecimals; a step finer than maxDecimals decimals can
/// show gets exponent labels with the digits that tell the ticks apart.
std::vector<AxisTick> axisTicks(double minimum, double maximum, double step, int maxDecimals);

}  // namespace emforce
