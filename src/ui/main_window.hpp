// The main window: the inputs of a run, its report, harmonic list, chart and result fields.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QPointF>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "model/input_problem.hpp"
#include "run/calculation_run.hpp"
#include "run/run_observer.hpp"
#include "ui/axis_titles.hpp"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTabWidget;
class QTableWidget;

namespace emforce {

class CalculationWorker;
class ChartButtons;
class ChartPanel;
class InputBinder;
class MessageBoxes;
class RunInputGuard;
class RegionsPage;
class ResultsPage;
class SweepPanel;
struct InputControls;

/// The property that marks the widgets whose empty space is the window's background.
inline constexpr const char* kBackgroundProperty = "background";

/// The program's working surface, a view over the input record and the outputs of a run.
/// "Calculate" (F8, Ctrl+R, its button, or a click on the window's background) starts a run,
/// which computes on its own thread while the window shows what it writes and its progress; Esc
/// or the Cancel button abandons it. A run whose inputs cannot be read is not started: the
/// window keeps what it shows, names the input and puts the cursor on it.
class MainWindow : public QMainWindow, public RunObserver {
    Q_OBJECT
public:
    /// `model` is the one model of the program; runs use it, the window never copies it.
    MainWindow(Model& model, MessageBoxes& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Starts a run over a copy of the inputs as the controls hold them now; nothing happens
    /// while a run is active. Inputs that do not read are refused before anything is cleared:
    /// the message is shown, the control that holds the text is selected and the status bar
    /// names it.
    void startRun();
    /// Abandons the active run before its next point; what it wrote stays.
    void cancelRun();
    /// True from the start of a run until the window has taken back its results.
    [[nodiscard]] bool isRunning() const;

    /// The inputs as the controls hold them now.
    const InputRecord& currentInputs();
    /// Why the texts of the page "Regions" do not read, naming the cell; nothing when they do.
    [[nodiscard]] std::optional<InputProblem> stackProblem() const;
    /// Shows a record in the controls.
    void setInputs(const InputRecord& record);
    /// Writes the sample set of that menu index into the parameter tables. Where its caption
    /// names a motor or geometry other than the chosen ones, the status bar offers to switch.
    void applySample(int index);
    /// The hint of the last sample set, empty when none is shown.
    [[nodiscard]] QString sampleHint() const;
    /// Undoes or redoes the last edit of the parameter table (Ctrl+Z, Ctrl+Y).
    void undoTableEdit();
    void redoTableEdit();
    /// Names the parameter file or record the inputs were last read from or written to in the
    /// window's title; an edit after it marks the title with "*".
    void setDocument(const QString& path);
    /// Binds the inputs' winding pattern to the selector of the MMF window.
    void attachWindingPattern(QButtonGroup* selector);
    /// Shows the path of the parameter file last read in status panel 2 (empty: none).
    void showParameterFileName(const QString& path);
    /// A passing note in the status bar, such as what a command wrote where.
    void showStatusMessage(const QString& text);
    /// The slot of the curve the induction motor keeps (the last one an induction run started),
    /// or nothing before the first.
    [[nodiscard]] std::optional<int> savedCurveSlot() const { return m_savedCurveSlot; }

    /// Takes the size and place of the last session where one was kept, else centres the window
    /// on its screen; either way within the screen's available area.
    void restorePlacement();

    /// The submenu "Recent parameter files" (records false) or "Recent records" (true) of F4,
    /// which the file commands fill.
    [[nodiscard]] QMenu* recentFilesMenu(bool records) const {
        return m_recentMenus[records ? 1 : 0];
    }

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
    void curveStarted(int slot, int pointCount) override;
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
    /// "all shown curves (CSV) ...".
    void saveCurvesRequested();
    /// `series` 0..2 for the first three chart series.
    void plotResultsRequested(int series);
    void savePictureRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What a sample set's caption names beyond its cells.
    struct SampleSetKind {
        std::optional<bool> induction;
        std::optional<Geometry> geometry;
    };
    // One edit of a parameter-table cell.
    struct TableEdit {
        int row, column;
        QString before, after;
    };

    void buildMenus(InputControls& controls);
    void buildMotorKindMenu(InputControls& controls);
    void buildSampleMenu();
    void buildCommandMenus();
    QMenu* addShortcutMenu(const QString& title, int key);
    void fitMenuBar();
    void buildStatusBar();
    QWidget* buildCentral(InputControls& controls);
    QWidget* buildTopArea(InputControls& controls);
    QWidget* buildRightArea(InputControls& controls);
    QTabWidget* buildNotebook(InputControls& controls);
    QWidget* buildErrorsPage(InputControls& controls);
    void arrangeTabOrder(const InputControls& controls);
    void refuse(const InputProblem& problem);
    void setRunning(bool running);
    void startProgress(const InputRecord& record);
    void showProgress();
    void onRunFinished(bool exitRequested);
    void loadControls();
    void buildSampleHint();
    void offerSampleSwitch(const SampleSetKind& kind);
    void recordTableEdit(int row, int column);
    void replayTableEdit(QList<TableEdit>& from, QList<TableEdit>& to, bool redo);
    void showModified();
    void watchEdits(const InputControls& controls);
    void showSweepVariable();
    void keepShown();
    void restoreShown();

    // The progress of the active run.
    struct Progress {
        int curves = 0;  // curves the run draws
        int curve = 0;   // the curve in progress, from 1; 0 before the first
        int pointsPerCurve = 0;
        int points = 0;  // points of the curve in progress so far
        bool induction = true;
    };

    // What the window showed before a run: a cancelled run gives it back.
    struct Shown {
        QString report, harmonics, time;
        std::array<QString, kResultFieldCount> fields;
        std::array<QList<QPointF>, kCurveSlots> curves;
        std::optional<CurveContext> context;
        std::optional<int> savedCurveSlot;
        std::vector<double> curveX, curveY;  // the induction motor's last curve
    };

    Model& m_model;
    MessageBoxes& m_messages;
    InputRecord m_record;
    bool m_loading = false;  // the controls are being loaded from m_record
    Shown m_shown;
    bool m_cancelled = false;
    SweepPanel* m_sweepPanel = nullptr;
    QWidget* m_sampleHint = nullptr;
    QLabel* m_sampleHintText = nullptr;
    QPushButton* m_sampleSwitch = nullptr;
    SampleSetKind m_offered;
    QTableWidget* m_table = nullptr;
    QStringList m_tableTexts;  // the value cells as last seen, for the undo list
    QList<TableEdit> m_undo, m_redo;
    bool m_replaying = false;  // an undo or redo is writing a cell
    QString m_document;
    InputRecord m_documentRecord;  // the inputs as the document holds them
    ResultsPage* m_results = nullptr;
    RegionsPage* m_regionsPage = nullptr;
    std::unique_ptr<InputBinder> m_binder;
    ChartPanel* m_chart = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QPlainTextEdit* m_harmonics = nullptr;
    QLineEdit* m_motorKind = nullptr;
    std::array<QLineEdit*, kResultFieldCount> m_resultFields{};
    std::array<QLabel*, 3> m_statusPanels{};
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_calculateButton = nullptr;
    QTabWidget* m_notebook = nullptr;
    ChartButtons* m_chartButtons = nullptr;
    Progress m_progress;
    QElapsedTimer m_elapsed;
    QTimer m_progressTimer;
    std::optional<int> m_savedCurveSlot;
    std::array<QMenu*, 2> m_recentMenus{};  // parameter files, records
    QList<QAction*> m_commands;         // disabled while a run is active
    QList<QShortcut*> m_menuShortcuts;  // likewise
    CalculationWorker* m_worker = nullptr;
    RunInputGuard* m_inputGuard = nullptr;
    bool m_closeAfterRun = false;
};

}  // namespace emforce
