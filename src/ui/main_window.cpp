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
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

#include "model/sample_sets.hpp"
#include "run/sweep.hpp"
#include "ui/calculation_worker.hpp"
#include "ui/chart_panel.hpp"
#include "ui/input_binder.hpp"
#include "ui/message_boxes.hpp"
#include "ui/run_input_guard.hpp"

namespace emforce {

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* addCommand(QWidget* menu, const QString& caption, int key = 0) {
    auto* action = new QAction(caption, menu);
    if (key != 0) action->setShortcut(QKeySequence(key));
    menu->addAction(action);
    return action;
}

}  // namespace

MainWindow::MainWindow(Model& model, MessageBoxes& messages, QWidget* parent)
    : QMainWindow(parent), m_messages(messages), m_record(startupRecord()) {
    setObjectName("Form1");
    setWindowTitle(
        "Electromagnetic Force / Torque calculation for linear, cylindrical and spherical motors "
        "(asynchronous - induction and synchronous PM or coiled)");
    resize(1289, 915);

    InputControls controls;
    buildMenus(controls);
    setCentralWidget(buildCentral(controls));
    buildStatusBar();
    m_binder = std::make_unique<InputBinder>(controls);
    m_binder->load(m_record);

    m_worker = new CalculationWorker(model, *this, this);
    connect(m_worker, &CalculationWorker::finished, this, &MainWindow::onRunFinished);
    m_inputGuard = new RunInputGuard(*this, *m_cancelButton, this);
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
    // The captions are long: rather than hide the last commands behind an extension button,
    // the menu bar takes a slightly smaller font where the window's width needs it.
    QFont font = menuBar()->font();
    while (menuBar()->sizeHint().width() > width() && font.pointSizeF() > 7) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        menuBar()->setFont(font);
    }
}

void MainWindow::buildMotorKindMenu(InputControls& c) {
    QMenu* kind = menuBar()->addMenu("Electromechanical converter type (F1/F2)");
    auto* kinds = new QActionGroup(this);
    c.induction = addCommand(kind, "Induction motor", Qt::Key_F1);
    c.synchronous = addCommand(kind, "Synchronous motor", Qt::Key_F2);
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
    QMenu* samples = addShortcutMenu("Sample parameters for ...(F3)", Qt::Key_F3);
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
    QMenu* files = addShortcutMenu("Read/Write parameters (F4)", Qt::Key_F4);
    QAction* read = addCommand(files, "READ motor parameters from file ...");
    addCommand(files, "---------------------");
    QAction* write = addCommand(files, "WRITE motor parameters to file ...");
    connect(read, &QAction::triggered, this, &MainWindow::readParametersRequested);
    connect(write, &QAction::triggered, this, &MainWindow::writeParametersRequested);
    files->addSeparator();
    connect(addCommand(files, "WRITE all settings (record) ..."), &QAction::triggered, this,
            &MainWindow::writeRecordRequested);
    connect(addCommand(files, "READ all settings (record) ..."), &QAction::triggered, this,
            &MainWindow::readRecordRequested);

    QAction* mmf = addCommand(menuBar(), "Rail / Stator MMF  (F5)", Qt::Key_F5);
    connect(mmf, &QAction::triggered, this, &MainWindow::mmfWindowRequested);

    QMenu* save = addShortcutMenu(" Save results to file (F6)", Qt::Key_F6);
    const QStringList dataFiles = {"Data A", "Data B", "Data C", "Data D"};
    for (int file = 0; file < dataFiles.size(); ++file)
        connect(addCommand(save, dataFiles[file]), &QAction::triggered, this,
                [this, file] { Q_EMIT saveResultsRequested(file); });

    QMenu* plot = addShortcutMenu("Plot results from file (F7)", Qt::Key_F7);
    const QStringList plotted = {"... as serie 1 (thin line)", "... as serie 2 (points)",
                                 "... as serie 3 (bold line)"};
    for (int series = 0; series < plotted.size(); ++series)
        connect(addCommand(plot, plotted[series]), &QAction::triggered, this,
                [this, series] { Q_EMIT plotResultsRequested(series); });

    QAction* picture = addCommand(menuBar(), "Save the Picture (F9)", Qt::Key_F9);
    connect(picture, &QAction::triggered, this, &MainWindow::savePictureRequested);
    QAction* help = addCommand(menuBar(), "Help (F10)", Qt::Key_F10);
    help->setObjectName("Help");
    connect(help, &QAction::triggered, this, &MainWindow::helpRequested);

    for (QMenu* menu : {files, save, plot}) m_commands << menu->actions();
    m_commands << mmf << picture << help;
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

void MainWindow::startRun() {
    if (isRunning()) return;
    setRunning(true);
    m_worker->start(currentInputs());
}

void MainWindow::cancelRun() { m_worker->cancel(); }

bool MainWindow::isRunning() const { return m_worker->isRunning(); }

void MainWindow::setRunning(bool running) {
    m_cancelButton->setVisible(running);
    for (QAction* action : m_commands) action->setEnabled(!running);
    for (QShortcut* shortcut : m_menuShortcuts) shortcut->setEnabled(!running);
    m_inputGuard->setActive(running);
    if (running)
        centralWidget()->setCursor(Qt::BusyCursor);
    else
        centralWidget()->unsetCursor();
}

void MainWindow::onRunFinished(bool exitRequested) {
    m_worker->finish();
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

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        centralWidget()->geometry().contains(event->position().toPoint())) {
        startRun();
        return;
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) m_chart->showAxisSelectors();
    QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (isRunning()) {
        m_closeAfterRun = true;
        cancelRun();
        event->ignore();
        return;
    }
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

void MainWindow::appendPoint(int slot, double x, double y) { m_chart->appendPoint(slot, x, y); }

void MainWindow::curveFinished(int) { m_chart->flush(); }

void MainWindow::setField(ResultField field, const std::string& text) {
    QLineEdit* edit = m_resultFields[static_cast<size_t>(field)];
    edit->setText(QString::fromStdString(text));
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
