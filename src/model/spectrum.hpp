// MMF harmonic spectra: the fourteen winding patterns, the harmonic range and the inclusion rule.
#pragma once

#include <array>
#include <string_view>

#include "model/motor_parameters.hpp"

namespace emforce {

/// Number of harmonic orders, -17..17 odd.
inline constexpr int kHarmonicCount = 18;
/// Number of winding patterns.
inline constexpr int kWindingPatternCount = 14;

/// The order of spectrum index i, 2i - 17.
constexpr int harmonicOrder(int index) { return 2 * index - 17; }

/// One MMF shape: its caption, number of phases, spectrum factor and coefficient per index.
struct WindingPattern {
    std::string_view caption;
    int phases;
    double factor;
    std::array<double, kHarmonicCount> coefficients;
};

/// The patterns in selector order.
extern const std::array<WindingPattern, kWindingPatternCount> kWindingPatterns;

/// The two spectra of a reading and the number of phases.
struct Spectra {
    HarmonicSpectrum stator{};
    HarmonicSpectrum rotor{};
    int phases = 3;
};

/// Builds both spectra from the pattern and the MMF magnitudes (which already carry 4/pi).
Spectra buildSpectra(int pattern, double mmfStator, double mmfRotor);

/// Inclusive index range of a harmonic sum for the highest order H; empty when first > last.
struct HarmonicRange {
    int first;
    int last;
};
/// trunc((17 - H) / 2) .. trunc((17 + H) / 2); callers refuse H above 18 beforehand.
HarmonicRange harmonicRange(int highestHarmonic);

/// Whether an induction evaluator takes harmonic h with slip speed `slip` into account: the
/// relative slip is at least 1e-7, the order is no multiple of 3 unless the winding is
/// single-phase, and the stator amplitude is not zero. syncSpeed = 0 raises a division by zero.
bool harmonicIncluded(double slip, double h, int phases, double amplitude, double syncSpeed);

}  // namespace emforce
