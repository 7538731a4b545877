// The gap field of one MMF harmonic of the synchronous motor: a value solved once, read at any r.
#pragma once

#include "model/motor_parameters.hpp"
#include "numerics/complex.hpp"
#include "numerics/radial_functions.hpp"

namespace emforce {

/// The field coefficients of one harmonic: c0 and c1 weight the gap solutions of the first and
/// second root in the field of the stator sheet, c2 and c3 the same in that of the rotor sheet.
struct GapCoefficients {
    Complex c0, c1, c2, c3;
};

/// Normal flux densities (bs, br) and tangential field strengths (hs, hr) of the stator and
/// rotor sheets, per unit MMF amplitude, at one point of the gap.
struct GapFields {
    Complex bs, br, hs, hr;
};

/// The solved gap field of one harmonic (kh = kp·h) at one polar angle θ (read in the spherical
/// geometry only): the gap roots and the coefficients of both sheets. The rotor surface at r = R
/// and the stator surface at r = R + g are infinitely permeable. It refers to the parameters and
/// radial functions it was solved from, which must outlive it unchanged.
struct SynchronousField {
    const MotorParameters* params = nullptr;
    const RadialSlots* slots = nullptr;
    double kh = 0.0;
    /// Gap width.
    double g = 0.0;
    double theta = 0.0;
    /// Gap anisotropy term ρ.
    Complex rho;
    /// First gap root (the + sign before the square root).
    Complex mu1;
    /// Second gap root.
    Complex mu2;
    /// Shift δ added to a root before the derivative slot is called: 1 in the spherical
    /// geometry, else 0.
    double lambdaShift = 0.0;
    /// The coefficients that make each sheet's tangential field zero at the opposite iron
    /// surface and −kh/L at its own.
    GapCoefficients coefficients;
};

/// Solves the harmonic kh for the gap width g at the polar angle θ of the model `p` with the
/// radial functions `slots`.
[[nodiscard]] SynchronousField solveSynchronousField(const MotorParameters& p,
                                                     const RadialSlots& slots, double kh, double g,
                                                     double theta);

/// The boundary functional Q(μ, r) = j·kh·ν21d·P(μ, r) + s(r)·ν2d·P′(μ + δ, r) of the solution
/// with root μ, with s = L/L′; it is −L times the tangential field.
[[nodiscard]] Complex boundaryFunctional(const SynchronousField& f, const Complex& mu, double r);

/// All four fields of both sheets at r = x.
[[nodiscard]] GapFields gapFieldsAt(const SynchronousField& f, double x);
/// The two normal flux densities at r = x (hs and hr stay zero).
[[nodiscard]] GapFields normalFluxesAt(const SynchronousField& f, double x);

}  // namespace emforce
