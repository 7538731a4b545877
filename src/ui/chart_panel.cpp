// The chart of the swept curves with its ten series, its axes and its axis-description selectors.
#include "ui/chart_panel.hpp"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "model/number_format.hpp"
#include "run/calculation_run.hpp"
#include "ui/axis_arithmetic.hpp"
#include "ui/axis_title_fit.hpp"
#include "ui/chart_series.hpp"
#include "ui/curve_legend.hpp"

namespace emforce {

namespace {

constexpr int kFlushIntervalMs = 250;
constexpr int kVerticalDecimals = 4;  // "#,##0.####"
constexpr int kBottomDecimals = 5;    // "#,##0.#####"
// The height a tick label of the left axis needs, in label lines, so that labels never crowd.
constexpr double kLabelPitch = 1.8;
// The titles of the chart before its first run.
const char* const kStartBottomTitle = "prędkość obrotowa n [obr/s]";
const char* const kStartLeftTitle = "Moment elektromagnetyczny T [N·m]";

QFont labelFont() {
    QFont font("Arial", 12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont titleFont() {
    QFont font("Times New Roman", 14);
    font.setStyleHint(QFont::Serif);
    return font;
}

// A value axis whose tick labels the chart panel writes itself: a label of its own at each tick,
// so that a tick at zero always reads "0", never "-0,0" from a running sum of the spacing.
QCategoryAxis* makeAxis() {
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setLabelsFont(labelFont());
    axis->setTitleFont(titleFont());
    axis->setMinorTickCount(0);
    return axis;
}

QComboBox* makeSelector(const char* name, const auto& items, int start, const QString& hint) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view item : items)
        box->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    box->setCurrentIndex(start);
    box->setToolTip(hint);
    return box;
}

void setLabelSize(QAbstractAxis* axis, int points) {
    QFont font = axis->labelsFont();
    font.setPointSize(points);
    axis->setLabelsFont(font);
}

}  // namespace

ChartPanel::ChartPanel(QWidget* parent) : QWidget(parent) {
    buildChart();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    // Above the chart, never over it: the plot keeps every point visible while choosing.
    layout->addWidget(buildSelectors());
    layout->addWidget(m_view, 1);

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &ChartPanel::flush);
}

void ChartPanel::buildChart() {
    m_chart = new QChart;
    m_chart->setBackgroundBrush(Qt::white);
    m_chart->setBackgroundRoundness(0);
    // Narrow margins leave the plot its height on small screens; the legend adds its rows.
    m_chart->setMargins(QMargins(8, 8, 8, 4));
    m_chart->setLocalizeNumbers(true);
    // The chart's own legend would cut the titles of ten curves short, or take half the width
    // beside the plot: the curves' legend wraps its rows under the axes instead.
    m_chart->legend()->hide();
    m_legend = new CurveLegend(m_chart);
    connect(m_chart, &QChart::geometryChanged, this, [this] { m_legend->relayout(); });
    m_bottom = makeAxis();
    m_chart->addAxis(m_bottom, Qt::AlignBottom);
    for (size_t p = 0; p < m_vertical.size(); ++p) {
        m_vertical[p] = makeAxis();
        m_chart->addAxis(m_vertical[p], p == 0 ? Qt::AlignLeft : Qt::AlignRight);
        // One grid is enough; the axes at the right only label their own curves.
        m_vertical[p]->setGridLineVisible(p == 0);
        m_vertical[p]->setVisible(p == 0);
        m_vertical[p]->setRange(0, 1);
    }
    m_bottom->setRange(0, 50);
    m_groupAt = {static_cast<int>(CurveGroup::ForceTorque), -1, -1};
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        const auto s = static_cast<size_t>(slot);
        m_series[s] = makeLineSeries(slot);
        m_series[s]->setName(QString::fromUtf8(kSeriesTitles[s].data(),
                                               static_cast<qsizetype>(kSeriesTitles[s].size())));
        m_markers[s] = makeMarkerSeries(slot);
    }
    // The ten curve series come first, in slot order; the marker series follow them.
    for (QLineSeries* series : m_series) m_chart->addSeries(series);
    for (QLineSeries* series : m_markers)
        if (series) m_chart->addSeries(series);
    for (int slot = 0; slot < kCurveSlots; ++slot)
        for (QLineSeries* series : {m_series[size_t(slot)], m_markers[size_t(slot)]})
            if (series) {
                series->attachAxis(m_bottom);
                series->attachAxis(m_vertical[0]);
            }
    m_titleFit = new AxisTitleFit(*m_chart);
    for (QCategoryAxis* axis : {m_bottom, m_vertical[0], m_vertical[1], m_vertical[2]}) {
        connect(axis, &QValueAxis::rangeChanged, this, [this, axis] { relabel(axis); });
        m_titleFit->watch(axis);
    }
    relabel(m_bottom);
    relabel(m_vertical[0]);
    updateTitles();
    updateLegend();

    m_view = new QChartView(m_chart);
    m_view->setObjectName("Chart1");
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setRubberBand(QChartView::RectangleRubberBand);
    // Titles, tick labels and legend change size with their texts: a partial repaint would leave
    // pieces of the old ones on the screen.
    m_view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
}

