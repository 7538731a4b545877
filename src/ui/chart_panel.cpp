// The chart of the swept curves with its ten series and its axis-description selectors.
#include "ui/chart_panel.hpp"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QValueAxis>
#include <algorithm>
#include <limits>

#include "run/calculation_run.hpp"
#include "model/number_format.hpp"
#include "ui/axis_arithmetic.hpp"

namespace emforce {

namespace {

// How a series draws its points.
enum class Look { Line, Squares, Diamonds, DottedWithDiamonds };

struct SeriesStyle {
    Look look;
    QColor colour;
    int width;
    Qt::PenStyle pen;
    QColor series = QColor();  // the series' own colour where it differs from its points'
};

const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kGray(128, 128, 128);

// Slot order; point sizes "2 x 2" are half-sizes around the point, as the curves were designed.
const std::array<SeriesStyle, kCurveSlots> kStyles = {{
    {Look::Line, kBlack, 1, Qt::SolidLine},
    {Look::Squares, kGreen, 0, Qt::NoPen},
    {Look::Line, QColor(0, 64, 128), 2, Qt::SolidLine},
    {Look::Line, QColor(255, 0, 255), 1, Qt::SolidLine},
    {Look::DottedWithDiamonds, kBlack, 1, Qt::DotLine},
    {Look::Line, kBlack, 1, Qt::SolidLine},
    {Look::Squares, kGreen, 0, Qt::NoPen, QColor(0, 128, 128)},
    {Look::Line, QColor(255, 0, 0), 2, Qt::DashDotLine},
    {Look::Line, kGray, 1, Qt::SolidLine},
    {Look::Diamonds, kBlack, 0, Qt::NoPen, kGray},
}};

constexpr int kFlushIntervalMs = 250;
// A desired increment that would crowd the axis with more ticks than this is not drawn.
constexpr double kMaxTicks = 500;
constexpr int kLeftDecimals = 4;    // "#,##0.####"
constexpr int kBottomDecimals = 5;  // "#,##0.#####"

QImage diamondMarker(int halfWidth, int halfHeight, const QColor& colour) {
    QImage image(2 * halfWidth + 1, 2 * halfHeight + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPointF corners[] = {{halfWidth + 0.5, 0},
                               {2 * halfWidth + 1.0, halfHeight + 0.5},
                               {halfWidth + 0.5, 2 * halfHeight + 1.0},
                               {0, halfHeight + 0.5}};
    painter.drawPolygon(corners, 4);
    return image;
}

QImage squareMarker(int halfSide, const QColor& colour) {
    QImage image(2 * halfSide + 1, 2 * halfSide + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// A series of points only: a line series without a line that stamps one marker image per point.
// A scatter series keeps one graphics item per point, which on a curve of a thousand points
// costs more drawing time than the run itself. The chart draws a light marker in a square of
// 1.5 pen widths, so the invisible pen's width sets the marker to its own pixel size.
QLineSeries* makePointSeries(const QImage& marker, const QColor& colour) {
    auto* points = new QLineSeries;
    QPen pen(colour, marker.width() / 1.5, Qt::NoPen);
    points->setPen(pen);
    points->setLightMarker(marker);
    return points;
}

QXYSeries* makeSeries(const SeriesStyle& style) {
    const QColor seriesColour = style.series.isValid() ? style.series : style.colour;
    if (style.look == Look::Squares)
        return makePointSeries(squareMarker(2, style.colour), seriesColour);
    if (style.look == Look::Diamonds)
        return makePointSeries(diamondMarker(2, 2, style.colour), seriesColour);
    auto* line = new QLineSeries;
    QPen pen(style.colour, style.width, style.pen);
    pen.setCosmetic(true);
    line->setPen(pen);
    if (style.look == Look::DottedWithDiamonds) {
        line->setLightMarker(diamondMarker(1, 2, style.colour));
        line->setPointsVisible(true);
    }
    return line;
}

void applyTicks(QValueAxis* axis, double step, int maxDecimals) {
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QString("%.%1f").arg(labelDecimals(step, maxDecimals)));
}

// Changes range and tick spacing in the order that keeps the tick count between the old and the
// new one: a small spacing on a wide range would lay out a great many labels.
void setRangeAndTicks(QValueAxis* axis, const AxisRange& range, double step, int maxDecimals) {
    const bool widening = range.maximum - range.minimum > axis->max() - axis->min();
    if (widening) applyTicks(axis, step, maxDecimals);
    axis->setRange(range.minimum, range.maximum);
    if (!widening) applyTicks(axis, step, maxDecimals);
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

QComboBox* makeSelector(const char* name, const auto& items, int start, const QString& hint) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view item : items)
        box->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    box->setCurrentIndex(start);
    box->setToolTip(hint);
    box->hide();
    return box;
}

}  // namespace

ChartPanel::ChartPanel(QWidget* parent) : QWidget(parent) {
    buildChart();
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_view, 0, 0);
    layout->addWidget(buildSelectors(), 0, 0, Qt::AlignTop | Qt::AlignHCenter);
    m_selectorFrame->raise();

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &ChartPanel::flush);
}

