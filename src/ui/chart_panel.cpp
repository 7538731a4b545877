// The chart of the swept curves with its ten series, its axes and its axis-description selectors.
#include "ui/chart_panel.hpp"

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "model/number_format.hpp"
#include "run/calculation_run.hpp"
#include "ui/axis_arithmetic.hpp"
#include "ui/axis_title_fit.hpp"
#include "ui/chart_series.hpp"
#include "ui/curve_legend.hpp"
#include "ui/results_table.hpp"

namespace emforce {

namespace {

constexpr int kFlushIntervalMs = 250;
// Markers beyond this many per curve would hide the lines under them: a dense curve shows
// every k-th point's marker (its line and its numbers keep every point).
constexpr qsizetype kMostMarkers = 60;
// How near the cursor a point must be to be read out, in pixels.
constexpr double kReadoutReach = 12;
const char* const kChartIdle =
    "Point at a curve to read it; drag to zoom, wheel, double-click to fit (hint: hover here)";
const char* const kChartHint =
    "Point at a curve to read its values. Drag a rectangle to zoom in, turn the wheel to zoom, "
    "double-click or \"fit\" to show all; Ctrl+C copies the chart as an image";

// A number of the read-out, as the window writes numbers.
QString readoutNumber(double v) { return QString::number(v, 'g', 6).replace('.', ','); }
constexpr int kVerticalDecimals = 4;  // "#,##0.####"
constexpr int kBottomDecimals = 5;    // "#,##0.#####"
// The height a tick label of the left axis needs, in label lines, so that labels never crowd.
constexpr double kLabelPitch = 1.8;
// The run kind a bottom-axis item of the list names, where it names one.
std::optional<Domain> itemDomain(int item) {
    if (item >= 0 && item <= 4) return Domain::SpeedOrAngle;
    if (item == 5 || item == 6) return Domain::GapWidth;
    if (item == 7 || item == 8) return Domain::LayerWidth;
    if (item == 9 || item == 10 || item == 12 || item == 13) return Domain::Position;
    if (item == 11) return Domain::SpeedOrAngle;
    return std::nullopt;
}

int itemOf(const auto& items, const QString& text) {
    return itemIndex(items, std::string_view(text.toStdString()));
}

// Whether a title of the lists names what an axis shows: the swept variable of the curves, or
// force (linear) or torque (rotating) or power. Typed texts are the user's own and always fit.
bool bottomFits(const QString& title, const CurveContext& c) {
    const int item = itemOf(kBottomAxisItems, title);
    if (item < 0) return true;
    const bool linear = c.geometry == Geometry::Linear;
    if (itemDomain(item) != c.domain) return false;
    if (item == 9 || item == 12) return linear;
    if (item == 10 || item == 13) return !linear;
    if (item == 11) return linear && !c.induction;
    if (c.domain == Domain::SpeedOrAngle) return c.induction && (item <= 2) != linear;
    return true;
}

bool leftFits(const QString& title, CurveGroup group, Geometry geometry) {
    const int item = itemOf(kLeftAxisItems, title);
    if (item < 0) return true;
    if (item == 4 || item == 5) return group == CurveGroup::Power;
    if (group != CurveGroup::ForceTorque) return false;
    return (item == 2 || item == 3) == (geometry == Geometry::Linear);
}

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
    buildReadout();

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
        m_series[s]->setName(seriesTitle(slot));
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
    // How many left labels fit depends on the plot's height: a new height spaces them anew.
    connect(m_chart, &QChart::plotAreaChanged, this, [this](const QRectF& plot) {
        if (std::abs(plot.height() - m_labelledHeight) < 1) return;
        m_labelledHeight = plot.height();
        QTimer::singleShot(0, this, [this] { relabel(m_vertical[0]); });
    });
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
    Q_EMIT pointsShown();
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
        showMarkers(s);
        m_pending[s] = false;
        changed = true;
    }
    if (!changed) return;
    fitAxes();
    updateLegend();
    Q_EMIT pointsShown();
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
    fitRightMargin();
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
    const Geometry geometry = m_context.geometry;
    const auto leftGroup = static_cast<CurveGroup>(m_groupAt[0]);
    // A chosen title is for curves of the kind it was chosen for, and only where it names
    // what they show: never the title of other data.
    const bool sameKind = m_chosenFor.domain == m_context.domain &&
                          m_chosenFor.geometry == m_context.geometry &&
                          m_chosenFor.induction == m_context.induction;
    const auto chosen = [&](const std::optional<QString>& title, bool fits) {
        return title && sameKind && (title->isEmpty() || fits) ? title : std::nullopt;
    };
    const QString left =
        chosen(m_chosenLeft, m_chosenLeft && leftFits(*m_chosenLeft, leftGroup, geometry))
            .value_or(groupAxisTitle(leftGroup, geometry));
    const QString bottom =
        chosen(m_chosenBottom, m_chosenBottom && bottomFits(*m_chosenBottom, m_context))
            .value_or(bottomAxisTitle(m_context));
    m_titleFit->setTitle(m_vertical[0], left);
    m_titleFit->setTitle(m_bottom, bottom);
    for (size_t p = 1; p < m_vertical.size(); ++p) {
        const bool titled = m_rightTitles && m_groupAt[p] >= 0;
        const auto group = static_cast<CurveGroup>(m_groupAt[p]);
        m_titleFit->setTitle(m_vertical[p], titled ? groupAxisTitle(group, geometry) : QString());
    }
    showTitlesInSelectors(left, bottom);
}

