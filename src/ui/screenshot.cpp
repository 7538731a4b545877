// Pictures of the program's windows for the documentation: the options that set up a case.
#include "ui/screenshot.hpp"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "files/run_record.hpp"
#include "files/safe_file.hpp"
#include "model/input_problem.hpp"
#include "model/sample_sets.hpp"
#include "ui/app_windows.hpp"

namespace emforce {

namespace {

// Scroll bars, text layouts and the window manager settle on events of their own.
constexpr int kSettleMs = 400;
constexpr int kMessageBoxMs = 1200;

std::filesystem::path filePath(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

// Through the program's one writer, as every file it writes.
void saveScreenAndQuit(const QString& file) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(&buffer, "PNG")) {
        std::fprintf(stderr, "The screen could not be pictured\n");
        QCoreApplication::exit(1);
        return;
    }
    try {
        replaceFile(filePath(file),
                    std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        QCoreApplication::exit(0);
    } catch (const CalcError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        QCoreApplication::exit(1);
    }
}

void setCells(MainWindow& window, const QStringList& cells) {
    InputRecord record = window.currentInputs();
    for (const QString& cell : cells) {
        const int row = cell.section('=', 0, 0).toInt();
        if (row >= 0 && row < kParameterRows)
            record.value(row) = cell.section('=', 1).toStdString();
    }
    window.setInputs(record);
}

// Sets the texts of editable lists and edit lines of a window by their object names.
void setEdits(QWidget& window, const QStringList& edits) {
    for (const QString& edit : edits) {
        const QString name = edit.section('=', 0, 0);
        const QString text = edit.section('=', 1);
        if (auto* list = window.findChild<QComboBox*>(name))
            list->setEditText(text);
        else if (auto* line = window.findChild<QLineEdit*>(name))
            line->setText(text);
    }
}

// Clicks buttons of a window by their object names, each after the one before has been drawn.
void clickAll(QWidget& window, QStringList names) {
    if (names.isEmpty()) return;
    if (auto* button = window.findChild<QAbstractButton*>(names.takeFirst())) button->click();
    QTimer::singleShot(kSettleMs / 2, &window, [&window, names] { clickAll(window, names); });
}

// The time the clicks and their drawing take.
int settleAfter(const QStringList& clicks) {
    return kSettleMs + static_cast<int>(clicks.size()) * kSettleMs / 2;
}

// Starts a run; the screen is pictured once it has ended (by the caller), or with the message
// box of a refused run, which waits for the user.
void runAndPicture(MainWindow& window, const QString& file) {
    if (findInputProblem(window.currentInputs()))
        QTimer::singleShot(kMessageBoxMs, &window, [file] { saveScreenAndQuit(file); });
    window.startRun();
}

// A long run of the same inputs, cancelled while it draws its first curve.
void startAndCancel(MainWindow& window) {
    InputRecord record = window.currentInputs();
    record.highestHarmonic = "17";
    record.pointsPerCurve = "1000";
    record.integrationMethod = kIntegrationMethodItems[0];
    window.setInputs(record);
    window.startRun();
    QTimer::singleShot(kMessageBoxMs, &window, [&window] { window.cancelRun(); });
}

// What follows the run: a record read, a menu opened, the help shown.
void afterRun(AppWindows& windows, const ScreenshotCase& shot) {
    if (!shot.record.isEmpty()) windows.commands.readRecordFrom(shot.record);
    if (shot.help) windows.help.showAndRaise();
    if (!shot.menu.isEmpty())
        for (QAction* item : windows.main.menuBar()->actions())
            if (QString(item->text()).remove('&').startsWith(shot.menu) && item->menu()) {
                // Opened after the clicks have been drawn; the picture waits for it.
                QTimer::singleShot(kSettleMs / 2, &windows.main, [&windows, item] {
                    windows.main.menuBar()->setActiveAction(item);
                });
                break;
            }
}

void applyCase(MainWindow& window, const ScreenshotCase& shot) {
    // As its menu item applies it, with the offer its caption may bring.
    if (!shot.sample.isEmpty())
        if (const auto set = findSampleSet(shot.sample.toStdString())) window.applySample(*set);
    InputRecord record = window.currentInputs();
    const QStringList geometries = {"linear", "cylindrical", "spherical"};
    if (geometries.contains(shot.geometry))
        record.geometry = static_cast<Geometry>(geometries.indexOf(shot.geometry));
    if (shot.synchronous) record.induction = false;
    if (shot.allCurves) record.curves.fill(true);
    if (shot.domain >= 0) record.domain = shot.domain;
    if (!shot.harmonic.isEmpty()) record.highestHarmonic = shot.harmonic.toStdString();
    window.setInputs(record);
    setCells(window, shot.cells);
    if (shot.errorsPage) window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
    if (shot.resultsPage) window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(2);
    if (shot.regionsPage) window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(3);
}

}  // namespace

void addScreenshotOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {"autorun-and-screenshot", "Run the calculation, save the screen as FILE and quit.",
         "FILE"},
        {"mmf-screenshot", "Press F5, save the screen as FILE and quit.", "FILE"},
        {"mmf-spectrum", "With --mmf-screenshot: the harmonic spectrum, not the distribution."},
        {"all-curves", "Check every curve box before the run."},
        {"sample", "Load the sample set of this caption first.", "CAPTION"},
        {"motor-geometry", "linear, cylindrical or spherical.", "NAME"},
        {"synchronous", "The synchronous motor."},
        {"set", "Set a cell of the parameter table, ROW=TEXT (repeatable).", "ROW=TEXT"},
        {"edit",
         "After the run, set the text of the list or edit line of this object name "
         "(repeatable; before the clicks).",
         "NAME=TEXT"},
        {"click", "After the run, click the button of this object name (repeatable).", "NAME"},
        {"then-set", "After the run, set a cell so and run again (repeatable).", "ROW=TEXT"},
        {"errors-page", "Show the page Errors / Accuracy."},
        {"results-page", "Show the page Results table."},
        {"regions-page", "Show the page Regions."},
        {"no-run", "Picture the window as it starts, without a run."},
        {"domain", "The swept variable, 0 to 4.", "N"},
        {"harmonic", "The highest harmonic.", "N"},
        {"read-record", "After the run, read this run record.", "FILE"},
        {"open-menu", "After the run, open the menu whose caption starts so.", "CAPTION"},
        {"then-cancel", "After the run, start a long one and cancel it while it draws."},
        {"help-window", "After the run, show the help window."},
    });
}

