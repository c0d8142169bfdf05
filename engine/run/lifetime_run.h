#pragma once
// A design life from many recordings: the weights table names each
// recording with the hours a year it stands for; each is counted on its
// own with the same request, evaluated with the same fatigue settings, and
// the lifetime's damage, utilisation and damage-equivalent loads combine
// them (engine/fatigue/lifetime_damage.h).

#include "engine/fatigue/lifetime_damage.h"
#include "engine/run/summary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

struct LifetimeEntry {
    std::string path; // as written, resolved against the weights table's folder
    long double hoursPerYear = 0.0L;
    std::int64_t line = 0; // in the weights table
};

// Reads a weights table: a line of names (file,hours_per_year), then one
// row per recording; blank lines are passed over, a path in quotes may hold
// commas. A relative path is taken from the folder of the table. Throws
// IoError when it cannot be read and CountRefused naming the table and the
// line of a row that cannot be read (a field too few or too many, an empty
// path, hours that are not a number of 0 or more) or of no row at all.
std::vector<LifetimeEntry> readLifetimeTable(const std::string& path);

// The seconds a recording lasts by its time column: the last time minus the
// first, when the table's first column rises all the way; nothing for a
// plain sequence file or a table without one.
std::optional<long double> timeColumnSpan(const std::string& path, const ColumnChoice& columns);

struct LifetimeRequest {
    std::string weights;                 // the weights table
    fatigue::LifetimeSettings settings;  // design life, N_eq or frequency; DFF from the fatigue request
    std::optional<long double> duration; // of recordings without a time column
};

struct LifetimeRecording {
    SummaryRow row; // its own count, its DELs for its own N_eq
    fatigue::LifetimeShare share;
};

struct LifetimeResult {
    std::vector<LifetimeRecording> recordings;
    fatigue::LifetimeTotals totals;
};

// One recording counted and evaluated: the one column that `columns`
// chooses from a table, or the plain sequence file. Its duration is its
// time column's span, else `duration`; CountRefused names it when it has
// neither. The row's DELs are for N_eq as given, or the frequency times its
// duration, or 1e7.
LifetimeRecording countRecording(const CountRequest& request, const FatigueRequest& fatigue,
                                 const fatigue::LifetimeSettings& lifetime, const std::string& path,
                                 long double hoursPerYear, const ColumnChoice& columns,
                                 std::optional<long double> duration);

// The lifetime of recordings counted elsewhere (in any order, on any machine).
LifetimeResult combineRecordings(const FatigueRequest& fatigue, fatigue::LifetimeSettings lifetime,
                                 std::vector<LifetimeRecording> recordings);

// Every recording of the weights table, then their lifetime.
LifetimeResult countLifetime(const CountRequest& request, const FatigueRequest& fatigue,
                             const LifetimeRequest& lifetime, const ColumnChoice& columns);

} // namespace tessivo
