// The chart of the swept curves with its ten series and its axis-description selectors.
#pragma once

#include <QList>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "model/input_record.hpp"

class QChart;
class QChartView;
class QComboBox;
class QFrame;
class QPushButton;
class QValueAxis;
class QXYSeries;

namespace emforce {

/// The chart page: the chart and, on top of it, the selectors of the axis titles and their font
/// sizes. Points arrive one by one; each series is kept sorted by x and shown in batches.
class ChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* parent = nullptr);

    /// The series of a curve slot, in the chart's fixed order.
    [[nodiscard]] QXYSeries* series(int slot) const { return m_series[static_cast<size_t>(slot)]; }
    /// The view of the whole chart, without the selectors on top of it.
    [[nodiscard]] QChartView* view() const { return m_view; }
    [[nodiscard]] QValueAxis* leftAxis() const { return m_left; }
    [[nodiscard]] QValueAxis* bottomAxis() const { return m_bottom; }
    /// The left-axis increment; 0 is automatic spacing.
    [[nodiscard]] double leftIncrement() const { return m_leftIncrement; }
    /// CB2 to CB5: left and bottom descriptions, left and bottom title font sizes.
    [[nodiscard]] std::array<QComboBox*, 4> axisSelectors() const { return m_selectors; }

    /// Empties the series of a slot at once.
    void clearSeries(int slot);
    /// Adds a point at its sorted place; it is shown with the next flush.
    void appendPoint(int slot, double x, double y);
    /// Shows every point added so far and fits the axes to them.
    void flush();

    /// "cl": empties every series.
    void clearAll();
    /// "in", and every activation of the window: shows the axis-description selectors.
    void showAxisSelectors();
    /// Button6: takes the titles and their font sizes from the selectors, then hides them.
    void acceptAxisDescriptions();
    /// "re": empties both axis titles.
    void removeAxisTitles();
    /// "f": the next label font size of both axes; returns it.
    int stepLabelFont();
    /// "In": the next left-axis increment; returns it.
    double stepLeftIncrement();
    /// "0": pins the left-axis minimum at 0, or frees it again.
    void toggleZeroMinimum();
    /// "5": pins the left-axis maximum at 5, or frees it again.
    void toggleMaximumFive();

private:
    void buildChart();
    QFrame* buildSelectors();
    void fitAxes();
    /// The left tick spacing for a span: the desired increment where it is drawable.
    [[nodiscard]] double leftStep(double span) const;
    void onLeftRangeChanged();

    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;
    QValueAxis* m_left = nullptr;
    QValueAxis* m_bottom = nullptr;
    std::array<QXYSeries*, kCurveSlots> m_series{};
    std::array<QList<QPointF>, kCurveSlots> m_points;
    std::array<bool, kCurveSlots> m_pending{};
    QTimer m_flushTimer;
    QFrame* m_selectorFrame = nullptr;
    std::array<QComboBox*, 4> m_selectors{};
    QPushButton* m_accept = nullptr;
    double m_leftIncrement = 0;
    std::optional<double> m_fixedMin;
    std::optional<double> m_fixedMax;
};

}  // namespace emforce