ScreenshotCase screenshotCase(const QCommandLineParser& parser) {
    ScreenshotCase shot;
    shot.mmf = parser.isSet("mmf-screenshot");
    shot.file = parser.value(shot.mmf ? "mmf-screenshot" : "autorun-and-screenshot");
    shot.spectrum = parser.isSet("mmf-spectrum");
    shot.allCurves = parser.isSet("all-curves");
    shot.sample = parser.value("sample");
    shot.geometry = parser.value("motor-geometry");
    shot.synchronous = parser.isSet("synchronous");
    shot.cells = parser.values("set");
    shot.thenCells = parser.values("then-set");
    shot.edits = parser.values("edit");
    shot.clicks = parser.values("click");
    shot.errorsPage = parser.isSet("errors-page");
    shot.resultsPage = parser.isSet("results-page");
    shot.regionsPage = parser.isSet("regions-page");
    shot.noRun = parser.isSet("no-run");
    shot.domain = parser.isSet("domain") ? parser.value("domain").toInt() : -1;
    shot.harmonic = parser.value("harmonic");
    shot.record = parser.value("read-record");
    shot.menu = parser.value("open-menu");
    shot.thenCancel = parser.isSet("then-cancel");
    shot.help = parser.isSet("help-window");
    return shot;
}

std::optional<std::string> screenshotProblem(const ScreenshotCase& shot) {
    if (shot.record.isEmpty()) return std::nullopt;
    try {
        (void)readRunRecord(filePath(shot.record));
    } catch (const CalcError& e) {
        return e.what();
    }
    return std::nullopt;
}

void takeScreenshot(AppWindows& windows, const ScreenshotCase& shot) {
    MainWindow& window = windows.main;
    const QString file = shot.file;
    QTimer::singleShot(kSettleMs, &window, [&windows, &window, shot, file] {
        applyCase(window, shot);
        if (shot.mmf) {
            windows.mmf.findChild<QCheckBox*>("CB0")->setChecked(shot.spectrum);
            windows.showMmfWindow();
            QTimer::singleShot(kSettleMs, &windows.mmf, [&windows, shot, file] {
                setEdits(windows.mmf, shot.edits);
                clickAll(windows.mmf, shot.clicks);
                QTimer::singleShot(settleAfter(shot.clicks), &windows.mmf,
                                   [file] { saveScreenAndQuit(file); });
            });
            return;
        }
        if (shot.noRun) {
            QTimer::singleShot(kSettleMs, &window, [file] { saveScreenAndQuit(file); });
            return;
        }
        auto runs = std::make_shared<int>(0);
        QObject::connect(
            &window, &MainWindow::runFinished, &window, [&windows, &window, shot, file, runs] {
                if (++*runs > 1) {  // the cancelled one, once the window has shown its end
                    QTimer::singleShot(kSettleMs, &window, [file] { saveScreenAndQuit(file); });
                    return;
                }
                setEdits(window, shot.edits);
                clickAll(window, shot.clicks);
                afterRun(windows, shot);
                QTimer::singleShot(settleAfter(shot.clicks), &window, [&window, shot, file] {
                    if (shot.thenCancel) return startAndCancel(window);
                    if (shot.thenCells.isEmpty()) return saveScreenAndQuit(file);
                    setCells(window, shot.thenCells);
                    runAndPicture(window, file);
                });
            });
        runAndPicture(window, file);
    });
}

}  // namespace emforce
