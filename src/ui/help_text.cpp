// The text of the help window: what the program computes and how to use it.
#include "ui/help_text.hpp"

namespace emforce {

const std::array<std::string_view, 53> kHelpLines = {
    "The program provides analytical calculations for force / torque for linear, cylindrical and "
    "spherical electromechanical converters asynchronous (induction) and synchronous.",
    "CALCULATIONS ARE BEGUN BY SINGLE CLICK ON MAIN FORM AREA. ",
    "",
    "Description:",
    "The moving part (carrriage, rotor) is placed on ferromagnetic core and is made of conductive "
    "layer that is magnetically anisotropic.",
    "The layer reluctivity could be non-diagonal /magnetic anisotropy/ allowing for complex "
    "reluctivity coefficients for e.g. gyrotropic media .",
    "The gap could be anisotropic with reluctivity matrix of real elements.",
    "The space harmonics of mmf are taken into account up to 17th harmonic.",
    "",
    "It can be set:",
    "   number of mmf space harmonics 1,3,5,7,9,11,13,15,17 (3, 9, 15 - for 1 phase of 3-phase MMF "
    "and for 1-phase motors) )",
    "   pitch of rail / stator coils",
    "   shape of mmf force",
    "   maximal value of mmf per phase",
    "   all motor parametrs ",
    "      (they can be saved to and read from the text file)",
    "   integration method and its accuracy e.g. 1e-7,",
    "   limit for argument (its modul) for approximation of Bessels functions by exp(z)/...    "
    "e.g. 15.",
    "      ",
    "",
    "",
    "Speed n [1/s]:",
    "   - for linear converter equals to carriage relative linear speed v / wave length Y (Y = "
    "two pole-pitch),",
    "   - for cylindrical and spherical converters equals to the rotor speed.",
    "",
    "",
    "The following forces (linear motor full-wave MMF) or torques (cylindrical, spherical motor "
    "p-pair pole MMF) are calculated:",
    " 1. by Maxwell method / Maxwell stress tensor T",
    " 2. by coenergy function (covers the first, second and third mentioned components ) T",
    " 3. Lorentz (current) force density TL",
    " 4. material (nonhomogenity) component / anisotropy component  TM",
    " 5. impulse / electromagnetic momentum component  TI",
    "If for all of above cases mentioned  checkboxes are checked the errors both average and "
    "maximal for forces/torque curves will be calculated and presented above chart.",
    "         T = TL + TM + TI",
    "",
    "",
    "The conductive layer powers are evaluated as follows",
    " 1. Poynting vector surface integral  PS",
    " 2. Joule power losses volume density (volume integral)  PJ",
    " 3. Power differential component dP = PS - PJ appears ",
    "     if either reluctiviteies are non-hermitian conjugate or impulse magnetic or electric "
    "fields exist for  f1 != 0",
    "",
    "The both above mentioned method lead to the same power losses values for hermitian "
    "conjugate reluctivity matrix !",
    "",
    "Integration is performed by Simpson method (but with great number of subintervals about 50) "
    "- it seems to be most accurate",
    "Gaussian and Czebyszew integration variants are tested succesfully (both time and "
    "accuracy).",
    "",
    "The aacuracy for solutions (either Exponential or Bessel functions od modified Bessels "
    "functions) are presented ",
    "by means of comparison between both left-hand and right-hand sides of ordinary differential "
    "equations of second order.",
    "Moreover, there is calculated global/integral error defined (relative) for conductive layer.",
    "(the more accuracy converges to 0 for the most accurate functions)",
    "The Bessels functions are aproximated by exp(z) and z functions for great arguments (the "
    "limit can be chosen  e.g. Ltd = 15)",
    "",
};

const std::array<std::string_view, 44> kUsageLines = {
    "USING THE PROGRAM",
    "",
    "Running",
    "   Calculate (F8, Ctrl+R, the button, or a click on the window's empty background) computes "
    "the tabled point (the report at the top right) and the checked curves.",
    "   The status bar shows the curve in progress, its points and the time; Esc or Cancel "
    "abandons a run: the window then shows again the results from before it.",
    "   An input that cannot be read, or that no motor can have, is refused before the run starts: "
    "a message names it and the cursor is put on it.",
    "",
    "Sweeps",
    "   \"versus\" chooses the swept variable. The row above the chart names it with its unit and "
    "holds From, To and \"Points per curve\".",
    "   An empty From or To is automatic: the field shows greyed the value the run will take (x: R "
    "... R + g, g ... 2 g, a ... 0,99 R, 0,1 z ... 1,1 z, load angle -pi/kp ... pi/kp); \"auto\" "
    "empties both.",
    "   The speed of the induction motor always has typed ends (min and max speed).",
    "",
    "Curves and axes",
    "   Force or torque is on the left axis; powers and the I and K accuracies get axes of their "
    "own at the right, and the legend marks such a curve \"(right axis, W)\".",
    "   The titles follow the sweep, the geometry and the motor. To choose your own: \"in\", pick "
    "or type the titles and sizes, then the long button under them; a title stays with curves of "
    "its kind.",
    "   Point at a curve: the line under the chart reads the curve, x and y with units.",
    "   Drag a rectangle to zoom in, turn the mouse wheel to zoom, double-click the chart or "
    "\"fit\" to show every point again. Ctrl+C on the chart copies it as an image.",
    "",
    "Chart buttons (left of the notebook)",
    "   cl   clears every curve from the chart",
    "   lg   shows or hides the legend",
    "   in   shows the selectors of the axis titles and their font sizes",
    "   re   removes the axis titles",
    "   f    makes the axis labels one point larger (after 20 back to 7)",
    "   In   steps the left-axis increment (after the largest back to automatic)",
    "   0    pins the left axis at 0 (again: automatic)",
    "   5    pins the left-axis maximum at 5 (again: automatic)",
    "",
    "Exports",
    "   F6 \"Data A\" ... \"Data D\": the last induction curve as a data file (x and y on "
    "alternate lines) under a name you choose; F7 plots such a file back into series 1, 2 or 3.",
    "   F6 \"all shown curves (CSV) ...\": every curve on the chart in columns, with a header of "
    "names and units.",
    "   The page \"Results table\" shows the same numbers; \"Copy table\" or Ctrl+C puts them on "
    "the clipboard as tab-separated text.",
    "   F9 saves the chart as SVG, PDF or PNG. The status bar says what was written where.",
    "",
    "Records and parameter files",
    "   F4: the parameter file keeps the tables and most settings (84 lines); a run record (JSON) "
    "keeps every input, the sweep ranges too, and reruns to the same numbers. \"Recent parameter "
    "files\" and \"Recent records\" in F4 open the last ones again.",
    "   The page \"Regions\" edits a record's stack of regions (core, layers, gap, excitation, "
    "stator) and the coil sides of its winding; \"no stack\" runs the parameter table's model.",
    "   \"*\" after the file name in the title: an input was changed since it was read or "
    "written.",
    "   A sample set (F3) writes its cells only; when its caption names another motor or geometry, "
    "the status bar offers to switch to them.",
    "",
    "Shortcuts",
    "   F1 / F2 induction / synchronous motor, F3 sample sets, F4 files, F5 MMF window, F6 save "
    "results, F7 plot a file, F8 calculate, F9 picture, F10 this help, Esc cancel (or close this "
    "window).",
    "",
    "",
};

}  // namespace emforce