QFrame* ChartPanel::buildSelectors() {
    m_selectorFrame = new QFrame;
    m_selectorFrame->setObjectName("AxisDescriptions");
    m_selectorFrame->setFrameShape(QFrame::StyledPanel);
    m_selectors = {makeSelector("CB2", kLeftAxisItems, 0,
                                "Left-axis description; an empty one gives the automatic title"),
                   makeSelector("CB3", kBottomAxisItems, 0,
                                "Bottom-axis description; an empty one gives the automatic title"),
                   makeSelector("CB4", kFontSizeItems, 4, "Left-axis title font size"),
                   makeSelector("CB5", kFontSizeItems, 4, "Bottom-axis title font size")};
    m_accept = new QPushButton(
        "chose and accept the descriptions for LEFT and BOTTOM axes and FONTS sizes (default = "
        "14 pt) ");
    m_accept->setObjectName("Button6");
    connect(m_accept, &QPushButton::clicked, this, &ChartPanel::acceptAxisDescriptions);

    auto* grid = new QGridLayout(m_selectorFrame);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->addWidget(m_selectors[0], 0, 0);
    grid->addWidget(m_selectors[2], 0, 1);
    grid->addWidget(m_selectors[1], 0, 2);
    grid->addWidget(m_selectors[3], 0, 3);
    grid->addWidget(m_accept, 1, 0, 1, 4);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(2, 3);
    m_selectorFrame->hide();
    return m_selectorFrame;
}

QXYSeries* ChartPanel::series(int slot) const { return m_series[static_cast<size_t>(slot)]; }

QValueAxis* ChartPanel::leftAxis() const { return m_vertical[0]; }

QValueAxis* ChartPanel::bottomAxis() const { return m_bottom; }

int ChartPanel::chosenTitleSize(const QAbstractAxis* axis) const {
    return m_titleFit->chosenSize(axis);
}

QValueAxis* ChartPanel::axisOf(CurveGroup group) const {
    for (size_t p = 0; p < m_groupAt.size(); ++p)
        if (m_groupAt[p] == static_cast<int>(group) && m_vertical[p]->isVisible())
            return m_vertical[p];
    return nullptr;
}

bool ChartPanel::axisSelectorsShown() const { return m_selectorFrame->isVisibleTo(this); }

void ChartPanel::clearSeries(int slot) {
    const auto s = static_cast<size_t>(slot);
    m_points[s].clear();
    m_pending[s] = false;
    m_series[s]->clear();
    if (m_markers[s]) m_markers[s]->clear();
    updateLegend();
}

void ChartPanel::appendPoint(int slot, double x, double y) {
    QList<QPointF>& points = m_points[static_cast<size_t>(slot)];
    const auto place =
        std::upper_bound(points.begin(), points.end(), x,
                         [](double value, const QPointF& p) { return value < p.x(); });
    points.insert(place, QPointF(x, y));
    m_pending[static_cast<size_t>(slot)] = true;
    if (!m_flushTimer.isActive()) m_flushTimer.start();
}

void ChartPanel::flush() {
    m_flushTimer.stop();
    QElapsedTimer drawing;
    drawing.start();
    bool changed = false;
    for (size_t s = 0; s < m_points.size(); ++s) {
        if (!m_pending[s]) continue;
        m_series[s]->replace(m_points[s]);
        if (m_markers[s]) m_markers[s]->replace(m_points[s]);
        m_pending[s] = false;
        changed = true;
    }
    if (!changed) return;
    fitAxes();
    updateLegend();
    // The window redraws at most a tenth of the time: a chart of many points that takes long to
    // draw is redrawn less often while a run goes on, so the window never slows the run down.
    m_flushTimer.setInterval(
        std::max<int>(kFlushIntervalMs, static_cast<int>(10 * drawing.elapsed())));
}

