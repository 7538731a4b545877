// Torque or force and losses of a stack of regions, per region and summed over its waves.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/region_stack.hpp"

namespace emforce {

/// What a stack evaluation computes besides the closed forms.
struct StackOptions {
    /// also integrate J×B and |J|²/(2σ) over every conducting region (a check of the
    /// closed boundary forms, at the cost of Bessel functions at the quadrature nodes)
    bool integrals = false;
};

/// One conducting region (σ > 0). Torques [N·m/m] and powers [W/m] per metre of axial length
/// (cylindrical); forces [N/m²] and powers [W/m²] per square metre (linear).
struct RegionResult {
    std::string name;
    bool moving = false;  ///< part of the rotor
    /// the Lorentz torque (force) on the region's currents: T(r_out) − T(r_in) from the
    /// region's own field at its two boundaries (isotropic), the integral of r·(J×B)_θ
    /// (anisotropic)
    double lorentz = 0.0;
    /// the Joule loss: P(r_out) − P(r_in), P the power flowing into radius r in the region's
    /// frame (isotropic), the integral of |J|²/(2σ) (anisotropic)
    double joule = 0.0;
    /// an anisotropic region's material torque (force): T(r_out) − T(r_in) − lorentz; 0 else
    double material = 0.0;
    /// an anisotropic region's differential power: P(r_out) − P(r_in) − joule; 0 else
    double anisotropyPower = 0.0;
    std::optional<double> lorentzIntegral;  ///< ∫ r·(J×B)_θ, with StackOptions::integrals
    std::optional<double> jouleIntegral;    ///< ∫ |J|²/(2σ), with StackOptions::integrals
};

/// The share of one wave.
struct WaveResult {
    int order = 0;            ///< signed harmonic order h
    double maxwell = 0.0;     ///< torque (force) through the gap
    double rotorJoule = 0.0;  ///< Joule loss of the rotor's regions
};

/// The results of a stack at one speed, summed over the winding's waves.
struct StackResults {
    /// the Maxwell-stress torque (force) through the middle of the gap on the rotor
    double maxwell = 0.0;
    std::vector<RegionResult> regions;  ///< the conducting regions, inside out
    double rotorLorentz = 0.0;          ///< Σ lorentz of the rotor's regions
    double rotorMaterial = 0.0;         ///< Σ material of the rotor's regions
    double rotorJoule = 0.0;            ///< Σ joule of the rotor's regions
    double statorJoule = 0.0;           ///< Σ joule of conducting stator regions
    /// (rotorLorentz + rotorMaterial) / maxwell, 1 to rounding; absent when the Maxwell torque
    /// is exactly zero
    std::optional<double> balance;
    std::vector<WaveResult> waves;  ///< per wave, in the order of the winding's spectrum
};

/// Solves every wave of the stack (stackWaves: its winding's up to stack.highestOrder) at the rotor
/// speed: mechanical [rad/s] (cylindrical) or velocity [m/s] (linear), in the direction of
/// increasing angle (x). Throws CalcError for an invalid stack or winding (naming the region
/// or coil side) and for a wave whose equations are singular (naming the region).
StackResults solveStack(const RegionStack& stack, double speed, const StackOptions& options = {});

}  // namespace emforce
