#include "engine/fatigue/rainflow_matrix.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessivo::fatigue {
namespace {

constexpr std::size_t kOutside = static_cast<std::size_t>(-1);

struct Axis {
    long double low = 0.0L;
    long double high = 0.0L;
    int bins = 1;
    std::vector<long double> given; // edges given by the user, else empty

    std::vector<long double> edges() const
    {
        if (!given.empty())
            return given;
        std::vector<long double> e;
        for (int i = 0; i <= bins; ++i)
            e.push_back(i == bins ? high : low + (high - low) * i / bins);
        return e;
    }
    std::size_t count() const { return given.empty() ? static_cast<std::size_t>(bins) : given.size() - 1; }
    // kOutside for a value beyond given edges.
    std::size_t classOf(long double v) const
    {
        if (!given.empty()) {
            if (!(v >= given.front() && v <= given.back()))
                return kOutside;
            const auto above = std::upper_bound(given.begin(), given.end(), v);
            return std::min(static_cast<std::size_t>(above - given.begin()) - 1, given.size() - 2);
        }
        if (high <= low)
            return 0;
        const auto k = static_cast<long long>((v - low) / (high - low) * bins);
        return static_cast<std::size_t>(std::clamp<long long>(k, 0, bins - 1));
    }
};

long double rowValue(const FatigueCycle& c, MatrixKind kind)
{
    return kind == MatrixKind::RangeMean ? c.range : c.upper;
}
long double columnValue(const FatigueCycle& c, MatrixKind kind)
{
    return kind == MatrixKind::RangeMean ? meanOf(c) : c.lower;
}

} // namespace

void checkMatrixEdges(const std::vector<long double>& edges, const std::string& what)
{
    if (edges.size() < 2)
        throw FatigueError(what + " must hold at least 2 edges, not " + std::to_string(edges.size()));
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (!std::isfinite(edges[i]))
            throw FatigueError(what + ": edge " + std::to_string(i + 1) + " is not a finite number");
        if (i > 0 && !(edges[i] > edges[i - 1]))
            throw FatigueError(what + " must ascend: " + fatigueNumberText(edges[i]) + " follows "
                               + fatigueNumberText(edges[i - 1]));
    }
}

RainflowMatrix rainflowMatrix(std::span<const FatigueCycle> cycles, MatrixKind kind, int bins, const MatrixEdges& edges)
{
    if (bins < 1)
        throw FatigueError("A rainflow matrix needs at least 1 class per axis, not " + std::to_string(bins));
    if (kind == MatrixKind::FromTo && !edges.columns.empty())
        throw FatigueError("A from-to matrix takes one list of load edges for both axes, no mean edges");
    if (!edges.rows.empty())
        checkMatrixEdges(edges.rows, kind == MatrixKind::RangeMean ? "The range edges" : "The load edges");
    if (!edges.columns.empty())
        checkMatrixEdges(edges.columns, "The mean edges");
    RainflowMatrix m;
    m.kind = kind;
    if (cycles.empty() && edges.rows.empty() && edges.columns.empty())
        return m;
    const FatigueCycle first = cycles.empty() ? FatigueCycle{} : cycles[0];
    Axis rows{rowValue(first, kind), rowValue(first, kind), bins, edges.rows};
    Axis columns{columnValue(first, kind), columnValue(first, kind), bins, edges.columns};
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
    m.counts.assign(rows.count() * columns.count(), 0.0L);
    for (const FatigueCycle& c : cycles) {
        const std::size_t r = rows.classOf(rowValue(c, kind));
        const std::size_t k = columns.classOf(columnValue(c, kind));
        if (r == kOutside || k == kOutside)
            m.outside += c.count;
        else
            m.counts[r * columns.count() + k] += c.count;
    }
    return m;
}

} // namespace tessivo::fatigue
