// The extension module behind the tessivo package: the engine's in-memory
// count over numpy arrays. The Python wrappers in tessivo/__init__.py give
// the keyword signatures and the documentation.

#include "array_values.h"
#include "fatigue_bindings.h"
#include "lifetime_bindings.h"
#include "table_bindings.h"
#include "number_value.h"
#include "other_counts_bindings.h"
#include "positions_bindings.h"
#include "engine/run/choices.h"
#include "engine/run/count.h"
#include "engine/run/errors.h"
#include "engine/run/file_values.h"
#include "engine/run/piece_count.h"
#include "engine/run/sequence_values.h"

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

long double filterValue(py::handle filter)
{
    return tessivo::python::numberValue(filter, "filter");
}

using CountProgress = std::function<bool(std::int64_t, std::int64_t)>;

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
                throw py::value_error("values must be finite: values[" + std::to_string(notFinite) + "] is "
                                      + std::string(py::str(values.attr("__getitem__")(notFinite))));
            }
            return work(strided, extent, progress);
        });
    } catch (const RunCancelled&) {
        if (interrupted)
            throw py::error_already_set();
        throw;
    }
}

CountResult countArray(const py::array& values, const CountRequest& request)
{
    return withValues(values, [&](ValueSource& rounded, const SequenceExtent& extent, const CountProgress& progress) {
        CountHooks hooks;
        hooks.progress = progress;
        return count(request, CountInputs::values(rounded, extent), hooks);
    });
}

void setResidue(CountRequest& request, const std::string& residue)
{
    const auto method = choiceNamed(residueChoices(), residue);
    if (!method)
        throw py::value_error("residue must be " + choiceList(residueChoices(), "or", "'") + ", not '" + residue + "'");
    request.residue = *method;
}

CountRequest requestFrom(py::handle filter, const std::string& residue, py::handle bins, bool normalize, bool unlimited)
{
    CountRequest request;
    request.filter = filterValue(filter);
    setResidue(request, residue);
    const std::string counts = choiceList(binCountChoices());
    std::string commaList;
    for (const auto& c : binCountChoices())
        commaList += (commaList.empty() ? "" : ", ") + std::string(c.name);
    if (!bins.is_none() && !py::isinstance<py::int_>(bins) && !py::isinstance<py::str>(bins)
        && py::isinstance<py::iterable>(bins)) {
        // Class edges of the caller's: the classes between them, whatever the count's length.
        std::vector<long double> edges;
        for (py::handle edge : bins)
            edges.push_back(tessivo::python::numberValue(edge, "a class edge in bins"));
        request.setOwnEdges(std::move(edges));
        try {
            checkRequest(request);
        } catch (const CountRefused& e) {
            throw py::value_error(std::string("bins: ") + e.what());
        }
    } else if (!bins.is_none()) {
        if (py::isinstance<py::bool_>(bins) || !py::isinstance<py::int_>(bins))
            throw py::type_error("bins must be None, " + commaList + " or a sequence of class edges");
        const int n = bins.cast<int>();
        if (!choiceNamed(binCountChoices(), std::to_string(n)))
            throw py::value_error("bins must be None, " + counts + ", not " + std::to_string(n));
        request.setEqualClasses(n);
    }
    request.normalize = normalize;
    request.unlimited = unlimited;
    return request;
}

// What count() returns; the Python side adds the representation and to_pandas().
py::dict resultDict(CountResult&& result)
{
    CycleColumns cycles = result.positions().empty() && result.sequenceLength() > 0 ? result.columns() : CycleColumns{};
    cycles.inHalves = result.halfCycles();
    py::dict d;
    d["sequence_length"] = result.sequenceLength();
    const bool empty = result.sequenceLength() == 0;
    d["highest_peak"] = empty ? py::none() : longDoubleScalar(result.highestPeak());
    d["lowest_trough"] = empty ? py::none() : longDoubleScalar(result.lowestTrough());
    d["result"] = static_cast<int>(result.result());
    d["normalized"] = result.normalized();
    d["range"] = columnArray(std::move(cycles.range));
    d["upper"] = columnArray(std::move(cycles.upper));
    d["lower"] = columnArray(std::move(cycles.lower));
    if (cycles.inHalves) {
        // Counts of the half-cycle residue go in steps of 0.5: floats, exact up to 2^53 halves.
        const auto inCycles = [](const std::vector<std::int64_t>& halves) {
            std::vector<double> cycles(halves.size());
            for (std::size_t i = 0; i < halves.size(); ++i)
                cycles[i] = static_cast<double>(halves[i]) / 2;
            return cycles;
        };
        d["count"] = columnArray(inCycles(cycles.count));
        d["cumulative"] = columnArray(inCycles(cycles.cumulative));
    } else {
        d["count"] = columnArray(std::move(cycles.count));
        d["cumulative"] = columnArray(std::move(cycles.cumulative));
    }
    return d;
}

