// The main window's file commands: the parameter file, the result data files and the picture.
#include "ui/file_commands.hpp"

#include <QValueAxis>
#include <algorithm>
#include <filesystem>

#include "files/data_file.hpp"
#include "files/parameter_file.hpp"
#include "files/run_record.hpp"
#include "numerics/fp_guard.hpp"
#include "ui/chart_panel.hpp"
#include "ui/file_chooser.hpp"
#include "ui/main_window.hpp"
#include "ui/message_boxes.hpp"
#include "ui/picture_export.hpp"

namespace emforce {

namespace {

const QString kTextFiles = "*.txt";
const QString kRecordFiles = "*.json";
const QString kBadLineMessage = "For continue click  OK ";

std::filesystem::path filePath(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

template <size_t N>
std::string itemText(const std::array<std::string_view, N>& items, int index) {
    return index >= 0 && index < static_cast<int>(N) ? std::string(items[static_cast<size_t>(index)]) : std::string();
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
    connect(&window, &MainWindow::plotResultsRequested, this, &FileCommands::plotResults);
    connect(&window, &MainWindow::savePictureRequested, this, &FileCommands::savePicture);
}

void FileCommands::readParameters() {
    const QString name = m_files.openFileName(&m_window, kTextFiles);
    if (name.isEmpty()) return;
    m_window.showParameterFileName(name);
    InputRecord record = m_window.currentInputs();
    const ParameterFileReading reading = readParameterFile(filePath(name), record);
    m_window.setInputs(record);
    if (reading.axisTitles) showAxisTitles(*reading.axisTitles);
    if (!reading.complete()) showError(reading.error);
}

void FileCommands::writeParameters() {
    const QString name = m_files.saveFileName(&m_window, kTextFiles, QString(), "txt");
    if (name.isEmpty()) return;
    try {
        writeParameterFile(filePath(name), m_window.currentInputs());
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::readRecord() {
    const QString name = m_files.openFileName(&m_window, kRecordFiles);
    if (name.isEmpty()) return;
    try {
        const InputRecord record = readRunRecord(filePath(name));
        m_window.setInputs(record);
        const auto& axes = record.axisDescriptions;
        showAxisTitles({itemText(kLeftAxisItems, axes[0]), itemText(kBottomAxisItems, axes[1])});
        m_window.showParameterFileName(name);
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::writeRecord() {
    const QString name = m_files.saveFileName(&m_window, kRecordFiles, QString(), "json");
    if (name.isEmpty()) return;
    try {
        writeRunRecord(filePath(name), m_window.currentInputs());
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::saveResults(int file) {
    const std::string name = dataFileName(static_cast<char>('A' + file));
    try {
        writeDataFile(name, m_model.induction.curveX(), m_model.induction.curveY());
    } catch (const CalcError& e) {
        showError(e.what());
    }
}

void FileCommands::plotResults(int series) {
    const QString name = m_files.openFileName(&m_window, kTextFiles);
    if (name.isEmpty()) return;
    const DataFileReading reading = readDataFile(filePath(name));
    for (int i = 0; i < reading.badLineCount; ++i)
        m_messages.showError(&m_window, kBadLineMessage);
    ChartPanel& chart = m_window.chart();
    chart.clearSeries(series);
    const size_t count = std::min(reading.x.size(), reading.y.size());
    for (size_t k = 0; k < count; ++k) chart.appendPoint(series, reading.x[k], reading.y[k]);
    chart.flush();
    // Plotting nothing without a word would look like an empty curve.
    if (!reading.opened) showError("Cannot open file " + name.toStdString());
}

void FileCommands::savePicture() {
    emforce::savePicture(*m_window.chart().view(), m_files, m_messages, &m_window);
}

void FileCommands::showAxisTitles(const AxisTitles& titles) {
    m_window.chart().leftAxis()->setTitleText(QString::fromStdString(titles.left));
    m_window.chart().bottomAxis()->setTitleText(QString::fromStdString(titles.bottom));
}

void FileCommands::showError(const std::string& message) {
    m_messages.showError(&m_window, QString::fromStdString(message));
}

}  // namespace emforce
