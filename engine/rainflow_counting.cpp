#include "rainflow_counting.h"

#include <limits>

namespace tessivo {
namespace {

void increment(std::int32_t& cell)
{
    if (cell < std::numeric_limits<std::int32_t>::max())
        ++cell;
}

} // namespace

CycleTally::CycleTally(TRainflowRun& run, bool binsInEffect, TCycleTable& table, RunResult& result)
    : m_run(run), m_bins(binsInEffect), m_table(table), m_result(result),
      m_classes(run.LowestTrough, run.HighestPeak, binsInEffect ? run.BinCount : 0)
{
}

void CycleTally::fullCycle(long double a, long double b)
{
    if (!m_bins) {
        AddCycle(m_table, a, b, m_result);
        return;
    }
    const std::int32_t i = m_classes.classOf(a);
    const std::int32_t j = m_classes.classOf(b);
    increment(m_run.FromToMatrix[j][i]);
    increment(m_run.FromToMatrix[i][j]);
}

void CycleTally::residueHalfCycle(long double from, long double to)
{
    if (m_bins)
        increment(m_run.FromToMatrix[m_classes.classOf(from)][m_classes.classOf(to)]);
    else if (to > from)
        AddCycle(m_table, from, to, m_result);
}

FourPointCounter::FourPointCounter(CycleSink& cycles) : m_cycles(cycles)
{
    m_stack.reserve(MaxCycles);
}

void FourPointCounter::put(long double v)
{
    m_stack.push_back(v);
    closeFourPointCycles(
        m_stack, [](long double p) { return p; }, [this](long double a, long double b) { m_cycles.fullCycle(a, b); });
}

std::int64_t CountCycles(ValueSource& reversals, std::int64_t reversalCount, int pass, TRainflowRun& run,
                         bool binsInEffect, TCycleTable& table, RunResult& result, ValueSink& residue)
{
    CycleTally tally(run, binsInEffect, table, result);
    FourPointCounter counter(tally);
    long double v = 0.0L;
    for (std::int64_t read = 0; read < reversalCount && reversals.next(v); ++read)
        counter.put(v);
    if (pass != 1)
        return 0;
    for (int round = 0; round < 2; ++round)
        for (const long double point : counter.residue())
            residue.put(point);
    return 2 * static_cast<std::int64_t>(counter.residue().size());
}

void CountUpwardResidue(ValueSource& residue, std::int64_t residueLines, TRainflowRun& run, bool binsInEffect,
                        TCycleTable& table, RunResult& result)
{
    CycleTally tally(run, binsInEffect, table, result);
    const std::int64_t points = residueLines / 2;
    long double previous = 0.0L;
    long double v = 0.0L;
    for (std::int64_t j = 1; j <= points && residue.next(v); ++j) {
        if (j > 1)
            tally.residueHalfCycle(previous, v);
        previous = v;
    }
}

} // namespace tessivo
