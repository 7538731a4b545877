// The main window: menus, status bar, the run's life cycle and the outputs it shows.
#include "ui/main_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>
#include <chrono>

#include "model/sample_sets.hpp"
#include "run/sweep.hpp"
#include "ui/calculation_worker.hpp"
#include "ui/chart_panel.hpp"
#include "ui/input_binder.hpp"
#include "ui/message_boxes.hpp"
#include "ui/regions_page.hpp"
#include "ui/run_input_guard.hpp"
#include "ui/sweep_panel.hpp"

namespace emforce {

namespace {

constexpr int kWidth = 1289;
constexpr int kHeight = 915;
constexpr int kProgressIntervalMs = 200;
const char* const kPlacementKey = "mainWindow/geometry";
const QString kWindowTitle =
    "Electromagnetic Force / Torque calculation for linear, cylindrical and spherical motors "
    "(asynchronous - induction and synchronous PM or coiled)";

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* addCommand(QWidget* menu, const QString& caption, int key = 0) {
    auto* action = new QAction(caption, menu);
    if (key != 0) action->setShortcut(QKeySequence(key));
    menu->addAction(action);
    return action;
}

QSettings placementSettings() { return QSettings("emforce", "emforce"); }

// A source's caption as the status bar names it: without the "=" that ends a label.
QString statusCaption(const InputLocation& where) {
    QString caption = QString::fromStdString(inputCaption(where));
    if (caption.endsWith('=')) caption.chop(1);
    return caption.trimmed();
}

}  // namespace

MainWindow::MainWindow(Model& model, MessageBoxes& messages, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_messages(messages), m_record(startupRecord()) {
    setObjectName("Form1");
    setWindowTitle(kWindowTitle);
    resize(kWidth, kHeight);

    InputControls controls;
    buildMenus(controls);
    setCentralWidget(buildCentral(controls));
    buildStatusBar();
    buildSampleHint();
    arrangeTabOrder(controls);
    m_binder = std::make_unique<InputBinder>(controls);
    loadControls();
    watchEdits(controls);
    // The sweep row follows the variable, the motor and the values its automatic ends take.
    connect(controls.domain, &QButtonGroup::idToggled, this, &MainWindow::showSweepVariable);
    connect(controls.geometry, &QButtonGroup::idToggled, this, &MainWindow::showSweepVariable);
    connect(controls.induction, &QAction::toggled, this, &MainWindow::showSweepVariable);
    connect(controls.parameters, &QTableWidget::itemChanged, this, &MainWindow::showSweepVariable);
    m_table = controls.parameters;
    for (int row = 0; row < kParameterRows; ++row)
        for (int column = 0; column < 2; ++column)
            m_tableTexts << m_table->item(row, column)->text();
    connect(m_table, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { recordTableEdit(item->row(), item->column()); });
    for (auto [keys, redo] : {std::pair{Qt::CTRL | Qt::Key_Z, false},
                              {Qt::CTRL | Qt::Key_Y, true},
                              {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, true}}) {
        auto* shortcut =
            new QShortcut(QKeySequence(keys), m_table, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
                redo ? &MainWindow::redoTableEdit : &MainWindow::undoTableEdit);
    }

    m_worker = new CalculationWorker(model, *this, this);
    connect(m_worker, &CalculationWorker::finished, this, &MainWindow::onRunFinished);
    m_inputGuard = new RunInputGuard(*this, *m_cancelButton, this);
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &MainWindow::showProgress);
}

MainWindow::~MainWindow() {
    // The run must not outlive the widgets it writes to.
    m_worker->cancel();
    m_worker->finish();
}

void MainWindow::buildMenus(InputControls& c) {
    buildMotorKindMenu(c);
    buildSampleMenu();
    buildCommandMenus();
    fitMenuBar();
}

// The captions are long: rather than hide the last commands behind an extension button, the
// menu bar takes a slightly smaller font where the window's width or the screen needs it.
void MainWindow::fitMenuBar() {
    const int room = std::min(kWidth, screen()->availableGeometry().width());
    QFont font = menuBar()->font();
    while (menuBar()->sizeHint().width() > room && font.pointSizeF() > 7) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        menuBar()->setFont(font);
    }
}

