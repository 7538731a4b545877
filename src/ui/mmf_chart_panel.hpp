// The chart of the MMF window with its six series and its axis-description selectors.
#pragma once

#include <QList>
#include <QWidget>
#include <array>

#include "run/mmf_chart.hpp"

class QChart;
class QChartView;
class QComboBox;
class QFrame;
class QPushButton;
class QValueAxis;
class QXYSeries;

namespace emforce {

class AxisTitleFit;
class SpectrumBars;

/// The MMF chart: stator and rotor spectrum bars over the harmonic order, current-density
/// points, and the two distributions over the electrical angle; on top of it, the selectors of
/// the axis titles and their font sizes (CB22, CB33, CB44, CB55 and Button66), hidden at start.
/// Every series holds its points with x the order or the angle; a bar series draws no line but
/// a bar from zero to each of its points.
class MmfChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit MmfChartPanel(QWidget* parent = nullptr);

    /// The view of the whole chart (Chart1), without the selectors on top of it.
    [[nodiscard]] QChartView& view() const { return *m_view; }
    [[nodiscard]] QChart& chart() const { return *m_chart; }
    /// The value axes, left and bottom; their titles start empty, and each redraw gives them
    /// the automatic titles of what it drew until the user chooses or empties them.
    [[nodiscard]] QValueAxis* leftAxis() const { return m_left; }
    [[nodiscard]] QValueAxis* bottomAxis() const { return m_bottom; }
    /// The title font size chosen for an axis; its title is drawn smaller only where it would
    /// not fit beside the plot.
    [[nodiscard]] int chosenTitleSize(const QValueAxis* axis) const;
    /// The chart's series in MmfSeries order: two bar series, two point series, two lines.
    [[nodiscard]] QXYSeries* series(MmfSeries s) const { return m_series[static_cast<size_t>(s)]; }
    /// The chart title as the last redraw set it, shown or not.
    [[nodiscard]] const QString& titleText() const { return m_title; }
    /// Button66, whose click the window handles.
    [[nodiscard]] QPushButton* acceptButton() const { return m_accept; }

    /// Empties every series, in series order.
    void clearSeries();
    /// Draws the series of a redraw, takes its title where it has one, and fits the axes.
    void showChart(const MmfChart& chart);

    /// CheckBox1: shows or hides the legend.
    void toggleLegend();
    /// CheckBox2: shows or hides the title.
    void toggleTitle();
    /// CheckBox3: inverts the visibility of the value marks of every series.
    void toggleMarks();
    /// "f": the next label font size of both axes, up to 30 and then 7 again; returns it.
    int stepLabelFont();
    /// "in": shows the axis-description selectors.
    void showAxisSelectors();
    /// Button66: in this order the left title's font size from CB44, the left title from CB22,
    /// the bottom title's font size from CB55 and the bottom title from CB33; then hides the
    /// selectors. A size that is not an integer throws CalcError with the conversion message;
    /// the steps before it keep their effect and the selectors stay.
    void acceptAxisDescriptions();
    /// "de": empties both axis titles.
    void clearAxisTitles();

private:
    void buildChart();
    void addSeries(QXYSeries* series);
    void addBars(QXYSeries* series, double width);
    QFrame* buildSelectors();
    void fitAxes();
    void redrawBars();
    void setTitleSize(QValueAxis* axis, int points);
    void showAutomaticTitles();

    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;
    QValueAxis* m_left = nullptr;
    QValueAxis* m_bottom = nullptr;
    std::array<QXYSeries*, kMmfSeriesCount> m_series{};
    QList<SpectrumBars*> m_bars;         // owned by the chart
    AxisTitleFit* m_titleFit = nullptr;  // owned by the chart
    QString m_title;
    bool m_titleShown = false;
    bool m_leftChosen = false;  // the user's title (or none) in place of the automatic one
    bool m_bottomChosen = false;
    QFrame* m_selectorFrame = nullptr;
    QComboBox* m_leftTitle = nullptr;
    QComboBox* m_bottomTitle = nullptr;
    QComboBox* m_leftSize = nullptr;
    QComboBox* m_bottomSize = nullptr;
    QPushButton* m_accept = nullptr;
};

}  // namespace emforce
