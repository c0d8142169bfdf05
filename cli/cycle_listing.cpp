#include "cycle_listing.h"

#include "cycle_export.h"
#include "engine/counting/cycle_positions.h"

#include <string>

namespace tessivo::cli {
namespace {

class CsvLines final : public CycleListener {
public:
    CsvLines(std::ostream& out, long double divisor, std::string prefix, bool timeFields, const PositionTimes* times)
        : m_out(out), m_divisor(divisor), m_prefix(std::move(prefix)), m_timeFields(timeFields), m_times(times)
    {
        m_line.reserve(256);
    }
    void cycle(const PositionedCycle& c) override
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

private:
    std::ostream& m_out;
    long double m_divisor;
    std::string m_prefix;
    bool m_timeFields;
    const PositionTimes* m_times;
    std::string m_line;
};

} // namespace

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

void writeCycleLines(std::ostream& out, const TRainflowRun& run, bool binsInEffect, ValueSource& sequence,
                     const std::string& prefix, bool timeFields, const PositionTimes* times)
{
    // The range of the divided loads, as the table divides them.
    CsvLines lines(out, run.Normalize && run.HighestPeak != 0 ? run.HighestPeak : 1.0L, prefix, timeFields, times);
    listCycles(sequence, run.SeqLength, CycleListingParameters{run.FilterSize, run.Decomposition, binsInEffect, run.HalfCycles},
               lines);
}

void writeCycleListing(std::ostream& out, const TRainflowRun& run, bool binsInEffect, ValueSource& sequence)
{
    out << "range,upper,lower,count,start,end\n";
    writeCycleLines(out, run, binsInEffect, sequence, {}, false, nullptr);
}

} // namespace tessivo::cli
