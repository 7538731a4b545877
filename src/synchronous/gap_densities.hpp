// The densities of the synchronous evaluators: pure functions of a harmonic's gap field and r.
#pragma once

#include <array>

#include "synchronous/synchronous_field.hpp"

namespace emforce {

/// The rotor sheet's phase factor exp(j·kh·y) for the load angle y.
[[nodiscard]] Complex loadAngleFactor(double kh, double y);

/// Spherical Maxwell densities at r = x of the stator sheet alone, t⁴·Re(Hs·conj(Bs)), of the
/// two sheets together, t⁴·Re(Hs·conj(Br·e) + Hr·e·conj(Bs)), and of the rotor sheet alone,
/// t⁴·Re(Hr·conj(Br)), with t = sin θ and e = loadAngleFactor(kh, y).
[[nodiscard]] std::array<double, 3> sphericalMaxwellDensities(const SynchronousField& f, double x,
                                                              double y);
/// Spherical Lorentz densities at r = x of the stator field on the rotor sheet, t³·Re(e·conj(Bs)),
/// and of the rotor's own field, t³·Re(conj(Br)).
[[nodiscard]] std::array<double, 2> sphericalLorentzDensities(const SynchronousField& f, double x,
                                                              double y);

/// Maxwell density at r = x of the sheets of amplitudes `as` (stator) and `ar` (rotor) in the
/// linear and cylindrical geometries, Re(H·conj(B)) of their summed fields.
[[nodiscard]] double planeMaxwellDensity(const SynchronousField& f, double x, double as, double ar,
                                         double y);
/// Lorentz density at r = x on the rotor sheet of amplitude `ar`, Re(ar·e·conj(B)), B the
/// summed normal flux density of both sheets.
[[nodiscard]] double planeLorentzDensity(const SynchronousField& f, double x, double as, double ar,
                                         double y);

}  // namespace emforce
