#pragma once
// Turns what a Python caller passes as values into a one-dimensional numpy
// array of a type the engine reads in place, and calls back with the
// engine's view of it. Raises TypeError or ValueError with a message that
// names what was wrong.

#include "engine/run/memory_values.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>

namespace tessivo::python {

namespace py = pybind11;

// Any one-dimensional numeric numpy array (float16 to long double, signed and
// unsigned integers), read without a copy when its byte order is the
// machine's; anything numpy.asarray makes such an array of.
py::array valuesArray(py::handle values);

// Calls f(StridedValues<T>&) for the array's element type T.
template <class F>
decltype(auto) withStridedValues(const py::array& a, F&& f)
{
    const void* first = a.data();
    const auto n = static_cast<std::int64_t>(a.shape(0));
    const auto stride = static_cast<std::ptrdiff_t>(a.strides(0));
    const char kind = a.dtype().kind();
    const auto size = a.itemsize();
    auto as = [&](auto typed) -> decltype(auto) {
        StridedValues<decltype(typed)> v(first, n, stride);
        return f(v);
    };
    if (kind == 'f')
        return size == 4 ? as(float{}) : size == 8 ? as(double{}) : as(static_cast<long double>(0));
    if (kind == 'i')
        return size == 1   ? as(std::int8_t{})
               : size == 2 ? as(std::int16_t{})
               : size == 4 ? as(std::int32_t{})
                           : as(std::int64_t{});
    return size == 1   ? as(std::uint8_t{})
           : size == 2 ? as(std::uint16_t{})
           : size == 4 ? as(std::uint32_t{})
                       : as(std::uint64_t{});
}

// The extent of the strided values of `array`, read with the GIL released
// (called with it held); raises ValueError naming the first value that is
// not finite.
template <class Values>
SequenceExtent finiteExtent(Values& strided, const py::array& array)
{
    std::int64_t notFinite = -1;
    SequenceExtent extent;
    {
        py::gil_scoped_release released;
        extent = strided.extent(notFinite);
    }
    if (notFinite >= 0)
        throw py::value_error("values must be finite: values[" + std::to_string(notFinite) + "] is "
                              + std::string(py::str(array.attr("__getitem__")(notFinite))));
    return extent;
}

} // namespace tessivo::python