void MainWindow::buildMotorKindMenu(InputControls& c) {
    QMenu* kind = menuBar()->addMenu("&Electromechanical converter type (F1/F2)");
    auto* kinds = new QActionGroup(this);
    c.induction = addCommand(kind, "&Induction motor", Qt::Key_F1);
    c.synchronous = addCommand(kind, "&Synchronous motor", Qt::Key_F2);
    c.induction->setObjectName("Induction");
    c.synchronous->setObjectName("Synchronous");
    for (QAction* action : {c.induction, c.synchronous}) {
        action->setCheckable(true);
        kinds->addAction(action);
        m_commands << action;
    }
    connect(c.induction, &QAction::toggled, this, [this](bool induction) {
        m_motorKind->setText(induction ? "Induction motor" : "Synchronous motor");
    });
}

void MainWindow::buildSampleMenu() {
    QMenu* samples = addShortcutMenu("&Sample parameters for ...(F3)", Qt::Key_F3);
    auto* group = new QActionGroup(this);
    for (int i = 0; i < static_cast<int>(kSampleSets.size()); ++i) {
        const SampleSet& set = kSampleSets[static_cast<size_t>(i)];
        QAction* action = addCommand(samples, qtText(set.caption));
        action->setObjectName(qtText(set.name));
        action->setCheckable(true);
        action->setChecked(i == kStartupSampleSet);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { applySample(i); });
        m_commands << action;
    }
}

// The commands that other parts of the program carry out, reached through signals.
void MainWindow::buildCommandMenus() {
    QMenu* files = addShortcutMenu("&Read/Write parameters (F4)", Qt::Key_F4);
    QAction* read = addCommand(files, "READ motor parameters from file ...");
    addCommand(files, "---------------------")->setSeparator(true);  // drawn as a line
    QAction* write = addCommand(files, "WRITE motor parameters to file ...");
    connect(read, &QAction::triggered, this, &MainWindow::readParametersRequested);
    connect(write, &QAction::triggered, this, &MainWindow::writeParametersRequested);
    files->addSeparator();
    connect(addCommand(files, "WRITE all settings (record) ..."), &QAction::triggered, this,
            &MainWindow::writeRecordRequested);
    connect(addCommand(files, "READ all settings (record) ..."), &QAction::triggered, this,
            &MainWindow::readRecordRequested);
    files->addSeparator();
    m_recentMenus = {files->addMenu("Recent parameter files"), files->addMenu("Recent records")};
    m_recentMenus[0]->setObjectName("RecentParameterFiles");
    m_recentMenus[1]->setObjectName("RecentRecords");

    QAction* mmf = addCommand(menuBar(), "Rail / Stator &MMF  (F5)", Qt::Key_F5);
    connect(mmf, &QAction::triggered, this, &MainWindow::mmfWindowRequested);

    QMenu* save = addShortcutMenu(" Save results to &file (F6)", Qt::Key_F6);
    const QStringList dataFiles = {"Data &A", "Data &B", "Data &C", "Data &D"};
    for (int file = 0; file < dataFiles.size(); ++file)
        connect(addCommand(save, dataFiles[file]), &QAction::triggered, this,
                [this, file] { Q_EMIT saveResultsRequested(file); });
    save->addSeparator();
    connect(addCommand(save, "all shown curves (CSV) ..."), &QAction::triggered, this,
            &MainWindow::saveCurvesRequested);

    QMenu* plot = addShortcutMenu("&Plot results from file (F7)", Qt::Key_F7);
    const QStringList plotted = {"... as serie &1 (thin line)", "... as serie &2 (points)",
                                 "... as serie &3 (bold line)"};
    for (int series = 0; series < plotted.size(); ++series)
        connect(addCommand(plot, plotted[series]), &QAction::triggered, this,
                [this, series] { Q_EMIT plotResultsRequested(series); });

    QAction* calculate = addCommand(menuBar(), "&Calculate (F8)");
    calculate->setObjectName("Calculate");
    calculate->setShortcuts({QKeySequence(Qt::Key_F8), QKeySequence(Qt::CTRL | Qt::Key_R)});
    calculate->setToolTip("Start the calculation (F8, Ctrl+R)");
    connect(calculate, &QAction::triggered, this, &MainWindow::startRun);

    QAction* picture = addCommand(menuBar(), "Save &the Picture (F9)", Qt::Key_F9);
    connect(picture, &QAction::triggered, this, &MainWindow::savePictureRequested);
    QAction* help = addCommand(menuBar(), "&Help (F10)", Qt::Key_F10);
    help->setObjectName("Help");
    connect(help, &QAction::triggered, this, &MainWindow::helpRequested);

    for (QMenu* menu : {files, save, plot}) m_commands << menu->actions();
    m_commands << mmf << calculate << picture << help;
}

