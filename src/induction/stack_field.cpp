// Normalised region solutions and the banded interface equations of one wave in a stack.
#include "induction/stack_field.hpp"

#include <cmath>
#include <numbers>
#include <string>

#include "numerics/bessel_accurate.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

constexpr double kMu0 = 1.0 / kNi0;

// ln|f| of a scaled value; a zero value has none.
template <typename Scaled>
double logModulus(const Scaled& f) {
    const double m = abs(f.value);
    return m > 0.0 ? f.scale + std::log(m) : -HUGE_VAL;
}

// Below this |k·r| a conductor differs from a non-conductor by less than rounding in its
// solutions (the first correction is (kr)²/(4(ν + 1))), and the Bessel functions of so small
// an argument are not needed.
constexpr double kStaticArgument = 1e-7;

// Dense elimination with partial pivoting on rows scaled to a largest entry of 1 (the system
// is block-tridiagonal with 2N unknowns, N a handful). A pivot below kSingular after that
// scaling means the columns are dependent to rounding.
constexpr double kSingular = 1e-13;

}  // namespace

RegionBasis::RegionBasis(Geometry geometry, const StackRegion& region, double wave,
                         const Complex& k2)
    : m_geometry(geometry),
      m_inner(region.inner),
      m_outer(region.outer),
      m_order(std::fabs(wave)),
      m_hasGrowing(std::isfinite(region.outer)),
      m_hasFalling(std::isfinite(region.inner) &&
                   (geometry == Geometry::Linear || region.inner > 0.0)) {
    if (geometry == Geometry::Linear) {
        m_gamma = sqrt(Complex(wave * wave) + k2);
        return;
    }
    m_gamma = sqrt(k2);
    const double reach = std::isfinite(region.outer) ? region.outer : region.inner;
    m_bessel = abs(m_gamma) * reach >= kStaticArgument;
    if (!m_bessel) return;
    // Each solution is referred to its own end (I outside, K inside), or to the other end of a
    // finite region where its modulus is larger there.
    const Complex nu(m_order);
    auto reference = [&](bool growing) {
        auto value = [&](double r) {
            return growing ? scaledBesselI(nu, m_gamma * r) : scaledBesselK(nu, m_gamma * r);
        };
        ScaledBessel best = value(growing ? m_outer : m_inner);
        if (m_hasGrowing && m_hasFalling) {
            const ScaledBessel other = value(growing ? m_inner : m_outer);
            if (logModulus(other) > logModulus(best)) best = other;
        }
        return Reference{1.0 / best.value, best.scale};
    };
    if (m_hasGrowing) m_growingRef = reference(true);
    if (m_hasFalling) m_fallingRef = reference(false);
}

RegionBasis::RegionBasis(Geometry geometry, const StackRegion& region, const Reluctivity& nu,
                         double wave, double slip)
    : m_geometry(geometry),
      m_inner(region.inner),
      m_outer(region.outer),
      m_order(std::fabs(wave)),
      m_anisotropic(true) {
    m_alpha = -kJ * (wave * (nu.nu12 + nu.nu21)) / (2.0 * nu.nu2);
    const Complex conducting(0.0, slip * kMu0 * region.sigma);  // j·ω_s·μ0·σ
    if (geometry == Geometry::Linear) {
        const Complex root = sqrt(m_alpha * m_alpha + (wave * wave * nu.nu1 + conducting) / nu.nu2);
        m_growingExponent = m_alpha + root;
        m_fallingExponent = m_alpha - root;
    } else {
        m_lambda = sqrt(m_alpha * m_alpha + Complex(wave * wave * nu.nu1 / nu.nu2));
        m_gamma = sqrt(conducting / nu.nu2);
        m_bessel = abs(m_gamma) * m_outer >= kStaticArgument;
        m_growingExponent = m_alpha + m_lambda;
        m_fallingExponent = m_alpha - m_lambda;
    }
    if (!m_bessel) {
        m_growingEnd = m_growingExponent.re() >= 0.0 ? m_outer : m_inner;
        m_fallingEnd = m_fallingExponent.re() >= 0.0 ? m_outer : m_inner;
        return;
    }
    for (const bool growing : {true, false}) {
        const ScaledProduct in = product(growing, m_inner), out = product(growing, m_outer);
        const ScaledProduct& larger = logModulus(out) >= logModulus(in) ? out : in;
        (growing ? m_growingRef : m_fallingRef) = Reference{1.0 / larger.value, larger.scale};
    }
}

