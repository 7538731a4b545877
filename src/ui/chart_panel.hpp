// The chart of the swept curves with its ten series, its axes and its axis-description selectors.
#pragma once

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "model/input_record.hpp"
#include "ui/axis_titles.hpp"

class QAbstractAxis;
class QCategoryAxis;
class QChart;
class QChartView;
class QComboBox;
class QFrame;
class QLabel;
class QLineSeries;
class QPainter;
class QPushButton;
class QValueAxis;
class QXYSeries;

namespace emforce {

class AxisTitleFit;
class CurveLegend;

/// The chart page: above the chart, the selectors of the axis titles and their font sizes; the
/// chart with a legend naming the shown curves, force or torque on the left axis and, beside
/// them, powers and function accuracies on axes of their own at the right. Points arrive one by
/// one; each series is kept sorted by x and shown in batches.
class ChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* parent = nullptr);

    /// The series of a curve slot, in the chart's fixed order.
    [[nodiscard]] QXYSeries* series(int slot) const;
    /// The view of the whole chart, without the selectors above it.
    [[nodiscard]] QChartView* view() const { return m_view; }
    /// The left axis: force or torque, or the first group shown when there is no such curve.
    [[nodiscard]] QValueAxis* leftAxis() const;
    [[nodiscard]] QValueAxis* bottomAxis() const;
    /// The title font size chosen for an axis; its title is drawn smaller only where it would
    /// not fit beside the plot.
    [[nodiscard]] int chosenTitleSize(const QAbstractAxis* axis) const;
    /// The vertical axis that shows a group, or nullptr while no curve of the group is shown.
    [[nodiscard]] QValueAxis* axisOf(CurveGroup group) const;
    /// The left-axis increment; 0 is automatic spacing.
    [[nodiscard]] double leftIncrement() const { return m_leftIncrement; }
    /// CB2 to CB5: left and bottom descriptions, left and bottom title font sizes.
    [[nodiscard]] std::array<QComboBox*, 4> axisSelectors() const { return m_selectors; }
    /// Whether the selectors are shown above the chart.
    [[nodiscard]] bool axisSelectorsShown() const;

    /// Empties the series of a slot at once.
    void clearSeries(int slot);
    /// Adds a point at its sorted place; it is shown with the next flush.
    void appendPoint(int slot, double x, double y);
    /// Shows every point added so far, fits the axes to them and names them in the legend.
    void flush();

    /// The curves from now on are those of a run of this kind; the automatic titles follow it.
    void setCurveContext(const CurveContext& context);
    /// The kind of run the curves come from; none before the first run.
    [[nodiscard]] std::optional<CurveContext> curveContext() const {
        return m_ran ? std::optional(m_context) : std::nullopt;
    }
    /// What the curves are drawn against, as the titles say (the start-up sweep before a run).
    [[nodiscard]] const CurveContext& shownContext() const { return m_context; }
    /// The points of every slot, as shown once flushed.
    [[nodiscard]] const std::array<QList<QPointF>, kCurveSlots>& curves() const { return m_points; }
    /// Shows these points and titles in place of what the chart shows.
    void showCurves(const std::array<QList<QPointF>, kCurveSlots>& curves,
                    const std::optional<CurveContext>& context);
    /// Titles as if chosen with the selectors, for curves of the run kind `of` (a parameter
    /// file's or record's own); an empty one is automatic. A title is shown only over curves
    /// of that kind, and one of the lists that names another variable or quantity never.
    void chooseAxisTitles(const QString& left, const QString& bottom, const CurveContext& of);

    /// "cl": empties every series.
    void clearAll();
    /// "in": shows the axis-description selectors.
    void showAxisSelectors();
    /// The window's first activation: shows the selectors unless they were shown before.
    void showAxisSelectorsOnce();
    /// Button6: takes the titles and their font sizes from the selectors, then hides them. An
    /// empty description gives the automatic title again.
    void acceptAxisDescriptions();
    /// "re": empties the axis titles.
    void removeAxisTitles();
    /// "f": the next label font size of every axis; returns it.
    int stepLabelFont();
    /// "In": the next left-axis increment; returns it.
    double stepLeftIncrement();
    /// "0": pins the left-axis minimum at 0, or frees it again; returns whether it is pinned.
    bool toggleZeroMinimum();
    /// "5": pins the left-axis maximum at 5, or frees it again; returns whether it is pinned.
    bool toggleMaximumFive();
    /// Shows or hides the legend (shown at start).
    void setLegendVisible(bool visible);
    [[nodiscard]] bool legendVisible() const;
    /// The curve titles the legend names, in slot order.
    [[nodiscard]] QStringList legendTitles() const;

    /// What the chart shows at a point of its view: the curve point nearest to it within a few
    /// pixels ("F/T Maxwell: speed n, 1/s = 25; 0,2984 N·m"), else the axis values there.
    [[nodiscard]] QString readoutAt(QPointF viewPoint) const;
    /// The read-out line under the chart.
    [[nodiscard]] QString readoutText() const;
    /// Zooms by `factor` (above 1 in) about a point of the view.
    void zoomAt(QPointF viewPoint, double factor);
    /// Fits the axes to every point again, after any zoom.
    void resetZoom();
    /// Ctrl+C: the chart as an image on the clipboard.
    void copyImage();

    /// Paints the whole chart into `target` of a picture: lines and texts as the chart draws
    /// them, the point markers as vector shapes.
    void paintPicture(QPainter& painter, const QRectF& target);

