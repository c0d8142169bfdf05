#include "engine/counting/rainflow_counting.h"

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
    : m_run(run)
    , m_bins(binsInEffect)
    , m_table(table)
    , m_result(result)
    , m_classes(binsInEffect ? LoadClasses::ofRun(run) : LoadClasses(0.0L, 0.0L, 0))
{
}

void CycleTally::fullCycle(long double a, long double b)
{
    if (!m_bins) {
        m_table.AddCycle(a, b, m_result);
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
    else if (m_run.HalfCycles)
        m_table.AddHalfCycle(from, to, m_result);
    else if (to > from)
        m_table.AddCycle(from, to, m_result);
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

} // namespace tessivo
