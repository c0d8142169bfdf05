#include "lifetime_bindings.h"

#include "fatigue_bindings.h"
#include "number_value.h"

#include "engine/run/errors.h"
#include "engine/run/lifetime_run.h"
#include "engine/run/summary.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

namespace tessivo::python {
namespace {

py::list delList(const std::vector<fatigue::DelValue>& values)
{
    py::list list;
    for (const fatigue::DelValue& v : values)
        list.append(py::make_tuple(longDoubleScalar(v.m), longDoubleScalar(v.value)));
    return list;
}

std::vector<fatigue::DelValue> delValues(py::handle list)
{
    std::vector<fatigue::DelValue> values;
    for (py::handle pair : list) {
        const py::tuple t = py::reinterpret_borrow<py::tuple>(pair);
        values.push_back({numberValue(t[0], "m"), numberValue(t[1], "a damage-equivalent load")});
    }
    return values;
}

py::dict rowDict(const SummaryRow& r)
{
    py::dict d;
    d["name"] = r.name;
    d["points"] = r.points;
    d["highest_peak"] = longDoubleScalar(r.highestPeak);
    d["lowest_trough"] = longDoubleScalar(r.lowestTrough);
    d["cycles"] = longDoubleScalar(r.cycles);
    if (r.hoursPerYear)
        d["hours_per_year"] = longDoubleScalar(*r.hoursPerYear);
    if (r.duration)
        d["duration"] = longDoubleScalar(*r.duration);
    if (r.fatigue) {
        const fatigue::FatigueTotals& t = *r.fatigue;
        if (t.check) {
            d["damage"] = longDoubleScalar(t.damage);
            d["life"] = longDoubleScalar(t.life);
            d["utilisation"] = longDoubleScalar(t.check->utilisation);
            d["check"] = t.check->passes;
        }
        d["del"] = delList(t.del);
        if (t.curveDelAsked)
            d["curve_del"] = t.curveDel ? longDoubleScalar(*t.curveDel) : py::none();
    }
    return d;
}

ColumnChoice columnsOf(py::handle column)
{
    ColumnChoice choice;
    if (column.is_none())
        return choice;
    if (py::isinstance<py::str>(column) && column.cast<std::string>() == "all") {
        choice.allColumns = true;
        return choice;
    }
    const auto one = [](py::handle c) {
        if (py::isinstance<py::bool_>(c) || !(py::isinstance<py::str>(c) || py::isinstance<py::int_>(c)))
            throw py::type_error("a column is its name or 1-based number, not "
                                 + std::string(py::str(c.get_type().attr("__name__"))));
        return std::string(py::str(c));
    };
    if (py::isinstance<py::str>(column) || py::isinstance<py::int_>(column))
        choice.columns.push_back(one(column));
    else
        for (py::handle c : column)
            choice.columns.push_back(one(c));
    return choice;
}

fatigue::LifetimeSettings lifetimeOf(py::handle designLife, py::handle delCycles, py::handle delFrequency)
{
    fatigue::LifetimeSettings s;
    s.designLife = numberValue(designLife, "design_life");
    if (!(s.designLife > 0.0L))
        throw py::value_error("design_life must be a number above 0");
    if (!delCycles.is_none())
        s.equivalentCycles = numberValue(delCycles, "del_cycles");
    if (!delFrequency.is_none())
        s.delFrequency = numberValue(delFrequency, "del_frequency");
    if (s.equivalentCycles && s.delFrequency)
        throw py::value_error("give del_cycles or del_frequency, not both");
    return s;
}

// A refusal that names a file (or a line of the weights table) names it in the message.
template <class Work>
auto naming(Work&& work)
{
    try {
        return work();
    } catch (const CountRefused& e) {
        throw py::value_error(e.path().empty() ? std::string(e.what()) : e.path() + ": " + e.what());
    }
}

} // namespace

void bindLifetime(py::module_& m, RequestReader readRequest)
{
    m.def(
        "summary",
        [readRequest](const std::vector<std::string>& paths, py::handle column, py::handle filter,
                      const std::string& residue, py::handle bins, bool unlimited, const py::dict& fatigue) {
            const CountRequest request = readRequest(filter, residue, bins, false, unlimited);
            const FatigueRequest f = fatigueRequestFrom(fatigue);
            std::vector<SequenceFileInput> files;
            for (const std::string& p : paths)
                files.push_back(SequenceFileInput{p});
            if (files.empty())
                throw py::value_error("paths names no file");
            const ColumnChoice columns = columnsOf(column);
            std::vector<SummaryRow> rows;
            naming([&] {
                py::gil_scoped_release released;
                rows = summarise(request, f, files, columns);
                return 0;
            });
            py::list list;
            for (const SummaryRow& r : rows)
                list.append(rowDict(r));
            return list;
        },
        py::arg("paths"), py::arg("column").none(true), py::arg("filter"), py::arg("residue"), py::arg("bins"),
        py::arg("unlimited"), py::arg("fatigue"));
    m.def(
        "read_lifetime_table",
        [](const std::string& path) {
            py::list list;
            for (const LifetimeEntry& e : naming([&] { return readLifetimeTable(path); }))
                list.append(py::make_tuple(e.path, longDoubleScalar(e.hoursPerYear)));
            return list;
        },
        py::arg("path"));
    m.def(
        "count_recording",
        [readRequest](const std::string& path, py::handle hoursPerYear, py::handle column, py::handle duration,
                      py::handle filter, const std::string& residue, py::handle bins, bool unlimited,
                      const py::dict& fatigue, py::handle designLife, py::handle delCycles, py::handle delFrequency) {
            const CountRequest request = readRequest(filter, residue, bins, false, unlimited);
            const FatigueRequest f = fatigueRequestFrom(fatigue);
            const fatigue::LifetimeSettings lifetime = lifetimeOf(designLife, delCycles, delFrequency);
            const long double hours = numberValue(hoursPerYear, "hours_per_year");
            if (hours < 0.0L)
                throw py::value_error(path + ": the hours per year must be 0 or more");
            std::optional<long double> seconds;
            if (!duration.is_none())
                seconds = numberValue(duration, "duration");
            const ColumnChoice columns = columnsOf(column);
            LifetimeRecording r = naming([&] {
                py::gil_scoped_release released;
                return countRecording(request, f, lifetime, path, hours, columns, seconds);
            });
            py::dict d = rowDict(r.row);
            d["share_damage"] = longDoubleScalar(r.share.damage);
            d["unit_del"] = delList(r.share.unitDel);
            return d;
        },
        py::arg("path"), py::arg("hours_per_year"), py::arg("column").none(true), py::arg("duration").none(true),
        py::arg("filter"), py::arg("residue"), py::arg("bins"), py::arg("unlimited"), py::arg("fatigue"),
        py::arg("design_life"), py::arg("del_cycles").none(true), py::arg("del_frequency").none(true));
    m.def(
        "combine_recordings",
        [](const py::list& recordings, const py::dict& fatigue, py::handle designLife, py::handle delCycles,
           py::handle delFrequency) {
            const FatigueRequest f = fatigueRequestFrom(fatigue);
            std::vector<LifetimeRecording> shares;
            for (py::handle item : recordings) {
                const py::dict d = py::reinterpret_borrow<py::dict>(item);
                LifetimeRecording r;
                r.share.hoursPerYear = numberValue(d["hours_per_year"], "hours_per_year");
                r.share.duration = numberValue(d["duration"], "duration");
                r.share.damage = numberValue(d["share_damage"], "damage");
                r.share.unitDel = delValues(d["unit_del"]);
                r.row.cycles = numberValue(d["cycles"], "cycles");
                shares.push_back(std::move(r));
            }
            const LifetimeResult result =
                combineRecordings(f, lifetimeOf(designLife, delCycles, delFrequency), std::move(shares));
            const fatigue::LifetimeTotals& t = result.totals;
            py::dict d;
            d["design_life"] = longDoubleScalar(t.designLife);
            d["seconds"] = longDoubleScalar(t.seconds);
            d["equivalent_cycles"] = longDoubleScalar(t.equivalentCycles);
            long double cycles = 0.0L;
            for (const LifetimeRecording& r : result.recordings)
                cycles += fatigue::lifetimeRepetitions(r.share, t.designLife) * r.row.cycles;
            d["cycles"] = longDoubleScalar(cycles);
            if (f.settings.curve) {
                d["damage"] = longDoubleScalar(t.damage);
                d["design_damage"] = longDoubleScalar(t.check.designDamage);
                d["utilisation"] = longDoubleScalar(t.check.utilisation);
                d["check"] = t.check.passes;
            }
            d["del"] = delList(t.del);
            if (t.curveDelAsked)
                d["curve_del"] = t.curveDel ? longDoubleScalar(*t.curveDel) : py::none();
            return d;
        },
        py::arg("recordings"), py::arg("fatigue"), py::arg("design_life"), py::arg("del_cycles").none(true),
        py::arg("del_frequency").none(true));
}

} // namespace tessivo::python
