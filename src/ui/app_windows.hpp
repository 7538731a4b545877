// The program's windows, created in order over the one model and wired together.
#pragma once

#include "ui/file_commands.hpp"
#include "ui/help_window.hpp"
#include "ui/main_window.hpp"
#include "ui/mmf_window.hpp"

namespace emforce {

class FileChooser;

/// The main window, the help window and the MMF window, in this order, and the file commands
/// of the main window. "Help (F10)" shows the one help window; F5 redraws and shows the one MMF
/// window, whose winding-pattern selector every reading of the main window's inputs takes.
struct AppWindows {
    AppWindows(Model& model, MessageBoxes& messages, FileChooser& files);

    /// F5: the MMF window's redraw over the main window's inputs, which take back what the
    /// reading wrote into them.
    void showMmfWindow();

    MainWindow main;
    HelpWindow help;
    MmfWindow mmf;
    FileCommands commands;
};

}  // namespace emforce
