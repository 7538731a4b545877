// The program's windows, created in order over the one model and wired together.
#include "ui/app_windows.hpp"

namespace emforce {

AppWindows::AppWindows(Model& model, MessageBoxes& messages, FileChooser& files)
    : main(model, messages), mmf(model, messages, files), commands(main, model, messages, files) {
    QObject::connect(&main, &MainWindow::helpRequested, &help, &HelpWindow::showAndRaise);
    main.attachWindingPattern(mmf.windingPatternSelector());
    QObject::connect(&main, &MainWindow::mmfWindowRequested, &mmf, [this] { showMmfWindow(); });
    QObject::connect(&mmf, &MmfWindow::exitRequested, &main, &MainWindow::exitRequested);
}

void AppWindows::showMmfWindow() {
    InputRecord record = main.currentInputs();
    mmf.redraw(record);
    main.setInputs(record);
}

}  // namespace emforce
