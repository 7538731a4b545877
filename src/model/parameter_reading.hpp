// Reading the input record into the parameter record, the spectra and the radial slots.
#pragma once

#include <functional>
#include <string>

#include "model/input_record.hpp"
#include "model/motor_parameters.hpp"
#include "numerics/radial_functions.hpp"

namespace emforce {

/// Asks a Yes/No question; true is Yes. A caller without a user answers No.
using QuestionCallback = std::function<bool(const std::string& question)>;

/// The question of a reading whose layer is at least as wide as its outer radius.
inline constexpr const char* kLayerQuestion = "It must be satisfied R > a ! Close application ?";
/// The highest harmonic order that the spectra can serve (the range of 18 still fits them).
inline constexpr int kMaxHighestHarmonic = 18;
/// The most points a curve may have: far beyond any chart, and a bound on the work of a run.
inline constexpr int kMaxPointsPerCurve = 100000;

/// Converts every source in reading order, storing each field as soon as it converts, so that
/// a text that does not convert leaves the earlier fields new and the later ones old. Throws
/// CalcError with the conversion message, or with the program's own message for an
/// integration method or a choice of Bessel functions that is not in its list, a highest
/// harmonic beyond the spectra or a point count above kMaxPointsPerCurve. A point count that
/// is not an integer reads as 10 and the record's text becomes "10".
void readParameterSources(InputRecord& record, MotorParameters& params);

/// Scales the MMF magnitudes by 4/pi, rebuilds both spectra and the phase count from the
/// winding pattern, and takes the motor kind from the record.
void rebuildSpectra(const InputRecord& record, ModelData& data);

/// The radial families of a geometry and motor kind.
RadialSlots selectRadialSlots(Geometry geometry, bool induction, const BesselSettings& bessel);

/// The end of a reading: synchronous speed, speed range, the clamp of x, the copy of the R text
/// into the x cell and the layer question (Yes throws ExitRequested).
void finishReading(InputRecord& record, MotorParameters& params, const QuestionCallback& ask);

}  // namespace emforce
