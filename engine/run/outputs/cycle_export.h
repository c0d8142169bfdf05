#pragma once
// The counted cycles as data for other programs. Loads are the shortest
// decimal text that reads back to the same long double; counts are integers.

#include "engine/record/json_text.h"
#include "engine/counting/cycle_table.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace tessivo {

// "range,upper,lower,count,cumulative", then one line per entry 1..cycleCount.
void writeCyclesCsv(std::ostream& out, const TCycleTable& table, std::int32_t cycleCount);

// One JSON object: "spectrum" (sequenceLength, highestPeak, lowestTrough),
// "result" (0, 2 or 769) and "cycles" (range, upper, lower, count,
// cumulative per entry). A load that is not finite is null. `extraMember`,
// when not empty, is one more member ("name": value) after "cycles".
void writeCountJson(std::ostream& out, const TRainflowRun& run, RunResult result, const TCycleTable& table,
                    std::int32_t cycleCount, const std::string& extraMember = {});

// The shortest text of v that reads back to v: "2.5", "-0.25", "1e+10".
std::string shortestText(long double v);

// A CSV field: quoted when it holds a comma, a quote or a line end.
std::string csvField(const std::string& text);

} // namespace tessivo
