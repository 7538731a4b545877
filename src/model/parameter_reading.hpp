// Reading the input record into the parameter record, the spectra and the radial slots.
#pragma once

#include <functional>
#include <string>

#include "model/input_record.hpp"
#include "model/motor_parameters.hpp"
#include "numerics/fp_guard.hpp"
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

/// The sources of a reading: the cells of the two tables and the other edits and lists.
enum class InputSource {
    ParameterTable,
    ReluctivityTable,
    Ni12dGap,
    Ni21dGap,
    PointsPerCurve,
    IntegrationMethod,
    BesselAccuracy,
    BesselLimit,
    HighestHarmonic,
    MinSpeed,
    MaxSpeed,
    BesselFunctions,
    Formulation,
    SweepFrom,
    SweepTo,
    RegionTable,    ///< a cell of the regions of the record's stack: row, column
    CoilSideTable,  ///< a cell of the stack's coil sides: row, column
    PhaseAngles,    ///< the stack's phase angles
};

/// Where a text of the input record stands: its source and, in a table, its cell.
struct InputLocation {
    InputSource source = InputSource::ParameterTable;
    int row = 0;
    int column = 1;

    bool operator==(const InputLocation&) const = default;
};

/// A text of one source that the reading refuses: it does not convert, or it is physically
/// impossible. what() is the message the user sees; where() the source that holds the text.
class InputError : public CalcError {
public:
    InputError(const std::string& message, const InputLocation& where)
        : CalcError(message), m_where(where) {}
    [[nodiscard]] const InputLocation& where() const { return m_where; }

private:
    InputLocation m_where;
};

/// The name of a source as its label reads, blanks collapsed: "gap width g [m] =",
/// "ni12 / ni0 imag ()", "min speed =".
std::string inputCaption(const InputLocation& where);

/// Refuses a gap width (parameter row 2) or layer width (row 3) that is not greater than 0 with
/// the message a reading gives; `text` is the value as it is shown. Throws InputError.
void checkWidth(int row, double value, const std::string& text);

/// Converts every source in reading order, storing each field as soon as it converts, so that
/// a text that does not convert leaves the earlier fields new and the later ones old. Each
/// physically impossible value is refused as soon as it is read, before any arithmetic uses it:
/// a gap width, layer width, R or (linear, cylindrical) length not greater than 0, a negative
/// conductivity, (spherical) teta1 or teta2 outside (0, pi) or teta2 not above teta1, a point
/// count below 1. Throws InputError with the conversion message or the program's own message
/// (an integration method or a choice of Bessel functions that is not in its list, a highest
/// harmonic beyond the spectra, a point count above kMaxPointsPerCurve, an impossible value);
/// CalcError for an overflow of the scaled values. A point count that is not an integer reads as 10
/// and the record's text becomes "10".
void readParameterSources(InputRecord& record, MotorParameters& params);

/// Scales the MMF magnitudes by 4/pi, rebuilds both spectra and the phase count from the
/// winding pattern, and takes the motor kind from the record.
void rebuildSpectra(const InputRecord& record, ModelData& data);

/// The radial families of a geometry and motor kind.
RadialSlots selectRadialSlots(Geometry geometry, bool induction, const BesselSettings& bessel);

/// The end of a reading: synchronous speed, speed range, the clamp of x (physical induction
/// motor: into the gap [R, R + g], noting the table's x in movedSurface when it moves; else at
/// most R in the rotating geometries), the copy of the R text
/// into the x cell and the layer question (Yes throws ExitRequested). A speed limit that does
/// not convert throws InputError.
void finishReading(InputRecord& record, MotorParameters& params, const QuestionCallback& ask);

}  // namespace emforce
