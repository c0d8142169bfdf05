#include "lifetime_bindings.h"

#include "fatigue_bindings.h"
#include "number_value.h"

#include "engine/run/errors.h"
#include "engine/run/lifetime_run.h"
#include "engine/run/summary.h"

#include <pybind11/numpy.h>
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
    if (r.windSpeed)
        d["wind_speed"] = longDoubleScalar(*r.windSpeed);
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

std::optional<fatigue::WeibullBins> weibullOf(py::handle weibull, py::handle binWidth, py::handle hoursPerYear)
{
    if (weibull.is_none()) {
        if (!binWidth.is_none() || !hoursPerYear.is_none())
            throw py::value_error("bin_width and hours_per_year go with weibull");
        return std::nullopt;
    }
    const py::sequence pair = py::reinterpret_borrow<py::sequence>(weibull);
    if (!py::isinstance<py::sequence>(weibull) || py::isinstance<py::str>(weibull) || py::len(pair) != 2)
        throw py::type_error("weibull is the pair (shape, scale)");
    fatigue::WeibullBins bins{numberValue(pair[0], "the Weibull shape"), numberValue(pair[1], "the Weibull scale")};
    if (!binWidth.is_none())
        bins.binWidth = numberValue(binWidth, "bin_width");
    if (!hoursPerYear.is_none())
        bins.hoursPerYear = numberValue(hoursPerYear, "hours_per_year");
    return bins;
}

LifetimeRecording recordingOf(py::handle item)
{
    const py::dict d = py::reinterpret_borrow<py::dict>(item);
    LifetimeRecording r;
    r.channel = d["channel"].cast<std::string>();
    r.share.hoursPerYear = numberValue(d["hours_per_year"], "hours_per_year");
    r.share.duration = numberValue(d["duration"], "duration");
    r.share.damage = numberValue(d["share_damage"], "damage");
    r.share.unitDel = delValues(d["unit_del"]);
    r.row.name = d["name"].cast<std::string>();
    r.row.cycles = numberValue(d["cycles"], "cycles");
    return r;
}

py::dict totalsDict(const LifetimeResult& result, const FatigueRequest& f)
{
    const fatigue::LifetimeTotals& t = result.totals;
    py::dict d;
    d["channel"] = result.channel;
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
        [](const std::string& path, py::handle weibull, py::handle binWidth, py::handle hoursPerYear) {
            const std::optional<fatigue::WeibullBins> bins = weibullOf(weibull, binWidth, hoursPerYear);
            py::list list;
            for (const LifetimeEntry& e : naming([&] { return lifetimeEntries(path, bins); }))
                list.append(py::make_tuple(e.path, longDoubleScalar(e.hoursPerYear),
                                           e.windSpeed ? longDoubleScalar(*e.windSpeed) : py::none()));
            return list;
        },
        py::arg("path"), py::arg("weibull").none(true), py::arg("bin_width").none(true),
        py::arg("hours_per_year").none(true));
    m.def(
        "weibull_hours",
        [](py::handle windSpeeds, py::handle weibull, py::handle binWidth, py::handle hoursPerYear) {
            std::vector<long double> speeds;
            for (py::handle v : py::iterable(py::module_::import("numpy").attr("atleast_1d")(windSpeeds)))
                speeds.push_back(numberValue(v, "a wind speed"));
            const std::vector<long double> hours =
                fatigue::weibullHours(speeds, *weibullOf(weibull, binWidth, hoursPerYear));
            py::array_t<long double> array(static_cast<py::ssize_t>(hours.size()));
            std::copy(hours.begin(), hours.end(), array.mutable_data());
            return array;
        },
        py::arg("wind_speeds"), py::arg("weibull"), py::arg("bin_width").none(true),
        py::arg("hours_per_year").none(true));
    m.def(
        "count_recording",
        [readRequest](const std::string& path, py::handle hoursPerYear, py::handle column, py::handle duration,
                      py::handle filter, const std::string& residue, py::handle bins, bool unlimited,
                      const py::dict& fatigue, py::handle designLife, py::handle delCycles, py::handle delFrequency,
                      py::handle windSpeed) {
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
            std::vector<std::string> notices;
            const std::vector<LifetimeRecording> recordings = naming([&] {
                py::gil_scoped_release released;
                return countRecording(request, f, lifetime, path, hours, columns, seconds,
                                      [&notices](const std::string& text) { notices.push_back(text); });
            });
            py::list rows;
            for (LifetimeRecording r : recordings) {
                if (!windSpeed.is_none())
                    r.row.windSpeed = numberValue(windSpeed, "wind_speed");
                py::dict d = rowDict(r.row);
                d["channel"] = r.channel;
                d["share_damage"] = longDoubleScalar(r.share.damage);
                d["unit_del"] = delList(r.share.unitDel);
                rows.append(d);
            }
            return py::make_tuple(rows, py::cast(notices));
        },
        py::arg("path"), py::arg("hours_per_year"), py::arg("column").none(true), py::arg("duration").none(true),
        py::arg("filter"), py::arg("residue"), py::arg("bins"), py::arg("unlimited"), py::arg("fatigue"),
        py::arg("design_life"), py::arg("del_cycles").none(true), py::arg("del_frequency").none(true),
        py::arg("wind_speed").none(true) = py::none());
    m.def(
        "combine_recordings",
        [](const py::list& recordings, const py::dict& fatigue, py::handle designLife, py::handle delCycles,
           py::handle delFrequency) {
            const FatigueRequest f = fatigueRequestFrom(fatigue);
            const fatigue::LifetimeSettings lifetime = lifetimeOf(designLife, delCycles, delFrequency);
            py::list list;
            if (recordings.empty()) { // the settings checked alone
                combineRecordings(f, lifetime, {});
                return list;
            }
            std::vector<std::vector<LifetimeRecording>> counted;
            for (py::handle channels : recordings) {
                counted.emplace_back();
                for (py::handle item : channels)
                    counted.back().push_back(recordingOf(item));
            }
            for (const LifetimeResult& result :
                 naming([&] { return combineChannels(f, lifetime, std::move(counted)); }))
                list.append(totalsDict(result, f));
            return list;
        },
        py::arg("recordings"), py::arg("fatigue"), py::arg("design_life"), py::arg("del_cycles").none(true),
        py::arg("del_frequency").none(true));
}

} // namespace tessivo::python
