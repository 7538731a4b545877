// The field map of a record for Python: numpy arrays of a quantity over its grid.
#pragma once

#include <pybind11/pybind11.h>

#include "model/input_record.hpp"

namespace emforce::python {

/// emforce.field: the quantity's values over rows × along at t, with the grid, as a dict.
pybind11::dict fieldMap(const InputRecord& record, const std::string& quantity,
                        const pybind11::object& r, const pybind11::object& theta,
                        const pybind11::object& along, double t, const pybind11::object& speed);

/// The documentation of emforce.field.
extern const char* const kFieldDoc;

}  // namespace emforce::python
