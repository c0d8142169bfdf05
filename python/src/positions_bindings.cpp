#include "positions_bindings.h"

#include "array_values.h"
#include "engine/run/count.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <vector>

namespace tessivo::python {
namespace {

// The listing as columns; numpy takes them over without a copy.
struct CycleColumnsWithPositions final : CycleListing {
    long double divisor = 1.0L;
    void begin(const ListingStart& start) override { divisor = start.loadDivisor; }
    std::vector<long double> range, upper, lower;
    std::vector<double> count;
    std::vector<std::int64_t> start, end;

    void cycle(const PositionedCycle& c) override
    {
        range.push_back(c.range() / divisor);
        upper.push_back(c.upper() / divisor);
        lower.push_back(c.lower() / divisor);
        count.push_back(c.half ? 0.5 : 1.0);
        start.push_back(c.fromAt);
        end.push_back(c.toAt);
    }
};

template <class T>
py::array_t<T> owned(std::vector<T>&& column)
{
    auto* kept = new std::vector<T>(std::move(column));
    py::capsule free(kept, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(static_cast<py::ssize_t>(kept->size()), kept->data(), free);
}

} // namespace

void bindPositions(py::module_& m, RequestReader readRequest)
{
    m.def(
        "cycles",
        [readRequest](py::handle values, py::handle filter, const std::string& residue, py::handle bins, bool normalize,
                      bool unlimited) {
            CountRequest request = readRequest(filter, residue, bins, normalize, unlimited);
            request.positions = true;
            const py::array array = valuesArray(values);
            CycleColumnsWithPositions columns;
            RunResult result = RunResult::Normal;
            withStridedValues(array, [&](auto& strided) {
                const SequenceExtent extent = finiteExtent(strided, array);
                py::gil_scoped_release released;
                CountHooks hooks;
                hooks.listing = &columns;
                result = count(request, CountInputs::values(strided, extent), hooks).result();
            });
            py::dict d;
            d["matrix_applied"] = result == RunResult::MatrixApplied;
            d["range"] = owned(std::move(columns.range));
            d["upper"] = owned(std::move(columns.upper));
            d["lower"] = owned(std::move(columns.lower));
            d["count"] = owned(std::move(columns.count));
            d["start"] = owned(std::move(columns.start));
            d["end"] = owned(std::move(columns.end));
            return d;
        },
        py::arg("values"), py::arg("filter"), py::arg("residue"), py::arg("bins"), py::arg("normalize"),
        py::arg("unlimited"));
}

} // namespace tessivo::python