// The selectors read what the chart shows, unless the user is typing into one.
void ChartPanel::showTitlesInSelectors(const QString& left, const QString& bottom) {
    for (auto [box, title] : {std::pair{m_selectors[0], left}, {m_selectors[1], bottom}}) {
        if (box == nullptr || box->hasFocus() || box->currentText() == title) continue;
        const QSignalBlocker quiet(box);
        const int item = box->findText(title);
        if (item >= 0)
            box->setCurrentIndex(item);
        else
            box->setEditText(title);
    }
}

void ChartPanel::updateLegend() {
    QList<int> shown;
    QStringList notes;
    const QString units[] = {"", "W", "-"};
    for (int slot = 0; slot < kCurveSlots; ++slot)
        if (!m_points[static_cast<size_t>(slot)].isEmpty() || m_series[size_t(slot)]->count() > 0) {
            shown << slot;
            // A curve on an axis at the right says which, and the unit that axis reads.
            const auto group = static_cast<size_t>(curveGroup(slot));
            const int axis = m_position[group];
            notes << (axis == 0
                          ? QString()
                          : (axis == 1 ? "right axis, " : "outer right axis, ") + units[group]);
        }
    m_legend->setSlots(shown, notes);
}

void ChartPanel::showMarkers(size_t s) {
    const QList<QPointF>& points = m_points[s];
    const qsizetype step = (points.size() + kMostMarkers - 1) / kMostMarkers;
    QList<QPointF> thinned;
    if (step > 1)
        for (qsizetype i = 0; i < points.size(); i += step) thinned << points[i];
    const QList<QPointF>& marked = step > 1 ? thinned : points;
    const bool pointsOnly = curveLook(static_cast<int>(s)).lineStyle == Qt::NoPen;
    m_series[s]->replace(pointsOnly ? marked : points);
    if (m_markers[s]) m_markers[s]->replace(marked);
}

void ChartPanel::relabel(QCategoryAxis* axis) {
    const double span = axis->max() - axis->min();
    if (!(span > 0)) return;
    const bool bottom = axis == m_bottom;
    double step = axis == m_vertical[0] ? leftStep(span) : niceStep(span);
    // A vertical label has the room between its ticks: on a low plot the spacing grows so
    // that every label shows whole (a chosen increment has been checked for that already).
    if (!bottom && !(axis == m_vertical[0] && step == m_leftIncrement)) {
        const double roomy = nextIncrement(span, 0, std::max(leftTickRoom(), 2.0));
        if (roomy > step) step = roomy;
    }
    const std::vector<AxisTick> ticks =
        axisTicks(axis->min(), axis->max(), step, bottom ? kBottomDecimals : kVerticalDecimals);
    const QStringList old = axis->categoriesLabels();
    for (const QString& label : old) axis->remove(label);
    axis->setStartValue(axis->min() - step);
    for (const AxisTick& tick : ticks) axis->append(QString::fromStdString(tick.text), tick.value);
    if (bottom) fitRightMargin();
}

// A label is centred on its tick: the last bottom one needs half its width beside the plot,
// which an axis at the right gives it of its own.
void ChartPanel::fitRightMargin() {
    const QStringList labels = m_bottom->categoriesLabels();
    int right = 8;
    if (m_groupAt[1] < 0 && !labels.isEmpty()) {
        const double half =
            QFontMetricsF(m_bottom->labelsFont()).horizontalAdvance(labels.last()) / 2;
        right = std::max(right, static_cast<int>(std::ceil(half)) + 4);
    }
    QMargins margins = m_chart->margins();
    if (margins.right() == right) return;
    margins.setRight(right);
    m_chart->setMargins(margins);
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
    m_ran = true;
    updateTitles();
}

void ChartPanel::showCurves(const std::array<QList<QPointF>, kCurveSlots>& curves,
                            const std::optional<CurveContext>& context) {
    m_ran = context.has_value();
    if (context) m_context = *context;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        clearSeries(slot);
        m_points[static_cast<size_t>(slot)] = curves[static_cast<size_t>(slot)];
        m_pending[static_cast<size_t>(slot)] = true;
    }
    flush();
    updateTitles();
}

void ChartPanel::chooseAxisTitles(const QString& left, const QString& bottom,
                                  const CurveContext& of) {
    m_chosenFor = of;
    // An empty chart shows what the next run of that kind will draw.
    if (std::ranges::all_of(m_points, &QList<QPointF>::isEmpty)) m_context = of;
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
    chooseAxisTitles(m_selectors[0]->currentText(), m_selectors[1]->currentText(), m_context);
    const auto [left, bottom] = titleFontSizes(m_selectors[2]->currentText().toStdString(),
                                               m_selectors[3]->currentText().toStdString());
    for (QCategoryAxis* axis : m_vertical) m_titleFit->choose(axis, left);
    m_titleFit->choose(m_bottom, bottom);
    m_selectorFrame->hide();
}

