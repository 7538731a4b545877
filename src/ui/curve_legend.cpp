// The legend of the curve chart: a sample and the title of each shown curve, in wrapped rows.
#include "ui/curve_legend.hpp"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QPainter>
#include <algorithm>

#include "ui/axis_titles.hpp"
#include "ui/chart_series.hpp"

namespace emforce {

namespace {

constexpr double kSampleWidth = 28;
constexpr double kGap = 6;       // between a sample and its title
constexpr double kSpacing = 18;  // between two entries of a row
constexpr double kMargin = 8;    // around the legend

QFont legendFont() {
    QFont font;
    font.setPointSize(9);
    return font;
}

}  // namespace

CurveLegend::CurveLegend(QChart* chart) : QGraphicsItem(chart), m_chart(chart) { setZValue(10); }

void CurveLegend::setSlots(const QList<int>& slots, const QStringList& notes) {
    m_entries.clear();
    for (qsizetype i = 0; i < slots.size(); ++i) {
        QString text = seriesTitle(slots[i]).trimmed();
        if (i < notes.size() && !notes[i].isEmpty()) text += " (" + notes[i] + ")";
        m_entries.append({slots[i], text, {}});
    }
    relayout();
}

QStringList CurveLegend::titles() const {
    QStringList titles;
    for (const Entry& entry : m_entries) titles << entry.title;
    return titles;
}

void CurveLegend::relayout() {
    prepareGeometryChange();
    const QFontMetricsF metrics(legendFont());
    const double rowHeight = metrics.height() + 4;
    const double width = m_chart->size().width() - 2 * kMargin;
    // Rows of entries that fit the width, each row centred.
    QList<QList<qsizetype>> rows;
    QList<double> rowWidths;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const double entry = kSampleWidth + kGap + metrics.horizontalAdvance(m_entries[i].title);
        if (rows.isEmpty() || rowWidths.last() + kSpacing + entry > width) {
            rows.append(QList<qsizetype>());
            rowWidths.append(-kSpacing);
        }
        rows.last().append(i);
        rowWidths.last() += kSpacing + entry;
    }
    const double height = rows.isEmpty() || !isVisible() ? 0 : rows.size() * rowHeight + kMargin;
    const double top = m_chart->size().height() - height;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        double x = kMargin + std::max(0.0, (width - rowWidths[r]) / 2);
        for (qsizetype i : rows[r]) {
            m_entries[i].at = QPointF(x, top + r * rowHeight);
            x += kSampleWidth + kGap + metrics.horizontalAdvance(m_entries[i].title) + kSpacing;
        }
    }
    m_bounds = QRectF(0, top, m_chart->size().width(), height);
    QMargins margins = m_chart->margins();
    margins.setBottom(static_cast<int>(std::ceil(height)) + 4);
    if (margins != m_chart->margins()) {
        m_chart->setMargins(margins);
        m_chart->layout()->invalidate();  // the chart lays out anew only when asked
    }
    update();
}

QRectF CurveLegend::boundingRect() const { return m_bounds; }

void CurveLegend::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QFontMetricsF metrics(legendFont());
    const double rowHeight = metrics.height() + 4;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setFont(legendFont());
    for (const Entry& entry : m_entries) {
        const CurveLook look = curveLook(entry.slot);
        const double middle = entry.at.y() + rowHeight / 2;
        if (look.lineStyle != Qt::NoPen) {
            QPen pen(look.lineColour, look.lineWidth, look.lineStyle);
            pen.setCosmetic(true);
            painter->setPen(pen);
            painter->drawLine(QPointF(entry.at.x(), middle),
                              QPointF(entry.at.x() + kSampleWidth, middle));
        }
        if (look.marker.shape != MarkerShape::None)
            paintMarker(*painter, look.marker, QPointF(entry.at.x() + kSampleWidth / 2, middle));
        painter->setPen(Qt::black);
        painter->drawText(QRectF(entry.at.x() + kSampleWidth + kGap, entry.at.y(),
                                 metrics.horizontalAdvance(entry.title) + 2, rowHeight),
                          Qt::AlignLeft | Qt::AlignVCenter, entry.title);
    }
    painter->restore();
}

}  // namespace emforce
