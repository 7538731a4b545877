// Pictures of the program's windows for the documentation: the options that set up a case.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QCommandLineParser;

namespace emforce {

struct AppWindows;

/// What a screenshot shows: a run's inputs as the options changed them, and where it goes.
struct ScreenshotCase {
    QString file;
    bool mmf = false;       ///< the MMF window after F5, not the main window after a run
    bool spectrum = false;  ///< with mmf: the harmonic spectrum
    bool allCurves = false;
    QString sample;    ///< a sample set's caption
    QString geometry;  ///< linear, cylindrical or spherical
    bool synchronous = false;
    QStringList cells;      ///< "ROW=TEXT" for the parameter table
    QStringList thenCells;  ///< changed after the first run, before a second one
    QStringList edits;      ///< "NAME=TEXT": a list or edit line set before the clicks
    QStringList clicks;     ///< buttons of the pictured window clicked after the run, in order
    bool errorsPage = false;
    bool noRun = false;        ///< the window as it starts, before any run
    int domain = -1;           ///< the swept variable 0..4, or as it starts
    QString harmonic;          ///< the highest harmonic, or as it starts
    QString record;            ///< a run record read after the run
    QString menu;              ///< a menu of the menu bar opened after the run, by its caption
    bool thenCancel = false;   ///< after the run, a long one cancelled while it draws
    bool help = false;         ///< the help window after the run
    bool resultsPage = false;  ///< the page "Results table"
    bool regionsPage = false;  ///< the page "Regions"
};

/// Adds the screenshot options to a parser.
void addScreenshotOptions(QCommandLineParser& parser);
/// The case the options ask for; an empty file when no screenshot is asked for.
ScreenshotCase screenshotCase(const QCommandLineParser& parser);

/// Why the case cannot be pictured: the message of a run record that does not read. The
/// program then says so and ends rather than waiting on a message box nobody answers.
std::optional<std::string> screenshotProblem(const ScreenshotCase& shot);

/// Once the windows are shown: sets up the case, runs it (or presses F5), saves a picture of
/// the whole screen (window frames and message boxes included) and quits. A run whose inputs
/// are refused is pictured with its message box.
void takeScreenshot(AppWindows& windows, const ScreenshotCase& shot);

}  // namespace emforce
