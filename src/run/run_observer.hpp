// The one interface through which a calculation run writes everything it produces.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace emforce {

/// The text fields a run writes besides its memos and status panels.
enum class ResultField {
    AverageBalance,   ///< average |TeL+TeM+TP-Te| / |Te|
    MaxBalance,       ///< maximum |TeL+TeM+TP-Te| / |Te|
    AverageCoenergy,  ///< average |TeC+TP-Te| / |Te|
    PowerFixed,       ///< average power balance error, fixed notation
    PowerExponent,    ///< the same value in exponent notation
    OdeResidual,      ///< relative residual of the layer equation
    Lambda,           ///< the layer order of the last harmonic solved
    BetaR,            ///< |β·R| of the last harmonic solved
};

/// Number of result fields.
inline constexpr int kResultFieldCount = 8;

/// The caption shown beside each result field, in ResultField order.
inline constexpr std::array<std::string_view, kResultFieldCount> kResultFieldCaptions = {
    "Average error of  |TeL+TeM+TP-Te| / |Te|   for F/T curves = ",
    "Max error of  |TeL+TeM+TP-Te| / |Te|   for F/T curves =",
    "Average error of  |TeC+TP-Te| / |Te|   for F/T curves = ",
    "Average error for Power curves /conductive region/ = ",
    "Average error for Power curves /conductive region/ =",
    "Error of Differential Eqn /conductive region/ =",
    " Lambda = ",
    " Modul( beta times R ) = "};

/// The text each result field holds before the first run, in ResultField order.
inline constexpr std::array<std::string_view, kResultFieldCount> kResultFieldStartTexts = {
    "average of  |TeL+TeM+TP-Te| / |Te|",
    "max of |TeL+TeM+TP-Te| / |Te|",
    "average of  |TeC+TP-Te| / |Te| ",
    "err=sum of |PS - PJoule - PAnis| / | PS|",
    "err=sum of |PS - PJoule - PAnis| / |PS|",
    "unknown",
    " Lambda = ",
    " Modul( beta times R ) = "};

/// Receives a run's outputs in the order the run produces them. Every call happens on the
/// thread that runs the calculation; a view that lives on another thread queues them in order.
///
/// Chart contract: the run appends points in computed order; keeping a series sorted by x is
/// the view's job (a chart shows it sorted, while curveX/curveY and the result vectors keep the
/// computed order).
class RunObserver {
public:
    virtual ~RunObserver() = default;

    /// The report memo: cleared at the start, then 14 lines.
    virtual void clearReport() = 0;
    virtual void appendReportLine(const std::string& line) = 0;
    /// The harmonic memo: cleared, then one line per harmonic of the range.
    virtual void clearHarmonics() = 0;
    virtual void appendHarmonicLine(const std::string& line) = 0;
    /// Status panel 0: the progress of the current curve.
    virtual void setProgressText(const std::string& text) = 0;
    /// Status panel 1: the start time, then the calculation time.
    virtual void setTimeText(const std::string& text) = 0;
    /// Chart series, addressed by curve slot 0..9.
    virtual void clearSeries(int slot) = 0;
    virtual void appendPoint(int slot, double x, double y) = 0;
    /// A curve of this slot starts: its series was cleared and up to `pointCount` points follow.
    virtual void curveStarted(int /*slot*/, int /*pointCount*/) {}
    /// A curve is complete: the view may repaint its chart.
    virtual void curveFinished(int slot) = 0;
    /// One of the result fields gets a new text (an empty text clears it).
    virtual void setField(ResultField field, const std::string& text) = 0;
    /// The layer question of a reading; true is Yes. A view without a user answers No.
    virtual bool ask(const std::string& question) = 0;
    /// The run was abandoned with this user message; what it wrote before stays.
    virtual void runAbandoned(const std::string& message) = 0;
};

}  // namespace emforce
