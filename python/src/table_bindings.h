#pragma once
// The table reader in the module: chosen columns of a table file (names and
// units detected, plain or gzip) as numpy arrays in extended precision.

#include <pybind11/pybind11.h>

namespace tessivo::python {

void bindTables(pybind11::module_& m);

} // namespace tessivo::python