void ChartPanel::fitAxes() {
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Bounds {
        double lo = inf, hi = -inf;
        void add(double v) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    };
    Bounds x;
    std::array<Bounds, kCurveGroups> y;
    std::array<bool, kCurveGroups> shown{};
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        const auto g = static_cast<size_t>(curveGroup(slot));
        for (const QPointF& p : m_points[static_cast<size_t>(slot)]) {
            x.add(p.x());
            y[g].add(p.y());
            shown[g] = true;
        }
    }
    assignAxes(shown);
    updateTitles();
    if (x.lo > x.hi) return;  // no points: the axes keep what they show
    const AxisRange bottom = automaticRange(x.lo, x.hi, std::nullopt, std::nullopt);
    m_bottom->setRange(bottom.minimum, bottom.maximum);
    for (size_t p = 0; p < m_vertical.size(); ++p) {
        if (m_groupAt[p] < 0) continue;
        const Bounds& b = y[static_cast<size_t>(m_groupAt[p])];
        const bool left = p == 0;
        const AxisRange range = automaticRange(b.lo, b.hi, left ? m_fixedMin : std::nullopt,
                                               left ? m_fixedMax : std::nullopt);
        m_vertical[p]->setRange(range.minimum, range.maximum);
        relabel(m_vertical[p]);
    }
}

// The groups with points take the axes in order: force or torque on the left when shown.
void ChartPanel::assignAxes(const std::array<bool, kCurveGroups>& shown) {
    std::array<int, kCurveGroups> groupAt = {-1, -1, -1};
    size_t next = 0;
    for (int g = 0; g < kCurveGroups; ++g)
        if (shown[static_cast<size_t>(g)]) groupAt[next++] = g;
    if (next == 0) groupAt[0] = static_cast<int>(CurveGroup::ForceTorque);
    std::array<int, kCurveGroups> position{};  // a group without points stays on the left
    for (size_t p = 0; p < groupAt.size(); ++p)
        if (groupAt[p] >= 0) position[static_cast<size_t>(groupAt[p])] = static_cast<int>(p);
    for (size_t p = 0; p < m_vertical.size(); ++p) m_vertical[p]->setVisible(groupAt[p] >= 0);
    m_groupAt = groupAt;
    if (position == m_position) return;
    m_position = position;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        QCategoryAxis* axis =
            m_vertical[static_cast<size_t>(m_position[static_cast<size_t>(curveGroup(slot))])];
        for (QLineSeries* series : {m_series[size_t(slot)], m_markers[size_t(slot)]}) {
            if (!series || series->attachedAxes().contains(axis)) continue;
            for (QCategoryAxis* old : m_vertical)
                if (series->attachedAxes().contains(old)) series->detachAxis(old);
            series->attachAxis(axis);
        }
    }
}

void ChartPanel::updateTitles() {
    const Geometry geometry = m_context ? m_context->geometry : Geometry::Spherical;
    const auto leftGroup = static_cast<CurveGroup>(m_groupAt[0]);
    const QString autoLeft = !m_context && leftGroup == CurveGroup::ForceTorque
                                 ? QString::fromUtf8(kStartLeftTitle)
                                 : groupAxisTitle(leftGroup, geometry);
    const QString autoBottom =
        m_context ? bottomAxisTitle(*m_context) : QString::fromUtf8(kStartBottomTitle);
    m_titleFit->setTitle(m_vertical[0], m_chosenLeft.value_or(autoLeft));
    m_titleFit->setTitle(m_bottom, m_chosenBottom.value_or(autoBottom));
    for (size_t p = 1; p < m_vertical.size(); ++p) {
        const bool titled = m_rightTitles && m_groupAt[p] >= 0;
        const auto group = static_cast<CurveGroup>(m_groupAt[p]);
        m_titleFit->setTitle(m_vertical[p], titled ? groupAxisTitle(group, geometry) : QString());
    }
}

void ChartPanel::updateLegend() {
    QList<int> shown;
    for (int slot = 0; slot < kCurveSlots; ++slot)
        if (!m_points[static_cast<size_t>(slot)].isEmpty() || m_series[size_t(slot)]->count() > 0)
            shown << slot;
    m_legend->setSlots(shown);
}

void ChartPanel::relabel(QCategoryAxis* axis) {
    const double span = axis->max() - axis->min();
    if (!(span > 0)) return;
    const bool bottom = axis == m_bottom;
    const double step = axis == m_vertical[0] ? leftStep(span) : niceStep(span);
    const std::vector<AxisTick> ticks =
        axisTicks(axis->min(), axis->max(), step, bottom ? kBottomDecimals : kVerticalDecimals);
    const QStringList old = axis->categoriesLabels();
    for (const QString& label : old) axis->remove(label);
    axis->setStartValue(axis->min() - step);
    for (const AxisTick& tick : ticks) axis->append(QString::fromStdString(tick.text), tick.value);
}

double ChartPanel::leftStep(double span) const {
    const bool drawable =
        m_leftIncrement > 0 && span / m_leftIncrement <= std::max(leftTickRoom(), 2.0);
    return drawable ? m_leftIncrement : niceStep(span);
}