// A menu of the menu bar that its function key opens.
QMenu* MainWindow::addShortcutMenu(const QString& title, int key) {
    QMenu* menu = menuBar()->addMenu(title);
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, this,
            [this, menu] { menuBar()->setActiveAction(menu->menuAction()); });
    m_menuShortcuts << shortcut;
    return menu;
}

void MainWindow::buildStatusBar() {
    // The longest texts of the progress and time panels; the file name takes what is left.
    const std::array<QString, 3> widest = {
        "it has been done by now 100 % of serie no. 10",
        "Calculation Time (including chart drawing) = 00:00:00,0", QString()};
    for (size_t i = 0; i < m_statusPanels.size(); ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(widest[i]) + 24);
        statusBar()->addWidget(panel, i == 2 ? 1 : 0);
        m_statusPanels[i] = panel;
    }
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName("RunProgress");
    m_progressBar->setRange(0, 1000);
    m_progressBar->setMinimumWidth(m_progressBar->fontMetrics().horizontalAdvance(
                                       "curve 10 of 10: 100 % (1001 of 1001 points)  00:00:00,0") +
                                   24);
    m_progressBar->hide();
    statusBar()->addPermanentWidget(m_progressBar);
    m_cancelButton = new QPushButton("Cancel");
    m_cancelButton->setObjectName("CancelRun");
    m_cancelButton->setToolTip("Abandon the calculation (Esc)");
    m_cancelButton->setShortcut(Qt::Key_Escape);
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, &MainWindow::cancelRun);
    statusBar()->addPermanentWidget(m_cancelButton);
}

const InputRecord& MainWindow::currentInputs() {
    m_binder->store(m_record);
    m_regionsPage->store(m_record);
    return m_record;
}

std::optional<InputProblem> MainWindow::stackProblem() const { return m_regionsPage->problem(); }

void MainWindow::setInputs(const InputRecord& record) {
    m_record = record;
    // New inputs start the list of edits anew.
    m_undo.clear();
    m_redo.clear();
    loadControls();
}

void MainWindow::loadControls() {
    m_loading = true;
    m_binder->load(m_record);
    m_regionsPage->load(m_record.stack, m_record.geometry);
    m_loading = false;
    showSweepVariable();
    showModified();
}

void MainWindow::showSweepVariable() {
    if (m_loading) return;
    m_sweepPanel->showVariable(currentInputs());
}

void MainWindow::applySample(int index) {
    InputRecord record = currentInputs();
    const SampleSet& set = kSampleSets[static_cast<size_t>(index)];
    applySampleSet(record, set);
    setInputs(record);
    // The set writes its cells only; its caption may name a motor the window does not show.
    const QString caption = qtText(set.caption);
    SampleSetKind kind;
    if (caption.contains("synchronous", Qt::CaseInsensitive) && record.induction)
        kind.induction = false;
    const QStringList geometries = {"linear", "cylindrical", "spherical"};
    for (int g = 0; g < geometries.size(); ++g)
        if (caption.contains(geometries[g], Qt::CaseInsensitive) &&
            static_cast<int>(record.geometry) != g)
            kind.geometry = static_cast<Geometry>(g);
    offerSampleSwitch(kind);
}

void MainWindow::buildSampleHint() {
    m_sampleHint = new QWidget;
    m_sampleHint->setObjectName("SampleHint");
    auto* row = new QHBoxLayout(m_sampleHint);
    row->setContentsMargins(0, 0, 0, 0);
    m_sampleHintText = new QLabel;
    m_sampleSwitch = new QPushButton;
    m_sampleSwitch->setObjectName("SampleSwitch");
    auto* dismiss = new QToolButton;
    dismiss->setText(QString::fromUtf8("×"));
    dismiss->setToolTip("Keep the motor and geometry as they are");
    row->addWidget(m_sampleHintText);
    row->addWidget(m_sampleSwitch);
    row->addWidget(dismiss);
    connect(dismiss, &QToolButton::clicked, m_sampleHint, &QWidget::hide);
    connect(m_sampleSwitch, &QPushButton::clicked, this, [this] {
        InputRecord record = currentInputs();
        if (m_offered.induction) record.induction = *m_offered.induction;
        if (m_offered.geometry) record.geometry = *m_offered.geometry;
        setInputs(record);
        m_sampleHint->hide();
        showStatusMessage("Switched to " +
                          m_sampleSwitch->text().mid(QString("Switch to ").size()));
    });
    m_sampleHint->hide();
    statusBar()->addPermanentWidget(m_sampleHint);
}