void ChartPanel::buildChart() {
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setBackgroundBrush(Qt::white);
    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(decimalSeparator() == ','
                           ? QLocale(QLocale::Polish, QLocale::Poland)
                           : QLocale(QLocale::English, QLocale::UnitedStates));
    m_bottom = new QValueAxis;
    m_left = new QValueAxis;
    m_bottom->setTitleText(QString::fromUtf8("prędkość obrotowa n [obr/s]"));
    m_left->setTitleText(QString::fromUtf8("Moment elektromagnetyczny T [N·m]"));
    for (QValueAxis* axis : {m_bottom, m_left}) {
        axis->setLabelsFont(labelFont());
        axis->setTitleFont(titleFont());
        axis->setMinorTickCount(0);
    }
    m_chart->addAxis(m_bottom, Qt::AlignBottom);
    m_chart->addAxis(m_left, Qt::AlignLeft);
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        QXYSeries* series = makeSeries(kStyles[static_cast<size_t>(slot)]);
        const std::string_view title = kSeriesTitles[static_cast<size_t>(slot)];
        series->setName(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
        m_chart->addSeries(series);
        series->attachAxis(m_bottom);
        series->attachAxis(m_left);
        m_series[static_cast<size_t>(slot)] = series;
    }
    m_bottom->setRange(0, 50);
    m_left->setRange(0, 1);
    applyTicks(m_bottom, 5, kBottomDecimals);
    applyTicks(m_left, 0.1, kLeftDecimals);
    connect(m_left, &QValueAxis::rangeChanged, this, &ChartPanel::onLeftRangeChanged);
    connect(m_bottom, &QValueAxis::rangeChanged, this, [this](qreal min, qreal max) {
        if (max > min) applyTicks(m_bottom, niceStep(max - min), kBottomDecimals);
    });

    m_view = new QChartView(m_chart);
    m_view->setObjectName("Chart1");
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setRubberBand(QChartView::RectangleRubberBand);
}

QFrame* ChartPanel::buildSelectors() {
    m_selectorFrame = new QFrame;
    m_selectorFrame->setObjectName("AxisDescriptions");
    m_selectorFrame->setFrameShape(QFrame::StyledPanel);
    m_selectorFrame->setAutoFillBackground(true);
    m_selectors = {makeSelector("CB2", kLeftAxisItems, 0, "Left-axis description"),
                   makeSelector("CB3", kBottomAxisItems, 0, "Bottom-axis description"),
                   makeSelector("CB4", kFontSizeItems, 4, "Left-axis title font size"),
                   makeSelector("CB5", kFontSizeItems, 4, "Bottom-axis title font size")};
    m_accept = new QPushButton(
        "chose and accept the descriptions for LEFT and BOTTOM axes and FONTS sizes (default = "
        "14 pt) ");
    m_accept->setObjectName("Button6");
    connect(m_accept, &QPushButton::clicked, this, &ChartPanel::acceptAxisDescriptions);

    auto* grid = new QGridLayout(m_selectorFrame);
    grid->addWidget(m_selectors[0], 0, 0);
    grid->addWidget(m_selectors[2], 0, 1);
    grid->addWidget(m_accept, 1, 0, 1, 2);
    grid->addWidget(m_selectors[1], 2, 0);
    grid->addWidget(m_selectors[3], 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    return m_selectorFrame;
}

void ChartPanel::clearSeries(int slot) {
    const auto s = static_cast<size_t>(slot);
    m_points[s].clear();
    m_pending[s] = false;
    m_series[s]->clear();
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
        m_pending[s] = false;
        changed = true;
    }
    if (!changed) return;
    fitAxes();
    // The window redraws at most a tenth of the time: a chart of many points that takes long to
    // draw is redrawn less often while a run goes on, so the window never slows the run down.
    m_flushTimer.setInterval(
        std::max<int>(kFlushIntervalMs, static_cast<int>(10 * drawing.elapsed())));
}

