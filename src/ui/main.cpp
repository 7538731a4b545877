// Entry point of emforce: the model, then the windows, on the built-in default data.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QStyle>
#include <cstdio>
#include <memory>

#include "run/calculation_run.hpp"
#include "ui/app_windows.hpp"
#include "ui/file_chooser.hpp"
#include "ui/message_boxes.hpp"
#include "ui/screenshot.hpp"

namespace {

void centreOnScreen(QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    window.resize(window.size().boundedTo(screen.size()));
    window.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), screen));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("emforce");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Force, torque and power balance of linear, cylindrical and spherical motors.");
    parser.addHelpOption();
    emforce::addScreenshotOptions(parser);
    parser.process(app);
    const emforce::ScreenshotCase shot = emforce::screenshotCase(parser);
    if (const auto problem = emforce::screenshotProblem(shot)) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }

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
    if (!shot.file.isEmpty()) emforce::takeScreenshot(windows, shot);
    return QApplication::exec();
}
