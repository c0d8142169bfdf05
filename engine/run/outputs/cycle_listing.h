#pragma once
// --format cycles: every cycle of the count, not aggregated, in the order
// the count closes it, with the positions of its two points in the combined
// sequence. Streams: memory does not grow with the number of cycles.

#include "engine/run/count.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tessivo {

inline constexpr const char* kCycleListingHeader = "range,upper,lower,count,start,end";

// The time of each position of a combined sequence of table columns: the
// time column's value on the row the position was read from, in its own
// file (every repetition of a file repeats its times).
struct PositionTimes {
    std::vector<std::vector<long double>> files; // the time column of each file, in order
    std::vector<std::int32_t> repetitions;       // of each file

    long double at(std::int64_t position) const;
};

// Writes each cycle a count lists (CountHooks::listing) as one line after
// `prefix` (a column's CSV field and its comma): loads as the shortest text
// that reads back (divided by the highest peak when the count normalises, as
// the other formats do), count 1 or 0.5, start and end the 0-based positions
// of the cycle's first and second point. With timeFields each line ends in
// the times of its two positions, or two empty fields without `times`.
class CycleLines final : public CycleListing {
public:
    CycleLines(std::ostream& out, std::string prefix = {}, bool timeFields = false,
               const PositionTimes* times = nullptr);
    void begin(const ListingStart& start) override { m_divisor = start.loadDivisor; }
    void cycle(const PositionedCycle& c) override;

private:
    std::ostream& m_out;
    long double m_divisor = 1.0L;
    std::string m_prefix;
    bool m_timeFields;
    const PositionTimes* m_times;
    std::string m_line;
};

} // namespace tessivo