void MainWindow::offerSampleSwitch(const SampleSetKind& kind) {
    m_offered = kind;
    QStringList names;
    if (kind.induction) names << (*kind.induction ? "induction" : "synchronous");
    if (kind.geometry)
        names << QStringList{"linear", "cylindrical",
                             "spherical"}[static_cast<int>(*kind.geometry)];
    m_sampleHint->setVisible(!names.isEmpty());
    if (names.isEmpty()) return;
    m_sampleHintText->setText("Set for " + names.join(", ") + ":");
    // Whole: the file-name panel beside it gives up its room first.
    m_sampleHintText->setMinimumWidth(m_sampleHintText->sizeHint().width());
    m_sampleSwitch->setText("Switch to " + names.join(", "));
}

QString MainWindow::sampleHint() const {
    return m_sampleHint->isVisibleTo(this) ? m_sampleHintText->text() : QString();
}

// Each edit of a value cell, with the text it replaced, for Ctrl+Z and Ctrl+Y.
void MainWindow::recordTableEdit(int row, int column) {
    const qsizetype at = row * 2 + column;
    const QString now = m_table->item(row, column)->text();
    if (!m_loading && !m_replaying && now != m_tableTexts[at]) {
        m_undo << TableEdit{row, column, m_tableTexts[at], now};
        m_redo.clear();
    }
    m_tableTexts[at] = now;
    if (!m_loading) showModified();
}

// Reading the controls while they are being loaded would take half of the new record.
void MainWindow::showModified() {
    if (!m_document.isEmpty()) setWindowModified(!(currentInputs() == m_documentRecord));
}

// Every input control marks the title when the user changes it. Edit lines count what is typed:
// the window itself rewrites the sweep's ends when the variable changes.
void MainWindow::watchEdits(const InputControls& c) {
    const auto changed = [this] {
        if (!m_loading) showModified();
    };
    connect(c.reluctivity, &QTableWidget::itemChanged, this, changed);
    for (QLineEdit* edit : {c.ni12dGap, c.ni21dGap, c.sweepFrom, c.sweepTo})
        connect(edit, &QLineEdit::textEdited, this, changed);
    connect(c.pointsPerCurve, &QSpinBox::valueChanged, this, changed);
    for (QComboBox* box : {c.integrationMethod, c.besselAccuracy, c.besselLimit, c.besselFunctions,
                           c.formulation, c.highestHarmonic})
        connect(box, &QComboBox::currentTextChanged, this, changed);
    for (QComboBox* box : c.axisDescriptions)
        connect(box, &QComboBox::currentTextChanged, this, changed);
    for (QButtonGroup* group : {c.geometry, c.domain})
        connect(group, &QButtonGroup::idToggled, this, changed);
    connect(c.induction, &QAction::toggled, this, changed);
    for (QCheckBox* box : c.curves) connect(box, &QCheckBox::toggled, this, changed);
    connect(m_regionsPage, &RegionsPage::edited, this, changed);
}

void MainWindow::undoTableEdit() { replayTableEdit(m_undo, m_redo, false); }

void MainWindow::redoTableEdit() { replayTableEdit(m_redo, m_undo, true); }

// Takes the last edit of one list, writes its old (undo) or new (redo) text, and keeps it in
// the other list.
void MainWindow::replayTableEdit(QList<TableEdit>& from, QList<TableEdit>& to, bool redo) {
    if (from.isEmpty()) return;
    const TableEdit edit = from.takeLast();
    m_replaying = true;
    m_table->item(edit.row, edit.column)->setText(redo ? edit.after : edit.before);
    m_replaying = false;
    to << edit;
}

void MainWindow::setDocument(const QString& path) {
    m_document = path;
    m_documentRecord = currentInputs();
    setWindowTitle(kWindowTitle +
                   (path.isEmpty() ? QString() : " - " + QFileInfo(path).fileName() + "[*]"));
    setWindowModified(false);
}

void MainWindow::attachWindingPattern(QButtonGroup* selector) {
    m_binder->attachWindingPattern(selector);
    connect(selector, &QButtonGroup::idToggled, this, [this] {
        if (!m_loading) showModified();
    });
    loadControls();
}

void MainWindow::showParameterFileName(const QString& path) { m_statusPanels[2]->setText(path); }

