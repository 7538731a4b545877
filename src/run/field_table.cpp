// Default grids of a field map and its CSV table.
#include "run/field_table.hpp"

#include <charconv>

namespace emforce {

namespace {

std::vector<double> centres(double from, double to, std::size_t count) {
    std::vector<double> v(count);
    for (std::size_t i = 0; i < count; ++i)
        v[i] = from + (to - from) * (static_cast<double>(i) + 0.5) / static_cast<double>(count);
    return v;
}

std::string shortest(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
}

}  // namespace

std::vector<FieldRow> fieldRows(const FieldMap& map, FieldQuantity quantity, std::size_t count,
                                std::optional<double> r) {
    std::vector<FieldRow> rows;
    if (map.geometry() == Geometry::Spherical) {
        const std::vector<FieldRegion>& regions = map.regions();
        const double radius = r ? *r
                              : quantity == FieldQuantity::J
                                  ? regions.front().outer
                                  : 0.5 * (regions.back().inner + regions.back().outer);
        const auto [first, last] = map.polarBounds();
        for (double theta : centres(first, last, count)) rows.push_back({radius, theta});
        return rows;
    }
    if (r) return {{*r}};
    const auto [lo, hi] = map.span();
    for (double x : centres(lo, hi, count)) rows.push_back({x});
    return rows;
}

std::vector<double> fieldAlong(const FieldMap& map, std::size_t count) {
    return evenlySpaced(0.0, map.period(), count);
}

std::string fieldCsv(const FieldMap& map, const FieldGrid& grid) {
    const FieldQuantityInfo& info = fieldQuantityInfo(grid.quantity);
    const bool spherical = map.geometry() == Geometry::Spherical;
    std::string text = spherical ? "r [m],theta [rad],phi [rad]"
                                 : map.geometry() == Geometry::Linear ? "x [m],y [m]"
                                                                      : "r [m],phi [rad]";
    text += ",t [s]," + std::string(info.name) + " [" + std::string(info.unit) + "]\n";
    for (std::size_t i = 0; i < grid.rows.size(); ++i)
        for (std::size_t c = 0; c < grid.along.size(); ++c) {
            text += shortest(grid.rows[i].r);
            if (spherical) text += "," + shortest(grid.rows[i].theta);
            text += "," + shortest(grid.along[c]) + "," + shortest(grid.t) + "," +
                    shortest(grid.at(i, c)) + "\n";
        }
    return text;
}

}  // namespace emforce
