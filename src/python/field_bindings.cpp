// emforce.field: the field of a record over a grid as numpy arrays, computed without the GIL.
#include "python/field_bindings.hpp"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "numerics/fp_guard.hpp"
#include "run/field_table.hpp"

namespace py = pybind11;

namespace emforce::python {

namespace {

// None, one number or a sequence of numbers, as a list.
std::optional<std::vector<double>> numbers(const py::object& value, const char* what) {
    if (value.is_none()) return std::nullopt;
    try {
        if (py::isinstance<py::float_>(value) || py::isinstance<py::int_>(value))
            return std::vector<double>{value.cast<double>()};
        return value.cast<std::vector<double>>();
    } catch (const py::cast_error&) {
        throw py::type_error(std::string(what) + " takes a number or a sequence of numbers");
    }
}

py::array_t<double> array(const std::vector<double>& values) {
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

}  // namespace

const char* const kFieldDoc =
    "The field of the record's machine at its tabled point (or at speed n [1/s]) as a dict: "
    "'values', a 2-D numpy array of the quantity over rows × along; 'r', 'theta' (spherical, "
    "else None) and 'along', the grid; 't', 'quantity', 'unit' and 'orders' (the waves summed). "
    "quantity: 'A' [Wb/m], 'Bn', 'Bt', 'B' (|B|) [T], 'H' (|H|) [A/m] or 'J' [A/m²]; r: the "
    "rows, a number or a sequence [m] (default 41 across the machine; spherical: one radius, by "
    "default the layer surface for J and the middle of the gap otherwise); theta: the spherical "
    "geometry's polar angles [rad] (default 41 across θ1..θ2); along: positions along the travel, "
    "y [m] (linear) or the angle φ [rad] (default 73 over one fundamental period); t [s]. Values "
    "are time-peak, in the stator's frame, Σ Re(v·e^{j(ωt − k·u)}) over the waves, ω = 2π·f1; a "
    "wave of positive order and a rotor of positive speed travel towards increasing y or φ.";

py::dict fieldMap(const InputRecord& record, const std::string& quantity, const py::object& r,
                  const py::object& theta, const py::object& along, double t,
                  const py::object& speed) {
    const FieldQuantity q = fieldQuantity(quantity);
    const std::optional<std::vector<double>> radii = numbers(r, "r");
    const std::optional<std::vector<double>> angles = numbers(theta, "theta");
    const std::optional<std::vector<double>> positions = numbers(along, "along");
    const std::optional<double> n = speed.is_none() ? std::nullopt
                                                    : std::optional<double>(speed.cast<double>());
    FieldGrid grid;
    std::optional<FieldMap> map;
    {
        const py::gil_scoped_release released;
        map = FieldMap::solve(record, n);
        const bool spherical = map->geometry() == Geometry::Spherical;
        if (spherical && radii && radii->size() != 1)
            throw CalcError("The spherical geometry's field is taken on one surface: give one r");
        if (!spherical && angles)
            throw CalcError("Polar angles belong to the spherical geometry");
        std::vector<FieldRow> rows;
        if (spherical && angles) {
            const double radius = radii ? radii->front() : fieldRows(*map, q, 1).front().r;
            for (double a : *angles) rows.push_back({radius, a});
        } else if (!spherical && radii) {
            for (double x : *radii) rows.push_back({x});
        } else {
            rows = fieldRows(*map, q, 41,
                             radii ? std::optional<double>(radii->front()) : std::nullopt);
        }
        grid = map->grid(q, rows, positions ? *positions : fieldAlong(*map, 73), t);
    }
    std::vector<double> rs, thetas;
    for (const FieldRow& row : grid.rows) {
        rs.push_back(row.r);
        thetas.push_back(row.theta);
    }
    py::array_t<double> values(
        {static_cast<py::ssize_t>(grid.rows.size()), static_cast<py::ssize_t>(grid.along.size())},
        grid.values.data());
    py::dict result;
    result["values"] = values;
    result["r"] = array(rs);
    result["theta"] = map->geometry() == Geometry::Spherical ? py::object(array(thetas)) : py::none();
    result["along"] = array(grid.along);
    result["t"] = t;
    result["quantity"] = std::string(fieldQuantityInfo(q).name);
    result["unit"] = std::string(fieldQuantityInfo(q).unit);
    result["orders"] = map->orders();
    return result;
}

}  // namespace emforce::python