ScaledProduct RegionBasis::product(bool growing, double r) const {
    const Complex z = m_gamma * r;
    return growing ? scaledBesselIProduct(m_alpha, m_lambda, z)
                   : scaledBesselKProduct(m_alpha, m_lambda, z);
}

RegionFunctions RegionBasis::anisotropicAt(double r) const {
    RegionFunctions v;
    if (m_bessel) {
        const ScaledProduct f = product(true, r), g = product(false, r);
        const Complex wf = m_growingRef.inverse * std::exp(f.scale - m_growingRef.scale);
        const Complex wg = m_fallingRef.inverse * std::exp(g.scale - m_fallingRef.scale);
        return {f.value * wf, m_gamma * f.first * wf, g.value * wg, m_gamma * g.first * wg};
    }
    const bool linear = m_geometry == Geometry::Linear;
    auto power = [&](const Complex& m, double end, Complex& value, Complex& derivative) {
        value = exp(m * (linear ? r - end : std::log(r / end)));
        derivative = (linear ? m : m / r) * value;
    };
    power(m_growingExponent, m_growingEnd, v.f, v.df);
    power(m_fallingExponent, m_fallingEnd, v.g, v.dg);
    return v;
}

RegionFunctions RegionBasis::at(double r) const {
    if (m_anisotropic) return anisotropicAt(r);
    RegionFunctions v;
    if (m_geometry == Geometry::Linear) {
        if (m_hasGrowing) {
            v.f = exp(m_gamma * (r - m_outer));
            v.df = m_gamma * v.f;
        }
        if (m_hasFalling) {
            v.g = exp(-m_gamma * (r - m_inner));
            v.dg = -m_gamma * v.g;
        }
        return v;
    }
    if (!m_bessel) {
        if (m_hasGrowing) {
            v.f = std::pow(r / m_outer, m_order);
            v.df = m_order / r * v.f;
        }
        if (m_hasFalling) {
            v.g = std::pow(m_inner / r, m_order);
            v.dg = -m_order / r * v.g;
        }
        return v;
    }
    // The exponentials of two scales meet only as their difference, which stays in range.
    const Complex nu(m_order), z = m_gamma * r;
    if (m_hasGrowing) {
        const ScaledBessel s = scaledBesselI(nu, z);
        const Complex w = m_growingRef.inverse * std::exp(s.scale - m_growingRef.scale);
        v.f = s.value * w;
        v.df = m_gamma * s.derivative * w;
    }
    if (m_hasFalling) {
        const ScaledBessel s = scaledBesselK(nu, z);
        const Complex w = m_fallingRef.inverse * std::exp(s.scale - m_fallingRef.scale);
        v.g = s.value * w;
        v.dg = m_gamma * s.derivative * w;
    }
    return v;
}

namespace {

// The equations of the weights: row-major, size m×m, and the right-hand side.
struct System {
    std::size_t m;
    std::vector<Complex> a;
    std::vector<Complex> b;
    Complex& at(std::size_t row, std::size_t col) { return a[row * m + col]; }
};

// Solves in place; a pivot that vanishes to rounding names the region of its unknown.
std::vector<Complex> solve(System& s, const StackLayout& layout, int order) {
    const std::size_t m = s.m;
    for (std::size_t row = 0; row < m; ++row) {
        double largest = 0.0;
        for (std::size_t c = 0; c < m; ++c) largest = std::max(largest, abs(s.at(row, c)));
        if (largest == 0.0) continue;  // caught as a zero pivot below
        for (std::size_t c = 0; c < m; ++c) s.at(row, c) = s.at(row, c) / largest;
        s.b[row] = s.b[row] / largest;
    }
    for (std::size_t col = 0; col < m; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < m; ++row)
            if (abs(s.at(row, col)) > abs(s.at(pivot, col))) pivot = row;
        if (!(abs(s.at(pivot, col)) >= kSingular))  // NaN too: a basis without a value
            throw CalcError("The field of order " + std::to_string(order) +
                            " cannot be solved: the equations of region '" +
                            layout.regions[col / 2].name + "' are singular");
        if (pivot != col) {
            for (std::size_t c = 0; c < m; ++c) std::swap(s.at(pivot, c), s.at(col, c));
            std::swap(s.b[pivot], s.b[col]);
        }
        const Complex inverse = 1.0 / s.at(col, col);
        for (std::size_t row = col + 1; row < m; ++row) {
            const Complex factor = s.at(row, col) * inverse;
            if (factor == Complex(0.0)) continue;
            for (std::size_t c = col; c < m; ++c) s.at(row, c) -= factor * s.at(col, c);
            s.b[row] -= factor * s.b[col];
        }
    }
    std::vector<Complex> x(m);
    for (std::size_t k = m; k-- > 0;) {
        Complex sum = s.b[k];
        for (std::size_t c = k + 1; c < m; ++c) sum -= s.at(k, c) * x[c];
        x[k] = sum / s.at(k, k);
    }
    return x;
}

}  // namespace

