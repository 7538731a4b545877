// The default grids of a field map and its values as a CSV table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "run/field_map.hpp"

namespace emforce {

/// The rows a map of a quantity shows: `count` values of r at the centres of equal steps
/// across span() (linear, cylindrical; the one row r when given), or in the spherical geometry
/// `count` polar angles at the centres of equal steps across (θ1, θ2) at the radius r (when
/// none: the layer's surface R for J, the middle of the gap otherwise).
std::vector<FieldRow> fieldRows(const FieldMap& map, FieldQuantity quantity, std::size_t count,
                                std::optional<double> r = std::nullopt);

/// `count` positions along the travel over one fundamental period, both ends included.
std::vector<double> fieldAlong(const FieldMap& map, std::size_t count);

/// The grid as CSV: a header of names and units, then one line per point, row by row: r,
/// θ (spherical only), the position along the travel, t and the value, numbers in the
/// shortest form that reads back to the same double, with a decimal point.
std::string fieldCsv(const FieldMap& map, const FieldGrid& grid);

}  // namespace emforce
