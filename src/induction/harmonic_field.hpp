// The field of one MMF harmonic in the layered model: a value solved once and read at any radius.
#pragma once

#include "induction/field_basis.hpp"
#include "induction/solve_display.hpp"
#include "model/motor_parameters.hpp"
#include "numerics/complex.hpp"
#include "numerics/radial_functions.hpp"

namespace emforce {

/// Weights of the layer solution (C) and of the two gap solutions (D1, D2) of one harmonic, of
/// the solutions of the field's bases (normalised with the accurate Bessel functions): the
/// potentials C·U(r) and D1·G1(r) + D2·G2(r) are the same either way.
struct FieldCoefficients {
    Complex C;
    Complex D1;
    Complex D2;
};

/// The harmonic a field is solved for: kh = kp·h, the gap width g, the layer width a, the polar
/// angle θ (read in the spherical geometry only) and the slip speed s of the harmonic.
struct HarmonicArgs {
    double kh = 0.0;
    double g = 0.0;
    double a = 0.0;
    double theta = 0.0;
    double s = 0.0;
};

/// What a solve forms: the constants and bases alone (all the layer equation needs), or also
/// the coefficients that join the layer to the gap and put the unit current sheet on the stator.
enum class FieldSolve { Constants, Matched };

/// The solved field of one harmonic at one polar angle: the layer and gap constants, their
/// (scaled) bases, the core ratio, the coefficients and the display numbers of the solve. It
/// refers to the parameters it was solved from, which must outlive it unchanged.
struct HarmonicField {
    const MotorParameters* params = nullptr;
    RadialSlots slots;
    double kh = 0.0;
    double sinTheta = 0.0;
    /// Core surface R − a.
    double x0 = 0.0;
    /// Complex frequency s_c = fI + j·ω of the layer's field.
    Complex frequency;
    Complex alpha;
    Complex rho;
    Complex kappa;
    Complex beta;
    /// The power p and shift δ of the layer solutions z^p·f_λ(z).
    Complex layerPower;
    Complex lambdaShift;
    Complex lambdaFirst;
    Complex lambdaSecond;
    Complex mu1;
    Complex mu2;
    /// The weight c of the second-kind layer solution that makes the tangential field strength
    /// vanish at the core surface (of the normalised solutions with the accurate functions).
    Complex coreRatio;
    LayerBasis layer;
    GapBasis gap;
    /// Zero unless solved FieldSolve::Matched.
    FieldCoefficients coefficients;
    SolveDisplay display;
};

/// The complex frequency s_c = fI + j·ω of the layer's field for a harmonic of kh = kp·h and
/// slip speed s: ω = 2π·m·s with m = kh (cylindrical, spherical) or h (linear) in the physical
/// formulation, ω = 2π·s in the legacy one.
[[nodiscard]] Complex frequencyOf(const MotorParameters& p, double kh, double s);

/// Solves the harmonic `h` of the model `p` with the radial functions `slots`.
[[nodiscard]] HarmonicField solveHarmonicField(const MotorParameters& p, const RadialSlots& slots,
                                               const HarmonicArgs& h,
                                               FieldSolve solve = FieldSolve::Matched);

/// Layer fields at one point; the tangential flux only when asked for.
struct LayerPoint {
    Complex potential;
    Complex normalFlux;
    Complex tangentialFlux;
};

/// Gap fields at one point.
struct GapPoint {
    Complex potential;
    Complex normalFlux;
    Complex tangentialField;
};

/// The polar term of the spherical layer order, k²·ν1/sin²θ − j·k·ν12/sinθ: it carries ν12
/// alone, while α carries ν12 + ν21.
[[nodiscard]] Complex layerPolarTerm(const HarmonicField& f);

/// U = first-kind solution − c·second-kind solution, from the basis values v.
[[nodiscard]] Complex layerSolution(const HarmonicField& f, const LayerValues& v);
/// The layer fields at r from the basis values v there (tangential flux when asked for).
[[nodiscard]] LayerPoint layerPointOf(const HarmonicField& f, const LayerValues& v, double r,
                                      bool tangential);
/// The layer fields at r.
[[nodiscard]] LayerPoint layerPointAt(const HarmonicField& f, double r, bool tangential);
/// The gap fields at r.
[[nodiscard]] GapPoint gapPointAt(const HarmonicField& f, double r);

}  // namespace emforce
