// Field maps: the quantities, their sums over the waves, and the solved field of a record.
#include "run/field_map.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "induction/asynchronous_motor.hpp"
#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"
#include "run/field_sources.hpp"

namespace emforce {

namespace {

constexpr std::array<FieldQuantityInfo, 6> kInfo = {{
    {"A", "Wb/m", "vector potential A"},
    {"Bn", "T", "normal flux density B_n"},
    {"Bt", "T", "tangential flux density B_t"},
    {"B", "T", "flux density |B|"},
    {"H", "A/m", "field strength |H|"},
    {"J", "A/m²", "current density J"},
}};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void checkFinite(const Complex& v) {
    checkedValue(v.re());
    checkedValue(v.im());
}

}  // namespace

const FieldQuantityInfo& fieldQuantityInfo(FieldQuantity q) {
    return kInfo[static_cast<std::size_t>(q)];
}

FieldQuantity fieldQuantity(std::string_view name) {
    for (FieldQuantity q : kFieldQuantities)
        if (sameName(fieldQuantityInfo(q).name, name)) return q;
    throw CalcError("Unknown field quantity \"" + std::string(name) +
                    "\": choose A, Bn, Bt, B, H or J");
}

std::vector<double> evenlySpaced(double first, double last, std::size_t n) {
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = n == 1 ? first
                      : first + (last - first) * static_cast<double>(i) / static_cast<double>(n - 1);
    return v;
}

FieldGrid sampleProfile(const FieldProfile& profile, FieldQuantity quantity,
                        const std::vector<double>& along, double t) {
    const std::size_t waves = profile.orders.size(), cols = along.size();
    // e^{j(ωt − k·u)} of every wave at every position, computed once for all rows.
    std::vector<Complex> phase(waves * cols);
    for (std::size_t w = 0; w < waves; ++w)
        for (std::size_t c = 0; c < cols; ++c) {
            const double arg = profile.omega * t - profile.waveNumbers[w] * along[c];
            phase[w * cols + c] = Complex(std::cos(arg), std::sin(arg));
        }
    FieldGrid grid{quantity, profile.rows, along, t, std::vector<double>(profile.rows.size() * cols)};
    auto sum = [&](std::size_t row, std::size_t c, Complex WaveValues::*part) {
        double total = 0.0;
        for (std::size_t w = 0; w < waves; ++w) {
            const Complex& v = profile.at(row, w).*part;
            const Complex& e = phase[w * cols + c];
            total += v.re() * e.re() - v.im() * e.im();
        }
        return total;
    };
    for (std::size_t row = 0; row < profile.rows.size(); ++row)
        for (std::size_t c = 0; c < cols; ++c) {
            double& value = grid.values[row * cols + c];
            switch (quantity) {
                case FieldQuantity::A:
                    value = sum(row, c, &WaveValues::a);
                    break;
                case FieldQuantity::Bn:
                    value = sum(row, c, &WaveValues::bn);
                    break;
                case FieldQuantity::Bt:
                    value = sum(row, c, &WaveValues::bt);
                    break;
                case FieldQuantity::B:
                    value = std::hypot(sum(row, c, &WaveValues::bn), sum(row, c, &WaveValues::bt));
                    break;
                case FieldQuantity::H:
                    value = std::hypot(sum(row, c, &WaveValues::hn), sum(row, c, &WaveValues::ht));
                    break;
                case FieldQuantity::J:
                    value = sum(row, c, &WaveValues::j);
                    break;
            }
        }
    return grid;
}

FieldMap FieldMap::solve(const InputRecord& record, std::optional<double> speed) {
    clearFpFaults();  // flags left by earlier work of this thread are not this reading's
    if (!record.induction)
        throw CalcError("The field is computed for the induction motor: choose the induction motor");
    if (!record.stack) return FieldMap(seedFieldSource(record, speed));
    InputRecord copy = record;
    ModelData data;
    AsynchronousMotor motor(data);
    motor.readParameters(copy, [](const std::string&) { return false; });
    return FieldMap(stackFieldSource(*record.stack, data.params, speed.value_or(data.params.n)));
}

Geometry FieldMap::geometry() const { return m_source->geometry; }
const std::vector<FieldRegion>& FieldMap::regions() const { return m_source->regions; }
double FieldMap::speed() const { return m_source->speed; }
double FieldMap::omega() const { return m_source->omega; }
double FieldMap::period() const { return m_source->period; }
const std::vector<int>& FieldMap::orders() const { return m_source->orders; }
std::pair<double, double> FieldMap::polarBounds() const { return m_source->polar; }

std::pair<double, double> FieldMap::span() const {
    const std::vector<FieldRegion>& regions = m_source->regions;
    const double firstFinite = std::isfinite(regions.front().inner) ? regions.front().inner
                                                                     : regions.front().outer;
    const double lastFinite = std::isfinite(regions.back().outer) ? regions.back().outer
                                                                   : regions.back().inner;
    const double width = lastFinite - firstFinite;
    const double lo = std::isfinite(regions.front().inner) ? firstFinite : firstFinite - width;
    const double hi = std::isfinite(regions.back().outer) ? lastFinite
                                                          : lastFinite + 0.2 * (lastFinite - lo);
    return {lo, hi};
}

std::optional<std::size_t> FieldMap::regionAt(double r) const {
    const std::vector<FieldRegion>& regions = m_source->regions;
    for (std::size_t i = 0; i < regions.size(); ++i)
        if (r >= regions[i].inner && r <= regions[i].outer) return i;
    return std::nullopt;
}

FieldProfile FieldMap::profile(const std::vector<FieldRow>& rows) const {
    const Source& s = *m_source;
    FieldProfile out{rows, s.orders, s.waveNumbers, s.omega, {}};
    out.values.reserve(rows.size() * s.orders.size());
    clearFpFaults();
    for (const FieldRow& row : rows) {
        const std::optional<std::size_t> region = regionAt(row.r);
        if (!region || (s.geometry != Geometry::Linear && !(row.r > 0.0)))
            throw CalcError("The point r = " + formatGeneral(row.r) +
                            " m lies outside the machine's regions (" +
                            formatGeneral(s.regions.front().inner) + " … " +
                            formatGeneral(s.regions.back().outer) + " m)");
        if (s.geometry == Geometry::Spherical && !(row.theta > 0.0 && row.theta < std::numbers::pi))
            throw CalcError("The polar angle θ = " + formatGeneral(row.theta) +
                            " lies outside (0, π)");
        s.values(row, *region, out.values);
    }
    // What the solutions raised on their way is judged by the values they gave.
    clearFpFaults();
    for (const WaveValues& v : out.values)
        for (const Complex* c : {&v.a, &v.bn, &v.bt, &v.hn, &v.ht, &v.j}) checkFinite(*c);
    return out;
}

FieldGrid FieldMap::grid(FieldQuantity quantity, const std::vector<FieldRow>& rows,
                         const std::vector<double>& along, double t) const {
    return sampleProfile(profile(rows), quantity, along, t);
}

}  // namespace emforce
