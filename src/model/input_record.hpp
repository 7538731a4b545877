// The input record: every text and selection that a run, a parameter file or the window reads.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/curve_slots.hpp"
#include "model/motor_parameters.hpp"
#include "model/region_stack.hpp"
#include "model/stack_equality.hpp"

namespace emforce {

/// Rows of the parameter table and the row of its separator line.
inline constexpr int kParameterRows = 22;
inline constexpr int kSeparatorRow = 18;
/// The swept variables with a range of their own in the record besides the speed.
inline constexpr size_t kSweepRanges = 5;

/// The entries of the four lists whose selection a reading takes.
inline constexpr std::array<std::string_view, 11> kIntegrationMethodItems = {
    "Simpson integration meth.",  "Gauss 5-nodes integr. meth.",  "Gauss 6-nodes integr. meth.",
    "Gauss 7-nodes integr. meth.", "Gauss 8-nodes integr. meth.",  "Gauss 10-nodes integr. meth.",
    "Gauss 15-nodes integr. meth.", "Czebyszew 5-nodes meth.",     "Czebyszew 6-nodes meth.",
    "Czebyszew 7-nodes meth.",     "Monte Carlo method"};
inline constexpr std::array<std::string_view, 13> kBesselAccuracyItems = {
    "1e-3", "1e-4", "1e-5", "1e-6", "1e-7", "1e-8", "1e-9", "1e-10", "1e-17", "1e-25", "1e-30", "1e-50", "1e-75"};
inline constexpr std::array<std::string_view, 9> kBesselLimitItems = {"5",  "10", "15", "20", "25",
                                                                       "30", "35", "40", "50"};
/// The two implementations of the modified Bessel functions: accurate over the whole domain of
/// the model (the default), or the power series with large-argument forms, whose accuracy and
/// limit settings apply to that choice only.
inline constexpr std::array<std::string_view, 2> kBesselFunctionItems = {"accurate", "series"};
/// The two formulations of the induction field: "physical" (the default) sees each harmonic's
/// layer currents at the frequency the moving layer meets, 2π·(f1 − kh·n) (linear: 2π·(f1 − h·n)),
/// and takes every harmonic of the linear geometry over one fundamental wavelength; "legacy"
/// keeps the earlier numbers, with the frequency 2π·(f1/kh − n) and each linear harmonic over its
/// own wavelength.
inline constexpr std::array<std::string_view, 2> kFormulationItems = {"physical", "legacy"};
inline constexpr std::array<std::string_view, 9> kHighestHarmonicItems = {"1",  "3",  "5",  "7", "9",
                                                                           "11", "13", "15", "17"};

/// The entries of the axis-description lists: left-axis titles, bottom-axis titles and the
/// title font sizes of either axis.
inline constexpr std::array<std::string_view, 8> kLeftAxisItems = {
    "Electromagnetic torque  T, N·m",
    "Moment elektromagnetyczny  T, N·m",
    "Electromagnetic force  F, N",
    "Siła elektromagnetyczna  F, N",
    "Power losses  P, W",
    "Straty mocy czynnej  P, W",
    "Moment elektromagnetyczny jednostkowy T, N·m/m",
    "Moment elektromagnetyczny T, µN·m"};
inline constexpr std::array<std::string_view, 14> kBottomAxisItems = {
    "speed n, 1/s",
    "prędkość  n, obr/s",
    "prędkość  obrotowa  n, obr/s",
    "relative speed  v/Y, 1/s",
    "prędkość względna  v/Y, 1/s",
    "the gap width  g, m",
    "grubość szczeliny  g, m",
    "layer width  a, m",
    "grubość warstwy przewodzącej  a, m",
    "położenie powierzchni całkowania w szczelinie  x, m",
    "promień  r, m",
    "przesunięcie osi przepływów  y, m",
    "position of integration surface in the gap  x, m",
    "radius  r, m"};
inline constexpr std::array<std::string_view, 14> kFontSizeItems = {
    "10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20", "25", "30", "35"};

/// Labels of the parameter table, column 0, row by row.
extern const std::array<std::string_view, kParameterRows> kParameterLabels;

/// Every input of a calculation run as the user entered it. The window, the parameter file and
/// the command line all read and write this one record; a run reads it and writes back only
/// the x cell (which every reading overwrites with the text of the R cell) and the point count.
struct InputRecord {
    /// The parameter table: [row][0] label, [row][1] value text.
    std::array<std::array<std::string, 2>, kParameterRows> parameterTable;
    /// The layer reluctivity table, 3 x 3: row 0 and column 0 are labels.
    std::array<std::array<std::string, 3>, 3> reluctivityTable;
    std::string ni12dGap = "0,0";
    std::string ni21dGap = "0,0";
    std::string minSpeed = "0";
    std::string maxSpeed = "50";
    /// The From and To texts of the other swept variables: domains 0..3 by index and, at 4, the
    /// synchronous motor's load angle. An empty text is the automatic end (R..R + g, g..2 g,
    /// a..0,99 R, 0,1 z..1,1 z, -pi/kp..pi/kp); the induction motor's speed range is
    /// minSpeed..maxSpeed.
    std::array<std::array<std::string, 2>, kSweepRanges> sweepRanges{};
    std::string pointsPerCurve = "10";
    std::string integrationMethod{kIntegrationMethodItems[4]};
    std::string besselAccuracy = "1e-17";
    std::string besselLimit = "15";
    std::string besselFunctions{kBesselFunctionItems[0]};
    std::string formulation{kFormulationItems[0]};
    std::string highestHarmonic = "1";
    Geometry geometry = Geometry::Spherical;
    bool induction = true;
    /// Index of the winding pattern (0..13).
    int windingPattern = 1;
    /// Index of the swept variable (0..4).
    int domain = 4;
    /// Which curve slots are drawn.
    std::array<bool, kCurveSlots> curves = {true, true, false, false, false,
                                            false, false, false, false, false};
    /// Item indices of the left and bottom axis descriptions and their two title font sizes.
    std::array<int, 4> axisDescriptions = {0, 0, 4, 4};
    /// The machine as a stack of regions, in place of the table's one-layer model; the table
    /// still gives its geometry, pole pairs kp, supply frequency f1, speed n and length l (the
    /// stack's own geometry, kp and omega are not read).
    std::optional<RegionStack> stack;

