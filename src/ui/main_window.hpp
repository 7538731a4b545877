// The main window: the inputs of a run, its report, harmonic list, chart and result fields.
#pragma once

#include <QList>
#include <QMainWindow>
#include <array>
#include <memory>

#include "run/calculation_run.hpp"
#include "run/run_observer.hpp"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QTabWidget;

namespace emforce {

class CalculationWorker;
class ChartPanel;
class InputBinder;
class MessageBoxes;
class RunInputGuard;
struct InputControls;

/// The program's working surface, a view over the input record and the outputs of a run. A
/// click on its background starts a run, which computes on its own thread while the window
/// shows what it writes; Esc or the Cancel button abandons it.
class MainWindow : public QMainWindow, public RunObserver {
    Q_OBJECT
public:
    /// `model` is the one model of the program; runs use it, the window never copies it.
    MainWindow(Model& model, MessageBoxes& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Starts a run over a copy of the inputs as the controls hold them now; nothing happens
    /// while a run is active.
    void startRun();
    /// Abandons the active run before its next point; what it wrote stays.
    void cancelRun();
    /// True from the start of a run until the window has taken back its results.
    [[nodiscard]] bool isRunning() const;

    /// The inputs as the controls hold them now.
    const InputRecord& currentInputs();
    /// Shows a record in the controls.
    void setInputs(const InputRecord& record);
    /// Writes the sample set of that menu index into the parameter tables.
    void applySample(int index);
    /// Binds the inputs' winding pattern to the selector of the MMF window.
    void attachWindingPattern(QButtonGroup* selector);
    /// Shows the path of the parameter file last read in status panel 2.
    void showParameterFileName(const QString& path);

    /// The chart of the curves, for the commands that plot or save it.
    [[nodiscard]] ChartPanel& chart() const { return *m_chart; }

    /// The outputs of a run, on the window's thread (RunObserver).
    void clearReport() override;
    void appendReportLine(const std::string& line) override;
    void clearHarmonics() override;
    void appendHarmonicLine(const std::string& line) override;
    void setProgressText(const std::string& text) override;
    void setTimeText(const std::string& text) override;
    void clearSeries(int slot) override;
    void appendPoint(int slot, double x, double y) override;
    void curveFinished(int slot) override;
    void setField(ResultField field, const std::string& text) override;
    bool ask(const std::string& question) override;
    void runAbandoned(const std::string& message) override;

Q_SIGNALS:
    /// A run has ended and the window has taken back what it wrote into the inputs.
    void runFinished();
    /// The user answered Yes to closing the application.
    void exitRequested();
    /// Menu commands carried out by other parts of the program.
    void helpRequested();
    void readParametersRequested();
    void writeParametersRequested();
    void readRecordRequested();
    void writeRecordRequested();
    void mmfWindowRequested();
    /// `file` 0..3 for "Data A" to "Data D".
    void saveResultsRequested(int file);
    /// `series` 0..2 for the first three chart series.
    void plotResultsRequested(int series);
    void savePictureRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus(InputControls& controls);
    void buildMotorKindMenu(InputControls& controls);
    void buildSampleMenu();
    void buildCommandMenus();
    QMenu* addShortcutMenu(const QString& title, int key);
    void buildStatusBar();
    QWidget* buildCentral(InputControls& controls);
    QWidget* buildTopArea(InputControls& controls);
    QWidget* buildRightArea(InputControls& controls);
    QTabWidget* buildNotebook(InputControls& controls);
    QWidget* buildErrorsPage(InputControls& controls);
    void setRunning(bool running);
    void onRunFinished(bool exitRequested);

    MessageBoxes& m_messages;
    InputRecord m_record;
    std::unique_ptr<InputBinder> m_binder;
    ChartPanel* m_chart = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QPlainTextEdit* m_harmonics = nullptr;
    QLineEdit* m_motorKind = nullptr;
    std::array<QLineEdit*, kResultFieldCount> m_resultFields{};
    std::array<QLabel*, 3> m_statusPanels{};
    QPushButton* m_cancelButton = nullptr;
    QList<QAction*> m_commands;         // disabled while a run is active
    QList<QShortcut*> m_menuShortcuts;  // likewise
    CalculationWorker* m_worker = nullptr;
    RunInputGuard* m_inputGuard = nullptr;
    bool m_closeAfterRun = false;
};

}  // namespace emforce
