#include "engine/counting/load_classes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tessivo {
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
    : m_lowest(lowest)
    , m_highest(highest)
    , m_binCount(binCount)
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
    const double span = static_cast<double>(m_edges.back() - m_edges.front());
    if (m_sorted && std::isfinite(span) && span > 0)
        m_edgesPerLoad = static_cast<double>(binCount) / span;
}

LoadClasses::LoadClasses(std::vector<long double> edges)
    : m_lowest(edges.empty() ? 0.0L : edges.front())
    , m_highest(edges.empty() ? 0.0L : edges.back())
    , m_binCount(static_cast<std::int32_t>(edges.size()) - 1)
    , m_edges(std::move(edges))
    , m_sorted(!binEdgesProblem(m_edges))
{
    if (!m_sorted)
        throw std::invalid_argument(*binEdgesProblem(m_edges));
}

LoadClasses LoadClasses::ofRun(const TRainflowRun& run)
{
    if (!run.BinEdges.empty())
        return LoadClasses(run.BinEdges);
    return LoadClasses(run.LowestTrough, run.HighestPeak, run.BinCount);
}

std::optional<std::string> binEdgesProblem(const std::vector<long double>& edges)
{
    if (edges.size() < 2)
        return "Load classes need at least two edges";
    if (edges.size() > static_cast<std::size_t>(MatrixSize) + 1)
        return "Load classes take at most " + std::to_string(MatrixSize + 1) + " edges";
    for (std::size_t k = 0; k < edges.size(); ++k) {
        if (!std::isfinite(edges[k]))
            return "The edges of load classes must be finite numbers";
        if (k > 0 && !(edges[k] > edges[k - 1]))
            return "The edges of load classes must rise strictly, each above the one before";
    }
    return std::nullopt;
}

long double RunClassEdge(const TRainflowRun& run, std::int32_t k)
{
    if (!run.BinEdges.empty())
        return run.BinEdges[static_cast<std::size_t>(k)];
    return ClassEdge(k, run.LowestTrough, run.HighestPeak, run.BinCount);
}

std::int32_t LoadClasses::classOf(long double x) const
{
    if (!m_sorted)
        return ClassIndex(x, m_lowest, m_highest, m_binCount);
    if (std::isnan(x))
        return 1;
    // With ascending edges, the loop of ClassIndex stops at the first edge above
    // x. A binary search for it mispredicts a branch at almost every step; the
    // guess from the width is right or one off, and the steps from it make the
    // answer exact whatever the guess.
    const std::size_t size = m_edges.size();
    const double guess = static_cast<double>(x - m_edges.front()) * m_edgesPerLoad;
    std::size_t k = guess > 0 ? (guess < static_cast<double>(size) ? static_cast<std::size_t>(guess) : size) : 0;
    while (k < size && !(x < m_edges[k]))
        ++k;
    while (k > 0 && x < m_edges[k - 1])
        --k;
    return std::clamp(static_cast<std::int32_t>(k), std::int32_t{1}, m_binCount);
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
            const std::int64_t halves =
                run.HalfCycles ? std::int64_t{run.FromToMatrix[r][c]} + run.FromToMatrix[c][r] : 0;
            const std::int32_t count = run.HalfCycles ? static_cast<std::int32_t>(halves / 2) : run.FromToMatrix[r][c];
            if (count <= 0 && halves <= 0)
                continue;
            if (n >= table.capacity()) {
                complete = false;
                continue;
            }
            TCycle& cycle = table.entry(n + 1);
            cycle.Upper = RunClassEdge(run, c);
            cycle.Lower = RunClassEdge(run, r - 1);
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
