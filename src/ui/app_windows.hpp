// The program's windows, created in order over the one model and wired together.
#pragma once

#include "ui/help_window.hpp"
#include "ui/main_window.hpp"

namespace emforce {

/// The main window and then the help window; "Help (F10)" shows the one help window.
struct AppWindows {
    AppWindows(Model& model, MessageBoxes& messages);

    MainWindow main;
    HelpWindow help;
};

}  // namespace emforce