StackField::StackField(const StackLayout& layout, const SourceHarmonic& source, double speed)
    : m_layout(&layout), m_order(source.order), m_wave(layout.kp * source.order) {
    const std::vector<StackRegion>& regions = layout.regions;
    const std::size_t count = regions.size();
    const bool linear = layout.geometry == Geometry::Linear;
    const bool band = layout.sheetInterface > count;
    m_density = band ? source.amplitude : Complex(0.0);
    const Complex sheet = band ? Complex(0.0) : source.amplitude;
    const double moving = layout.omega - m_wave * speed;
    for (const StackRegion& region : regions) {
        const double slip = region.moving ? moving : layout.omega;
        m_slip.push_back(slip);
        if (region.reluctivity) {
            m_bases.emplace_back(layout.geometry, region, *region.reluctivity, m_wave, slip);
            continue;
        }
        const Complex k2 = Complex(0.0, slip * kMu0 * region.muR * region.sigma);
        m_bases.emplace_back(layout.geometry, region, m_wave, k2);
    }

    // Unknowns 2i, 2i + 1: the weights of region i's growing and falling solutions. The
    // derivative rows are multiplied by r (linear 1/|k_h|) to be dimensionless.
    System s{2 * count, std::vector<Complex>(4 * count * count), std::vector<Complex>(2 * count)};
    const double lengthLinear = 1.0 / std::fabs(m_wave);
    auto length = [&](double r) { return linear ? lengthLinear : r; };
    // −μ0·H_t of region i's two solutions at r, times the length l: l·A'/μr, or for a matrix
    // l·(nu2·A' + j·n·nu21·A/r) (linear j·k_h in place of j·n/r).
    auto field = [&](std::size_t i, const RegionFunctions& v, double r) -> std::array<Complex, 2> {
        const double l = length(r);
        const StackRegion& region = regions[i];
        if (!region.reluctivity) return {v.df * (l / region.muR), v.dg * (l / region.muR)};
        const Reluctivity& nu = *region.reluctivity;
        const Complex cross = kJ * (linear ? m_wave : m_wave / r) * nu.nu21;
        return {l * (nu.nu2 * v.df + cross * v.f), l * (nu.nu2 * v.dg + cross * v.g)};
    };
    std::size_t row = 0;
    auto fieldRow = [&](std::size_t i, double r) {
        const std::array<Complex, 2> h = field(i, m_bases[i].at(r), r);
        s.at(row, 2 * i) = h[0];
        s.at(row, 2 * i + 1) = h[1];
    };
    // Inner end: ideal iron (H_t = 0) or the falling solution absent.
    {
        const StackRegion& first = regions.front();
        if (layout.innerIron) {
            fieldRow(0, first.inner);
            s.b[row] = -length(first.inner) * particular(0, first.inner)[1];
        } else {
            s.at(row, 1) = 1.0;
        }
        ++row;
    }
    for (std::size_t i = 1; i < count; ++i) {
        const double r = regions[i].inner;
        const RegionFunctions left = m_bases[i - 1].at(r), right = m_bases[i].at(r);
        const std::array<Complex, 2> pl = particular(i - 1, r), pr = particular(i, r);
        s.at(row, 2 * i - 2) = left.f;
        s.at(row, 2 * i - 1) = left.g;
        s.at(row, 2 * i) = -right.f;
        s.at(row, 2 * i + 1) = -right.g;
        s.b[row] = pr[0] - pl[0];
        ++row;
        const double l = length(r);
        const std::array<Complex, 2> hl = field(i - 1, left, r), hr = field(i, right, r);
        s.at(row, 2 * i - 2) = hl[0];
        s.at(row, 2 * i - 1) = hl[1];
        s.at(row, 2 * i) = -hr[0];
        s.at(row, 2 * i + 1) = -hr[1];
        // Only the band has a particular solution, and it is isotropic.
        s.b[row] = l * (pr[1] / regions[i].muR - pl[1] / regions[i - 1].muR);
        // A sheet K between two regions: H_θ,out − H_θ,in = K, i.e. A'_in/μ_in − A'_out/μ_out = K.
        if (layout.sheetInterface == i) s.b[row] += l * kMu0 * sheet;
        ++row;
    }
    // Outer end: ideal iron, carrying the sheet when it lies there, or no growing solution.
    {
        const std::size_t last = count - 1;
        const StackRegion& region = regions[last];
        if (layout.outerIron) {
            const double l = length(region.outer);
            fieldRow(last, region.outer);
            s.b[row] = -l / region.muR * particular(last, region.outer)[1];
            if (layout.sheetInterface == count) s.b[row] += l * kMu0 * sheet;
        } else {
            s.at(row, 2 * last) = 1.0;
        }
    }
    const std::vector<Complex> x = solve(s, layout, m_order);
    for (std::size_t i = 0; i < count; ++i) m_weights.push_back({x[2 * i], x[2 * i + 1]});
}

