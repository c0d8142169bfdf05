#include "engine/run/lifetime_run.h"

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/fatigue_error.h"
#include "engine/record/io_error.h"
#include "engine/numbers/decimal_parser.h"
#include "engine/system/file_system.h"
#include "engine/tables/table_layout.h"
#include "engine/tables/time_column.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace tessivo {
namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The fields of a line split at commas; a field in double quotes may hold
// commas ("" is a quote inside it). Nothing when a quote is left open.
std::optional<std::vector<std::string>> fields(const std::string& line)
{
    std::vector<std::string> result(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            result.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            result.emplace_back();
        } else {
            result.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    for (std::string& f : result)
        f = trimmed(f);
    return result;
}

std::string resolved(const std::string& folder, const std::string& path)
{
    const std::filesystem::path p = os::nativePath(path);
    if (p.is_absolute() || folder.empty())
        return path;
    return folder + "/" + path;
}

[[noreturn]] void refuseLine(const std::string& table, std::int64_t line, const std::string& what)
{
    throw CountRefused("line " + std::to_string(line) + ": " + what, table);
}

long double equivalentCyclesOf(const fatigue::LifetimeSettings& lifetime, long double duration)
{
    if (lifetime.equivalentCycles)
        return *lifetime.equivalentCycles;
    if (lifetime.delFrequency)
        return *lifetime.delFrequency * duration;
    return fatigue::kDefaultEquivalentCycles;
}

} // namespace

std::vector<LifetimeEntry> readLifetimeTable(const std::string& path)
{
    std::ifstream in(os::nativePath(path), std::ios::binary);
    if (!in)
        throwIoError(errno != 0 ? errno : ENOENT, path);
    const std::string folder = [&path] {
        const auto slash = path.find_last_of(os::kBackslashSeparates ? "/\\" : "/");
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }();
    std::vector<LifetimeEntry> entries;
    bool named = false;
    std::int64_t lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (trimmed(line).empty())
            continue;
        const auto row = fields(line);
        if (!row)
            refuseLine(path, lineNumber, "a quote is not closed");
        if (row->size() != 2)
            refuseLine(path, lineNumber,
                       std::to_string(row->size()) + (row->size() == 1 ? " field" : " fields")
                           + ", not 2 (file,hours_per_year)");
        if (!named) {
            // A row in place of the names would be passed over without a word.
            long double number = 0.0L;
            if (parseDecimal((*row)[1], number))
                refuseLine(path, lineNumber, "a line of names (file,hours_per_year) comes before the rows");
            named = true;
            continue;
        }
        const std::string& file = (*row)[0];
        if (file.empty())
            refuseLine(path, lineNumber, "no file named");
        long double hours = 0.0L;
        if (!parseDecimal((*row)[1], hours) || !std::isfinite(hours) || hours < 0.0L)
            refuseLine(path, lineNumber, "the hours per year '" + (*row)[1] + "' are not a number of 0 or more");
        entries.push_back({resolved(folder, file), hours, lineNumber});
    }
    if (in.bad())
        throwIoError(errno != 0 ? errno : EIO, path);
    if (entries.empty())
        throw CountRefused("no recording: a line of names (file,hours_per_year), then one row per recording", path);
    return entries;
}

std::optional<long double> timeColumnSpan(const std::string& path, const ColumnChoice& columns)
{
    if (!columns.active())
        return std::nullopt;
    TableOverrides overrides;
    overrides.delimiter = columns.delimiter;
    overrides.decimal = columns.decimal;
    const auto times = readTimeColumn(path, detectTableLayout(path, overrides));
    if (!times)
        return std::nullopt;
    return times->back() - times->front();
}

LifetimeRecording countRecording(const CountRequest& request, const FatigueRequest& fatigue,
                                 const fatigue::LifetimeSettings& lifetime, const std::string& path,
                                 long double hoursPerYear, const ColumnChoice& columns,
                                 std::optional<long double> duration)
{
    const std::vector<SequenceFileInput> files = {SequenceFileInput{path}};
    if (const auto span = timeColumnSpan(path, columns))
        duration = span;
    if (!duration)
        throw CountRefused("no time column to take the duration from: give it (--duration)", path);
    // One pass with N_eq = 1: its DELs scale to any N_eq, and to the lifetime's.
    FatigueRequest unit = fatigue;
    unit.settings.equivalentCycles = 1.0L;
    unit.settings.delOnCurve = false;
    unit.settings.duration = duration;
    std::vector<SummaryRow> rows = summarise(request, unit, files, columns);
    if (rows.size() != 1)
        throw CountRefused("a lifetime counts one column of each table: choose it (--column)", path);
    LifetimeRecording r;
    r.row = std::move(rows.front());
    r.row.name = path;
    r.row.hoursPerYear = hoursPerYear;
    r.row.duration = duration;
    r.share.hoursPerYear = hoursPerYear;
    r.share.duration = *duration;
    if (r.row.fatigue) {
        fatigue::FatigueTotals& t = *r.row.fatigue;
        r.share.damage = t.damage;
        r.share.unitDel = t.del;
        const long double nEq = equivalentCyclesOf(lifetime, *duration);
        for (fatigue::DelValue& d : t.del)
            d.value *= std::pow(nEq, -1.0L / d.m);
        if (fatigue.settings.delOnCurve && fatigue.settings.curve) {
            const fatigue::FatigueAnalysis analysis(fatigue.settings);
            t.curveDelAsked = true;
            if (const auto s = fatigue::curveEquivalentLoad(*analysis.curve(), t.damage, nEq))
                t.curveDel = *s / analysis.factors().curve;
        }
    }
    return r;
}

LifetimeResult combineRecordings(const FatigueRequest& fatigue, fatigue::LifetimeSettings lifetime,
                                 std::vector<LifetimeRecording> recordings)
{
    lifetime.dff = fatigue.settings.design.dff;
    std::vector<fatigue::LifetimeShare> shares;
    for (const LifetimeRecording& r : recordings)
        shares.push_back(r.share);
    const fatigue::FatigueAnalysis analysis(fatigue.settings);
    const bool onCurve = fatigue.settings.delOnCurve && analysis.curve();
    LifetimeResult result;
    result.totals =
        fatigue::combineLifetime(lifetime, shares, onCurve ? &*analysis.curve() : nullptr, analysis.factors().curve);
    result.recordings = std::move(recordings);
    return result;
}

LifetimeResult countLifetime(const CountRequest& request, const FatigueRequest& fatigue,
                             const LifetimeRequest& lifetime, const ColumnChoice& columns)
{
    std::vector<LifetimeRecording> recordings;
    for (const LifetimeEntry& e : readLifetimeTable(lifetime.weights))
        recordings.push_back(
            countRecording(request, fatigue, lifetime.settings, e.path, e.hoursPerYear, columns, lifetime.duration));
    return combineRecordings(fatigue, lifetime.settings, std::move(recordings));
}

} // namespace tessivo
