#include "engine/counting/load_classes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessivo {
namespace {

void increment(std::int32_t& cell)
{
    // A diagonal cell gains 2 per cycle; near 2^31 values it must not wrap.
    if (cell < std::numeric_limits<std::int32_t>::max())
        ++cell;
}

} // namespace

long double ClassWidth(long double lowest, long double highest, std::int32_t binCount)
{
    const long double bins = static_cast<long double>(binCount);
    const long double width = (highest - lowest) / bins;
    if (std::isinf(width) && std::isfinite(highest) && std::isfinite(lowest))
        return highest / bins - lowest / bins;
    return width;
}

long double ClassEdge(std::int32_t k, long double lowest, long double highest, std::int32_t binCount)
{
    const long double bins = static_cast<long double>(binCount);
    const long double edge = static_cast<long double>(k) * (highest - lowest) / bins + lowest;
    if (std::isfinite(edge) || !std::isfinite(highest) || !std::isfinite(lowest))
        return edge;
    if (k <= 0)
        return lowest;
    if (k >= binCount)
        return highest;
    return lowest / bins * static_cast<long double>(binCount - k) + highest / bins * static_cast<long double>(k);
}

std::int32_t ClassIndex(long double x, long double lowest, long double highest, std::int32_t binCount)
{
    const long double width = ClassWidth(lowest, highest, binCount);
    std::int32_t k = 0;
    long double t = lowest;
    // Bounded: a width below half an ulp of t would never move the edge.
    while (k <= binCount && t <= x) {
        ++k;
        t += width;
    }
    if (k > binCount)
        k = binCount;
    if (k <= 0)
        k = 1;
    return k;
}

LoadClasses::LoadClasses(long double lowest, long double highest, std::int32_t binCount)
    : m_lowest(lowest), m_highest(highest), m_binCount(binCount)
{
    if (binCount < 1)
        return;
    const long double width = ClassWidth(lowest, highest, binCount);
    m_edges.reserve(static_cast<std::size_t>(binCount) + 1);
    long double t = lowest;
    for (std::int32_t k = 0; k <= binCount; ++k) {
        m_edges.push_back(t);
        t += width;
    }
    m_sorted = std::none_of(m_edges.begin(), m_edges.end(), [](long double e) { return std::isnan(e); })
               && std::is_sorted(m_edges.begin(), m_edges.end());
}

std::int32_t LoadClasses::classOf(long double x) const
{
    if (!m_sorted)
        return ClassIndex(x, m_lowest, m_highest, m_binCount);
    if (std::isnan(x))
        return 1;
    // With ascending edges, the loop of ClassIndex stops at the first edge above x.
    const auto above = std::upper_bound(m_edges.begin(), m_edges.end(), x);
    const auto k = static_cast<std::int32_t>(above - m_edges.begin());
    return std::clamp(k, std::int32_t{1}, m_binCount);
}

void ClearFromToMatrix(TFromToMatrix& matrix, std::int32_t binCount)
{
    for (std::int32_t r = 1; r <= binCount; ++r)
        std::fill(matrix[r].begin() + 1, matrix[r].begin() + 1 + binCount, 0);
}

bool MatrixToCycles(const TRainflowRun& run, TCycleTable& table, std::int32_t& n)
{
    const std::int32_t bins = run.BinCount;
    bool complete = true;
    n = 0;
    for (std::int32_t r = 1; r <= bins; ++r) {
        for (std::int32_t c = r + 1; c <= bins; ++c) {
            const std::int64_t halves = run.HalfCycles ? std::int64_t{run.FromToMatrix[r][c]} + run.FromToMatrix[c][r] : 0;
            const std::int32_t count = run.HalfCycles ? static_cast<std::int32_t>(halves / 2) : run.FromToMatrix[r][c];
            if (count <= 0 && halves <= 0)
                continue;
            if (n >= table.capacity()) {
                complete = false;
                continue;
            }
            TCycle& cycle = table.entry(n + 1);
            cycle.Upper = ClassEdge(c, run.LowestTrough, run.HighestPeak, bins);
            cycle.Lower = ClassEdge(r - 1, run.LowestTrough, run.HighestPeak, bins);
            cycle.Range = cycle.Upper - cycle.Lower;
            cycle.Count = count;
            cycle.Halves = static_cast<std::int32_t>(halves % 2);
            ++n;
        }
    }
    n = table.SortCycles();
    return complete;
}

} // namespace tessivo
