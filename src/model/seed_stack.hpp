// The one-layer model of the parameter record entered as a stack of regions.
#pragma once

#include "model/motor_parameters.hpp"
#include "model/region_stack.hpp"

namespace emforce {

/// The parameter record's machine as a stack: a layer of width a, σ = gamma and μr = ni0/ni2
/// (or its reluctivity matrix where ni1 ≠ ni2 or ni12, ni21 are not zero) on ideal iron at R − a,
/// the gap g, and the stator sheet on ideal iron carrying each included harmonic h of the stator
/// spectrum (amplitude A_h) as the sheet density j·kh·A_h/L, L = R + g (cylindrical) or 1 (linear),
/// i.e. the record's unit MMF times A_h. Its results are per metre (per square metre): times l
/// (times l·2π/kp, one fundamental wavelength, in the linear geometry) they are the record's. The
/// speed n [1/s] of the record is Ω = 2π·n (cylindrical), v = 2π·n/kp (linear): stackSpeed. Throws
/// CalcError for what a stack does not hold: the spherical geometry, a gap whose reluctivity matrix
/// is not that of air, a permittivity or an fI other than zero.
RegionStack seedStack(const MotorParameters& p, const HarmonicSpectrum& statorSpectrum);

/// The stack's speed for the record's speed n [1/s].
double stackSpeed(const MotorParameters& p, double n);

}  // namespace emforce
