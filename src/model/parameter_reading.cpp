// The steps of a parameter reading, in the order a reading takes them.
#include "model/parameter_reading.hpp"

#include <algorithm>
#include <numbers>

#include "model/number_format.hpp"
#include "model/spectrum.hpp"
#include "model/stack_table.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

// Parameter-table rows of the sources.
enum Row : int {
    kRowX = 0, kRowR = 1, kRowG = 2, kRowA = 3, kRowY = 4, kRowZ = 5, kRowMmfStator = 6,
    kRowMmfRotor = 7, kRowGamma = 8, kRowEps = 9, kRowNi1d = 10, kRowNi2d = 11, kRowKp = 12,
    kRowNi1 = 13, kRowNi2 = 14, kRowN = 15, kRowF1 = 16, kRowFI = 17, kRowL = 19, kRowTeta1 = 20,
    kRowTeta2 = 21
};

int readIntegrationMethod(const std::string& text) {
    const int index = itemIndex(kIntegrationMethodItems, text);
    if (index < 0) throw CalcError("'" + text + "' is not an integration method of the list");
    return index;
}

BesselChoice readBesselFunctions(const std::string& text) {
    const int index = itemIndex(kBesselFunctionItems, text);
    if (index < 0) throw CalcError("'" + text + "' is not a valid choice of Bessel functions");
    return index == 0 ? BesselChoice::Accurate : BesselChoice::Series;
}

Formulation readFormulation(const std::string& text) {
    const int index = itemIndex(kFormulationItems, text);
    if (index < 0) throw CalcError("'" + text + "' is not a formulation: choose physical or legacy");
    return static_cast<Formulation>(index);
}

int readHighestHarmonic(const std::string& text) {
    const int h = toInteger(text);
    if (h > kMaxHighestHarmonic)
        throw CalcError("The highest harmonic order " + text +
                        " is beyond the MMF spectrum: choose an order up to 17");
    return h;
}

constexpr InputLocation cellAt(int row) { return {InputSource::ParameterTable, row, 1}; }

// The program's refusal of a value that no motor can have.
[[noreturn]] void impossible(const InputLocation& where, const std::string& text,
                             const std::string& rule) {
    throw InputError("Impossible input: " + inputCaption(where) + " " + text + " (" + rule + ")",
                     where);
}

// A text that is no integer reads as 10, as the spin box shows it.
int readPointsPerCurve(std::string& text) {
    int points = 10;
    try {
        points = toInteger(text);
    } catch (const CalcError&) {
        text = "10";
    }
    if (points > kMaxPointsPerCurve)
        throw CalcError("The point count " + text + " is too large: choose at most " +
                        std::to_string(kMaxPointsPerCurve) + " points per curve");
    if (points < 1)
        impossible({InputSource::PointsPerCurve}, text, "the point count must be at least 1");
    return points;
}

// Runs one conversion of a source; its refusal names the source.
template <class Convert>
auto at(const InputLocation& where, const Convert& convert) {
    try {
        return convert();
    } catch (const InputError&) {
        throw;
    } catch (const CalcError& e) {
        throw InputError(e.what(), where);
    }
}

double cellValue(const InputRecord& r, int row) {
    return at(cellAt(row), [&] { return toReal(r.value(row)); });
}

double positiveCell(const InputRecord& r, int row, const char* rule) {
    const double v = cellValue(r, row);
    if (!(v > 0)) impossible(cellAt(row), r.value(row), rule);
    return v;
}

// A polar bound of the spherical layer strictly inside (0, pi).
double polarBound(const InputRecord& r, int row, const char* rule) {
    const double v = cellValue(r, row);
    if (r.geometry == Geometry::Spherical && !(v > 0 && v < std::numbers::pi))
        impossible(cellAt(row), r.value(row), rule);
    return v;
}

double reluctivityCell(const InputRecord& r, int row, int column) {
    return at(InputLocation{InputSource::ReluctivityTable, row, column}, [&] {
        return toReal(r.reluctivityTable[static_cast<size_t>(row)][static_cast<size_t>(column)]);
    });
}

// A chosen end of the swept variable: empty is automatic; a value no motor can have is refused.
std::optional<double> sweepEnd(const InputRecord& r, const MotorParameters& p,
                               const std::string& text, InputSource source) {
    if (text.empty()) return std::nullopt;
    const InputLocation where{source};
    const double v = at(where, [&] { return toReal(text); });
    const bool rotating = r.geometry != Geometry::Linear;
    switch (r.domain) {
        case 0:
            if (rotating && !(v > 0)) impossible(where, text, "the radius must be greater than 0");
            break;
        case 1:
            if (!(v > 0)) impossible(where, text, "the gap width must be greater than 0");
            break;
        case 2:
            if (!(v > 0)) impossible(where, text, "the layer width must be greater than 0");
            if (rotating && !(v < p.R)) impossible(where, text, "the layer width must be below R");
            break;
        case 3:
            if (r.geometry == Geometry::Spherical && !(v > 0 && v < std::numbers::pi))
                impossible(where, text, "teta must lie between 0 and pi");
            break;
        default:
            break;
    }
    return v;
}

