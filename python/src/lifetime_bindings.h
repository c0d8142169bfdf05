#pragma once
// tessivo.lifetime and tessivo.summary: the rows of a summary and the
// lifetime of many recordings, through the engine's summary and lifetime
// (the numbers of tessivo-count --summary and --lifetime).

#include "positions_bindings.h"

#include <pybind11/pybind11.h>

namespace tessivo::python {

void bindLifetime(pybind11::module_& m, RequestReader readRequest);

} // namespace tessivo::python
