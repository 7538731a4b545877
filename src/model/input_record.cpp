// Labels and start-up values of the input record.
#include "model/input_record.hpp"

#include "model/sample_sets.hpp"

namespace emforce {

const std::array<std::string_view, kParameterRows> kParameterLabels = {
    "  variable x [m] / r [m] / r [m] =",
    "   x0 + a [m] / R [m] / R [m] =",
    "    gap width g [m] =",
    "    layer width a [m] =",
    "    y [m]  /  alfa [-]  /  fi [-] =",
    "    z [m]  /  z [m]  /  teta [-]  =",
    "Stator MMF magn. for ph./ rms / [A]",
    "Rotor  MMF magn. for ph./ rms / [A]",
    "     layer        gamma [S/m]   = ",
    "     layer         eps / eps0   =",
    " gap   ni1d / ni0 =",
    " gap   ni2d / ni0 =",
    "    k (linear) / p (cylindr/spher) =",
    " layer   ni1 / ni0 =",
    " layer   ni2 / ni0 =",
    "       speed      n  [1/s] =",
    " frequency   f1   [Hz]  =",
    " impulse   fI=1/T [1/s] =",
    "     ---------- ",
    "  length (linear/cylindrical)  l  [m] =",
    " teta1 (spherical) [rad] =",
    " teta2 (spherical) [rad] =",
};

InputRecord startupRecord() {
    InputRecord record;
    for (int row = 0; row < kParameterRows; ++row)
        record.parameterTable[static_cast<size_t>(row)][0] = kParameterLabels[static_cast<size_t>(row)];
    record.value(kSeparatorRow) = "    0000000 ";
    record.reluctivityTable = {{{"layer reluctivity", " real ()", " imag ()"},
                                {" ni12 / ni0", "", ""},
                                {" ni21 / ni0", "", ""}}};
    applySampleSet(record, kSampleSets[kStartupSampleSet]);
    return record;
}

}  // namespace emforce
