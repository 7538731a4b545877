// Entry point of emforce: the model, then the windows, on the built-in default data.
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <memory>

#include "run/calculation_run.hpp"
#include "ui/app_windows.hpp"
#include "ui/chart_panel.hpp"
#include "ui/file_chooser.hpp"
#include "ui/message_boxes.hpp"

namespace {

void centreOnScreen(QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    window.resize(window.size().boundedTo(screen.size()));
    window.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), screen));
}

// Runs the default calculation once the window is up, saves a picture of it and quits; with
// allCurves every curve box is checked first, so the picture shows every series style.
void autorunAndScreenshot(emforce::MainWindow& window, const QString& file, bool allCurves) {
    if (allCurves) {
        for (QCheckBox* box : window.findChildren<QCheckBox*>())
            if (box->objectName().startsWith("Wykres")) box->setChecked(true);
    }
    QObject::connect(&window, &emforce::MainWindow::runFinished, &window, [&window, file] {
        // Scroll bars and text layouts settle on events of their own; let them pass first.
        QTimer::singleShot(200, &window, [&window, file] {
            QCoreApplication::exit(window.grab().save(file) ? 0 : 1);
        });
    });
    QMetaObject::invokeMethod(
        &window, [&window] { window.startRun(); }, Qt::QueuedConnection);
}

// Redraws the MMF window as F5 does, in the chosen mode, saves a picture of it and quits.
void mmfScreenshot(emforce::AppWindows& windows, const QString& file, bool spectrum) {
    QMetaObject::invokeMethod(
        &windows.main,
        [&windows, file, spectrum] {
            windows.mmf.findChild<QCheckBox*>("CB0")->setChecked(spectrum);
            windows.showMmfWindow();
            QTimer::singleShot(200, &windows.mmf, [&windows, file] {
                QCoreApplication::exit(windows.mmf.grab().save(file) ? 0 : 1);
            });
        },
        Qt::QueuedConnection);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("emforce");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Force, torque and power balance of linear, cylindrical and spherical motors.");
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        "autorun-and-screenshot", "Run the default calculation, save the window as FILE and quit.",
        "FILE");
    parser.addOption(screenshot);
    const QCommandLineOption allCurves(
        "all-curves", "With --autorun-and-screenshot: check every curve box before the run.");
    parser.addOption(allCurves);
    const QCommandLineOption mmfScreenshotOption(
        "mmf-screenshot", "Press F5 on the default data, save the MMF window as FILE and quit.",
        "FILE");
    parser.addOption(mmfScreenshotOption);
    const QCommandLineOption spectrum(
        "mmf-spectrum", "With --mmf-screenshot: the harmonic spectrum, not the distribution.");
    parser.addOption(spectrum);
    parser.process(app);

    const auto model = std::make_unique<emforce::Model>();
    emforce::QtMessageBoxes messages;
    emforce::QtFileChooser files;
    emforce::AppWindows windows(*model, messages, files);
    QObject::connect(&windows.main, &emforce::MainWindow::exitRequested, &app,
                     &QCoreApplication::quit);
    windows.main.restorePlacement();
    centreOnScreen(windows.help);
    centreOnScreen(windows.mmf);
    windows.main.show();
    if (parser.isSet(screenshot))
        autorunAndScreenshot(windows.main, parser.value(screenshot), parser.isSet(allCurves));
    if (parser.isSet(mmfScreenshotOption))
        mmfScreenshot(windows, parser.value(mmfScreenshotOption), parser.isSet(spectrum));
    return QApplication::exec();
}
