// Pictures of a whole chart: SVG, PDF or PNG by the file name's ending.
#include "ui/picture_export.hpp"

#include <QAbstractAxis>
#include <QBuffer>
#include <QChartView>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QSvgGenerator>
#include <cmath>

#include "files/safe_file.hpp"
#include "numerics/fp_guard.hpp"
#include "ui/chart_panel.hpp"
#include "ui/file_chooser.hpp"
#include "ui/message_boxes.hpp"

namespace emforce {

namespace {

constexpr double kPointsPerInch = 72;
constexpr double kMetresPerInch = 0.0254;

[[noreturn]] void refuse(const char* what, const QString& fileName) {
    throw CalcError(std::string(what) + " " + fileName.toStdString());
}

bool paintInto(const PictureSource& picture, QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    picture.paint(painter, QRectF(0, 0, device.width(), device.height()));
    return painter.end();
}

// The chart's title and axis titles as lines. The chart draws them as rich text, which an SVG
// receives as outlines: the description keeps them readable and searchable. A title broken in
// two to fit its axis is one line here.
QString chartTitles(const QChart& chart) {
    QStringList titles = {chart.title()};
    for (const QAbstractAxis* axis : chart.axes())
        if (axis->isVisible()) titles << QString(axis->titleText()).replace("<br>", " ");
    titles.removeAll(QString());
    return titles.join(u'\n');
}

// Every vector device gets the screen's resolution, so that fonts given in points keep the size
// that the chart's layout was made for.
bool writeSvg(const PictureSource& picture, QIODevice& file) {
    QSvgGenerator generator;
    generator.setTitle(picture.title);
    generator.setDescription(picture.description);
    generator.setOutputDevice(&file);
    generator.setSize(picture.size);
    generator.setViewBox(QRect(QPoint(0, 0), picture.size));
    generator.setResolution(picture.dpi);
    return paintInto(picture, generator);
}

bool writePdf(const PictureSource& picture, QIODevice& file) {
    QPdfWriter writer(&file);
    writer.setResolution(picture.dpi);
    writer.setPageSize(
        QPageSize(QSizeF(picture.size) * kPointsPerInch / picture.dpi, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(picture.title);
    return paintInto(picture, writer);
}

void setDpi(QImage& image, double dpi) {
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / kMetresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
}

// Painted at the screen's resolution and scaled as a whole, so texts keep their place; the
// file then says the resolution that gives the picture its size on the screen.
bool writePng(const PictureSource& picture, QIODevice& file, double scale) {
    QImage image((QSizeF(picture.size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    setDpi(image, picture.dpi);
    image.fill(Qt::white);
    if (!paintInto(picture, image)) return false;
    setDpi(image, picture.dpi * scale);
    return image.save(&file, "PNG");
}

}  // namespace

std::optional<PictureFormat> pictureFormat(const QString& fileName) {
    const QString ending = QFileInfo(fileName).suffix().toLower();
    if (ending.isEmpty() || ending == "svg") return PictureFormat::Svg;
    if (ending == "pdf") return PictureFormat::Pdf;
    if (ending == "png") return PictureFormat::Png;
    return std::nullopt;
}

PictureSource viewPicture(QChartView& view) {
    return {view.viewport()->size(), view.logicalDpiX(), view.window()->windowTitle(),
            chartTitles(*view.chart()), [&view](QPainter& painter, const QRectF& target) {
                view.render(&painter, target, view.viewport()->rect());
            }};
}

PictureSource curveChartPicture(ChartPanel& chart) {
    PictureSource picture = viewPicture(*chart.view());
    picture.paint = [&chart](QPainter& painter, const QRectF& target) {
        chart.paintPicture(painter, target);
    };
    return picture;
}

void writePicture(const PictureSource& picture, const QString& fileName, double pngScale) {
    const std::optional<PictureFormat> format = pictureFormat(fileName);
    if (!format)
        throw CalcError("Cannot write a picture as '" + fileName.toStdString() +
                        "': choose a name ending in .svg, .pdf or .png");
    // Drawn into memory first: the file is then written as every other file of the program is.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool written = false;
    switch (*format) {
        case PictureFormat::Svg:
            written = writeSvg(picture, buffer);
            break;
        case PictureFormat::Pdf:
            written = writePdf(picture, buffer);
            break;
        case PictureFormat::Png:
            written = writePng(picture, buffer, pngScale);
            break;
    }
    if (!written) refuse("Cannot write file", fileName);
    replaceFile(fileName.toStdString(), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QString savePicture(const PictureSource& picture, FileChooser& files, MessageBoxes& messages,
                    QWidget* parent) {
    const QString fileName =
        files.saveFileName(parent, "Pictures (*.svg *.pdf *.png)", "*.svg", "svg");
    if (fileName.isEmpty()) return {};
    double scale = 1;
    if (pictureFormat(fileName) == PictureFormat::Png) {
        // Twice the pixels of the screen the chart is on, whatever its scale factor.
        const double screenPixels = parent ? parent->devicePixelRatioF() : 1.0;
        scale = files.pictureScale(parent, static_cast<int>(std::ceil(2 * screenPixels)));
        if (scale <= 0) return {};
    }
    try {
        writePicture(picture, fileName, scale);
    } catch (const CalcError& e) {
        messages.showError(parent, QString::fromStdString(e.what()));
        return {};
    }
    return fileName;
}

}  // namespace emforce
