#include "cycle_listing.h"

#include "cycle_export.h"
#include "engine/counting/cycle_positions.h"

#include <string>

namespace tessivo::cli {
namespace {

class CsvLines final : public CycleListener {
public:
    CsvLines(std::ostream& out, long double divisor) : m_out(out), m_divisor(divisor) { m_line.reserve(256); }
    void cycle(const PositionedCycle& c) override
    {
        const long double upper = c.upper() / m_divisor;
        const long double lower = c.lower() / m_divisor;
        m_line = shortestText(c.range() / m_divisor);
        m_line += ',';
        m_line += shortestText(upper);
        m_line += ',';
        m_line += shortestText(lower);
        m_line += c.half ? ",0.5," : ",1,";
        m_line += std::to_string(c.fromAt);
        m_line += ',';
        m_line += std::to_string(c.toAt);
        m_line += '\n';
        m_out << m_line;
    }

private:
    std::ostream& m_out;
    long double m_divisor;
    std::string m_line;
};

} // namespace

void writeCycleListing(std::ostream& out, const TRainflowRun& run, bool binsInEffect, ValueSource& sequence)
{
    out << "range,upper,lower,count,start,end\n";
    // The range of the divided loads, as the table divides them.
    CsvLines lines(out, run.Normalize && run.HighestPeak != 0 ? run.HighestPeak : 1.0L);
    listCycles(sequence, run.SeqLength, CycleListingParameters{run.FilterSize, run.Decomposition, binsInEffect, run.HalfCycles},
               lines);
}

} // namespace tessivo::cli
