// The looks of the curve chart's ten series, and their point markers as images and as vectors.
#include "ui/chart_series.hpp"

#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>

#include "model/curve_slots.hpp"

namespace emforce {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kGray(128, 128, 128);

// Slot order. Point sizes "2 x 2" are half-sizes around the point.
const std::array<CurveLook, kCurveSlots> kLooks = {{
    {kBlack, 1, Qt::SolidLine, {}, kBlack},
    {kGreen, 0, Qt::NoPen, {MarkerShape::Square, 2, 2, kGreen}, kGreen},
    {QColor(0, 64, 128), 2, Qt::SolidLine, {}, QColor(0, 64, 128)},
    {QColor(255, 0, 255), 1, Qt::SolidLine, {}, QColor(255, 0, 255)},
    {kBlack, 1, Qt::DotLine, {MarkerShape::Diamond, 1, 2, kBlack}, kBlack},
    {kBlack, 1, Qt::SolidLine, {MarkerShape::HollowCircle, 3, 3, kBlack}, kBlack},
    {kGreen, 0, Qt::NoPen, {MarkerShape::HollowSquare, 2, 2, kGreen}, QColor(0, 128, 128)},
    {QColor(255, 0, 0), 2, Qt::DashDotLine, {}, QColor(255, 0, 0)},
    {kGray, 1, Qt::SolidLine, {}, kGray},
    {kBlack, 0, Qt::NoPen, {MarkerShape::Diamond, 2, 2, kBlack}, kGray},
}};

int markerSide(const PointMarker& marker) {
    return 2 * std::max(marker.halfWidth, marker.halfHeight) + 1;
}

// A series that draws no line and stamps a marker image on each point. The chart draws a light
// marker in a square of 1.5 pen widths, so the invisible pen's width gives the image its own
// pixel size. (A scatter series would keep one graphics item per point, which on a curve of a
// thousand points costs more drawing time than the run itself.)
QLineSeries* makeStampingSeries(const PointMarker& marker, const QColor& colour) {
    auto* series = new QLineSeries;
    series->setPen(QPen(colour, markerSide(marker) / 1.5, Qt::NoPen));
    series->setLightMarker(markerImage(marker));
    return series;
}

}  // namespace

CurveLook curveLook(int slot) { return kLooks[static_cast<size_t>(slot)]; }

QLineSeries* makeLineSeries(int slot) {
    const CurveLook look = curveLook(slot);
    if (look.lineStyle == Qt::NoPen) return makeStampingSeries(look.marker, look.seriesColour);
    auto* line = new QLineSeries;
    QPen pen(look.lineColour, look.lineWidth, look.lineStyle);
    pen.setCosmetic(true);
    line->setPen(pen);
    return line;
}

QLineSeries* makeMarkerSeries(int slot) {
    const CurveLook look = curveLook(slot);
    if (look.lineStyle == Qt::NoPen || look.marker.shape == MarkerShape::None) return nullptr;
    return makeStampingSeries(look.marker, look.seriesColour);
}

void paintMarker(QPainter& painter, const PointMarker& marker, QPointF centre, double scale) {
    const double w = (marker.halfWidth + 0.5) * scale;
    const double h = (marker.halfHeight + 0.5) * scale;
    const QRectF box(centre.x() - w, centre.y() - h, 2 * w, 2 * h);
    const bool hollow =
        marker.shape == MarkerShape::HollowSquare || marker.shape == MarkerShape::HollowCircle;
    painter.save();
    if (hollow) {
        const double pen = scale;
        painter.setPen(QPen(marker.colour, pen));
        painter.setBrush(Qt::NoBrush);
        const QRectF inner = box.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
        if (marker.shape == MarkerShape::HollowSquare)
            painter.drawRect(inner);
        else
            painter.drawEllipse(inner);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(marker.colour);
        if (marker.shape == MarkerShape::Square) {
            painter.drawRect(box);
        } else if (marker.shape == MarkerShape::Diamond) {
            const QPointF corners[] = {{centre.x(), box.top()},
                                       {box.right(), centre.y()},
                                       {centre.x(), box.bottom()},
                                       {box.left(), centre.y()}};
            painter.drawPolygon(corners, 4);
        }
    }
    painter.restore();
}

QImage markerImage(const PointMarker& marker) {
    const int side = markerSide(marker);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, marker.shape != MarkerShape::Square);
    paintMarker(painter, marker, QPointF(side / 2.0, side / 2.0));
    return image;
}

}  // namespace emforce
