// Pictures of a whole chart: SVG, PDF or PNG by the file name's ending.
#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QChartView;
class QPainter;
class QWidget;

namespace emforce {

class ChartPanel;
class FileChooser;
class MessageBoxes;

/// The formats a chart picture is written in.
enum class PictureFormat { Svg, Pdf, Png };

/// The format a file name asks for by its ending, in any letter case: SVG for ".svg" and for a
/// name without an ending, PDF, PNG; nothing for any other ending.
std::optional<PictureFormat> pictureFormat(const QString& fileName);

/// A picture to write: its size and resolution on the screen, the title and description a
/// vector file carries, and how it paints itself into a rectangle of the picture.
struct PictureSource {
    QSize size;
    int dpi = 96;
    QString title;
    QString description;
    std::function<void(QPainter&, const QRectF&)> paint;
};

/// A chart view's whole chart as it shows on the screen.
PictureSource viewPicture(QChartView& view);
/// The curve chart, its point markers as vector shapes.
PictureSource curveChartPicture(ChartPanel& chart);

/// Writes the picture to the file: SVG and PDF as vectors at the size on the screen, PNG with
/// `pngScale` pixels per pixel on the screen. Throws CalcError "Cannot write a picture as '%s':
/// choose a name ending in .svg, .pdf or .png" for another ending (no file is made), "Cannot
/// create file %s" when the file cannot be created and "Cannot write file %s" when writing
/// fails; an existing file is then left as it was.
void writePicture(const PictureSource& picture, const QString& fileName, double pngScale = 2);

/// The picture command: a save dialog starting at "*.svg" (a name without an ending gets
/// ".svg"), for a PNG the resolution (twice the screen's pixels unless chosen otherwise), then
/// the picture; a failure shows its message. Cancelling either dialog writes nothing. Returns
/// the file written, empty when none was.
QString savePicture(const PictureSource& picture, FileChooser& files, MessageBoxes& messages,
                    QWidget* parent);

}  // namespace emforce
