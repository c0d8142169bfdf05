#pragma once
// --format cycles: every cycle of the count, not aggregated, in the order
// the count closes it, with the positions of its two points in the combined
// sequence. Streams: memory does not grow with the number of cycles.

#include "engine/record/run_record.h"
#include "engine/files/value_stream.h"

#include <ostream>
#include <cstdint>
#include <string>
#include <vector>

namespace tessivo::cli {

// The header "range,upper,lower,count,start,end", then one line per cycle:
// loads as the shortest text that reads back (divided by the highest peak
// when the run normalises, as the other formats do), count 1 or 0.5, start
// and end the 0-based positions of the cycle's first and second point.
// binsInEffect: the count goes through the from-to matrix (see listCycles).
void writeCycleListing(std::ostream& out, const TRainflowRun& run, bool binsInEffect, ValueSource& sequence);

// The time of each position of a combined sequence of table columns: the
// time column's value on the row the position was read from, in its own
// file (every repetition of a file repeats its times).
struct PositionTimes {
    std::vector<std::vector<long double>> files; // the time column of each file, in order
    std::vector<std::int32_t> repetitions;        // of each file

    long double at(std::int64_t position) const;
};

// The lines of writeCycleListing without its header, each after `prefix`
// (a column's CSV field and its comma). With timeFields each line ends in
// the times of its two positions, or two empty fields without `times`.
void writeCycleLines(std::ostream& out, const TRainflowRun& run, bool binsInEffect, ValueSource& sequence,
                     const std::string& prefix, bool timeFields = false, const PositionTimes* times = nullptr);

} // namespace tessivo::cli
