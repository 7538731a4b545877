// The main window: menus, status bar, the run's life cycle and the outputs it shows.
#include "ui/main_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
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
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <chrono>

#include "model/sample_sets.hpp"
#include "run/sweep.hpp"
#include "ui/calculation_worker.hpp"
#include "ui/chart_panel.hpp"
#include "ui/input_binder.hpp"
#include "ui/message_boxes.hpp"
#include "ui/run_input_guard.hpp"

namespace emforce {

namespace {

constexpr int kWidth = 1289;
constexpr int kHeight = 915;
constexpr int kProgressIntervalMs = 200;
const char* const kPlacementKey = "mainWindow/geometry";

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
    : QMainWindow(parent), m_messages(messages), m_record(startupRecord()) {
    setObjectName("Form1");
    setWindowTitle(
        "Electromagnetic Force / Torque calculation for linear, cylindrical and spherical motors "
        "(asynchronous - induction and synchronous PM or coiled)");
    resize(kWidth, kHeight);

    InputControls controls;
    buildMenus(controls);
    setCentralWidget(buildCentral(controls));
    buildStatusBar();
    arrangeTabOrder(controls);
    m_binder = std::make_unique<InputBinder>(controls);
    m_binder->load(m_record);

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

    QAction* mmf = addCommand(menuBar(), "Rail / Stator &MMF  (F5)", Qt::Key_F5);
    connect(mmf, &QAction::triggered, this, &MainWindow::mmfWindowRequested);

    QMenu* save = addShortcutMenu(" Save results to &file (F6)", Qt::Key_F6);
    const QStringList dataFiles = {"Data &A", "Data &B", "Data &C", "Data &D"};
    for (int file = 0; file < dataFiles.size(); ++file)
        connect(addCommand(save, dataFiles[file]), &QAction::triggered, this,
                [this, file] { Q_EMIT saveResultsRequested(file); });

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
    const std::array<QString, 3> widest = {"it has been done by now 100 % of serie no. 10",
                                           "Calculation Time (including chart drawing) = 00:00:00",
                                           QString()};
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
                                       "curve 10 of 10: 100 % (1001 of 1001 points)  00:00:00") +
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
    return m_record;
}

void MainWindow::setInputs(const InputRecord& record) {
    m_record = record;
    m_binder->load(m_record);
}

void MainWindow::applySample(int index) {
    InputRecord record = currentInputs();
    applySampleSet(record, kSampleSets[static_cast<size_t>(index)]);
    setInputs(record);
}

void MainWindow::attachWindingPattern(QButtonGroup* selector) {
    m_binder->attachWindingPattern(selector);
    m_binder->load(m_record);
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
    if (const std::optional<InputProblem> problem = findInputProblem(record)) {
        refuse(*problem);
        return;
    }
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
    const int slots = record.induction ? kCurveSlots : 5;
    m_progress = {
        static_cast<int>(std::count(record.curves.begin(), record.curves.begin() + slots, true)), 0,
        0, 0, record.induction};
    m_statusPanels[0]->setToolTip(QString());
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
    m_binder->load(m_record);
    m_chart->flush();
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
        setProgressText(message);
    else
        m_messages.showError(this, QString::fromStdString(message));
}

}  // namespace emforce