    /// The From and To texts of the swept variable of a domain (0..4) for a motor kind.
    [[nodiscard]] std::array<std::string*, 2> sweepRangeTexts(int domain, bool inductionMotor);
    [[nodiscard]] std::array<const std::string*, 2> sweepRangeTexts(int domain,
                                                                    bool inductionMotor) const;

    /// The value text of a parameter-table row.
    [[nodiscard]] const std::string& value(int row) const { return parameterTable[static_cast<size_t>(row)][1]; }
    std::string& value(int row) { return parameterTable[static_cast<size_t>(row)][1]; }

    bool operator==(const InputRecord&) const = default;
};

namespace detail {
template <class Record>
auto sweepRangeTexts(Record& r, int domain, bool inductionMotor) {
    if (domain == 4 && inductionMotor) return std::array{&r.minSpeed, &r.maxSpeed};
    auto& range = r.sweepRanges[static_cast<size_t>(std::clamp(domain, 0, 4))];
    return std::array{&range[0], &range[1]};
}
}  // namespace detail

inline std::array<std::string*, 2> InputRecord::sweepRangeTexts(int domain, bool inductionMotor) {
    return detail::sweepRangeTexts(*this, domain, inductionMotor);
}
inline std::array<const std::string*, 2> InputRecord::sweepRangeTexts(int domain,
                                                                      bool inductionMotor) const {
    return detail::sweepRangeTexts(*this, domain, inductionMotor);
}

/// The record the program starts with: the labels, the start values of every list and edit,
/// and the sample set "updated Workshop data" in the tables.
InputRecord startupRecord();

/// Index of text among items, or -1 when it matches none.
template <size_t N>
int itemIndex(const std::array<std::string_view, N>& items, std::string_view text) {
    for (size_t i = 0; i < N; ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace emforce
