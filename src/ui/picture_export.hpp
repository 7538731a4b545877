// Pictures of a whole chart: SVG, or PDF and PNG by the file name's ending.
#pragma once

#include <QString>

class QChartView;
class QWidget;

namespace emforce {

class FileChooser;
class MessageBoxes;

/// The formats a chart picture is written in.
enum class PictureFormat { Svg, Pdf, Png };

/// The format a file name asks for: PDF or PNG by its ending in any letter case, else SVG.
PictureFormat pictureFormat(const QString& fileName);

/// Writes the whole chart that `view` shows, at its size on screen, to the file. Throws
/// CalcError "Cannot create file %s" when the file cannot be created and "Cannot write file %s"
/// when writing fails; an existing file is then left as it was.
void writePicture(QChartView& view, const QString& fileName);

/// The picture command: a save dialog starting at "*.svg" (a name without an ending gets
/// ".svg"), then the picture; a failure shows its message. Cancelling writes nothing.
void savePicture(QChartView& view, FileChooser& files, MessageBoxes& messages, QWidget* parent);

}  // namespace emforce