void feedArray(PieceCount& partial, const py::array& values)
{
    withValues(values, [&](ValueSource& rounded, const SequenceExtent& extent, const CountProgress& progress) {
        partial.feed(rounded, extent, progress);
        return 0;
    });
}

// A partial count as Python holds it.
struct PyPartial {
    std::optional<PieceCount> count;

    PieceCount& get()
    {
        if (!count)
            throw py::value_error("an empty partial count");
        return *count;
    }
    PieceCount copy() { return get().clone(); }
    py::dict result(bool normalize)
    {
        PieceCount pieces = copy();
        CountRequest request = pieces.request();
        request.normalize = normalize;
        CountResult finished;
        {
            py::gil_scoped_release released;
            finished = tessivo::count(request, CountInputs::pieces(std::move(pieces)));
        }
        return resultDict(std::move(finished));
    }
};

py::tuple parameterState(const CountRequest& p)
{
    py::list edges;
    for (long double e : p.binEdges)
        edges.append(longDoubleScalar(e));
    return py::make_tuple(longDoubleScalar(p.filter), static_cast<int>(p.residue), p.loadBins, p.binCount, p.unlimited,
                          p.span.has_value(), longDoubleScalar(p.span ? p.span->lowest : 0.0L),
                          longDoubleScalar(p.span ? p.span->highest : 0.0L), edges);
}

CountRequest requestOfState(const py::tuple& t)
{
    CountRequest p;
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
    if (t[5].cast<bool>())
        p.span = LoadSpan{filterValue(t[6]), filterValue(t[7])};
    for (py::handle e : t[8])
        p.binEdges.push_back(filterValue(e));
    return p;
}

// extremes: None, or (lowest, highest) of the whole sequence. Own edges lay
// the classes themselves; the extremes add nothing to them.
void takeSpan(CountRequest& request, py::handle extremes)
{
    if (extremes.is_none())
        return;
    const py::tuple span = extremes.cast<py::tuple>();
    if (span.size() != 2)
        throw py::value_error("extremes must be (lowest, highest)");
    const LoadSpan given{tessivo::python::numberValue(span[0], "extremes"),
                         tessivo::python::numberValue(span[1], "extremes")};
    if (!(given.highest > given.lowest))
        throw py::value_error("extremes: the highest load must be above the lowest");
    if (request.binEdges.empty())
        request.span = given;
}

// piece: None for a piece without a number, else its position from 1.
std::uint64_t pieceFrom(const std::optional<std::uint64_t>& piece)
{
    if (piece == 0u)
        throw py::value_error("piece: pieces are numbered from 1 (None: no number)");
    return piece.value_or(PartialCount::kUnnumbered);
}

py::object pieceNumber(std::uint64_t piece)
{
    if (piece == PartialCount::kUnnumbered)
        return py::none();
    return py::int_(piece);
}