void MainWindow::showStatusMessage(const QString& text) {
    constexpr int kShownMs = 15000;
    statusBar()->showMessage(text, kShownMs);
}

void MainWindow::restorePlacement() {
    const QByteArray saved = placementSettings().value(kPlacementKey).toByteArray();
    if (!saved.isEmpty() && restoreGeometry(saved)) return;
    // A frame of the window manager's comes around the window: leave room for it.
    const QRect screenArea = screen()->availableGeometry();
    const QSize room = screenArea.size() - QSize(16, 48);
    resize(QSize(kWidth, kHeight).boundedTo(room).expandedTo(minimumSizeHint()));
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screenArea));
}

void MainWindow::startRun() {
    if (isRunning()) return;
    const InputRecord& record = currentInputs();
    // The inputs are read before anything is cleared: a refused run leaves the last one shown.
    std::optional<InputProblem> problem = stackProblem();
    if (!problem) problem = findInputProblem(record);
    if (problem) {
        refuse(*problem);
        return;
    }
    keepShown();
    const auto domain = static_cast<Domain>(std::clamp(record.domain, 0, 4));
    m_chart->setCurveContext({domain, record.geometry, record.induction});
    startProgress(record);
    setRunning(true);
    m_worker->start(record);
}

void MainWindow::refuse(const InputProblem& problem) {
    const QString message = QString::fromStdString(problem.message);
    m_statusPanels[0]->setText(problem.where ? "Run refused: " + statusCaption(*problem.where)
                                             : "Run refused: " + message);
    m_statusPanels[0]->setToolTip(message);
    m_statusPanels[1]->clear();
    if (problem.where) m_binder->focus(*problem.where);
    m_messages.showError(this, message);
    // The message box took the focus; the cell or field gets it back.
    if (problem.where) m_binder->focus(*problem.where);
}

void MainWindow::cancelRun() { m_worker->cancel(); }

void MainWindow::keepShown() {
    m_cancelled = false;
    m_shown.report = m_report->toPlainText();
    m_shown.harmonics = m_harmonics->toPlainText();
    m_shown.time = m_statusPanels[1]->text();
    for (size_t f = 0; f < m_resultFields.size(); ++f)
        m_shown.fields[f] = m_resultFields[f]->text();
    m_shown.curves = m_chart->curves();
    m_shown.context = m_chart->curveContext();
    m_shown.savedCurveSlot = m_savedCurveSlot;
    m_shown.curveX = m_model.induction.curveX();
    m_shown.curveY = m_model.induction.curveY();
}

// A cancelled run leaves no half results: the window shows again what it showed before.
void MainWindow::restoreShown() {
    m_report->setPlainText(m_shown.report);
    m_harmonics->setPlainText(m_shown.harmonics);
    m_statusPanels[1]->setText(m_shown.time);
    for (size_t f = 0; f < m_resultFields.size(); ++f) {
        m_resultFields[f]->setText(m_shown.fields[f]);
        m_resultFields[f]->setToolTip(m_shown.fields[f]);
        m_resultFields[f]->setCursorPosition(0);
    }
    m_chart->showCurves(m_shown.curves, m_shown.context);
    m_savedCurveSlot = m_shown.savedCurveSlot;
    m_model.induction.curveX() = m_shown.curveX;
    m_model.induction.curveY() = m_shown.curveY;
    m_statusPanels[0]->setText(QString(kCancelledMessage) +
                               ": the results of the run before are shown");
}

bool MainWindow::isRunning() const { return m_worker->isRunning(); }

void MainWindow::setRunning(bool running) {
    m_cancelButton->setVisible(running);
    m_progressBar->setVisible(running);
    m_calculateButton->setEnabled(!running);
    for (QAction* action : m_commands) action->setEnabled(!running);
    for (QShortcut* shortcut : m_menuShortcuts) shortcut->setEnabled(!running);
    m_inputGuard->setActive(running);
    if (running)
        centralWidget()->setCursor(Qt::BusyCursor);
    else
        centralWidget()->unsetCursor();
}

void MainWindow::startProgress(const InputRecord& record) {
    int curves = 0;
    for (int slot = 0; slot < kCurveSlots; ++slot)
        if (record.curves[static_cast<size_t>(slot)] && motorComputes(slot, record.induction))
            ++curves;
    m_progress = {curves, 0, 0, 0, record.induction};
    m_statusPanels[0]->setToolTip(QString());
    // The last run's texts would read as this one's progress.
    m_statusPanels[0]->setText("calculating ...");
    m_statusPanels[1]->clear();
    m_elapsed.start();
    m_progressTimer.start();
    showProgress();
}

