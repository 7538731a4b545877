// The main window's file commands: the parameter file, the result data files and the picture.
#pragma once

#include <QObject>

#include "files/parameter_file.hpp"
#include "run/calculation_run.hpp"
#include "ui/recent_files.hpp"

class QMenu;

namespace emforce {

class FileChooser;
class MainWindow;
class MessageBoxes;

/// Carries out the menu commands F4, F6, F7 and F9 of a main window: they move texts between a
/// parameter file or a run record and the controls, the last induction curve between a data file and the chart,
/// and the chart into a picture. None of them starts a calculation.
class FileCommands : public QObject {
    Q_OBJECT
public:
    /// Listens to the commands of `window`; `model` is the one model whose curve F6 saves.
    FileCommands(MainWindow& window, Model& model, MessageBoxes& messages, FileChooser& files);

    /// "READ motor parameters from file ...": the chosen file's values in the controls up to
    /// the first that does not convert, the axis titles of its descriptions, and its path in
    /// status panel 2 once it was read to its end; a failure shows its message (naming the file
    /// and the line) and leaves panel 2 empty.
    void readParameters();
    /// The same for a named parameter file.
    void readParametersFrom(const QString& name);
    /// "WRITE motor parameters to file ...": the controls as they stand into the chosen file.
    void writeParameters();
    /// "READ all settings (record) ...": every input from the chosen run record, or none of
    /// them and the message when the record does not read.
    void readRecord();
    /// The same for a named record file.
    void readRecordFrom(const QString& name);
    /// "WRITE all settings (record) ...": every input as it stands into the chosen run record.
    void writeRecord();
    /// "Data A" .. "Data D" (`file` 0..3): the last induction curve into the chosen file, in the
    /// data file format; the dialog starts at Data_A.txt .. Data_D.txt beside the curve's
    /// name and asks before replacing a file. The status bar says how many points of which
    /// curve went where.
    void saveResults(int file);
    /// "all shown curves (CSV) ...": every curve on the chart into the chosen CSV file, a column
    /// per curve after the swept values, with a header of names and units.
    void saveCurves();
    /// "... as serie 1/2/3" (`series` 0..2): the chosen data file into that chart series, with
    /// one message for the lines that do not convert: their count and the first one.
    void plotResults(int series);
    /// "Save the Picture (F9)": the whole chart into a picture file.
    void savePicture();

    /// Fills "Recent parameter files" (records false) or "Recent records" with the files last
    /// read or written, newest first; files that no longer exist are taken off first, and the
    /// status bar names them.
    void showRecentFiles(bool records);
    /// Reads a recent file; one that no longer exists is taken off the list with a message.
    void openRecentFile(bool records, const QString& name);

private:
    void showError(const std::string& message);
    void showAxisTitles(const AxisTitles& titles, const InputRecord& of);

    MainWindow& m_window;
    Model& m_model;
    MessageBoxes& m_messages;
    FileChooser& m_files;
    std::array<RecentFiles, 2> m_recent{RecentFiles("recentFiles/parameters"),
                                        RecentFiles("recentFiles/records")};
};

}  // namespace emforce
