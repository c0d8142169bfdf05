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

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : ", ") + n;
    return text;
}

constexpr const char* kWindSpeedName = "wind_speed";

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
    bool speeds = false; // file,wind_speed
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
            speeds = (*row)[1] == kWindSpeedName;
            continue;
        }
        const std::string& file = (*row)[0];
        if (file.empty())
            refuseLine(path, lineNumber, "no file named");
        long double value = 0.0L;
        if (!parseDecimal((*row)[1], value) || !std::isfinite(value) || value < 0.0L)
            refuseLine(path, lineNumber,
                       (speeds ? "the wind speed '" : "the hours per year '") + (*row)[1]
                           + "' are not a number of 0 or more");
        LifetimeEntry entry{resolved(folder, file), speeds ? 0.0L : value, std::nullopt, lineNumber};
        if (speeds)
            entry.windSpeed = value;
        entries.push_back(std::move(entry));
    }
    if (in.bad())
        throwIoError(errno != 0 ? errno : EIO, path);
    if (entries.empty())
        throw CountRefused("no recording: a line of names (file,hours_per_year), then one row per recording", path);
    return entries;
}

std::vector<LifetimeEntry> lifetimeEntries(const std::string& path, const std::optional<fatigue::WeibullBins>& weibull)
{
    std::vector<LifetimeEntry> entries = readLifetimeTable(path);
    const bool speeds = entries.front().windSpeed.has_value();
    if (speeds && !weibull)
        throw CountRefused("the wind speeds of the table need a Weibull distribution to give their hours (--weibull)",
                           path);
    if (!speeds && weibull)
        throw CountRefused("a Weibull distribution gives the hours of wind-speed bins: name them (file,wind_speed)",
                           path);
    if (speeds) {
        std::vector<long double> centres;
        for (const LifetimeEntry& e : entries)
            centres.push_back(*e.windSpeed);
        std::vector<long double> hours;
        try {
            hours = fatigue::weibullHours(centres, *weibull);
        } catch (const fatigue::FatigueError& e) {
            throw CountRefused(e.what(), path);
        }
        for (std::size_t i = 0; i < entries.size(); ++i)
            entries[i].hoursPerYear = hours[i];
    }
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

std::vector<LifetimeRecording> countRecording(const CountRequest& request, const FatigueRequest& fatigue,
                                              const fatigue::LifetimeSettings& lifetime, const std::string& path,
                                              long double hoursPerYear, const ColumnChoice& columns,
                                              std::optional<long double> duration, const LifetimeNotice& notice)
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
    const long double nEq = equivalentCyclesOf(lifetime, *duration);
    std::vector<LifetimeRecording> recordings;
    for (SummaryRow& row : summarise(request, unit, files, columns, notice, ConstantChannel::NoDamage)) {
        LifetimeRecording r;
        r.channel = columns.active() ? row.name : std::string();
        r.row = std::move(row);
        r.row.name = path;
        r.row.hoursPerYear = hoursPerYear;
        r.row.duration = duration;
        r.share.hoursPerYear = hoursPerYear;
        r.share.duration = *duration;
        if (r.row.fatigue) {
            fatigue::FatigueTotals& t = *r.row.fatigue;
            r.share.damage = t.damage;
            r.share.unitDel = t.del;
            for (fatigue::DelValue& d : t.del)
                d.value *= std::pow(nEq, -1.0L / d.m);
            if (fatigue.settings.delOnCurve && fatigue.settings.curve) {
                const fatigue::FatigueAnalysis analysis(fatigue.settings);
                t.curveDelAsked = true;
                if (const auto s = fatigue::curveEquivalentLoad(*analysis.curve(), t.damage, nEq))
                    t.curveDel = *s / analysis.factors().curve;
            }
        }
        recordings.push_back(std::move(r));
    }
    return recordings;
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
    if (!recordings.empty())
        result.channel = recordings.front().channel;
    result.recordings = std::move(recordings);
    return result;
}

std::vector<LifetimeResult> combineChannels(const FatigueRequest& fatigue, const fatigue::LifetimeSettings& lifetime,
                                            std::vector<std::vector<LifetimeRecording>> recordings)
{
    const auto names = [](const std::vector<LifetimeRecording>& channels) {
        std::vector<std::string> list;
        for (const LifetimeRecording& r : channels)
            list.push_back(r.channel);
        return list;
    };
    const std::vector<std::string> first = recordings.empty() ? std::vector<std::string>() : names(recordings.front());
    std::vector<std::vector<LifetimeRecording>> byChannel(first.size());
    for (std::vector<LifetimeRecording>& channels : recordings) {
        // --all-columns may find other columns in another table.
        if (names(channels) != first)
            throw CountRefused("its channels (" + joined(names(channels)) + ") are not those of the first recording ("
                                   + joined(first) + ")",
                               channels.empty() ? std::string() : channels.front().row.name);
        for (std::size_t k = 0; k < channels.size(); ++k)
            byChannel[k].push_back(std::move(channels[k]));
    }
    std::vector<LifetimeResult> results;
    for (std::vector<LifetimeRecording>& channel : byChannel)
        results.push_back(combineRecordings(fatigue, lifetime, std::move(channel)));
    return results;
}

std::vector<LifetimeResult> countLifetime(const CountRequest& request, const FatigueRequest& fatigue,
                                          const LifetimeRequest& lifetime, const ColumnChoice& columns,
                                          const LifetimeNotice& notice, const LifetimeStep& step)
{
    std::vector<std::vector<LifetimeRecording>> recordings;
    const std::vector<LifetimeEntry> entries = lifetimeEntries(lifetime.weights, lifetime.weibull);
    for (const LifetimeEntry& e : entries) {
        if (step)
            step(recordings.size(), entries.size(), e.path);
        recordings.push_back(countRecording(request, fatigue, lifetime.settings, e.path, e.hoursPerYear, columns,
                                            lifetime.duration, notice));
        for (LifetimeRecording& r : recordings.back())
            r.row.windSpeed = e.windSpeed;
    }
    if (step)
        step(entries.size(), entries.size(), {});
    std::vector<LifetimeResult> results = combineChannels(fatigue, lifetime.settings, std::move(recordings));
    for (LifetimeResult& r : results)
        r.weibull = lifetime.weibull;
    return results;
}

} // namespace tessivo
