#include "number_value.h"

#include "engine/run/number_text.h"

#include <pybind11/numpy.h>

#include <cmath>

namespace tessivo::python {

py::object longDoubleScalar(long double v)
{
    py::array_t<long double> one(1);
    one.mutable_at(0) = v;
    return one.attr("__getitem__")(0);
}

long double numberValue(py::handle value, const std::string& what)
{
    long double v = 0.0L;
    if (py::isinstance<py::str>(value)) {
        const std::string text = value.cast<std::string>();
        if (!parseDecimal(text, v) || !std::isfinite(v))
            throw py::value_error(what + " must be a number (with '.' as decimal point), not '" + text + "'");
        return v;
    }
    if (py::isinstance<py::bool_>(value) || !PyNumber_Check(value.ptr()))
        throw py::type_error(what + " must be a number, not "
                             + std::string(py::str(value.get_type().attr("__name__"))));
    if (py::isinstance(value, py::module_::import("numpy").attr("longdouble"))) {
        v = py::array_t<long double>::ensure(py::module_::import("numpy").attr("atleast_1d")(value)).at(0);
    } else {
        PyObject* asFloat = PyNumber_Float(value.ptr());
        if (asFloat == nullptr)
            throw py::error_already_set();
        v = py::reinterpret_steal<py::float_>(asFloat).cast<double>();
    }
    if (!std::isfinite(v))
        throw py::value_error(what + " must be finite, not " + std::string(py::str(value)));
    return v;
}

} // namespace tessivo::python
