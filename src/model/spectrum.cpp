// Winding patterns, spectrum construction, the harmonic range and the inclusion rule.
#include "model/spectrum.hpp"

#include <algorithm>
#include <cmath>

namespace emforce {

// Coefficient c(h) per index (order 2i - 17). The three-phase patterns are scaled by 1.5, except
// the workshop shape, whose coefficients are used as they are.
const std::array<WindingPattern, kWindingPatternCount> kWindingPatterns = {{
    {"full pitch            3 - phase motor", 3, 1.5,
     {0.0588235, 0.0, 0.0, 0.0909091, 0.0, 0.0, 0.2, 0.0, 0.0, 1.0, 0.3333333, 0.0, 0.1428571, 0.1111111, 0.0, 0.0769231, 0.066667, 0.0}},
    {"chorded 6/7     3 - phase motor", 3, 1.5,
     {-0.0460064, 0.0, 0.0, -0.0710853, 0.0, 0.0, 0.086778, 0.0, 0.0, 0.9749079, 0.260612, 0.0, 0.0, -0.0482133, 0.0, -0.0749831, -0.0650123, 0.0}},
    {"chorded 4/5     3 - phase motor", 3, 1.5,
     {0.0345758, 0.0, 0.0, -0.0864582, 0.0, 0.0, 0.0, 0.0, 0.0, 0.9510625, 0.1959284, 0.0, -0.0839694, -0.1056745, 0.0, -0.0452143, 0.0, 0.0}},
    {"chorded 1/2     3 - phase motor", 3, 1.5,
     {0.028506, 0.0, 0.0, 0.0445404, 0.0, 0.0, 0.1, 0.0, 0.0, 0.5, -0.33333, 0.0, 0.0723278, -0.111111, 0.0, 0.0393592, -0.0666667, 0.0}},
    {"Workshop MMF shape", 3, 1.0,
     {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.2, 0.0, 0.0, 1.0, 0.0, 0.0, 0.142857, 0.0, 0.0, 0.0, 0.0, 0.0}},
    {"chorded 6/7     1 - phase motor", 1, 1.0,
     {-0.038338666666666674, 0.0, 0.0, -0.05923775, 0.0, 0.0, 0.072315, 0.0, 0.0, 0.9749079, 0.260612, 0.0, 0.0, -0.0482133, 0.0, -0.0749831, -0.0650123, 0.0}},
    {"only  -5   space harmonic", 3, 1.5,
     {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.1, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}},
    {"only  +7  space harmonic", 3, 1.5,
     {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0723278, 0.0, 0.0, 0.0, 0.0, 0.0}},
    {"only  -17 space harmonic", 3, 1.5,
     {0.05, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}},
    {"full pitch (4 x  2.5 % slope)      3 - phase motor ", 3, 1.5,
     {0.0097175546, 0.0, 0.0, 0.051965, 0.0, 0.0, 0.1800627, 0.0, 0.0, 0.995872, 0.3211221, 0.0, 0.1157612, 0.0776269, 0.0, 0.0335635, 0.0200063, 0.0}},
    {"full pitch (4 x  5.0 % slope)      3 - phase motor ", 3, 1.5,
     {-0.0089094308, 0.0, 0.0, -0.0081219937, 0.0, 0.0, 0.1273235, 0.0, 0.0, 0.983626, 0.2861305, 0.0, 0.0525539, 0.0121428, 0.0, -0.0152368, -0.0141467, 0.0}},
    {"full pitch (4 x  10  % slope)      3 - phase motor ", 3, 1.5,
     {-0.0052367824, 0.0, 0.0, 0.0077116869, 0.0, 0.0, 4.2241188e-07, 0.0, 0.0, 0.9354876, 0.1681835, 0.0, -0.0308901, -0.0115474, 0.0, 0.0089557446, -5.55416e-07, 0.0}},
    {"full pitch (4 x  16.66.. % slope)    3-phase motor", 3, 1.5,
     {-0.002860461, 0.0, 0.0, -0.0068328111, 0.0, 0.0, -0.0330799, 0.0, 0.0, 0.8269937, 1.255e-06, 0.0, 0.0168774, 1.326e-06, 0.0, 0.0048927912, -5.1077001e-07, 0.0}},
    {"full pitch - triangle  (4 x 25 % slope)   3-phase motor", 3, 1.5,
     {0.00220283658259, 0.0, 0.0, -0.00526132043279, 0.0, 0.0, 0.02546479089, 0.0, 0.0, 0.63661977237, -0.07073553026, 0.0, -0.01299224025, 0.00785950336256, 0.0, 0.00376698090158, -0.00282942121052, 0.0}},
}};

Spectra buildSpectra(int pattern, double mmfStator, double mmfRotor) {
    const WindingPattern& p = kWindingPatterns.at(static_cast<size_t>(pattern));
    Spectra s;
    for (size_t i = 0; i < kHarmonicCount; ++i) {
        s.stator[i] = mmfStator * p.factor * p.coefficients[i];
        s.rotor[i] = mmfRotor * p.factor * p.coefficients[i];
    }
    s.phases = p.phases;
    return s;
}

HarmonicRange harmonicRange(int highestHarmonic) {
    // Integer division truncates toward zero, as the range rule requires; every H below -18
    // gives an empty range, so clamping there only keeps the arithmetic in range.
    const int h = std::max(highestHarmonic, -19);
    return {(17 - h) / 2, (17 + h) / 2};
}

bool harmonicIncluded(double slip, double h, int phases, double amplitude, double syncSpeed) {
    if (std::fabs(slip / syncSpeed) < 1e-7) return false;
    if (phases != 1 && std::fmod(h, 3.0) == 0.0) return false;
    return amplitude != 0.0;
}

}  // namespace emforce
