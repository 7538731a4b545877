// Pictures of a whole chart: SVG, or PDF and PNG by the file name's ending.
#include "ui/picture_export.hpp"

#include <QAbstractAxis>
#include <QChartView>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

#include "numerics/fp_guard.hpp"
#include "ui/file_chooser.hpp"
#include "ui/message_boxes.hpp"

namespace emforce {

namespace {

constexpr double kPointsPerInch = 72;
constexpr double kMetresPerInch = 0.0254;

[[noreturn]] void refuse(const char* what, const QString& fileName) {
    throw CalcError(std::string(what) + " " + fileName.toStdString());
}

bool paintChart(QChartView& view, QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    view.render(&painter, QRectF(0, 0, device.width(), device.height()), view.viewport()->rect());
    return painter.end();
}

// The chart's title and axis titles as lines. The chart draws them as rich text, which an SVG
// receives as outlines: the description keeps them readable and searchable.
QString chartTitles(const QChart& chart) {
    QStringList titles = {chart.title()};
    for (const QAbstractAxis* axis : chart.axes()) titles << axis->titleText();
    titles.removeAll(QString());
    return titles.join(u'\n');
}

// Every device gets the screen's resolution, so that fonts given in points keep the size that
// the chart's layout was made for.
bool writeSvg(QChartView& view, QIODevice& file, QSize size, int dpi) {
    QSvgGenerator generator;
    generator.setTitle(view.window()->windowTitle());
    generator.setDescription(chartTitles(*view.chart()));
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(dpi);
    return paintChart(view, generator);
}

bool writePdf(QChartView& view, QIODevice& file, QSize size, int dpi) {
    QPdfWriter writer(&file);
    writer.setResolution(dpi);
    writer.setPageSize(QPageSize(QSizeF(size) * kPointsPerInch / dpi, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    return paintChart(view, writer);
}

bool writePng(QChartView& view, QIODevice& file, QSize size, int dpi) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / kMetresPerInch));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    return paintChart(view, image) && image.save(&file, "PNG");
}

}  // namespace

PictureFormat pictureFormat(const QString& fileName) {
    if (fileName.endsWith(".pdf", Qt::CaseInsensitive)) return PictureFormat::Pdf;
    if (fileName.endsWith(".png", Qt::CaseInsensitive)) return PictureFormat::Png;
    return PictureFormat::Svg;
}

void writePicture(QChartView& view, const QString& fileName) {
    // The file is opened before anything is drawn: a name that cannot be created fails at once.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) refuse("Cannot create file", fileName);
    const QSize size = view.viewport()->size();
    const int dpi = view.logicalDpiX();
    bool written = false;
    switch (pictureFormat(fileName)) {
        case PictureFormat::Svg:
            written = writeSvg(view, file, size, dpi);
            break;
        case PictureFormat::Pdf:
            written = writePdf(view, file, size, dpi);
            break;
        case PictureFormat::Png:
            written = writePng(view, file, size, dpi);
            break;
    }
    if (!written) file.cancelWriting();
    if (!file.commit()) refuse("Cannot write file", fileName);
}

void savePicture(QChartView& view, FileChooser& files, MessageBoxes& messages, QWidget* parent) {
    const QString fileName =
        files.saveFileName(parent, "Pictures (*.svg *.pdf *.png)", "*.svg", "svg");
    if (fileName.isEmpty()) return;
    try {
        writePicture(view, fileName);
    } catch (const CalcError& e) {
        messages.showError(parent, QString::fromStdString(e.what()));
    }
}

}  // namespace emforce
