// A machine as a stack of regions along r from the inside out, with its excitation.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/coil_winding.hpp"
#include "model/motor_parameters.hpp"

namespace emforce {

/// What lies inside the innermost layer.
enum class CoreKind {
    IdealIron,  ///< infinitely permeable: the tangential field vanishes at its surface
    Solid,      ///< a region of σ and μr to the axis (cylindrical) or a half-space (linear)
    Air,        ///< air to the axis or a half-space of air
};

/// How the stator is excited.
enum class ExcitationKind {
    Sheet,  ///< a current sheet on the stator surface; side densities in A/m
    Band,   ///< a winding band between the gap and the stator; side densities in A/m²
};

/// What closes the stack outside the gap (or the winding band).
enum class StatorKind {
    IdealIron,  ///< infinitely permeable
    Shell,      ///< an iron shell of finite thickness, σ and μr, and air to infinity beyond it
};

/// An anisotropic layer's reluctivity matrix relative to that of vacuum ν0, acting on the normal
/// and tangential flux densities: H_n = ν0·(nu1·B_n + nu12·B_t), H_t = ν0·(nu21·B_n + nu2·B_t).
struct Reluctivity {
    double nu1 = 1.0;
    double nu2 = 1.0;
    Complex nu12;
    Complex nu21;
    friend bool operator==(const Reluctivity&, const Reluctivity&) = default;
};

/// One conducting layer of the rotor (secondary).
struct StackLayer {
    std::string name;    ///< shown with its results; "layer k" when empty
    double width = 0.0;  ///< radial thickness [m]
    double sigma = 0.0;  ///< conductivity [S/m]
    double muR = 1.0;    ///< relative permeability
    /// an anisotropic layer's reluctivity matrix, in place of muR
    std::optional<Reluctivity> reluctivity;
};

/// A machine from the inside out: core, layers (moving with the rotor), gap, the winding band
/// when the excitation is a band, stator. Lengths in metres; the linear geometry's coordinate
/// x grows from the core towards the stator and its results are per square metre of the
/// stator surface, the cylindrical ones per metre of axial length.
struct RegionStack {
    Geometry geometry = Geometry::Cylindrical;  ///< linear or cylindrical
    /// pole-pair number p (cylindrical: harmonic h has n = p·h periods round the gap) or the
    /// wave number k1 = π/τ of the fundamental [1/m] (linear: k_h = k1·h)
    double kp = 1.0;
    double omega = 0.0;  ///< angular frequency of the supply [rad/s]
    CoreKind core = CoreKind::IdealIron;
    double coreSurface = 0.0;  ///< radius (cylindrical) or position x (linear) of the core surface
    double coreSigma = 0.0;    ///< a solid core's conductivity [S/m]
    double coreMuR = 1.0;      ///< a solid core's relative permeability
    std::vector<StackLayer> layers;  ///< outward from the core surface
    double gap = 0.0;                ///< gap width [m]
    ExcitationKind excitation = ExcitationKind::Sheet;
    double bandWidth = 0.0;  ///< radial thickness of the winding band [m]
    StatorKind stator = StatorKind::IdealIron;
    double statorThickness = 0.0;  ///< a shell's thickness [m]
    double statorSigma = 0.0;      ///< a shell's conductivity [S/m]
    double statorMuR = 1.0;        ///< a shell's relative permeability
    Winding winding;               ///< the coil sides of the band or the sheet
    int highestOrder = 17;         ///< the orders 1 ≤ |h| ≤ highestOrder of the winding
    /// the waves of the excitation when given (e.g. an MMF spectrum of a winding pattern as
    /// sheet densities), in place of the winding's
    std::vector<SourceHarmonic> waves;
};

/// The waves that excite the stack: `waves` when not empty, else the winding's spectrum.
std::vector<SourceHarmonic> stackWaves(const RegionStack& stack);

/// One region of a laid-out stack between two radii (positions).
struct StackRegion {
    std::string name;
    double inner = 0.0;  ///< 0 for a region to the axis, −∞ for a half-space
    double outer = 0.0;  ///< +∞ for the air outside a stator shell
    double sigma = 0.0;
    double muR = 1.0;     ///< relative permeability; 1/nu2 of an anisotropic layer
    bool moving = false;  ///< part of the rotor: its currents are at the slip frequency
    bool band = false;    ///< carries the winding's current density
    std::optional<Reluctivity> reluctivity;  ///< an anisotropic layer's matrix
};

/// A stack as its list of regions and its two ends.
struct StackLayout {
    Geometry geometry = Geometry::Cylindrical;
    double kp = 1.0;
    double omega = 0.0;
    std::vector<StackRegion> regions;  ///< inside out; at least the gap
    bool innerIron = true;  ///< ideal iron at regions.front().inner, else open (axis, −∞)
    bool outerIron = true;  ///< ideal iron at regions.back().outer, else open (+∞)
    /// the interface carrying the current sheet: i between regions i−1 and i, or
    /// regions.size() for the outer end; for a band excitation, none (regions.size() + 1)
    std::size_t sheetInterface = 0;
    std::size_t gapIndex = 0;  ///< the index of the gap among regions
};

/// The regions of a stack, checked: a finite positive kp, a positive core radius
/// (cylindrical), positive finite widths, σ ≥ 0 and μr > 0 of every material (positive finite
/// diagonal and finite off-diagonal terms of a reluctivity matrix), a finite ω.
/// Throws CalcError naming the offending region or value.
StackLayout stackLayout(const RegionStack& stack);

}  // namespace emforce
