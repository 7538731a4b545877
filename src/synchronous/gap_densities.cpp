// The Maxwell and Lorentz densities of the synchronous motor from the solved gap field.
#include "synchronous/gap_densities.hpp"

#include <cmath>

namespace emforce {

Complex loadAngleFactor(double kh, double y) { return exp(kJ * kh * y); }

std::array<double, 3> sphericalMaxwellDensities(const SynchronousField& f, double x, double y) {
    const GapFields g = gapFieldsAt(f, x);
    const double t = std::sin(f.theta);
    const double t4 = t * t * t * t;
    const Complex e = loadAngleFactor(f.kh, y);
    return {t4 * real(g.hs * conj(g.bs)), t4 * real(g.hs * conj(g.br * e) + g.hr * e * conj(g.bs)),
            t4 * real(g.hr * conj(g.br))};
}

std::array<double, 2> sphericalLorentzDensities(const SynchronousField& f, double x, double y) {
    const GapFields g = normalFluxesAt(f, x);
    const double t = std::sin(f.theta);
    const double t3 = t * t * t;
    const Complex e = loadAngleFactor(f.kh, y);
    return {t3 * real(e * conj(g.bs)), t3 * real(conj(g.br))};
}

double planeMaxwellDensity(const SynchronousField& f, double x, double as, double ar, double y) {
    const Complex e = loadAngleFactor(f.kh, y);
    const GapFields g = gapFieldsAt(f, x);
    const Complex b = as * g.bs + ar * g.br * e;
    const Complex h = as * g.hs + ar * g.hr * e;
    return real(h * conj(b));
}

double planeLorentzDensity(const SynchronousField& f, double x, double as, double ar, double y) {
    const Complex e = loadAngleFactor(f.kh, y);
    const GapFields g = normalFluxesAt(f, x);
    const Complex b = as * g.bs + ar * g.br * e;
    return real(ar * e * conj(b));
}

}  // namespace emforce
