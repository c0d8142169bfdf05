#pragma once
// tessivo.cycles: every cycle of a count over a numpy array with the
// positions of its two points, as tessivo-count --format cycles lists them.

#include "engine/run/count_request.h"

#include <pybind11/pybind11.h>

#include <string>

namespace tessivo::python {

// The count's request from the Python arguments (filter, residue, bins,
// normalize, unlimited), checked as count() checks them.
using RequestReader = CountRequest (*)(pybind11::handle, const std::string&, pybind11::handle, bool, bool);

void bindPositions(pybind11::module_& m, RequestReader readRequest);

} // namespace tessivo::python
