// The parameter record of the model, its constants, and the harmonic spectra it carries.
#pragma once

#include <array>
#include <optional>

#include "numerics/bessel.hpp"
#include "numerics/complex.hpp"

namespace emforce {

/// Reluctivity of vacuum 1/mu0 [m/H].
inline constexpr double kNi0 = 795774.7154594767;
/// Permittivity of vacuum [F/m].
inline constexpr double kEps0 = 8.854e-12;
/// Amplitude factor of the MMF, 4/pi.
inline constexpr double kFourOverPi = 1.2732395447351628;

/// Motor geometry: the meaning of the coordinate r.
enum class Geometry : int { Linear = 0, Cylindrical = 1, Spherical = 2 };

/// How the induction field model sees a harmonic: at the frequency the moving layer meets and,
/// in the linear geometry, over one fundamental wavelength (Physical); or as the earlier
/// formulation did (Legacy).
enum class Formulation : int { Physical = 0, Legacy = 1 };

/// MMF amplitudes [A] of the harmonic orders -17, -15, ..., 17 (index i is order 2i - 17).
/// An emptied spectrum holds zeros.
using HarmonicSpectrum = std::array<double, 18>;

/// Every number a run works with, converted and scaled from the input record. Reluctivities
/// and the permittivity are absolute (scaled by kNi0 and kEps0); the MMF magnitudes carry 4/pi.
struct MotorParameters {
    double x = 0, kp = 0, R = 0, ni1 = 0, ni1d = 0, g = 0, ni2 = 0, ni2d = 0, a = 0, n = 0, y = 0;
    double f1 = 0, z = 0, fI = 0, mmfStator = 0, mmfRotor = 0, l = 0, gamma = 0, teta1 = 0;
    double eps = 0, teta2 = 0;
    Complex ni12, ni21;
    double ni12d = 0, ni21d = 0;
    int pointsPerCurve = 0;
    int integrationMethod = 0;
    double besselAccuracy = 0, besselLimit = 0;
    BesselChoice besselFunctions = BesselChoice::Accurate;
    Formulation formulation = Formulation::Physical;
    int highestHarmonic = 0;
    double minSpeed = 0, maxSpeed = 0;
    /// The chosen ends of the swept variable where the record gives them (else automatic).
    std::optional<double> sweepFrom, sweepTo;
    // Derived and selected values.
    int phases = 0;
    bool induction = false;
    Geometry geometry = Geometry::Linear;
    double syncSpeed = 0;
    /// The x of the table when the reading moved the Maxwell surface into the gap; none when x
    /// was used as it stands.
    std::optional<double> movedSurface;

    friend bool operator==(const MotorParameters&, const MotorParameters&) = default;
};

/// The process-wide model data that every motor object reads: the parameters and the spectra.
struct ModelData {
    MotorParameters params;
    HarmonicSpectrum statorSpectrum{};
    HarmonicSpectrum rotorSpectrum{};
};

}  // namespace emforce
