#include "other_counts_bindings.h"

#include "array_values.h"
#include "number_value.h"

#include "engine/run/other_count.h"

#include <pybind11/numpy.h>

#include <vector>

namespace tessivo::python {
namespace {

template <class T>
py::array_t<T> owned(std::vector<T>&& column)
{
    auto* kept = new std::vector<T>(std::move(column));
    py::capsule free(kept, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(static_cast<py::ssize_t>(kept->size()), kept->data(), free);
}

// `levels` as a count of equal levels (int) or the levels themselves (a sequence of numbers).
void setLevels(OtherCountRequest& request, py::handle levels, const char* what)
{
    if (py::isinstance<py::bool_>(levels))
        throw py::type_error(std::string(what) + " must be a whole number or a sequence of numbers");
    if (py::isinstance<py::int_>(levels)) {
        const long long n = levels.cast<long long>();
        if (n < 1 || n > 100000)
            throw py::value_error(std::string(what) + " must be from 1 to 100000 equal levels, not "
                                  + std::to_string(n));
        request.levels = static_cast<std::int32_t>(n);
        return;
    }
    if (py::isinstance<py::str>(levels) || !py::isinstance<py::iterable>(levels))
        throw py::type_error(std::string(what) + " must be a whole number or a sequence of numbers");
    for (py::handle level : levels)
        request.edges.push_back(numberValue(level, std::string("a level in ") + what));
    if (request.edges.empty())
        throw py::value_error(std::string(what) + " must hold at least one level");
}

OtherCountResult countArray(py::handle values, const OtherCountRequest& request)
{
    const py::array array = valuesArray(values);
    return withStridedValues(array, [&](auto& strided) {
        std::int64_t notFinite = -1;
        const SequenceExtent extent = strided.extent(notFinite);
        if (notFinite >= 0)
            throw py::value_error("values must be finite: values[" + std::to_string(notFinite) + "] is "
                                  + std::string(py::str(array.attr("__getitem__")(notFinite))));
        py::gil_scoped_release released;
        return countOther(request, CountInputs::values(strided, extent));
    });
}

// The fields every result has: the extent of the values.
py::dict spectrum(const OtherCountResult& r)
{
    py::dict d;
    d["sequence_length"] = r.sequenceLength;
    d["highest_peak"] = r.sequenceLength == 0 ? py::none() : longDoubleScalar(r.highestPeak);
    d["lowest_trough"] = r.sequenceLength == 0 ? py::none() : longDoubleScalar(r.lowestTrough);
    return d;
}

} // namespace

void bindOtherCounts(py::module_& m)
{
    m.def(
        "level_crossings",
        [](py::handle values, py::handle levels, py::handle reference, py::handle hysteresis) {
            OtherCountRequest request{.method = CountMethod::LevelCrossing};
            setLevels(request, levels, "levels");
            if (!reference.is_none())
                request.reference = numberValue(reference, "reference");
            request.hysteresis = numberValue(hysteresis, "hysteresis");
            const OtherCountResult r = countArray(values, request);
            std::vector<long double> level, crossings;
            for (const auto& c : r.crossings) {
                level.push_back(c.level);
                crossings.push_back(c.count);
            }
            py::dict d = spectrum(r);
            d["level"] = owned(std::move(level));
            d["crossings"] = owned(std::vector<double>(crossings.begin(), crossings.end()));
            d["reference"] = longDoubleScalar(r.reference);
            d["hysteresis"] = longDoubleScalar(r.hysteresis);
            return d;
        },
        py::arg("values"), py::arg("levels"), py::arg("reference"), py::arg("hysteresis"));
    m.def(
        "range_pairs",
        [](py::handle values, py::handle hysteresis) {
            OtherCountRequest request{.method = CountMethod::RangePair};
            request.hysteresis = numberValue(hysteresis, "hysteresis");
            const OtherCountResult r = countArray(values, request);
            std::vector<long double> range, upper, lower;
            std::vector<double> count, cumulative;
            long double total = 0.0L;
            for (const fatigue::RangePair& p : r.pairs) {
                range.push_back(p.range);
                upper.push_back(p.upper);
                lower.push_back(p.lower);
                count.push_back(static_cast<double>(p.count));
                cumulative.push_back(static_cast<double>(total += p.count));
            }
            py::dict d = spectrum(r);
            d["range"] = owned(std::move(range));
            d["upper"] = owned(std::move(upper));
            d["lower"] = owned(std::move(lower));
            d["count"] = owned(std::move(count));
            d["cumulative"] = owned(std::move(cumulative));
            d["hysteresis"] = longDoubleScalar(r.hysteresis);
            return d;
        },
        py::arg("values"), py::arg("hysteresis"));
    m.def(
        "time_at_level",
        [](py::handle values, py::handle edges, py::handle interval) {
            OtherCountRequest request{.method = CountMethod::TimeAtLevel};
            setLevels(request, edges, "edges");
            if (request.edges.size() == 1)
                throw py::value_error("edges must hold 2 edges or more, the bounds of the classes");
            if (!interval.is_none())
                request.interval = numberValue(interval, "interval");
            const OtherCountResult r = countArray(values, request);
            const std::vector<long double>& e = r.time.edges;
            py::dict d = spectrum(r);
            d["lower"] = owned(std::vector<long double>(e.begin(), e.end() - 1));
            d["upper"] = owned(std::vector<long double>(e.begin() + 1, e.end()));
            d["time"] = owned(std::vector<long double>(r.time.seconds));
            d["outside"] = longDoubleScalar(r.time.outside);
            d["interval"] = r.intervalSource == IntervalSource::Given ? longDoubleScalar(r.interval) : py::none();
            return d;
        },
        py::arg("values"), py::arg("edges"), py::arg("interval"));
}

} // namespace tessivo::python