double ChartPanel::leftTickRoom() const {
    double height = m_chart->plotArea().height();
    if (!(height > 0)) height = 300;  // before the first layout
    return height / (kLabelPitch * QFontMetricsF(m_vertical[0]->labelsFont()).height());
}

void ChartPanel::setCurveContext(const CurveContext& context) {
    m_context = context;
    updateTitles();
}

void ChartPanel::chooseAxisTitles(const QString& left, const QString& bottom) {
    m_chosenLeft = left.isEmpty() ? std::nullopt : std::optional(left);
    m_chosenBottom = bottom.isEmpty() ? std::nullopt : std::optional(bottom);
    m_rightTitles = true;
    updateTitles();
}

void ChartPanel::clearAll() {
    for (int slot = 0; slot < kCurveSlots; ++slot) clearSeries(slot);
}

void ChartPanel::showAxisSelectors() {
    m_selectorsShownOnce = true;
    m_selectorFrame->show();
}

void ChartPanel::showAxisSelectorsOnce() {
    if (!m_selectorsShownOnce) showAxisSelectors();
}

void ChartPanel::acceptAxisDescriptions() {
    chooseAxisTitles(m_selectors[0]->currentText(), m_selectors[1]->currentText());
    const auto [left, bottom] = titleFontSizes(m_selectors[2]->currentText().toStdString(),
                                               m_selectors[3]->currentText().toStdString());
    for (QCategoryAxis* axis : m_vertical) m_titleFit->choose(axis, left);
    m_titleFit->choose(m_bottom, bottom);
    m_selectorFrame->hide();
}

void ChartPanel::removeAxisTitles() {
    m_chosenLeft = QString();
    m_chosenBottom = QString();
    m_rightTitles = false;
    updateTitles();
}

int ChartPanel::stepLabelFont() {
    const int size = nextLabelFontSize(m_vertical[0]->labelsFont().pointSize());
    for (QCategoryAxis* axis : {m_bottom, m_vertical[0], m_vertical[1], m_vertical[2]})
        setLabelSize(axis, size);
    return size;
}

double ChartPanel::stepLeftIncrement() {
    QValueAxis* left = m_vertical[0];
    m_leftIncrement = nextIncrement(left->max() - left->min(), m_leftIncrement, leftTickRoom());
    relabel(m_vertical[0]);
    return m_leftIncrement;
}

bool ChartPanel::toggleZeroMinimum() {
    m_fixedMin = m_fixedMin ? std::nullopt : std::optional<double>(0.0);
    fitAxes();
    return m_fixedMin.has_value();
}

bool ChartPanel::toggleMaximumFive() {
    m_fixedMax = m_fixedMax ? std::nullopt : std::optional<double>(5.0);
    fitAxes();
    return m_fixedMax.has_value();
}

void ChartPanel::setLegendVisible(bool visible) {
    m_legend->setVisible(visible);
    m_legend->relayout();
}

bool ChartPanel::legendVisible() const { return m_legend->isVisible(); }

QStringList ChartPanel::legendTitles() const { return m_legend->titles(); }

void ChartPanel::paintPicture(QPainter& painter, const QRectF& target) {
    // Stamped marker images would land in a vector picture as one bitmap each: the chart is
    // drawn without them, and the markers are painted as shapes over it.
    std::vector<std::pair<int, QLineSeries*>> stamped;
    std::vector<QImage> images;
    for (int slot = 0; slot < kCurveSlots; ++slot)
        for (QLineSeries* series : {m_series[size_t(slot)], m_markers[size_t(slot)]})
            if (series && !series->lightMarker().isNull()) {
                stamped.emplace_back(slot, series);
                images.push_back(series->lightMarker());
                series->setLightMarker(QImage());
            }
    const QRect source = m_view->viewport()->rect();
    m_view->render(&painter, target, source);
    for (size_t i = 0; i < stamped.size(); ++i) stamped[i].second->setLightMarker(images[i]);

    const double scale = target.width() / source.width();
    const auto toTarget = [&](QPointF chartPoint) {
        const QPointF inView = m_view->viewportTransform().map(m_chart->mapToScene(chartPoint));
        return target.topLeft() + inView * scale;
    };
    const QRectF plot = m_chart->plotArea();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(QRectF(toTarget(plot.topLeft()), toTarget(plot.bottomRight())));
    for (const auto& [slot, series] : stamped) {
        const PointMarker marker = curveLook(slot).marker;
        const QList<QPointF> points = series->points();
        for (const QPointF& p : points) {
            const QPointF at = m_chart->mapToPosition(p, series);
            if (plot.adjusted(-1, -1, 1, 1).contains(at))
                paintMarker(painter, marker, toTarget(at), scale);
        }
    }
    painter.restore();
}

}  // namespace emforce
