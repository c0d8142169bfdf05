#pragma once
// A design life from many recordings: the weights table names each
// recording with the hours a year it stands for (or its wind-speed bin, the
// hours then from a Weibull distribution); each is counted on its own with
// the same request, evaluated with the same fatigue settings, and the
// lifetime's damage, utilisation and damage-equivalent loads combine them
// (engine/fatigue/lifetime_damage.h), one lifetime per channel.

#include "engine/fatigue/lifetime_damage.h"
#include "engine/fatigue/weibull_hours.h"
#include "engine/run/summary.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

struct LifetimeEntry {
    std::string path; // as written, resolved against the weights table's folder
    long double hoursPerYear = 0.0L;
    std::optional<long double> windSpeed; // the bin's centre, in a table of wind speeds
    std::int64_t line = 0;                // in the weights table
};

// Reads a weights table: a line of names (file,hours_per_year, or
// file,wind_speed for the bins' centres), then one row per recording; blank
// lines are passed over, a path in quotes may hold commas. A relative path
// is taken from the folder of the table. Throws IoError when it cannot be
// read and CountRefused naming the table and the line of a row that cannot
// be read (a field too few or too many, an empty path, hours or a speed
// that are not a number of 0 or more) or of no row at all.
std::vector<LifetimeEntry> readLifetimeTable(const std::string& path);

// The entries of a weights table with their hours: as written, or from
// `weibull` for a table of wind speeds. Throws CountRefused naming the table
// when a table of wind speeds comes without a distribution or one of hours
// with one, and FatigueError as weibullHours does.
std::vector<LifetimeEntry> lifetimeEntries(const std::string& path, const std::optional<fatigue::WeibullBins>& weibull);

// The seconds a recording lasts by its time column: the last time minus the
// first, when the table's first column rises all the way; nothing for a
// plain sequence file or a table without one.
std::optional<long double> timeColumnSpan(const std::string& path, const ColumnChoice& columns);

struct LifetimeRequest {
    std::string weights;                         // the weights table
    fatigue::LifetimeSettings settings;          // design life, N_eq or frequency; DFF from the fatigue request
    std::optional<long double> duration;         // of recordings without a time column
    std::optional<fatigue::WeibullBins> weibull; // for a table of wind speeds
};

// One channel of one recording (a plain sequence file has one, named "").
struct LifetimeRecording {
    SummaryRow row; // its own count, its DELs for its own N_eq
    fatigue::LifetimeShare share;
    std::string channel;
};

struct LifetimeResult {
    std::string channel; // "" for sequence files
    std::vector<LifetimeRecording> recordings;
    fatigue::LifetimeTotals totals;
    std::optional<fatigue::WeibullBins> weibull; // where the hours came from
};

using LifetimeNotice = std::function<void(const std::string&)>;

// Called before each recording (`done` of `total` counted, `next` its path)
// and once at the end with done == total and no path; it may throw to stop
// the lifetime between recordings (the desktop's Cancel).
using LifetimeStep = std::function<void(std::size_t done, std::size_t total, const std::string& next)>;

// One recording counted and evaluated in each channel that `columns`
// chooses from a table, or the plain sequence file. Its duration is its
// time column's span, else `duration`; CountRefused names it when it has
// neither. A channel of one value throughout does no damage in this
// recording: its row has no cycles, and `notice` names recording and
// channel. The rows' DELs are for N_eq as given, or the frequency times its
// duration, or 1e7.
std::vector<LifetimeRecording> countRecording(const CountRequest& request, const FatigueRequest& fatigue,
                                              const fatigue::LifetimeSettings& lifetime, const std::string& path,
                                              long double hoursPerYear, const ColumnChoice& columns,
                                              std::optional<long double> duration, const LifetimeNotice& notice = {});

// The lifetime of recordings counted elsewhere (in any order, on any machine).
LifetimeResult combineRecordings(const FatigueRequest& fatigue, fatigue::LifetimeSettings lifetime,
                                 std::vector<LifetimeRecording> recordings);

// The lifetimes of recordings counted elsewhere, one per channel in the
// order of the first recording's channels. Throws CountRefused naming a
// recording whose channels are not those of the first.
std::vector<LifetimeResult> combineChannels(const FatigueRequest& fatigue, const fatigue::LifetimeSettings& lifetime,
                                            std::vector<std::vector<LifetimeRecording>> recordings);

// Every recording of the weights table, then their lifetime per channel.
std::vector<LifetimeResult> countLifetime(const CountRequest& request, const FatigueRequest& fatigue,
                                          const LifetimeRequest& lifetime, const ColumnChoice& columns,
                                          const LifetimeNotice& notice = {}, const LifetimeStep& step = {});

} // namespace tessivo
