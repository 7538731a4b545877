// Entry point of emforce: the model, then the windows, on the built-in default data.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <memory>

#include "model/calculation_run.hpp"
#include "ui/app_windows.hpp"
#include "ui/chart_panel.hpp"
#include "ui/message_boxes.hpp"

namespace {

void centreOnScreen(QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    window.resize(window.size().boundedTo(screen.size()));
    window.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), screen));
}

// Runs the default calculation once the window is up, saves a picture of it and quits.
void autorunAndScreenshot(emforce::MainWindow& window, const QString& file) {
    QObject::connect(&window, &emforce::MainWindow::runFinished, &window, [&window, file] {
        // Scroll bars and text layouts settle on events of their own; let them pass first.
        QTimer::singleShot(200, &window, [&window, file] {
            QCoreApplication::exit(window.grab().save(file) ? 0 : 1);
        });
    });
    QMetaObject::invokeMethod(
        &window, [&window] { window.startRun(); }, Qt::QueuedConnection);
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
    parser.process(app);

    const auto model = std::make_unique<emforce::Model>();
    emforce::QtMessageBoxes messages;
    emforce::AppWindows windows(*model, messages);
    QObject::connect(&windows.main, &emforce::MainWindow::exitRequested, &app,
                     &QCoreApplication::quit);
    centreOnScreen(windows.main);
    centreOnScreen(windows.help);
    windows.main.show();
    if (parser.isSet(screenshot)) autorunAndScreenshot(windows.main, parser.value(screenshot));
    return QApplication::exec();
}
