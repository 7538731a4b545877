// The arithmetic of the chart buttons and of the automatic axis ranges.
#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace emforce {

/// The left-axis increment after a click on "In": 0 (automatic spacing) once the increment
/// reaches the span maximum - minimum, else one twentieth of the span's next power of ten more.
double nextIncrement(double minimum, double maximum, double increment);

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

}  // namespace emforce
