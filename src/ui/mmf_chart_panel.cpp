// The chart of the MMF window with its six series and its axis-description selectors.
#include "ui/mmf_chart_panel.hpp"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFrame>
#include <QGraphicsItem>
#include <QGridLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <limits>

#include "model/number_format.hpp"
#include "ui/axis_arithmetic.hpp"
#include "ui/axis_title_fit.hpp"

namespace emforce {

namespace {

constexpr int kLargestLabelFont = 30;
constexpr int kLeftDecimals = 4;
constexpr int kBottomDecimals = 5;
// Bars are 20 % and 15 % of the distance between two odd orders wide.
constexpr double kStatorBarWidth = 0.4;
constexpr double kRotorBarWidth = 0.3;

QFont chartFont(const char* family, QFont::StyleHint hint, int points) {
    QFont font(family, points);
    font.setStyleHint(hint);
    return font;
}

// The points of a bar series, which draw no line; SpectrumBars draws their bars.
QLineSeries* makeBarPoints(const QString& title, const QColor& colour) {
    auto* points = new QLineSeries;
    points->setName(title);
    QPen pen(colour);
    pen.setStyle(Qt::NoPen);
    points->setPen(pen);
    return points;
}

QScatterSeries* makePoints(const QString& title, const QColor& colour) {
    auto* points = new QScatterSeries;
    points->setName(title);
    points->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    points->setMarkerSize(5);  // 2 pixels around the point
    points->setColor(colour);
    points->setBorderColor(Qt::black);
    return points;
}

QLineSeries* makeLine(const QString& title, const QColor& colour) {
    auto* line = new QLineSeries;
    line->setName(title);
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    line->setPen(pen);
    return line;
}

void applyTicks(QValueAxis* axis, double anchor, double step, int maxDecimals) {
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(anchor);
    axis->setTickInterval(step);
    axis->setLabelFormat(QString("%.%1f").arg(labelDecimals(step, maxDecimals)));
}

// Range and tick spacing change in the order that keeps the number of ticks between the old and
// the new one: a small spacing on a wide range would lay out a great many labels.
void setRangeAndTicks(QValueAxis* axis, double minimum, double maximum, double anchor, double step,
                      int maxDecimals) {
    const bool widening = maximum - minimum > axis->max() - axis->min();
    if (widening) applyTicks(axis, anchor, step, maxDecimals);
    axis->setRange(minimum, maximum);
    if (!widening) applyTicks(axis, anchor, step, maxDecimals);
}

QComboBox* makeSelector(const char* name, const QStringList& items, const QString& text) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    return box;
}

int sizeFrom(const QComboBox* box) { return toInteger(box->currentText().toStdString()); }

}  // namespace

/// The bars of one series, drawn under the chart's series: a rectangle from zero to each point,
/// centred on its order. (Qt's bar series place bars by category index and set the bars of
/// several series side by side, so they cannot stand at a numeric order.)
class SpectrumBars : public QGraphicsItem {
public:
    SpectrumBars(QChart* chart, QXYSeries* series, double width)
        : QGraphicsItem(chart), m_chart(chart), m_series(series), m_halfWidth(width / 2) {
        setZValue(kBelowSeries);
    }

    [[nodiscard]] QRectF boundingRect() const override { return m_chart->plotArea(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setClipRect(m_chart->plotArea());
        painter->setPen(Qt::NoPen);
        painter->setBrush(m_series->pen().color());
        const QList<QPointF> points = m_series->points();
        for (const QPointF& p : points) {
            const QPointF base = m_chart->mapToPosition({p.x() - m_halfWidth, 0}, m_series);
            const QPointF top = m_chart->mapToPosition({p.x() + m_halfWidth, p.y()}, m_series);
            painter->drawRect(QRectF(base, top).normalized());
        }
    }

    /// Follows a change of the plot area, the axes or the points.
    void refresh() {
        prepareGeometryChange();
        update();
    }

private:
    // Above the grid lines and the axes, below the lines and points of the series.
    static constexpr double kBelowSeries = 3.5;

    QChart* m_chart;
    QXYSeries* m_series;
    double m_halfWidth;
};

MmfChartPanel::MmfChartPanel(QWidget* parent) : QWidget(parent) {
    buildChart();
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 0, 0);
    layout->addWidget(buildSelectors(), 0, 0, Qt::AlignTop | Qt::AlignHCenter);
    m_selectorFrame->raise();
}

