#include "engine/fatigue/rainflow_matrix.h"

#include "engine/fatigue/fatigue_error.h"

#include <algorithm>
#include <string>

namespace tessivo::fatigue {
namespace {

struct Axis {
    long double low = 0.0L;
    long double high = 0.0L;
    int bins = 1;

    std::vector<long double> edges() const
    {
        std::vector<long double> e;
        for (int i = 0; i <= bins; ++i)
            e.push_back(i == bins ? high : low + (high - low) * i / bins);
        return e;
    }
    std::size_t classOf(long double v) const
    {
        if (high <= low)
            return 0;
        const auto k = static_cast<long long>((v - low) / (high - low) * bins);
        return static_cast<std::size_t>(std::clamp<long long>(k, 0, bins - 1));
    }
};

long double rowValue(const FatigueCycle& c, MatrixKind kind) { return kind == MatrixKind::RangeMean ? c.range : c.upper; }
long double columnValue(const FatigueCycle& c, MatrixKind kind)
{
    return kind == MatrixKind::RangeMean ? meanOf(c) : c.lower;
}

} // namespace

RainflowMatrix rainflowMatrix(std::span<const FatigueCycle> cycles, MatrixKind kind, int bins)
{
    if (bins < 1)
        throw FatigueError("A rainflow matrix needs at least 1 class per axis, not " + std::to_string(bins));
    RainflowMatrix m;
    m.kind = kind;
    if (cycles.empty())
        return m;
    Axis rows{rowValue(cycles[0], kind), rowValue(cycles[0], kind), bins};
    Axis columns{columnValue(cycles[0], kind), columnValue(cycles[0], kind), bins};
    if (kind == MatrixKind::FromTo) { // one load axis for both: a cell's classes compare
        for (const FatigueCycle& c : cycles) {
            rows.low = std::min(rows.low, c.lower);
            rows.high = std::max(rows.high, c.upper);
        }
        columns = rows;
    } else {
        rows.low = 0.0L;
        for (const FatigueCycle& c : cycles) {
            rows.high = std::max(rows.high, c.range);
            columns.low = std::min(columns.low, meanOf(c));
            columns.high = std::max(columns.high, meanOf(c));
        }
    }
    m.rowEdges = rows.edges();
    m.columnEdges = columns.edges();
    m.counts.assign(static_cast<std::size_t>(bins) * static_cast<std::size_t>(bins), 0.0L);
    for (const FatigueCycle& c : cycles)
        m.counts[rows.classOf(rowValue(c, kind)) * static_cast<std::size_t>(bins) + columns.classOf(columnValue(c, kind))] +=
            c.count;
    return m;
}

} // namespace tessivo::fatigue