void ChartPanel::removeAxisTitles() {
    m_chosenFor = m_context;
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

// The read-out and "fit" lie over the chart's top edge, outside the plot, and are no part of a
// picture of it.
void ChartPanel::buildReadout() {
    auto* row = new QWidget(m_view);
    row->setObjectName("ChartReadoutRow");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 0, 0, 0);
    m_readout = new QLabel(kChartIdle);
    m_readout->setObjectName("ChartReadout");
    m_readout->setToolTip(kChartHint);
    m_readout->setMinimumWidth(0);
    m_readout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* fit = new QToolButton;
    fit->setObjectName("ResetZoom");
    fit->setText("fit");
    fit->setAutoRaise(true);
    fit->setToolTip("Show every point again after a zoom (or double-click the chart)");
    connect(fit, &QToolButton::clicked, this, &ChartPanel::resetZoom);
    layout->addWidget(m_readout, 1);
    layout->addWidget(fit);
    m_readoutRow = row;
    m_view->installEventFilter(this);
    m_view->setToolTip(kChartHint);
    m_view->viewport()->setMouseTracking(true);
    m_view->viewport()->installEventFilter(this);
    auto* copy =
        new QShortcut(QKeySequence::Copy, m_view, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(copy, &QShortcut::activated, this, &ChartPanel::copyImage);
}

bool ChartPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Resize) {
        const int height = m_readoutRow->sizeHint().height();
        m_readoutRow->setGeometry(0, 0, m_view->width(), height);
        m_chart->setMargins(QMargins(m_chart->margins().left(), height, m_chart->margins().right(),
                                     m_chart->margins().bottom()));
    }
    if (watched != m_view->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseMove:
            m_readout->setText(readoutAt(static_cast<QMouseEvent*>(event)->position()));
            break;
        case QEvent::Leave:
            m_readout->setText(kChartIdle);
            break;
        case QEvent::Wheel: {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            const int turn = wheel->angleDelta().y();
            if (turn != 0) zoomAt(wheel->position(), turn > 0 ? 1.25 : 0.8);
            return true;
        }
        case QEvent::MouseButtonDblClick:
            resetZoom();
            return true;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

QString ChartPanel::readoutAt(QPointF viewPoint) const {
    const QPointF at = m_chart->mapFromScene(m_view->mapToScene(viewPoint.toPoint()));
    const QRectF plot = m_chart->plotArea();
    if (!plot.adjusted(-kReadoutReach, -kReadoutReach, kReadoutReach, kReadoutReach).contains(at))
        return kChartIdle;
    const Geometry geometry = m_context.geometry;
    double best = kReadoutReach * kReadoutReach;
    QString text;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        QLineSeries* series = m_series[static_cast<size_t>(slot)];
        for (const QPointF& p : m_points[static_cast<size_t>(slot)]) {
            const QPointF d = m_chart->mapToPosition(p, series) - at;
            const double distance = d.x() * d.x() + d.y() * d.y();
            if (distance > best) continue;
            best = distance;
            const QString header = curveHeader(slot, geometry);
            const qsizetype comma = header.lastIndexOf(", ");
            text = QString("%1: %2 = %3;  %4 %5")
                       .arg(header.left(comma),
                            m_bottom->titleText().isEmpty() ? bottomAxisTitle(m_context)
                                                            : m_bottom->titleText(),
                            readoutNumber(p.x()), readoutNumber(p.y()), header.mid(comma + 2));
        }
    }
    if (!text.isEmpty()) return text;
    const QPointF value = m_chart->mapToValue(at, m_series[0]);
    return QString("x = %1;  y = %2 (left axis)")
        .arg(readoutNumber(value.x()), readoutNumber(value.y()));
}

QString ChartPanel::readoutText() const { return m_readout->text(); }

void ChartPanel::zoomAt(QPointF viewPoint, double factor) {
    const QPointF at = m_chart->mapFromScene(m_view->mapToScene(viewPoint.toPoint()));
    const QRectF plot = m_chart->plotArea();
    // The point under the cursor stays where it is.
    QRectF zoomed(0, 0, plot.width() / factor, plot.height() / factor);
    zoomed.moveTopLeft(at -
                       QPointF((at.x() - plot.left()) / factor, (at.y() - plot.top()) / factor));
    m_chart->zoomIn(zoomed);
}

void ChartPanel::resetZoom() {
    m_chart->zoomReset();
    fitAxes();
    for (QCategoryAxis* axis : {m_bottom, m_vertical[0], m_vertical[1], m_vertical[2]})
        relabel(axis);
}

void ChartPanel::copyImage() {
    QApplication::clipboard()->setImage(m_view->grab().toImage());
    Q_EMIT told("The chart was copied to the clipboard as an image");
}

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