// The chosen ends of the record's swept variable (the speed's are minSpeed and maxSpeed).
void readSweepRange(InputRecord& r, MotorParameters& p) {
    p.sweepFrom.reset();
    p.sweepTo.reset();
    if (r.domain < 0 || r.domain > 4 || (r.domain == 4 && r.induction)) return;
    const auto texts = r.sweepRangeTexts(r.domain, r.induction);
    p.sweepFrom = sweepEnd(r, p, *texts[0], InputSource::SweepFrom);
    p.sweepTo = sweepEnd(r, p, *texts[1], InputSource::SweepTo);
}

}  // namespace

std::string inputCaption(const InputLocation& where) {
    // The labels of the sources after the two tables, in InputSource order.
    static constexpr std::array<std::string_view, 13> kLabels = {
        " ni12d / ni0  of  gap",
        "  ni21d / ni0  of  gap",
        "Points per curve = ",
        "Intergration method ...",
        "Accuracy for I and K functions",
        "Limit for Bessels fuction argument",
        "Highest harmonic order for MMF",
        "min speed = ",
        "max speed = ",
        "Bessel functions",
        "Formulation",
        "sweep From =",
        "sweep To ="};
    std::string label;
    if (where.source == InputSource::ParameterTable)
        label = kParameterLabels[static_cast<size_t>(where.row)];
    else if (where.source == InputSource::ReluctivityTable)
        label = std::string(where.row == 1 ? " ni12 / ni0" : " ni21 / ni0") +
                (where.column == 1 ? " real ()" : " imag ()");
    else if (where.source == InputSource::RegionTable)
        label = "Regions row " + std::to_string(where.row + 1) + ", " +
                std::string(kRegionColumnTitles[static_cast<size_t>(where.column)]);
    else if (where.source == InputSource::CoilSideTable)
        label = "coil side " + std::to_string(where.row + 1) + ", " +
                std::string(kSideColumnTitles[static_cast<size_t>(where.column)]);
    else if (where.source == InputSource::PhaseAngles)
        label = "phase angles [rad]";
    else
        label = kLabels[static_cast<size_t>(where.source) - 2];
    // Labels are padded with runs of blanks for the table's look; a message needs single ones.
    std::string caption;
    for (char c : label) {
        if (c == ' ' && (caption.empty() || caption.back() == ' ')) continue;
        caption += c;
    }
    if (!caption.empty() && caption.back() == ' ') caption.pop_back();
    return caption;
}

void checkWidth(int row, double value, const std::string& text) {
    if (!(value > 0))
        impossible(cellAt(row), text,
                   row == kRowG ? "the gap width must be greater than 0"
                                : "the layer width must be greater than 0");
}