void MainWindow::showProgress() {
    const Progress& p = m_progress;
    const QString elapsed =
        QString::fromStdString(durationText(std::chrono::milliseconds(m_elapsed.elapsed())));
    QString text;
    if (p.curve == 0) {
        text =
            p.curves == 0 ? "report of the tabled point, no curves" : "report of the tabled point";
        m_progressBar->setValue(0);
    } else {
        const int percent = p.pointsPerCurve > 0 ? p.points * 100 / p.pointsPerCurve : 100;
        text = QString("curve %1 of %2: %3 % (%4 of %5 points)")
                   .arg(p.curve)
                   .arg(p.curves)
                   .arg(percent)
                   .arg(p.points)
                   .arg(p.pointsPerCurve);
        const double done = (p.curve - 1 + percent / 100.0) / std::max(p.curves, 1);
        m_progressBar->setValue(static_cast<int>(1000 * std::min(done, 1.0)));
    }
    m_progressBar->setFormat(text + "  " + elapsed);
}

void MainWindow::onRunFinished(bool exitRequested) {
    m_worker->finish();
    m_progressTimer.stop();
    // What a run writes into its inputs: the x cell and a point count it had to reset. The
    // winding pattern lives on the MMF window, which stays usable during a run: it is taken
    // as it stands now.
    m_binder->store(m_record);
    const InputRecord& after = m_worker->record();
    m_record.value(0) = after.value(0);
    m_record.pointsPerCurve = after.pointsPerCurve;
    loadControls();
    m_chart->flush();
    if (m_cancelled) restoreShown();
    setRunning(false);
    Q_EMIT runFinished();
    if (exitRequested)
        Q_EMIT this->exitRequested();
    else if (m_closeAfterRun)
        close();
}

// Only the window's background starts a run: labels, group titles and other passive widgets
// let a click through to the window, which then finds what lies under it.
void MainWindow::mousePressEvent(QMouseEvent* event) {
    const QWidget* hit = childAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit != nullptr &&
        hit->property(kBackgroundProperty).toBool()) {
        startRun();
        return;
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_chart->showAxisSelectorsOnce();
    QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (isRunning()) {
        m_closeAfterRun = true;
        cancelRun();
        event->ignore();
        return;
    }
    placementSettings().setValue(kPlacementKey, saveGeometry());
    QMainWindow::closeEvent(event);
}

void MainWindow::clearReport() { m_report->clear(); }

void MainWindow::appendReportLine(const std::string& line) {
    m_report->appendPlainText(QString::fromStdString(line));
}

void MainWindow::clearHarmonics() { m_harmonics->clear(); }

void MainWindow::appendHarmonicLine(const std::string& line) {
    m_harmonics->appendPlainText(QString::fromStdString(line));
}

void MainWindow::setProgressText(const std::string& text) {
    m_statusPanels[0]->setText(QString::fromStdString(text));
}

void MainWindow::setTimeText(const std::string& text) {
    m_statusPanels[1]->setText(QString::fromStdString(text));
}

void MainWindow::clearSeries(int slot) { m_chart->clearSeries(slot); }

void MainWindow::appendPoint(int slot, double x, double y) {
    ++m_progress.points;
    m_chart->appendPoint(slot, x, y);
}

void MainWindow::curveStarted(int slot, int pointCount) {
    ++m_progress.curve;
    m_progress.points = 0;
    m_progress.pointsPerCurve = pointCount;
    // The induction motor keeps the last curve it started (its curve is emptied at the start).
    if (m_progress.induction) m_savedCurveSlot = slot;
    showProgress();
}

void MainWindow::curveFinished(int) {
    m_chart->flush();
    showProgress();
}

void MainWindow::setField(ResultField field, const std::string& text) {
    QLineEdit* edit = m_resultFields[static_cast<size_t>(field)];
    edit->setText(QString::fromStdString(text));
    edit->setToolTip(edit->text());
    edit->setCursorPosition(0);
}

bool MainWindow::ask(const std::string& question) {
    return m_messages.askYesNo(this, QString::fromStdString(question));
}

void MainWindow::runAbandoned(const std::string& message) {
    if (message == kCancelledMessage)
        m_cancelled = true;
    else
        m_messages.showError(this, QString::fromStdString(message));
}

}  // namespace emforce
