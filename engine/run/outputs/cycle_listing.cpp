#include "engine/run/outputs/cycle_listing.h"

#include "engine/run/outputs/cycle_export.h"

#include <string>

namespace tessivo {

CycleLines::CycleLines(std::ostream& out, std::string prefix, bool timeFields, const PositionTimes* times)
    : m_out(out)
    , m_prefix(std::move(prefix))
    , m_timeFields(timeFields)
    , m_times(times)
{
    m_line.reserve(256);
}

void CycleLines::cycle(const PositionedCycle& c)
{
    const long double upper = c.upper() / m_divisor;
    const long double lower = c.lower() / m_divisor;
    m_line = m_prefix;
    m_line += shortestText(c.range() / m_divisor);
    m_line += ',';
    m_line += shortestText(upper);
    m_line += ',';
    m_line += shortestText(lower);
    m_line += c.half ? ",0.5," : ",1,";
    m_line += std::to_string(c.fromAt);
    m_line += ',';
    m_line += std::to_string(c.toAt);
    if (m_timeFields) {
        m_line += ',';
        if (m_times)
            m_line += shortestText(m_times->at(c.fromAt));
        m_line += ',';
        if (m_times)
            m_line += shortestText(m_times->at(c.toAt));
    }
    m_line += '\n';
    m_out << m_line;
}

long double PositionTimes::at(std::int64_t position) const
{
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto rows = static_cast<std::int64_t>(files[f].size());
        const std::int64_t block = rows * repetitions[f];
        if (position < block)
            return files[f][static_cast<std::size_t>(position % rows)];
        position -= block;
    }
    return files.back().back(); // not reached: positions lie inside the sequence
}

} // namespace tessivo
