// Plain and normalised layer and gap solutions of one harmonic.
#include "induction/field_basis.hpp"

#include <cmath>

namespace emforce {

namespace {

// ln|f| of a scaled value; a zero value has none (and raises no flag).
double logModulus(const ScaledProduct& f) {
    const double m = abs(f.value);
    return m > 0.0 ? f.scale + std::log(m) : -HUGE_VAL;
}

}  // namespace

LayerBasis::LayerBasis(const RadialSlots& slots, const LayerConstants& constants, double x0,
                       double R)
    : m_slots(slots),
      m_constants(constants),
      m_x0(x0),
      m_R(R),
      m_normalised(slots.scaledSolutions()) {
    if (!m_normalised) return;
    const std::array<ScaledProduct, 2> cores = productsAt(x0), surfaces = productsAt(R);
    for (int kind = 0; kind < 2; ++kind) {
        const ScaledProduct& core = cores[kind];
        const ScaledProduct& surface = surfaces[kind];
        m_productAtCore[kind] = core;
        m_productAtSurface[kind] = surface;
        const ScaledProduct& reference = logModulus(surface) >= logModulus(core) ? surface : core;
        const Normalisation n{1.0 / reference.value, reference.scale};
        m_normalisation[kind] = n;
        m_atCore[kind] = normalise(core, x0, n);
        m_atSurface[kind] = normalise(surface, R, n);
    }
}

ScaledProduct LayerBasis::product(int kind, double r) const {
    if (m_normalised && (r == m_x0 || r == m_R)) {
        const auto& face = r == m_x0 ? m_productAtCore : m_productAtSurface;
        return face[static_cast<std::size_t>(kind)];
    }
    return productAt(kind, r);
}

ScaledProduct LayerBasis::productAt(int kind, double r) const {
    const LayerConstants& c = m_constants;
    const Complex z = c.beta * r;
    return kind == 0 ? m_slots.firstKindProduct(c.power, c.firstOrder, z)
                     : m_slots.secondKindProduct(c.power, c.secondOrder, z);
}

std::array<ScaledProduct, 2> LayerBasis::productsAt(double r) const {
    const LayerConstants& c = m_constants;
    return m_slots.layerProducts(c.power, c.firstOrder, c.secondOrder, c.beta * r);
}

// The exponentials of the two scales meet only as their difference, which stays in range.
LayerSolution LayerBasis::normalise(const ScaledProduct& f, double r,
                                    const Normalisation& n) const {
    const Complex w = n.inverse * std::exp(f.scale - n.scale);
    const Complex value = f.value * w;
    const Complex first = f.first * w;
    // d/dz [z^(p+1)·f] = z^p·f + z·d/dz [z^p·f] where the derivatives take the power p + 1.
    const Complex derivative =
        m_constants.shift == Complex(0.0) ? first : value + (m_constants.beta * r) * first;
    return {value, derivative, first, f.second * w};
}

LayerValues LayerBasis::at(double r, LayerParts parts) const {
    if (m_normalised) {
        if (r == m_x0) return {m_atCore[0], m_atCore[1]};
        if (r == m_R) return {m_atSurface[0], m_atSurface[1]};
        const std::array<ScaledProduct, 2> f = productsAt(r);
        return {normalise(f[0], r, m_normalisation[0]), normalise(f[1], r, m_normalisation[1])};
    }
    const LayerConstants& c = m_constants;
    const Complex z = c.beta * r;
    LayerValues v;
    if (parts != LayerParts::Derivatives) {
        v.firstKind.value = m_slots.radialFirstKind(c.power, c.firstOrder, z);
        v.secondKind.value = m_slots.radialSecondKind(c.power, c.secondOrder, z);
    }
    if (parts != LayerParts::Values) {
        const Complex shifted = c.power + c.shift;
        v.firstKind.derivative = m_slots.radialFirstKindDerivative(shifted, c.firstOrder, z);
        v.secondKind.derivative = m_slots.radialSecondKindDerivative(shifted, c.secondOrder, z);
    }
    return v;
}

// A root whose solution grows with r (Re μ > 0 in both families) is referred to the stator
// surface, the other to the layer surface.
GapBasis::GapBasis(const RadialSlots& slots, const Complex& mu1, const Complex& mu2,
                   const Complex& shift, double R, double stator)
    : m_slots(slots),
      m_mu1(mu1),
      m_mu2(mu2),
      m_shift(shift),
      m_normalised(slots.scaledSolutions()),
      m_reference1(mu1.re() > 0.0 ? stator : R),
      m_reference2(mu2.re() > 0.0 ? stator : R) {}

GapSolution GapBasis::solution(const Complex& mu, double reference, double r) const {
    if (m_normalised)
        return {m_slots.normalisedPower(mu, r, reference),
                m_slots.normalisedPowerDerivative(mu, m_shift, r, reference)};
    return {m_slots.radialPower(mu, r), m_slots.radialPowerDerivative(mu + m_shift, r)};
}

GapValues GapBasis::at(double r) const {
    return {solution(m_mu1, m_reference1, r), solution(m_mu2, m_reference2, r)};
}

}  // namespace emforce
