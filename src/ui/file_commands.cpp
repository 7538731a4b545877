// The main window's file commands: the parameter file, the result data files and the picture.
#include "ui/file_commands.hpp"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "files/data_file.hpp"
#include "files/parameter_file.hpp"
#include "files/run_record.hpp"
#include "numerics/fp_guard.hpp"
#include "ui/chart_panel.hpp"
#include "ui/file_chooser.hpp"
#include "ui/main_window.hpp"
#include "ui/message_boxes.hpp"
#include "ui/picture_export.hpp"
#include "ui/results_table.hpp"

namespace emforce {

namespace {

const QString kTextFiles = "*.txt";
const QString kRecordFiles = "*.json";
const QString kCsvFiles = "*.csv";
const QString kBadLineMessage = "For continue click  OK ";

std::filesystem::path filePath(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

template <size_t N>
std::string itemText(const std::array<std::string_view, N>& items, int index) {
    return index >= 0 && index < static_cast<int>(N)
               ? std::string(items[static_cast<size_t>(index)])
               : std::string();
}

// One message for all the lines of a data file that are no numbers.
QString badLinesMessage(const DataFileReading& reading, const QString& name) {
    const QString what =
        reading.badLineCount == 1
            ? QString("Line %1 of %2 is not a number").arg(reading.firstBadLine).arg(name)
            : QString("%1 lines of %2 are not numbers, the first is line %3")
                  .arg(reading.badLineCount)
                  .arg(name)
                  .arg(reading.firstBadLine);
    return what + "; each still takes its turn as an abscissa or an ordinate.\n" + kBadLineMessage;
}

}  // namespace

FileCommands::FileCommands(MainWindow& window, Model& model, MessageBoxes& messages,
                           FileChooser& files)
    : m_window(window), m_model(model), m_messages(messages), m_files(files) {
    connect(&window, &MainWindow::readParametersRequested, this, &FileCommands::readParameters);
    connect(&window, &MainWindow::writeParametersRequested, this, &FileCommands::writeParameters);
    connect(&window, &MainWindow::readRecordRequested, this, &FileCommands::readRecord);
    connect(&window, &MainWindow::writeRecordRequested, this, &FileCommands::writeRecord);
    connect(&window, &MainWindow::saveResultsRequested, this, &FileCommands::saveResults);
    connect(&window, &MainWindow::saveCurvesRequested, this, &FileCommands::saveCurves);
    connect(&window, &MainWindow::plotResultsRequested, this, &FileCommands::plotResults);
    connect(&window, &MainWindow::savePictureRequested, this, &FileCommands::savePicture);
    for (bool records : {false, true}) {
        QMenu* menu = window.recentFilesMenu(records);
        connect(menu, &QMenu::aboutToShow, this, [this, records] { showRecentFiles(records); });
        showRecentFiles(records);
    }
}

void FileCommands::readParameters() {
    const QString name = m_files.openFileName(&m_window, kTextFiles);
    if (!name.isEmpty()) readParametersFrom(name);
}

void FileCommands::readParametersFrom(const QString& name) {
    InputRecord record = m_window.currentInputs();
    const ParameterFileReading reading = readParameterFile(filePath(name), record);
    m_window.setInputs(record);
    if (reading.axisTitles) showAxisTitles(*reading.axisTitles, record);
    // The controls hold that file only when it was read to its end.
    m_window.showParameterFileName(reading.complete() ? name : QString());
    if (reading.complete()) {
        m_window.setDocument(name);
        m_recent[0].add(name);
    } else {
        showError(reading.error);
    }
}

void FileCommands::writeParameters() {
    const QString name = m_files.saveFileName(&m_window, kTextFiles, QString(), "txt");
    if (name.isEmpty()) return;
    try {
        writeParameterFile(filePath(name), m_window.currentInputs());
        m_window.setDocument(name);
        m_recent[0].add(name);
        m_window.showStatusMessage("Parameters written to " + QFileInfo(name).absoluteFilePath());
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::readRecord() {
    const QString name = m_files.openFileName(&m_window, kRecordFiles);
    if (!name.isEmpty()) readRecordFrom(name);
}

void FileCommands::readRecordFrom(const QString& name) {
    try {
        const InputRecord record = readRunRecord(filePath(name));
        m_window.setInputs(record);
        const auto& axes = record.axisDescriptions;
        showAxisTitles({itemText(kLeftAxisItems, axes[0]), itemText(kBottomAxisItems, axes[1])},
                       record);
        m_window.showParameterFileName(name);
        m_window.setDocument(name);
        m_recent[1].add(name);
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::writeRecord() {
    // A record of the stack as it was before the texts that do not read would be a silent loss.
    if (const auto problem = m_window.stackProblem()) {
        showError(problem->message);
        return;
    }
    const QString name = m_files.saveFileName(&m_window, kRecordFiles, QString(), "json");
    if (name.isEmpty()) return;
    try {
        writeRunRecord(filePath(name), m_window.currentInputs());
        m_window.setDocument(name);
        m_recent[1].add(name);
        m_window.showStatusMessage("All settings written to the record " +
                                   QFileInfo(name).absoluteFilePath());
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::saveResults(int file) {
    const char letter = static_cast<char>('A' + file);
    const std::optional<int> slot = m_window.savedCurveSlot();
    const QString title = slot ? seriesTitle(*slot).trimmed() : QString();
    // The default name says which file and which curve: "Data_A F-T Lorentz.txt".
    QString initial = QString::fromStdString(dataFileName(letter));
    if (slot) initial.insert(initial.size() - 4, " " + QString(title).replace('/', '-'));
    const QString name = m_files.saveFileName(&m_window, kTextFiles, initial, "txt");
    if (name.isEmpty()) return;
    const std::vector<double>& x = m_model.induction.curveX();
    const std::vector<double>& y = m_model.induction.curveY();
    try {
        writeDataFile(filePath(name), x, y);
    } catch (const CalcError& e) {
        showError(e.what());
        return;
    }
    const QString curve = slot ? QString("of the curve \"%1\"").arg(title)
                               : QString("(no induction curve has been calculated yet)");
    m_window.showStatusMessage(QString("Data %1: %2 points %3 written to %4")
                                   .arg(letter)
                                   .arg(std::min(x.size(), y.size()))
                                   .arg(curve, QFileInfo(name).absoluteFilePath()));
}

void FileCommands::saveCurves() {
    const ChartPanel& chart = m_window.chart();
    const ResultsTable table = resultsTable(chart.curves(), chart.shownContext());
    const QString name = m_files.saveFileName(&m_window, kCsvFiles, "curves.csv", "csv");
    if (name.isEmpty()) return;
    try {
        replaceFile(filePath(name), csvText(table));
    } catch (const CalcError& e) {
        showError(e.what());
        return;
    }
    m_window.showStatusMessage(QString("%1 curves of %2 rows written to %3")
                                   .arg(table.curveSlots.size())
                                   .arg(table.x.size())
                                   .arg(QFileInfo(name).absoluteFilePath()));
}

void FileCommands::plotResults(int series) {
    const QString name = m_files.openFileName(&m_window, kTextFiles);
    if (name.isEmpty()) return;
    const DataFileReading reading = readDataFile(filePath(name));
    if (reading.badLineCount > 0) m_messages.showError(&m_window, badLinesMessage(reading, name));
    ChartPanel& chart = m_window.chart();
    chart.clearSeries(series);
    const size_t count = std::min(reading.x.size(), reading.y.size());
    for (size_t k = 0; k < count; ++k) chart.appendPoint(series, reading.x[k], reading.y[k]);
    chart.flush();
    // Plotting nothing without a word would look like an empty curve.
    if (!reading.opened) showError("Cannot open file " + name.toStdString());
}

void FileCommands::savePicture() {
    const QString name =
        emforce::savePicture(curveChartPicture(m_window.chart()), m_files, m_messages, &m_window);
    if (!name.isEmpty())
        m_window.showStatusMessage("The chart was written to " +
                                   QFileInfo(name).absoluteFilePath());
}

void FileCommands::showRecentFiles(bool records) {
    const RecentFiles& recent = m_recent[records ? 1 : 0];
    const QStringList missing = recent.pruneMissing();
    if (!missing.isEmpty())
        m_window.showStatusMessage("No longer there, taken off the recent files: " +
                                   missing.join(", "));
    QMenu* menu = m_window.recentFilesMenu(records);
    menu->clear();
    const QStringList files = recent.files();
    if (files.isEmpty()) menu->addAction("(none yet)")->setEnabled(false);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString name = files[i];
        QAction* item = menu->addAction(QString("&%1  %2").arg(i + 1).arg(name));
        connect(item, &QAction::triggered, this,
                [this, records, name] { openRecentFile(records, name); });
    }
}

void FileCommands::openRecentFile(bool records, const QString& name) {
    if (!QFileInfo(name).isFile()) {
        m_recent[records ? 1 : 0].remove(name);
        showRecentFiles(records);
        showError("The file " + name.toStdString() +
                  " no longer exists: it was taken off the recent files");
        return;
    }
    if (records)
        readRecordFrom(name);
    else
        readParametersFrom(name);
}

// The file's titles are for curves of the file's own sweep, motor and geometry.
void FileCommands::showAxisTitles(const AxisTitles& titles, const InputRecord& of) {
    const auto domain = static_cast<Domain>(std::clamp(of.domain, 0, 4));
    m_window.chart().chooseAxisTitles(QString::fromStdString(titles.left),
                                      QString::fromStdString(titles.bottom),
                                      {domain, of.geometry, of.induction});
}

void FileCommands::showError(const std::string& message) {
    m_messages.showError(&m_window, QString::fromStdString(message));
}

}  // namespace emforce
