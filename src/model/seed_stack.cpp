// Entering the parameter record's layer, gap and stator sheet as a stack of regions.
#include "model/seed_stack.hpp"

#include <numbers>

#include "model/spectrum.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

void refuse(const char* what) {
    throw CalcError(std::string("This machine cannot be entered as a stack of regions: ") + what);
}

}  // namespace

RegionStack seedStack(const MotorParameters& p, const HarmonicSpectrum& statorSpectrum) {
    if (p.geometry == Geometry::Spherical) refuse("it is spherical");
    if (p.ni1d != kNi0 || p.ni2d != kNi0 || p.ni12d != 0.0 || p.ni21d != 0.0)
        refuse("its gap is not air");
    if (p.eps != 0.0) refuse("its layer has a permittivity");
    if (p.fI != 0.0) refuse("its field has an fI");
    RegionStack s;
    s.geometry = p.geometry;
    s.kp = p.kp;
    s.omega = 2.0 * std::numbers::pi * p.f1;
    s.core = CoreKind::IdealIron;
    s.coreSurface = p.R - p.a;
    s.layers = {{"layer", p.a, p.gamma, kNi0 / p.ni2, std::nullopt}};
    if (p.ni1 != p.ni2 || p.ni12 != Complex(0.0) || p.ni21 != Complex(0.0))
        s.layers[0].reluctivity =
            Reluctivity{p.ni1 / kNi0, p.ni2 / kNi0, p.ni12 / kNi0, p.ni21 / kNi0};
    s.gap = p.g;
    s.excitation = ExcitationKind::Sheet;
    s.stator = StatorKind::IdealIron;
    const double L = p.geometry == Geometry::Linear ? 1.0 : p.R + p.g;
    const HarmonicRange range = harmonicRange(p.highestHarmonic);
    for (int i = range.first; i <= range.last; ++i) {
        const int h = harmonicOrder(i);
        const double amplitude = statorSpectrum[static_cast<std::size_t>(i)];
        // The winding's own rule: no triplen orders but in a single phase, no empty orders.
        if (amplitude == 0.0 || (p.phases != 1 && h % 3 == 0)) continue;
        s.waves.push_back({h, Complex(0.0, p.kp * h * amplitude / L)});
    }
    return s;
}

double stackSpeed(const MotorParameters& p, double n) {
    const double omega = 2.0 * std::numbers::pi * n;
    return p.geometry == Geometry::Linear ? omega / p.kp : omega;
}

}  // namespace emforce
