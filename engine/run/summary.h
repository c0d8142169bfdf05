#pragma once
// One line of figures per count, as a report table holds them: the length,
// the extremes, the cycles and, with a fatigue request, the damage, life,
// utilisation and damage-equivalent loads. A summary has one such row per
// channel of tables, one for a count of joined files, or one per recording
// of a lifetime (engine/run/lifetime_run.h).

#include "engine/run/count.h"
#include "engine/run/outputs/output_request.h"
#include "engine/run/table_channels.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

struct SummaryRow {
    std::string name;
    std::int64_t points = 0;
    long double highestPeak = 0.0L;
    long double lowestTrough = 0.0L;
    long double cycles = 0.0L;                     // half cycles count 0.5
    bool binned = false;                           // the loads are class edges of load bins
    std::optional<fatigue::FatigueTotals> fatigue; // with a curve or DELs
    // In a lifetime: the recording's share.
    std::optional<long double> hoursPerYear;
    std::optional<long double> duration;
};

// The row of a count. Throws fatigue::FatigueError as the fatigue outputs do.
SummaryRow summaryRowOf(std::string name, const CountResult& result, const FatigueRequest& fatigue);

// The rows of the FILEs: one per channel when `columns` chooses columns of
// tables (a channel of one value passed over with `notice`, as the other
// outputs pass it over), else one for the count of the files joined, named
// by their paths joined with " + ". Throws as count() and summaryRowOf do.
std::vector<SummaryRow> summarise(const CountRequest& request, const FatigueRequest& fatigue,
                                  const std::vector<SequenceFileInput>& files, const ColumnChoice& columns,
                                  const std::function<void(const std::string&)>& notice = {});

} // namespace tessivo