void MmfChartPanel::buildChart() {
    m_chart = new QChart;
    m_chart->setBackgroundBrush(Qt::white);
    m_chart->setMargins(QMargins(8, 4, 8, 4));  // room for the long spectrum title
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->hide();
    m_chart->setTitleFont(chartFont("Times New Roman", QFont::Serif, 9));
    m_chart->setTitleBrush(QColor(0, 0, 255));
    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(decimalSeparator() == ','
                           ? QLocale(QLocale::Polish, QLocale::Poland)
                           : QLocale(QLocale::English, QLocale::UnitedStates));

    m_bottom = new QValueAxis;
    m_left = new QValueAxis;
    for (QValueAxis* axis : {m_bottom, m_left}) {
        axis->setLabelsFont(chartFont("Arial", QFont::SansSerif, 12));
        axis->setTitleFont(chartFont("Times New Roman", QFont::Serif, 13));
    }
    m_chart->addAxis(m_bottom, Qt::AlignBottom);
    m_chart->addAxis(m_left, Qt::AlignLeft);
    m_titleFit = new AxisTitleFit(*m_chart);
    m_titleFit->watch(m_bottom);
    m_titleFit->watch(m_left);

    addBars(makeBarPoints("Rail / Stator MMF", Qt::red), kStatorBarWidth);
    addSeries(makePoints("Carriage / Rotor current density outer surface", QColor(0, 255, 0)));
    addSeries(makePoints("Carriage / Rotor current density inner layer", QColor(255, 255, 0)));
    addBars(makeBarPoints("Carriage / Rotor MMF", Qt::blue), kRotorBarWidth);
    addSeries(makeLine("Rail / Stator MMF", Qt::black));
    addSeries(makeLine("Carriage / Rotor MMF for synchronous motor", QColor(128, 128, 128)));

    setRangeAndTicks(m_bottom, -4, 4, 0, 1, kBottomDecimals);
    setRangeAndTicks(m_left, -1, 1, 0, 0.25, kLeftDecimals);
    connect(m_chart, &QChart::plotAreaChanged, this, &MmfChartPanel::redrawBars);
    connect(m_bottom, &QValueAxis::rangeChanged, this, &MmfChartPanel::redrawBars);
    connect(m_left, &QValueAxis::rangeChanged, this, &MmfChartPanel::redrawBars);

    m_view = new QChartView(m_chart);
    m_view->setObjectName("Chart1");
    m_view->setRenderHint(QPainter::Antialiasing);
    // Marks reach beyond their series' bounds: a partial repaint would leave pieces of them on
    // the screen when they are hidden.
    m_view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
}

void MmfChartPanel::addSeries(QXYSeries* series) {
    m_series[static_cast<size_t>(m_chart->series().size())] = series;
    m_chart->addSeries(series);
    series->setPointLabelsFormat("@yPoint");
    series->attachAxis(m_bottom);
    series->attachAxis(m_left);
}

void MmfChartPanel::addBars(QXYSeries* series, double width) {
    addSeries(series);
    m_bars.append(new SpectrumBars(m_chart, series, width));
}

QFrame* MmfChartPanel::buildSelectors() {
    const QStringList sizes = {"10", "11", "12", "13", "14", "15", "16",
                               "17", "18", "19", "20", "25", "30", "35"};
    m_leftTitle = makeSelector("CB22", {QString::fromUtf8("Przepływ uzwojenia [A]")},
                               "choose the description for LEFT axis");
    m_leftSize = makeSelector("CB44", sizes, "chosse font size / 13 pt default");
    m_bottomTitle = makeSelector(
        "CB33",
        {QString::fromUtf8("rząd harmonicznej"), QString::fromUtf8("kąt elektryczny [rad]")},
        "choose the description for BOTTOM axis");
    m_bottomSize = makeSelector("CB55", sizes, "chosse font size / 13 pt default");
    m_accept = new QPushButton("accept the description for LEFT and BOTTOM axes");
    m_accept->setObjectName("Button66");

    m_selectorFrame = new QFrame;
    m_selectorFrame->setObjectName("AxisDescriptions");
    m_selectorFrame->setFrameShape(QFrame::StyledPanel);
    m_selectorFrame->setAutoFillBackground(true);
    auto* grid = new QGridLayout(m_selectorFrame);
    grid->addWidget(m_leftTitle, 0, 0);
    grid->addWidget(m_leftSize, 0, 1);
    grid->addWidget(m_accept, 1, 0, 1, 2);
    grid->addWidget(m_bottomTitle, 2, 0);
    grid->addWidget(m_bottomSize, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    m_selectorFrame->hide();
    return m_selectorFrame;
}

int MmfChartPanel::chosenTitleSize(const QValueAxis* axis) const {
    return m_titleFit->chosenSize(axis);
}

void MmfChartPanel::clearSeries() {
    for (QXYSeries* series : m_series) series->clear();
    redrawBars();
}

void MmfChartPanel::showChart(const MmfChart& chart) {
    for (size_t s = 0; s < m_series.size(); ++s) {
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(chart.series[s].size()));
        for (const ChartPoint& p : chart.series[s]) points.append(QPointF(p.x, p.y));
        m_series[s]->replace(points);  // one repaint for all points
        // Six long titles do not fit one legend row: it names the series that were drawn.
        for (QLegendMarker* marker : m_chart->legend()->markers(m_series[s]))
            marker->setVisible(!points.isEmpty());
    }
    if (chart.title) {
        m_title = QString::fromStdString(*chart.title);
        m_chart->setTitle(m_titleShown ? m_title : QString());
    }
    fitAxes();
    showAutomaticTitles();
    redrawBars();
}

