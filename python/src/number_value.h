#pragma once
// Single numbers between Python and the engine's extended precision: the
// parameters a caller passes (filter, material values, curve points) and the
// loads handed back.

#include <pybind11/pybind11.h>

#include <string>

namespace tessivo::python {

namespace py = pybind11;

// A finite number from a Python int, float or numpy scalar (numpy.longdouble
// keeps its extended bits), or from a string read as tessivo-count reads its
// options: the decimal with '.', correctly rounded. Raises TypeError for
// anything else (booleans included) and ValueError for text that is not a
// number or a value that is not finite; `what` names the parameter.
long double numberValue(py::handle value, const std::string& what);

// A numpy.longdouble scalar: a Python float would lose the extended bits.
py::object longDoubleScalar(long double v);

} // namespace tessivo::python
