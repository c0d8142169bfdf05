#include "array_values.h"

namespace tessivo::python {

py::array valuesArray(py::handle values)
{
    if (py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values))
        throw py::type_error("values must be a one-dimensional array or a sequence of numbers, not "
                             + std::string(py::str(values.get_type().attr("__name__"))));
    auto np = py::module_::import("numpy");
    py::array a = py::isinstance<py::array>(values) ? py::reinterpret_borrow<py::array>(values)
                                                    : py::array(np.attr("asarray")(values));
    if (a.ndim() != 1)
        throw py::value_error("values must be one-dimensional, not an array of shape "
                              + std::string(py::str(a.attr("shape"))));
    const char kind = a.dtype().kind();
    const auto size = a.itemsize();
    const bool readable =
        (kind == 'f'
         && (size == 2 || size == 4 || size == 8
             || (size == static_cast<py::ssize_t>(sizeof(long double)) && a.dtype().is(py::dtype::of<long double>()))))
        || ((kind == 'i' || kind == 'u') && (size == 1 || size == 2 || size == 4 || size == 8));
    if (!readable)
        throw py::type_error("values must hold numbers (floats or integers), not " + std::string(py::str(a.dtype()))
                             + (kind == 'O' ? ": convert them with numpy.asarray(values, dtype=float)" : ""));
    // Half floats widen exactly; a foreign byte order is put in the machine's.
    if (kind == 'f' && size == 2)
        return a.attr("astype")(np.attr("float32"));
    if (!a.dtype().attr("isnative").cast<bool>())
        return a.attr("astype")(a.dtype().attr("newbyteorder")("="));
    return a;
}

} // namespace tessivo::python
