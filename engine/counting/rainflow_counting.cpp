#include "engine/counting/rainflow_counting.h"

#include <limits>

namespace tessivo {
namespace {

void increment(std::int32_t& cell)
{
    if (cell < std::numeric_limits<std::int32_t>::max())
        ++cell;
}

// The points S2 and S3 (newest four: s1..s4) close a full cycle.
bool closesCycle(long double s1, long double s2, long double s3, long double s4)
{
    return (s1 < s2 && s3 >= s1 && s4 >= s2) || (s1 > s2 && s3 <= s1 && s4 <= s2);
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
    std::size_t k = m_stack.size();
    while (k >= 4) {
        const long double s2 = m_stack[k - 3];
        const long double s3 = m_stack[k - 2];
        if (!closesCycle(m_stack[k - 4], s2, s3, m_stack[k - 1]))
            break;
        m_cycles.fullCycle(s2, s3);
        m_stack[k - 3] = m_stack[k - 1];
        m_stack.resize(k - 2);
        k -= 2;
    }
}

} // namespace tessivo