void ChartPanel::fitAxes() {
    constexpr double inf = std::numeric_limits<double>::infinity();
    double xMin = inf, xMax = -inf, yMin = inf, yMax = -inf;
    for (const QList<QPointF>& points : m_points) {
        for (const QPointF& p : points) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    if (xMin > xMax) {  // no points: keep what the axes show
        xMin = m_bottom->min();
        xMax = m_bottom->max();
        yMin = m_left->min();
        yMax = m_left->max();
    }
    const AxisRange bottom = automaticRange(xMin, xMax, std::nullopt, std::nullopt);
    setRangeAndTicks(m_bottom, bottom, bottom.step, kBottomDecimals);
    const AxisRange left = automaticRange(yMin, yMax, m_fixedMin, m_fixedMax);
    setRangeAndTicks(m_left, left, leftStep(left.maximum - left.minimum), kLeftDecimals);
}

double ChartPanel::leftStep(double span) const {
    const bool drawable = m_leftIncrement > 0 && span / m_leftIncrement <= kMaxTicks;
    return drawable ? m_leftIncrement : niceStep(span);
}

void ChartPanel::onLeftRangeChanged() {
    const double span = m_left->max() - m_left->min();
    if (span > 0) applyTicks(m_left, leftStep(span), kLeftDecimals);
}

void ChartPanel::clearAll() {
    for (int slot = 0; slot < kCurveSlots; ++slot) clearSeries(slot);
}

void ChartPanel::showAxisSelectors() {
    m_selectorFrame->show();
    for (QComboBox* box : m_selectors) box->show();
    m_accept->show();
}

void ChartPanel::acceptAxisDescriptions() {
    m_left->setTitleText(m_selectors[0]->currentText());
    m_bottom->setTitleText(m_selectors[1]->currentText());
    const auto [left, bottom] = titleFontSizes(m_selectors[2]->currentText().toStdString(),
                                               m_selectors[3]->currentText().toStdString());
    QFont font = m_left->titleFont();
    font.setPointSize(left);
    m_left->setTitleFont(font);
    font = m_bottom->titleFont();
    font.setPointSize(bottom);
    m_bottom->setTitleFont(font);
    for (QComboBox* box : m_selectors) box->hide();
    m_accept->hide();
    m_selectorFrame->hide();
}

void ChartPanel::removeAxisTitles() {
    m_left->setTitleText(QString());
    m_bottom->setTitleText(QString());
}

int ChartPanel::stepLabelFont() {
    const int size = nextLabelFontSize(m_left->labelsFont().pointSize());
    for (QValueAxis* axis : {m_left, m_bottom}) {
        QFont font = axis->labelsFont();
        font.setPointSize(size);
        axis->setLabelsFont(font);
    }
    return size;
}

double ChartPanel::stepLeftIncrement() {
    m_leftIncrement = nextIncrement(m_left->min(), m_left->max(), m_leftIncrement);
    onLeftRangeChanged();
    return m_leftIncrement;
}

void ChartPanel::toggleZeroMinimum() {
    m_fixedMin = m_fixedMin ? std::nullopt : std::optional<double>(0.0);
    fitAxes();
}

void ChartPanel::toggleMaximumFive() {
    m_fixedMax = m_fixedMax ? std::nullopt : std::optional<double>(5.0);
    fitAxes();
}

}  // namespace emforce