void readParameterSources(InputRecord& r, MotorParameters& p) {
    auto cell = [&r](int row) { return cellValue(r, row); };
    const bool hasLength = r.geometry != Geometry::Spherical;
    p.x = cell(kRowX);
    p.kp = cell(kRowKp);
    p.R = positiveCell(r, kRowR, "R must be greater than 0");
    p.ni1 = cell(kRowNi1) * kNi0;
    p.ni1d = cell(kRowNi1d) * kNi0;
    p.g = cell(kRowG);
    checkWidth(kRowG, p.g, r.value(kRowG));
    p.ni2 = cell(kRowNi2) * kNi0;
    p.ni2d = cell(kRowNi2d) * kNi0;
    p.a = cell(kRowA);
    checkWidth(kRowA, p.a, r.value(kRowA));
    p.n = cell(kRowN);
    p.y = cell(kRowY);
    p.f1 = cell(kRowF1);
    p.z = cell(kRowZ);
    p.fI = cell(kRowFI);
    p.mmfStator = cell(kRowMmfStator);
    p.mmfRotor = cell(kRowMmfRotor);
    p.l = hasLength ? positiveCell(r, kRowL, "the length must be greater than 0") : cell(kRowL);
    p.gamma = cell(kRowGamma);
    if (p.gamma < 0)
        impossible(cellAt(kRowGamma), r.value(kRowGamma), "the conductivity must not be negative");
    p.teta1 = polarBound(r, kRowTeta1, "teta1 must lie between 0 and pi");
    p.eps = cell(kRowEps) * kEps0;
    p.teta2 = polarBound(r, kRowTeta2, "teta2 must lie between 0 and pi");
    if (r.geometry == Geometry::Spherical && !(p.teta2 > p.teta1))
        impossible(cellAt(kRowTeta2),
                   r.value(kRowTeta2) + " with " + inputCaption(cellAt(kRowTeta1)) + " " +
                       r.value(kRowTeta1),
                   "teta2 must be greater than teta1");
    p.ni12 = Complex(reluctivityCell(r, 1, 1) * kNi0, p.ni12.im());
    p.ni12 = Complex(p.ni12.re(), reluctivityCell(r, 1, 2) * kNi0);
    p.ni21 = Complex(reluctivityCell(r, 2, 1) * kNi0, p.ni21.im());
    p.ni21 = Complex(p.ni21.re(), reluctivityCell(r, 2, 2) * kNi0);
    p.ni12d = at({InputSource::Ni12dGap}, [&] { return toReal(r.ni12dGap); }) * kNi0;
    p.ni21d = at({InputSource::Ni21dGap}, [&] { return toReal(r.ni21dGap); }) * kNi0;
    p.pointsPerCurve =
        at({InputSource::PointsPerCurve}, [&] { return readPointsPerCurve(r.pointsPerCurve); });
    p.integrationMethod = at({InputSource::IntegrationMethod},
                             [&] { return readIntegrationMethod(r.integrationMethod); });
    p.besselAccuracy = at({InputSource::BesselAccuracy}, [&] { return toReal(r.besselAccuracy); });
    p.besselLimit = at({InputSource::BesselLimit}, [&] { return toReal(r.besselLimit); });
    p.besselFunctions =
        at({InputSource::BesselFunctions}, [&] { return readBesselFunctions(r.besselFunctions); });
    p.formulation =
        at({InputSource::Formulation}, [&] { return readFormulation(r.formulation); });
    p.highestHarmonic =
        at({InputSource::HighestHarmonic}, [&] { return readHighestHarmonic(r.highestHarmonic); });
    // A scaled value beyond the range of a double is an overflow like any other.
    throwOnFpFault();
}

void rebuildSpectra(const InputRecord& record, ModelData& data) {
    MotorParameters& p = data.params;
    data.statorSpectrum = {};
    data.rotorSpectrum = {};
    p.mmfStator *= kFourOverPi;
    p.mmfRotor *= kFourOverPi;
    throwOnFpFault();
    if (record.windingPattern < 0 || record.windingPattern >= kWindingPatternCount)
        throw CalcError("Winding pattern " + std::to_string(record.windingPattern) +
                        " does not exist: choose a pattern from 0 to 13");
    const Spectra spectra = buildSpectra(record.windingPattern, p.mmfStator, p.mmfRotor);
    data.statorSpectrum = spectra.stator;
    data.rotorSpectrum = spectra.rotor;
    p.phases = spectra.phases;
    throwOnFpFault();
    p.induction = record.induction;
}

RadialSlots selectRadialSlots(Geometry geometry, bool induction, const BesselSettings& bessel) {
    const bool linear = geometry == Geometry::Linear;
    const GapFamily gap = linear ? GapFamily::Exponential : GapFamily::Power;
    if (!induction) return {gap, LayerFamily::None, bessel};
    return {gap, linear ? LayerFamily::Exponential : LayerFamily::Bessel, bessel};
}

void finishReading(InputRecord& record, MotorParameters& p, const QuestionCallback& ask) {
    p.syncSpeed = p.geometry == Geometry::Linear ? p.f1 : checkedValue(p.f1 / p.kp);
    p.minSpeed = at({InputSource::MinSpeed}, [&] { return toReal(record.minSpeed); });
    p.maxSpeed = at({InputSource::MaxSpeed}, [&] { return toReal(record.maxSpeed); });
    readSweepRange(record, p);
    p.movedSurface.reset();
    if (p.formulation == Formulation::Physical && p.induction) {
        // The gap solution holds in the gap alone: far from it, it loses every digit.
        const double inGap = std::clamp(p.x, p.R, p.R + p.g);
        if (inGap != p.x) p.movedSurface = p.x;
        p.x = inGap;
    } else if (p.x > p.R && p.geometry != Geometry::Linear) {
        p.x = p.R;
    }
    record.value(kRowX) = record.value(kRowR);
    if (p.geometry == Geometry::Linear || p.R > p.a) return;
    if (ask && ask(kLayerQuestion)) throw ExitRequested{};
}

}  // namespace emforce
