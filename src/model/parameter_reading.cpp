// The steps of a parameter reading, in the order a reading takes them.
#include "model/parameter_reading.hpp"

#include "model/number_format.hpp"
#include "model/spectrum.hpp"
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

int readHighestHarmonic(const std::string& text) {
    const int h = toInteger(text);
    if (h > kMaxHighestHarmonic)
        throw CalcError("The highest harmonic order " + text +
                        " is beyond the MMF spectrum: choose an order up to 17");
    return h;
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
    return points;
}

}  // namespace

void readParameterSources(InputRecord& r, MotorParameters& p) {
    auto cell = [&r](int row) { return toReal(r.value(row)); };
    p.x = cell(kRowX);
    p.kp = cell(kRowKp);
    p.R = cell(kRowR);
    p.ni1 = cell(kRowNi1) * kNi0;
    p.ni1d = cell(kRowNi1d) * kNi0;
    p.g = cell(kRowG);
    p.ni2 = cell(kRowNi2) * kNi0;
    p.ni2d = cell(kRowNi2d) * kNi0;
    p.a = cell(kRowA);
    p.n = cell(kRowN);
    p.y = cell(kRowY);
    p.f1 = cell(kRowF1);
    p.z = cell(kRowZ);
    p.fI = cell(kRowFI);
    p.mmfStator = cell(kRowMmfStator);
    p.mmfRotor = cell(kRowMmfRotor);
    p.l = cell(kRowL);
    p.gamma = cell(kRowGamma);
    p.teta1 = cell(kRowTeta1);
    p.eps = cell(kRowEps) * kEps0;
    p.teta2 = cell(kRowTeta2);
    p.ni12 = Complex(toReal(r.reluctivityTable[1][1]) * kNi0, p.ni12.im());
    p.ni12 = Complex(p.ni12.re(), toReal(r.reluctivityTable[1][2]) * kNi0);
    p.ni21 = Complex(toReal(r.reluctivityTable[2][1]) * kNi0, p.ni21.im());
    p.ni21 = Complex(p.ni21.re(), toReal(r.reluctivityTable[2][2]) * kNi0);
    p.ni12d = toReal(r.ni12dGap) * kNi0;
    p.ni21d = toReal(r.ni21dGap) * kNi0;
    p.pointsPerCurve = readPointsPerCurve(r.pointsPerCurve);
    p.integrationMethod = readIntegrationMethod(r.integrationMethod);
    p.besselAccuracy = toReal(r.besselAccuracy);
    p.besselLimit = toReal(r.besselLimit);
    p.besselFunctions = readBesselFunctions(r.besselFunctions);
    p.highestHarmonic = readHighestHarmonic(r.highestHarmonic);
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
    p.minSpeed = toReal(record.minSpeed);
    p.maxSpeed = toReal(record.maxSpeed);
    if (p.x > p.R && p.geometry != Geometry::Linear) p.x = p.R;
    record.value(kRowX) = record.value(kRowR);
    if (p.geometry == Geometry::Linear || p.R > p.a) return;
    if (ask && ask(kLayerQuestion)) throw ExitRequested{};
}

}  // namespace emforce