Q_SIGNALS:
    /// The shown points have changed.
    void pointsShown();
    /// A passing note for the status bar.
    void told(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildChart();
    void buildReadout();
    void showMarkers(size_t slot);
    QFrame* buildSelectors();
    void fitAxes();
    void assignAxes(const std::array<bool, kCurveGroups>& shown);
    void updateTitles();
    void showTitlesInSelectors(const QString& left, const QString& bottom);
    void updateLegend();
    void relabel(QCategoryAxis* axis);
    void fitRightMargin();
    /// The left tick spacing for a span: the chosen increment where it can be drawn.
    [[nodiscard]] double leftStep(double span) const;
    /// The most tick intervals whose labels fit beside each other on the left axis.
    [[nodiscard]] double leftTickRoom() const;

    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;
    CurveLegend* m_legend = nullptr;     // owned by the chart
    AxisTitleFit* m_titleFit = nullptr;  // owned by the chart
    QCategoryAxis* m_bottom = nullptr;
    std::array<QCategoryAxis*, kCurveGroups> m_vertical{};  // left, right, outer right
    std::array<int, kCurveGroups> m_position{};             // axis of each group
    std::array<int, kCurveGroups> m_groupAt{};              // group on each axis; -1 none
    std::array<QLineSeries*, kCurveSlots> m_series{};
    std::array<QLineSeries*, kCurveSlots> m_markers{};  // full-size markers on a line, or null
    std::array<QList<QPointF>, kCurveSlots> m_points;
    std::array<bool, kCurveSlots> m_pending{};
    QTimer m_flushTimer;
    QFrame* m_selectorFrame = nullptr;
    QLabel* m_readout = nullptr;
    QWidget* m_readoutRow = nullptr;  // over the chart's top margin
    double m_labelledHeight = 0;      // the plot height the left labels were spaced for
    std::array<QComboBox*, 4> m_selectors{};
    QPushButton* m_accept = nullptr;
    bool m_selectorsShownOnce = false;
    CurveContext m_context;                 // that of the start-up record before a run
    bool m_ran = false;                     // whether m_context is a run's
    std::optional<QString> m_chosenLeft;    // none: automatic
    std::optional<QString> m_chosenBottom;
    CurveContext m_chosenFor;  // the kind of curves the chosen titles are for
    bool m_rightTitles = true;
    double m_leftIncrement = 0;
    std::optional<double> m_fixedMin;
    std::optional<double> m_fixedMax;
};

}  // namespace emforce
