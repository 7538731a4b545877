// Per-wave closed forms and quadratures of a stack, summed over the winding's spectrum.
#include "induction/region_stack_results.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "induction/stack_field.hpp"
#include "numerics/fp_guard.hpp"
#include "numerics/integration.hpp"

namespace emforce {

namespace {

constexpr double kMu0 = 1.0 / kNi0;

// The stretch of a region that holds its field: all of it where both ends are finite; towards
// an open end only as far as the growing solution (r^ν near the axis, the skin depth of e^{kr})
// keeps r·|A|² above about e^−70 of its value at the surface.
std::array<double, 2> quadratureRange(const StackField& field, std::size_t i) {
    const StackRegion& region = field.layout().regions[i];
    if (std::isfinite(region.inner) &&
        (region.inner > 0.0 || field.layout().geometry == Geometry::Linear))
        return {region.inner, region.outer};
    // |k| for k² = j·ω_s·μ·σ; its real part is |k|/√2.
    const double k = std::sqrt(std::fabs(field.slip(i)) * kMu0 * region.muR * region.sigma);
    if (field.layout().geometry == Geometry::Linear) {
        const double decay = std::max(std::fabs(field.wave()), k / std::numbers::sqrt2);
        return {region.outer - 35.0 / decay, region.outer};
    }
    const double skin = region.outer - 35.0 * std::numbers::sqrt2 / k;
    const double order = std::fabs(field.wave());
    const double power = region.outer * std::exp(-70.0 / (2.0 * order + 2.0));
    return {std::max({region.outer * 1e-4, power, skin}), region.outer};
}

// ∫ r·|A|² dr (linear ∫ |A|² dx) over the region by composite 15-point Gauss–Legendre, with
// about one panel per eight e-folds of the integrand.
double squareIntegral(const StackField& field, std::size_t i) {
    const StackRegion& region = field.layout().regions[i];
    const auto [lo, hi] = quadratureRange(field, i);
    const double k = std::sqrt(std::fabs(field.slip(i)) * kMu0 * region.muR * region.sigma);
    double efolds = 2.0 * k * (hi - lo);
    if (field.layout().geometry == Geometry::Cylindrical)
        efolds += 2.0 * std::fabs(field.wave()) * std::log(hi / lo);
    else
        efolds += 2.0 * std::fabs(field.wave()) * (hi - lo);
    const int panels = std::clamp(1 + static_cast<int>(efolds / 8.0), 1, 400);
    const QuadratureRule rule = quadratureRule(IntegrationMethod::Gauss15, true);
    const double h = (hi - lo) / panels;
    double sum = 0.0;
    for (int p = 0; p < panels; ++p) {
        const double mid = lo + (p + 0.5) * h;
        for (std::size_t n = 0; n < rule.nodes.size(); ++n)
            sum += rule.weights[n] * field.weightedSquare(i, mid + 0.5 * h * rule.nodes[n]);
    }
    return 0.5 * h * sum;
}

// A result that is not finite is refused by its kind, as a floating-point fault would be: no
// infinity or NaN leaves the stack.
double finite(double v) {
    if (!std::isfinite(v)) throw CalcError(std::isnan(v) ? kInvalidOperation : kOverflow);
    return v;
}

}  // namespace

StackResults solveStack(const RegionStack& stack, double speed, const StackOptions& options) {
    const StackLayout layout = stackLayout(stack);
    const std::vector<SourceHarmonic> spectrum = stackWaves(stack);
    const bool linear = layout.geometry == Geometry::Linear;
    StackResults results;
    std::vector<std::size_t> conducting;
    for (std::size_t i = 0; i < layout.regions.size(); ++i) {
        const StackRegion& region = layout.regions[i];
        if (region.sigma <= 0.0) continue;
        conducting.push_back(i);
        RegionResult r;
        r.name = region.name;
        r.moving = region.moving;
        if (options.integrals) r.lorentzIntegral = r.jouleIntegral = 0.0;
        results.regions.push_back(r);
    }
    const StackRegion& gap = layout.regions[layout.gapIndex];
    const double gapMiddle = 0.5 * (gap.inner + gap.outer);
    const double factor = linear ? 0.5 : std::numbers::pi;
    for (const SourceHarmonic& source : spectrum) {
        const StackField field(layout, source, speed);
        WaveResult wave{source.order, field.torqueThrough(layout.gapIndex, gapMiddle), 0.0};
        for (std::size_t c = 0; c < conducting.size(); ++c) {
            const std::size_t i = conducting[c];
            const StackRegion& region = layout.regions[i];
            RegionResult& r = results.regions[c];
            const double torque =
                field.torqueThrough(i, region.outer) - field.torqueThrough(i, region.inner);
            const double slip = field.slip(i);
            // Per wave the power into a region is (ω_s/n)·(its torque): both are ∝ Im(A·A'*).
            const double power = slip / field.wave() * torque;
            const bool anisotropic = region.reluctivity.has_value();
            if (options.integrals || anisotropic) {
                // J = −j·ω_s·σ·A: (J×B)_θ·r = ω_s·σ·n·|A|² and |J|²/(2σ) = ω_s²·σ·|A|²/2.
                const double integral = factor * region.sigma * squareIntegral(field, i);
                const double lorentz = slip * field.wave() * integral;
                const double joule = slip * slip * integral;
                if (options.integrals) {
                    *r.lorentzIntegral += lorentz;
                    *r.jouleIntegral += joule;
                }
                if (anisotropic) {
                    r.lorentz += lorentz;
                    r.joule += joule;
                    r.material += torque - lorentz;
                    r.anisotropyPower += power - joule;
                    if (region.moving) wave.rotorJoule += joule;
                    continue;
                }
            }
            r.lorentz += torque;
            r.joule += power;
            if (region.moving) wave.rotorJoule += power;
        }
        results.maxwell += finite(wave.maxwell);
        finite(wave.rotorJoule);
        results.waves.push_back(wave);
    }
    for (const RegionResult& r : results.regions) {
        for (const double v : {r.lorentz, r.joule, r.material, r.anisotropyPower,
                               r.lorentzIntegral.value_or(0.0), r.jouleIntegral.value_or(0.0)})
            finite(v);
        if (r.moving) {
            results.rotorLorentz += r.lorentz;
            results.rotorMaterial += r.material;
            results.rotorJoule += r.joule;
        } else {
            results.statorJoule += r.joule;
        }
    }
    if (results.maxwell != 0.0)
        results.balance = finite((results.rotorLorentz + results.rotorMaterial) / results.maxwell);
    return results;
}

}  // namespace emforce
