// The MMF chart: spectra and distributions of both MMF sheets, induced current densities.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run/calculation_run.hpp"
#include "model/input_record.hpp"
#include "model/parameter_reading.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

/// The chart's series, in its fixed order; the value is the series' position.
enum class MmfSeries : int {
    StatorBars = 0,          ///< stator MMF amplitude per order [A]
    OuterDensity = 1,        ///< layer current density at R, relative to the fundamental's
    InnerDensity = 2,        ///< layer current density at R − a, relative to the fundamental's
    RotorBars = 3,           ///< rotor MMF amplitude per order [A] (synchronous motor)
    StatorDistribution = 4,  ///< stator MMF over one electrical period
    RotorDistribution = 5,   ///< rotor MMF over one electrical period
};
/// Number of series of the chart.
inline constexpr int kMmfSeriesCount = 6;
/// Steps of a spatial distribution over one period; it has one point more.
inline constexpr int kMmfDistributionSteps = 10000;

/// Chart titles of the two modes.
inline constexpr std::string_view kMmfSpectrumTitle =
    "MMF [A] / CURRENT DENSITY [ratio of first harmonic] vs. HARMONICS ORDER for order +/-1, "
    "+/-3,..., +/-17";
inline constexpr std::string_view kMmfDistributionTitle =
    "MMF [A] / CURRENT DENSITY [ratio of first harmonic] vs. ELECTRICAL ANGLE";
/// The information message shown for each current-density box checked in the spatial mode.
inline constexpr std::string_view kUnderConstruction = "Under construction";

/// The window's choices before a redraw: the mode and the check marks of the curve boxes.
struct MmfChartOptions {
    bool spectrum = false;      ///< harmonic spectrum; otherwise spatial distribution
    bool statorMmf = true;      ///< stator (rail) MMF
    bool outerDensity = false;  ///< current density on the outer layer surface (induction)
    bool innerDensity = false;  ///< current density on the inner layer surface (induction)
    bool rotorMmf = false;      ///< rotor (carriage) MMF (synchronous)
};

/// One check box of the window.
struct CheckBoxState {
    bool enabled = true;
    bool checked = false;

    friend bool operator==(const CheckBoxState&, const CheckBoxState&) = default;
};

/// The three motor-specific curve boxes as a redraw leaves them.
struct MmfCurveBoxes {
    CheckBoxState outerDensity;
    CheckBoxState innerDensity;
    CheckBoxState rotorMmf;
};

/// One chart point: the order or the electrical angle, and the value.
struct ChartPoint {
    double x = 0;
    double y = 0;
};

/// Everything a redraw puts on the window, in the order it was produced.
struct MmfChart {
    /// Points of each series in MmfSeries order, in computed order.
    std::array<std::vector<ChartPoint>, kMmfSeriesCount> series;
    /// The chart title; none if the drawing stopped before it (the chart keeps its old title).
    std::optional<std::string> title;
    /// The new box states; none if the drawing stopped before the reading had finished and
    /// the boxes keep their old states.
    std::optional<MmfCurveBoxes> boxes;
    /// How many times kUnderConstruction is shown, after the stator distribution and before
    /// the rotor distribution.
    int underConstructionMessages = 0;

    /// The points of one series.
    [[nodiscard]] const std::vector<ChartPoint>& points(MmfSeries s) const {
        return series[static_cast<size_t>(s)];
    }
};

/// A redraw abandoned by a conversion error, a refusal of the reading or a floating-point
/// fault. what() is the message for the user; partial() is the chart as far as it was drawn.
class MmfChartError : public CalcError {
public:
    /// The user message and the chart drawn before the failure.
    MmfChartError(const std::string& message, MmfChart partial)
        : CalcError(message), m_partial(std::move(partial)) {}

    /// The chart as far as it was drawn.
    [[nodiscard]] const MmfChart& partial() const { return m_partial; }

private:
    MmfChart m_partial;
};

/// Redraws the MMF chart: a full parameter reading on the motor object of the record's kind
/// (with the copy of the R text into the x cell and the layer question), for the induction
/// motor the fundamental's current density J1 at R, then the series of the chosen mode. The
/// synchronous motor unchecks and disables both current-density boxes and enables the rotor
/// box; the induction motor enables the current-density boxes and disables the rotor box,
/// which keeps its check mark (and in the spatial mode still draws). The induction motor's
/// display texts are left at the last harmonic solved.
///
/// Throws MmfChartError carrying the partial chart: the caller shows the message, keeps the
/// chart cleared and then filled with the partial series (and the title and box states where
/// present), and does not show the window. ExitRequested (the layer question answered Yes)
/// passes to the caller.
MmfChart computeMmfChart(Model& model, InputRecord& record, const MmfChartOptions& options,
                         const QuestionCallback& ask);

}  // namespace emforce