void bindPartialCounts(py::module_& m)
{
    py::register_exception<PartialCountError>(m, "PartialCountError", PyExc_ValueError);
    py::class_<PyPartial>(m, "PartialCount")
        .def_property_readonly("length", [](PyPartial& p) { return p.get().length(); })
        .def_property_readonly("first_piece", [](PyPartial& p) { return pieceNumber(p.get().firstPiece()); })
        .def_property_readonly("last_piece", [](PyPartial& p) { return pieceNumber(p.get().lastPiece()); })
        .def("feed", [](PyPartial& p, py::handle values) { feedArray(p.get(), tessivo::python::valuesArray(values)); })
        .def("result", &PyPartial::result, py::arg("normalize"))
        .def(py::pickle(
            [](PyPartial& p) {
                PieceCount& c = p.get();
                std::string bytes;
                {
                    py::gil_scoped_release released;
                    bytes = c.serialized();
                }
                return py::make_tuple(py::bytes(bytes), parameterState(c.request()), longDoubleScalar(c.highestGiven()),
                                      longDoubleScalar(c.lowestGiven()));
            },
            [](const py::tuple& t) {
                const std::string bytes = t[0].cast<std::string>();
                PyPartial p;
                p.count.emplace(PieceCount::read(bytes, requestOfState(t[1]), filterValue(t[2]), filterValue(t[3])));
                return p;
            }));
    m.def(
        "count_partial",
        [](py::handle values, std::optional<std::uint64_t> piece, py::handle filter, const std::string& residue,
           py::handle bins, bool unlimited, py::handle extremes, bool readAhead) {
            CountRequest request = requestFrom(filter, residue, bins, false, unlimited);
            request.readAhead = readAhead;
            takeSpan(request, extremes);
            PyPartial p;
            p.count.emplace(request, pieceFrom(piece));
            feedArray(*p.count, tessivo::python::valuesArray(values));
            return p;
        },
        py::arg("values"), py::arg("piece"), py::arg("filter"), py::arg("residue"), py::arg("bins"),
        py::arg("unlimited"), py::arg("extremes"), py::arg("read_ahead"));
    // A sequence file's partial count, its values streamed rather than held (Dask's file tasks).
    m.def(
        "count_partial_file",
        [](const std::string& path, std::optional<std::uint64_t> piece, py::handle filter, const std::string& residue,
           py::handle bins, bool unlimited, py::handle extremes) {
            CountRequest request = requestFrom(filter, residue, bins, false, unlimited);
            request.readAhead = false; // a worker's cores are the cluster's
            takeSpan(request, extremes);
            PyPartial p;
            p.count.emplace(request, pieceFrom(piece));
            bool proper = false;
            {
                py::gil_scoped_release released;
                proper = p.count->feedFile(path);
            }
            if (!proper)
                throw py::value_error(path + ": " + kIncorrectSequenceFile);
            return p;
        },
        py::arg("path"), py::arg("piece"), py::arg("filter"), py::arg("residue"), py::arg("bins"), py::arg("unlimited"),
        py::arg("extremes"));
    m.def(
        "file_extent",
        [](const std::string& path) {
            bool proper = false;
            SequenceExtent e;
            {
                py::gil_scoped_release released;
                e = sequenceFileExtent(path, proper);
            }
            if (!proper)
                throw py::value_error(path + ": " + kIncorrectSequenceFile);
            return py::make_tuple(e.points, longDoubleScalar(e.lowest), longDoubleScalar(e.highest));
        },
        py::arg("path"));
    // The number of values and their extremes as given, as a count finds them.
    m.def(
        "extent",
        [](py::handle values) {
            const SequenceExtent e =
                withValues(tessivo::python::valuesArray(values),
                           [](ValueSource&, const SequenceExtent& extent, const CountProgress&) { return extent; });
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
            CountRequest request = requestFrom(filter, residue, bins, normalize, unlimited);
            request.readAhead = readAhead;
            const py::array array = tessivo::python::valuesArray(values);
            return resultDict(countArray(array, request));
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
    tessivo::python::bindPositions(m, &requestFrom);
    tessivo::python::bindLifetime(m, &requestFrom);
    tessivo::python::bindOtherCounts(m);
    m.def("matrix_applied_notice", &matrixAppliedNotice);
    m.attr("MATRIX_THRESHOLD") = MatrixThreshold;
    m.attr("__version__") = TESSIVO_VERSION;
    m.attr("MAX_CYCLES") = MaxCycles;
    m.attr("MATRIX_APPLIED") = static_cast<int>(RunResult::MatrixApplied);
    m.attr("TABLE_FULL") = static_cast<int>(RunResult::TableFull);
    // The names of the engine's choices: the type stubs' Literals are checked against them.
    m.attr("RESIDUE_METHODS") = py::tuple(py::cast(choiceNames(residueChoices())));
    m.attr("MEAN_STRESS_METHODS") = py::tuple(py::cast(choiceNames(meanStressChoices())));
    m.attr("MEASURES") = py::tuple(py::cast(choiceNames(measureChoices())));
    m.attr("MATRIX_KINDS") = py::tuple(py::cast(choiceNames(matrixKindChoices())));
    std::vector<int> binCounts;
    for (const auto& c : binCountChoices())
        binCounts.push_back(c.value);
    m.attr("BIN_COUNTS") = py::tuple(py::cast(binCounts));
    m.attr("SN_PRESETS") = py::tuple(py::cast(presetNames()));
}
