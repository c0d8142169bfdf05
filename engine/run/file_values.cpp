#include "file_values.h"

#include "engine/numbers/work_notation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tessivo {

std::size_t SequenceFileValues::nextBlock(long double* out, std::size_t max)
{
    constexpr std::size_t kBlock = 4096;
    bool exact[kBlock];
    const std::size_t n = m_file.nextValues(out, exact, std::min(max, kBlock));
    SequenceExtent e = m_extent; // in registers for the block
    for (std::size_t i = 0; i < n; ++i) {
        const long double v = out[i];
        if (!std::isfinite(v))
            throw std::invalid_argument("values must be finite: value " + std::to_string(e.points + 1) + " is not");
        // Only a strictly larger (smaller) value replaces the one before, as the reader does.
        if (e.points == 0 || v > e.highest)
            e.highest = v;
        if (e.points == 0 || v < e.lowest)
            e.lowest = v;
        ++e.points;
        // A value of 15 significant digits or fewer is its own work-file value.
        if (!exact[i])
            out[i] = roundToWorkPrecision(v);
    }
    m_extent = e;
    return n;
}

SequenceExtent sequenceFileExtent(const std::string& path, bool& proper)
{
    SequenceFileValues values(path);
    long double block[4096];
    while (values.nextBlock(block, 4096) > 0) {
    }
    proper = values.proper();
    return values.extent();
}

} // namespace tessivo
