// The extension module behind the tessivo package: the engine's in-memory
// count over numpy arrays. The Python wrappers in tessivo/__init__.py give
// the keyword signatures and the documentation.

#include "array_values.h"
#include "fatigue_bindings.h"
#include "table_bindings.h"
#include "number_value.h"
#include "positions_bindings.h"
#include "engine/numbers/decimal_parser.h"
#include "engine/record/input_too_large.h"
#include "engine/record/io_error.h"
#include "engine/run/memory_count.h"
#include "engine/run/memory_partial.h"
#include "engine/counting/load_classes.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_values.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace tessivo;
using tessivo::python::longDoubleScalar;

namespace {

// A column handed to numpy without a copy: the array owns the vector.
template <class T>
py::array_t<T> columnArray(std::vector<T>&& column)
{
    auto* owned = new std::vector<T>(std::move(column));
    py::capsule free(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(static_cast<py::ssize_t>(owned->size()), owned->data(), free);
}

long double filterValue(py::handle filter) { return tessivo::python::numberValue(filter, "filter"); }

// Runs work(values, extent, progress) in the engine with the GIL released.
// Every 65536 values the engine asks whether to go on: a pending
// KeyboardInterrupt stops it.
template <class Work>
auto withValues(const py::array& values, Work&& work)
{
    bool interrupted = false;
    const CountProgress progress = [&interrupted](std::int64_t, std::int64_t) {
        py::gil_scoped_acquire gil;
        interrupted = PyErr_CheckSignals() != 0;
        return !interrupted;
    };
    try {
        return tessivo::python::withStridedValues(values, [&](auto& strided) {
            py::gil_scoped_release released;
            std::int64_t notFinite = -1;
            const SequenceExtent extent = strided.extent(notFinite);
            if (notFinite >= 0) {
                py::gil_scoped_acquire gil;
                throw py::value_error("values must be finite: values[" + std::to_string(notFinite) + "] is " +
                                      std::string(py::str(values.attr("__getitem__")(notFinite))));
            }
            return work(strided, extent, progress);
        });
    } catch (const RunCancelled&) {
        if (interrupted)
            throw py::error_already_set();
        throw;
    }
}

MemoryCount countArray(const py::array& values, const MemoryCountParameters& parameters)
{
    return withValues(values, [&](ValueSource& rounded, const SequenceExtent& extent, const CountProgress& progress) {
        return countInMemory(rounded, extent, parameters, progress);
    });
}

// The residue methods by the names the module takes them, as tessivo-count's --residue.
struct ResidueName {
    const char* name;
    void (*set)(MemoryCountParameters&);
};
constexpr ResidueName kResidueNames[] = {
    {"decomposition", [](MemoryCountParameters& p) { p.residue = ResidueMethod::Decomposition; }},
    {"upward", [](MemoryCountParameters& p) { p.residue = ResidueMethod::Upward; }},
    {"half", [](MemoryCountParameters& p) { p.residue = ResidueMethod::Half; }},
};

void setResidue(MemoryCountParameters& p, const std::string& residue)
{
    std::string names;
    for (const ResidueName& r : kResidueNames) {
        if (residue == r.name) {
            r.set(p);
            return;
        }
        names += std::string(names.empty() ? "'" : "' or '") + r.name;
    }
    throw py::value_error("residue must be " + names + "', not '" + residue + "'");
}

MemoryCountParameters parametersFrom(py::handle filter, const std::string& residue, py::handle bins, bool normalize,
                               bool unlimited)
{
    MemoryCountParameters p;
    p.filter = filterValue(filter);
    setResidue(p, residue);
    if (!bins.is_none() && !py::isinstance<py::int_>(bins) && !py::isinstance<py::str>(bins) &&
        py::isinstance<py::iterable>(bins)) {
        // Class edges of the caller's: the classes between them, whatever the count's length.
        for (py::handle edge : bins)
            p.binEdges.push_back(tessivo::python::numberValue(edge, "a class edge in bins"));
        if (const auto problem = binEdgesProblem(p.binEdges))
            throw py::value_error("bins: " + *problem);
        p.loadBins = true;
        p.binCount = static_cast<std::int32_t>(p.binEdges.size()) - 1;
    } else if (!bins.is_none()) {
        if (py::isinstance<py::bool_>(bins) || !py::isinstance<py::int_>(bins))
            throw py::type_error("bins must be None, 32, 64, 100 or a sequence of class edges");
        const int n = bins.cast<int>();
        if (n != 32 && n != 64 && n != 100)
            throw py::value_error("bins must be None, 32, 64 or 100, not " + std::to_string(n));
        p.loadBins = true;
        p.binCount = n;
    }
    p.normalize = normalize;
    p.unlimited = unlimited;
    return p;
}

// What count() returns; the Python side adds the representation and to_pandas().
py::dict resultDict(MemoryCount&& count)
{
    py::dict d;
    d["sequence_length"] = count.sequenceLength;
    const bool empty = count.sequenceLength == 0;
    d["highest_peak"] = empty ? py::none() : longDoubleScalar(count.highestPeak);
    d["lowest_trough"] = empty ? py::none() : longDoubleScalar(count.lowestTrough);
    d["result"] = static_cast<int>(count.result);
    d["range"] = columnArray(std::move(count.cycles.range));
    d["upper"] = columnArray(std::move(count.cycles.upper));
    d["lower"] = columnArray(std::move(count.cycles.lower));
    if (count.cycles.inHalves) {
        // Counts of the half-cycle residue go in steps of 0.5: floats, exact up to 2^53 halves.
        const auto inCycles = [](const std::vector<std::int64_t>& halves) {
            std::vector<double> cycles(halves.size());
            for (std::size_t i = 0; i < halves.size(); ++i)
                cycles[i] = static_cast<double>(halves[i]) / 2;
            return cycles;
        };
        d["count"] = columnArray(inCycles(count.cycles.count));
        d["cumulative"] = columnArray(inCycles(count.cycles.cumulative));
    } else {
        d["count"] = columnArray(std::move(count.cycles.count));
        d["cumulative"] = columnArray(std::move(count.cycles.cumulative));
    }
    return d;
}

void feedArray(MemoryPartial& partial, const py::array& values)
{
    withValues(values, [&](ValueSource& rounded, const SequenceExtent& extent, const CountProgress& progress) {
        partial.feed(rounded, extent, progress);
        return 0;
    });
}

// A partial count as Python holds it.
struct PyPartial {
    std::optional<MemoryPartial> count;

    MemoryPartial& get()
    {
        if (!count)
            throw py::value_error("an empty partial count");
        return *count;
    }
    MemoryPartial copy() { return get().clone(); }
    py::dict result(bool normalize)
    {
        MemoryCount finished;
        {
            py::gil_scoped_release released;
            finished = get().clone().finish(normalize);
        }
        return resultDict(std::move(finished));
    }
};

py::tuple parameterState(const MemoryCountParameters& p)
{
    py::list edges;
    for (long double e : p.binEdges)
        edges.append(longDoubleScalar(e));
    return py::make_tuple(longDoubleScalar(p.filter), static_cast<int>(p.residue), p.loadBins, p.binCount, p.unlimited,
                          p.knownSpan, longDoubleScalar(p.spanLowest), longDoubleScalar(p.spanHighest), edges);
}

MemoryCountParameters parametersOfState(const py::tuple& t)
{
    MemoryCountParameters p;
    p.filter = filterValue(t[0]);
    const int residue = t[1].cast<int>(); // states of earlier versions hold True or False
    if (residue < 0 || residue > 3)
        throw py::value_error("unknown residue method in the state");
    p.residue = residue == 0 ? ResidueMethod::Upward : static_cast<ResidueMethod>(residue);
    p.loadBins = t[2].cast<bool>();
    p.binCount = t[3].cast<int>();
    p.unlimited = t[4].cast<bool>();
    if (t.size() < 9) // pickled before counts had a known span or given edges
        return p;
    p.knownSpan = t[5].cast<bool>();
    p.spanLowest = filterValue(t[6]);
    p.spanHighest = filterValue(t[7]);
    for (py::handle e : t[8])
        p.binEdges.push_back(filterValue(e));
    return p;
}

void bindPartialCounts(py::module_& m)
{
    py::register_exception<PartialCountError>(m, "PartialCountError", PyExc_ValueError);
    py::class_<PyPartial>(m, "PartialCount")
        .def_property_readonly("length", [](PyPartial& p) { return p.get().length(); })
        .def_property_readonly("first_piece", [](PyPartial& p) { return p.get().firstPiece(); })
        .def_property_readonly("last_piece", [](PyPartial& p) { return p.get().lastPiece(); })
        .def("feed", [](PyPartial& p, py::handle values) { feedArray(p.get(), tessivo::python::valuesArray(values)); })
        .def("result", &PyPartial::result, py::arg("normalize"))
        .def(py::pickle(
            [](PyPartial& p) {
                MemoryPartial& c = p.get();
                std::string bytes;
                {
                    py::gil_scoped_release released;
                    bytes = c.serialized();
                }
                return py::make_tuple(py::bytes(bytes), parameterState(c.parameters()),
                                      longDoubleScalar(c.highestGiven()), longDoubleScalar(c.lowestGiven()));
            },
            [](const py::tuple& t) {
                const std::string bytes = t[0].cast<std::string>();
                PyPartial p;
                p.count.emplace(MemoryPartial::read(bytes, parametersOfState(t[1]), filterValue(t[2]),
                                                    filterValue(t[3])));
                return p;
            }));
    m.def(
        "count_partial",
        [](py::handle values, std::uint64_t piece, py::handle filter, const std::string& residue, py::handle bins,
           bool unlimited, py::handle extremes, bool readAhead) {
            MemoryCountParameters parameters = parametersFrom(filter, residue, bins, false, unlimited);
            parameters.readAhead = readAhead;
            if (!extremes.is_none()) {
                const py::tuple span = extremes.cast<py::tuple>();
                if (span.size() != 2)
                    throw py::value_error("extremes must be (lowest, highest)");
                parameters.knownSpan = true;
                parameters.spanLowest = tessivo::python::numberValue(span[0], "extremes");
                parameters.spanHighest = tessivo::python::numberValue(span[1], "extremes");
                if (!(parameters.spanHighest > parameters.spanLowest))
                    throw py::value_error("extremes: the highest load must be above the lowest");
            }
            PyPartial p;
            p.count.emplace(parameters, piece);
            feedArray(*p.count, tessivo::python::valuesArray(values));
            return p;
        },
        py::arg("values"), py::arg("piece"), py::arg("filter"), py::arg("residue"), py::arg("bins"),
        py::arg("unlimited"), py::arg("extremes"), py::arg("read_ahead"));
    // The number of values and their extremes as given, as a count finds them.
    m.def(
        "extent",
        [](py::handle values) {
            const SequenceExtent e = withValues(tessivo::python::valuesArray(values),
                                                [](ValueSource&, const SequenceExtent& extent, const CountProgress&) {
                                                    return extent;
                                                });
            if (e.points == 0)
                return py::make_tuple(0, py::none(), py::none());
            return py::make_tuple(e.points, longDoubleScalar(e.lowest), longDoubleScalar(e.highest));
        },
        py::arg("values"));
    m.def("merge", [](const std::vector<PyPartial*>& parts) {
        if (parts.empty())
            throw py::value_error("merge needs at least one partial count");
        PyPartial merged;
        merged.count.emplace(parts.front()->copy());
        for (std::size_t i = 1; i < parts.size(); ++i)
            merged.count->append(parts[i]->copy());
        return merged;
    });
}

} // namespace

PYBIND11_MODULE(_tessivo, m)
{
    m.doc() = "Rainflow counting in Tessivo's engine (use the tessivo package).";
    py::register_exception_translator([](std::exception_ptr failure) {
        try {
            if (failure)
                std::rethrow_exception(failure);
        } catch (const IoError& e) {
            // OSError(errno, message, filename): FileNotFoundError and its kin by the code.
            const py::tuple args = py::make_tuple(e.code(), e.what(), e.path());
            PyErr_SetObject(PyExc_OSError, args.ptr());
        } catch (const InputTooLarge& e) {
            // More values or cycles than a count holds, wherever the engine finds it.
            PyErr_SetString(PyExc_OverflowError, e.what());
        }
    });
    m.def(
        "count",
        [](py::handle values, py::handle filter, const std::string& residue, py::handle bins, bool normalize,
           bool unlimited, bool readAhead) {
            MemoryCountParameters parameters = parametersFrom(filter, residue, bins, normalize, unlimited);
            parameters.readAhead = readAhead;
            const py::array array = tessivo::python::valuesArray(values);
            return resultDict(countArray(array, parameters));
        },
        py::arg("values"), py::arg("filter"), py::arg("residue"), py::arg("bins"), py::arg("normalize"),
        py::arg("unlimited"), py::arg("read_ahead"));
    m.def(
        "read_sequence",
        [](const std::string& path) {
            SequenceValues read;
            {
                py::gil_scoped_release released;
                read = readSequenceValues(path);
            }
            if (!read.proper)
                throw py::value_error(path + ": " + kIncorrectSequenceFile);
            return columnArray(std::move(read.values));
        },
        py::arg("path"));
    bindPartialCounts(m);
    tessivo::python::bindFatigue(m);
    tessivo::python::bindTables(m);
    tessivo::python::bindPositions(m, &parametersFrom);
    m.def("matrix_applied_notice", &matrixAppliedNotice);
    m.attr("MATRIX_THRESHOLD") = MatrixThreshold;
    m.attr("__version__") = TESSIVO_VERSION;
    m.attr("MAX_CYCLES") = MaxCycles;
    m.attr("MATRIX_APPLIED") = static_cast<int>(RunResult::MatrixApplied);
    m.attr("TABLE_FULL") = static_cast<int>(RunResult::TableFull);
}
