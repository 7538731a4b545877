// The program's windows, created in order over the one model and wired together.
#include "ui/app_windows.hpp"

namespace emforce {

AppWindows::AppWindows(Model& model, MessageBoxes& messages) : main(model, messages) {
    QObject::connect(&main, &MainWindow::helpRequested, &help, &HelpWindow::showAndRaise);
}

}  // namespace emforce
