// The looks of the curve chart's ten series, and their point markers as images and as vectors.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>

class QLineSeries;
class QPainter;

namespace emforce {

/// The shape of the point markers of a series.
enum class MarkerShape { None, Square, HollowSquare, Diamond, HollowCircle };

/// The markers a series stamps on its points: shape, half width and half height in pixels
/// around the point ("2 x 2" points are 5 pixels wide), and colour.
struct PointMarker {
    MarkerShape shape = MarkerShape::None;
    int halfWidth = 0;
    int halfHeight = 0;
    QColor colour;
};

/// The look of the series of a curve slot: its line (NoPen for points only), its markers and
/// the series' own colour, which the legend shows.
struct CurveLook {
    QColor lineColour;
    int lineWidth = 1;
    Qt::PenStyle lineStyle = Qt::SolidLine;
    PointMarker marker;
    QColor seriesColour;
};

/// The look of a slot 0..9: the lines, points and colours of the curves, plus the markers that
/// tell apart curves that would otherwise look alike (the Poynting power's circles beside the
/// Maxwell force's plain black line, the Joule power's hollow squares beside the Lorentz
/// force's filled ones).
CurveLook curveLook(int slot);

/// The series that draws a slot's line; a slot of points only gets a series without a line
/// that stamps its markers.
QLineSeries* makeLineSeries(int slot);

/// The series that stamps the markers of a slot whose line and markers both show, or nullptr.
/// It takes the same points as the slot's series. (The chart draws a marker on a line no wider
/// than the line, so a marker of its own size needs a series of its own.)
QLineSeries* makeMarkerSeries(int slot);

/// Draws one marker centred at `centre` as vector shapes; `scale` is device pixels per pixel.
void paintMarker(QPainter& painter, const PointMarker& marker, QPointF centre, double scale = 1);

/// The marker as the image a series stamps on the screen.
QImage markerImage(const PointMarker& marker);

}  // namespace emforce
