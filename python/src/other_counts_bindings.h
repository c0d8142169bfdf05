#pragma once
// tessivo.level_crossings, range_pairs and time_at_level: the counts beside
// rainflow over a numpy array, as tessivo-count --count makes them.

#include <pybind11/pybind11.h>

namespace tessivo::python {

void bindOtherCounts(pybind11::module_& m);

} // namespace tessivo::python
