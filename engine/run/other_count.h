#pragma once
// The counts beside rainflow through the same inputs as count(): level
// crossings, range pairs and time at level over the joined sequence (files
// with their repetitions and scales, columns of tables, values in memory),
// taken as the rainflow count takes them (rounded to work precision).

#include "engine/fatigue/other_counts.h"
#include "engine/run/count.h"
#include "engine/run/count_method.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

struct OtherCountRequest {
    CountMethod method = CountMethod::LevelCrossing;
    // The levels of level crossing, the class edges of time at level: own
    // ones (ascending), or `levels` equal ones over the sequence's extremes
    // (level crossing: that many levels, both extremes among them; time at
    // level: that many classes).
    std::vector<long double> edges;
    std::int32_t levels = 32;
    std::optional<long double> reference; // level crossing; the mean of the values without one
    long double hysteresis = 0.0L;        // level crossing and range pairs
    // Time at level: the seconds each value stands for; without one, the
    // time column of tables (equal steps), else 1 (the time in values).
    std::optional<long double> interval;
};

enum class IntervalSource { Given, TimeColumn, Values };

struct OtherCountResult {
    CountMethod method = CountMethod::LevelCrossing;
    std::int64_t sequenceLength = 0;
    long double highestPeak = 0.0L;
    long double lowestTrough = 0.0L;
    long double hysteresis = 0.0L;
    long double reference = 0.0L; // level crossing
    bool referenceIsMean = false;
    // Level crossing.
    std::vector<fatigue::LevelCount> crossings;
    // Range pairs gathered: one per distinct (range, upper, lower), largest
    // range first (then the higher upper load), counts summed (halves from
    // the residue); the outputs add the cumulative count from the top.
    std::vector<fatigue::RangePair> pairs;
    // Time at level, the times to 15 significant digits.
    fatigue::TimeAtLevel time;
    long double interval = 1.0L;
    IntervalSource intervalSource = IntervalSource::Values;
};

// Counts the file or column inputs, or values in memory (Files, Columns,
// Values), streaming: files and columns are read once more first where the
// mean or the extremes are needed before counting, and memory holds only
// the counts (and the range pairs found). Time at level of columns without
// an interval takes the step of the tables' time column (readTimeStep). Throws as count() does for the
// inputs (CountRefused, TableFormatError, IoError, InputTooLarge), and
// fatigue::FatigueError for levels, edges, hysteresis or an interval it
// cannot take (a sequence of one value has no span for equal levels, an
// empty one no mean for the reference level).
OtherCountResult countOther(const OtherCountRequest& request, CountInputs inputs);

// The step of the time column shared by the tables of a channel: the first
// column of each file rising in equal steps (to 1e-6 of the step), the same
// step in every file, one row for each value (no empty cell skipped);
// nothing otherwise.
std::optional<long double> readTimeStep(const std::vector<TableColumnInput>& columns);

// The range pairs gathered as OtherCountResult::pairs holds them.
std::vector<fatigue::RangePair> gatheredPairs(std::vector<fatigue::RangePair> pairs);

} // namespace tessivo