// What was drawn, with its unit: orders or the electrical angle against MMF or the current
// density relative to that of the first harmonic.
void MmfChartPanel::showAutomaticTitles() {
    const auto drawn = [this](MmfSeries s) { return series(s)->count() > 0; };
    const bool mmf = drawn(MmfSeries::StatorBars) || drawn(MmfSeries::RotorBars) ||
                     drawn(MmfSeries::StatorDistribution) || drawn(MmfSeries::RotorDistribution);
    const bool density = drawn(MmfSeries::OuterDensity) || drawn(MmfSeries::InnerDensity);
    const bool spectrum = density || drawn(MmfSeries::StatorBars) || drawn(MmfSeries::RotorBars);
    if (!m_bottomChosen)
        m_titleFit->setTitle(m_bottom, spectrum ? "harmonic order  h, -"
                                                : QString::fromUtf8("electrical angle  φ, rad"));
    if (m_leftChosen) return;
    QStringList left;
    if (mmf) left << "MMF  F, A";
    if (density) left << "current density  J/J1, -";
    m_titleFit->setTitle(m_left, left.join("   |   "));
}

void MmfChartPanel::redrawBars() {
    for (SpectrumBars* bars : m_bars) bars->refresh();
}

void MmfChartPanel::fitAxes() {
    constexpr double inf = std::numeric_limits<double>::infinity();
    double xMin = inf, xMax = -inf, yMin = inf, yMax = -inf;
    for (const QXYSeries* s : m_series) {
        const QList<QPointF> points = s->points();
        for (const QPointF& p : points) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    if (xMin > xMax) return;  // nothing drawn: the axes stay as they were
    const auto drawn = [this](MmfSeries s) { return series(s)->count() > 0; };
    const bool bars = drawn(MmfSeries::StatorBars) || drawn(MmfSeries::RotorBars);
    if (bars) {  // bars stand on zero
        yMin = std::min(yMin, 0.0);
        yMax = std::max(yMax, 0.0);
    }
    if (bars || drawn(MmfSeries::OuterDensity) || drawn(MmfSeries::InnerDensity)) {
        // One tick per odd order, with room for the outer bars.
        setRangeAndTicks(m_bottom, xMin - 1, xMax + 1, 1, 2, kBottomDecimals);
    } else {
        const AxisRange bottom = automaticRange(xMin, xMax, std::nullopt, std::nullopt);
        setRangeAndTicks(m_bottom, bottom.minimum, bottom.maximum, 0, bottom.step, kBottomDecimals);
    }
    const AxisRange left = automaticRange(yMin, yMax, std::nullopt, std::nullopt);
    setRangeAndTicks(m_left, left.minimum, left.maximum, 0, left.step, kLeftDecimals);
}

void MmfChartPanel::toggleLegend() {
    m_chart->legend()->setVisible(!m_chart->legend()->isVisible());
}

void MmfChartPanel::toggleTitle() {
    m_titleShown = !m_titleShown;
    m_chart->setTitle(m_titleShown ? m_title : QString());
}

void MmfChartPanel::toggleMarks() {
    for (QXYSeries* s : m_series) s->setPointLabelsVisible(!s->pointLabelsVisible());
}

int MmfChartPanel::stepLabelFont() {
    const int size = nextLabelFontSize(m_left->labelsFont().pointSize(), kLargestLabelFont);
    for (QValueAxis* axis : {m_left, m_bottom}) {
        QFont font = axis->labelsFont();
        font.setPointSize(size);
        axis->setLabelsFont(font);
    }
    return size;
}

void MmfChartPanel::showAxisSelectors() { m_selectorFrame->show(); }

// A size below one point cannot be drawn: the title keeps its size then.
void MmfChartPanel::setTitleSize(QValueAxis* axis, int points) {
    if (points >= 1) m_titleFit->choose(axis, points);
}

void MmfChartPanel::acceptAxisDescriptions() {
    setTitleSize(m_left, sizeFrom(m_leftSize));
    m_titleFit->setTitle(m_left, m_leftTitle->currentText());
    m_leftChosen = true;
    setTitleSize(m_bottom, sizeFrom(m_bottomSize));
    m_titleFit->setTitle(m_bottom, m_bottomTitle->currentText());
    m_bottomChosen = true;
    m_selectorFrame->hide();
}

void MmfChartPanel::clearAxisTitles() {
    m_leftChosen = m_bottomChosen = true;
    m_titleFit->setTitle(m_left, QString());
    m_titleFit->setTitle(m_bottom, QString());
}

}  // namespace emforce
