#include "positions_bindings.h"

#include "array_values.h"
#include "engine/counting/cycle_positions.h"
#include "engine/record/run_record.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <vector>

namespace tessivo::python {
namespace {

// The listing as columns; numpy takes them over without a copy.
struct CycleColumnsWithPositions final : CycleListener {
    long double divisor = 1.0L;
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

void bindPositions(py::module_& m, ParameterReader readParameters)
{
    m.def(
        "cycles",
        [readParameters](py::handle values, py::handle filter, const std::string& residue, py::handle bins,
                         bool normalize, bool unlimited) {
            const MemoryCountParameters parameters = readParameters(filter, residue, bins, normalize, unlimited);
            const py::array array = valuesArray(values);
            CycleColumnsWithPositions columns;
            bool matrix = false;
            withStridedValues(array, [&](auto& strided) {
                std::int64_t notFinite = -1;
                const SequenceExtent extent = strided.extent(notFinite);
                if (notFinite >= 0)
                    throw py::value_error("values must be finite: values[" + std::to_string(notFinite) + "] is " +
                                          std::string(py::str(array.attr("__getitem__")(notFinite))));
                if (parameters.filter < 0)
                    throw py::value_error("filter must not be negative");
                // As the count: long sequences go through the from-to matrix unless unlimited.
                matrix = parameters.loadBins || (!parameters.unlimited && extent.points >= MatrixThreshold);
                if (parameters.normalize && extent.points > 0 && extent.highest != 0)
                    columns.divisor = extent.highest;
                py::gil_scoped_release released;
                listCycles(strided, extent.points,
                           CycleListingParameters{parameters.filter, parameters.residue == ResidueMethod::Decomposition, matrix,
                                                  parameters.residue == ResidueMethod::Half}, columns);
            });
            py::dict d;
            d["matrix_applied"] = matrix && !parameters.loadBins;
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
