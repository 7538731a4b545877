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

}  // namespace emforce