// A particular solution of the band's equation ∇²A − (n²/r²)·A = −μ·J: −μ·J·r²/(4 − ν²),
// written as −μ·J·r²·φ/(2 + ν) with φ = expm1(d·L)/d, d = ν − 2, L = ln(r/r_out) (a multiple
// of r^ν added), which holds without cancellation through ν = 2, where it is −μ·J·r²·L/4.
// Linear: μ·J/k_h².
std::array<Complex, 2> StackField::particular(std::size_t region, double r) const {
    const StackRegion& reg = m_layout->regions[region];
    if (!reg.band) return {Complex(0.0), Complex(0.0)};
    const Complex muJ = kMu0 * reg.muR * m_density;
    if (m_layout->geometry == Geometry::Linear) return {muJ / (m_wave * m_wave), Complex(0.0)};
    const double nu = std::fabs(m_wave), d = nu - 2.0, L = std::log(r / reg.outer);
    const double e = std::exp(d * L);
    const double phi = d == 0.0 ? L : std::expm1(d * L) / d;
    return {-muJ * (r * r * phi / (2.0 + nu)), -muJ * (r * (2.0 * phi + e) / (2.0 + nu))};
}

std::array<Complex, 2> StackField::potential(std::size_t region, double r) const {
    const RegionFunctions v = m_bases[region].at(r);
    const std::array<Complex, 2>& w = m_weights[region];
    const std::array<Complex, 2> p = particular(region, r);
    return {w[0] * v.f + w[1] * v.g + p[0], w[0] * v.df + w[1] * v.dg + p[1]};
}

// T = π·r²·Re(B_r·H_θ*) with B_r = −j·n·A/r, H_θ = −A'/μ: −(π·r·n/μ)·Im(A·A'*); linear
// ½·Re(B_x·H_y*) = −(k_h/(2μ))·Im(A·A'*).
Complex StackField::tangentialField(std::size_t region, double r,
                                    const std::array<Complex, 2>& a) const {
    const StackRegion& reg = m_layout->regions[region];
    if (!reg.reluctivity) return -a[1] / (kMu0 * reg.muR);
    const Reluctivity& nu = *reg.reluctivity;
    const double across = m_layout->geometry == Geometry::Linear ? m_wave : m_wave / r;
    return -kNi0 * (nu.nu2 * a[1] + kJ * across * nu.nu21 * a[0]);
}

double StackField::torqueThrough(std::size_t region, double r) const {
    const bool linear = m_layout->geometry == Geometry::Linear;
    if (!std::isfinite(r) || (!linear && r == 0.0)) return 0.0;
    const std::array<Complex, 2> a = potential(region, r);
    if (m_layout->regions[region].reluctivity) {
        // π·r²·Re(B_r·H_t*) with B_r = −j·n·A/r (linear ½·Re(B_x·H_t*), B_x = −j·k_h·A).
        const Complex h = conj(tangentialField(region, r, a));
        if (linear) return 0.5 * real(-kJ * m_wave * a[0] * h);
        return std::numbers::pi * r * real(-kJ * m_wave * a[0] * h);
    }
    const double im = imag(a[0] * conj(a[1]));
    const double mu = kMu0 * m_layout->regions[region].muR;
    if (linear) return -m_wave / (2.0 * mu) * im;
    return -std::numbers::pi * r * m_wave / mu * im;
}

double StackField::weightedSquare(std::size_t region, double r) const {
    const double a2 = norm(potential(region, r)[0]);
    return m_layout->geometry == Geometry::Linear ? a2 : r * a2;
}

}  // namespace emforce
