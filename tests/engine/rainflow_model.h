#pragma once
// A slow, plain model of the whole count for short sequences: everything in
// vectors and maps, the class of a load by walking the edges, no streaming,
// no index. The engine must agree with it entry for entry.

#include "pipeline_support.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <utility>
#include <vector>

namespace tessivo::test::model {

using Loads = std::vector<long double>;
using Cycle = std::pair<long double, long double>;

inline Loads reversals(const Loads& loads, long double filter)
{
    Loads out;
    if (loads.empty())
        return out;
    long double hi = loads[0], lo = loads[0];
    int trend = 0;
    for (std::size_t i = 1; i < loads.size(); ++i) {
        const long double v = loads[i];
        if (trend == 0) {
            const bool up = v > hi, down = v < lo;
            hi = up ? v : hi;
            lo = down ? v : lo;
            if ((up || down) && hi - lo > filter) {
                out.push_back(up ? lo : hi);
                trend = up ? 1 : -1;
            }
        } else if (trend == 1) {
            if (v > hi) {
                hi = v;
            } else if (hi - v > filter) {
                out.push_back(hi);
                lo = v;
                trend = -1;
            }
        } else if (v < lo) {
            lo = v;
        } else if (v - lo > filter) {
            out.push_back(lo);
            hi = v;
            trend = 1;
        }
    }
    out.push_back(trend == 1 ? hi : trend == -1 ? lo : roundToWorkPrecision((hi + lo) / 2));
    return out;
}

// The loads a range covers, from its lower to its upper end.
struct Span {
    long double low, high;
    Span(long double a, long double b) : low(std::min(a, b)), high(std::max(a, b)) {}
    bool within(const Span& outer) const { return outer.low <= low && high <= outer.high; }
};

// Full cycles in the order they close, and the residue. A closed hysteresis
// loop: on the way from S1 to S4 through the alternating reversals S2 and S3,
// the load goes from S2 to S3 and back to S2 (or beyond) without leaving the
// span of S1 and S4; the excursion S2-S3 is then a full cycle, and the path
// goes on from S1 to S4 as if it had never happened.
inline std::pair<std::vector<Cycle>, Loads> fourPoint(const Loads& reversals)
{
    std::vector<Cycle> cycles;
    Loads path;
    for (const long double v : reversals) {
        path.push_back(v);
        for (auto k = path.size(); k >= 4; k = path.size()) {
            const Span outer(path[k - 4], path[k - 1]);
            const Span excursion(path[k - 3], path[k - 2]);
            if (!excursion.within(outer))
                break;
            cycles.emplace_back(path[k - 3], path[k - 2]);
            path.erase(path.begin() + static_cast<std::ptrdiff_t>(k - 3),
                       path.begin() + static_cast<std::ptrdiff_t>(k - 1));
        }
    }
    return {cycles, path};
}

inline int classOf(long double x, long double lo, long double hi, int bins)
{
    const long double w = (hi - lo) / bins;
    int k = 0;
    for (long double t = lo; t <= x && k <= bins; t += w)
        ++k;
    return k < 1 ? 1 : k > bins ? bins : k;
}

inline std::vector<Entry> count(const Loads& loads, const Parameters& p)
{
    const long double hi = *std::max_element(loads.begin(), loads.end());
    const long double lo = *std::min_element(loads.begin(), loads.end());
    auto [cycles, residue] = fourPoint(reversals(loads, p.filter));
    std::vector<Cycle> halves;
    if (p.decomposition) {
        Loads doubled = residue;
        doubled.insert(doubled.end(), residue.begin(), residue.end());
        const auto second = fourPoint(reversals(doubled, p.filter)).first;
        cycles.insert(cycles.end(), second.begin(), second.end());
    } else {
        for (std::size_t j = 1; j < residue.size(); ++j)
            halves.emplace_back(residue[j - 1], residue[j]);
    }

    // Counts in half cycles: a residue half cycle is 1 with the half-cycle
    // residue, else an upward one is a complete cycle.
    const bool halfCycles = !p.decomposition && p.halfCycles;
    std::map<std::pair<long double, long double>, std::int64_t> byLoads; // (upper, lower)
    if (!p.bins) {
        for (const auto& [a, b] : cycles)
            byLoads[{std::max(a, b), std::min(a, b)}] += 2;
        for (const auto& [from, to] : halves) {
            if (halfCycles)
                byLoads[{std::max(from, to), std::min(from, to)}] += 1;
            else if (to > from)
                byLoads[{to, from}] += 2;
        }
    } else {
        std::map<std::pair<int, int>, std::int64_t> cells;
        for (const auto& [a, b] : cycles) {
            const int i = classOf(a, lo, hi, p.binCount), j = classOf(b, lo, hi, p.binCount);
            cells[{std::min(i, j), std::max(i, j)}] += 2; // the upward transition
        }
        for (const auto& [from, to] : halves) {
            const int i = classOf(from, lo, hi, p.binCount), j = classOf(to, lo, hi, p.binCount);
            if (halfCycles)
                cells[{std::min(i, j), std::max(i, j)}] += 1;
            else
                cells[{i, j}] += 2;
        }
        for (const auto& [rc, n] : cells)
            if (rc.first < rc.second)
                byLoads[{rc.second * (hi - lo) / p.binCount + lo, (rc.first - 1) * (hi - lo) / p.binCount + lo}] += n;
    }
    std::vector<Entry> entries;
    for (const auto& [ul, n] : byLoads)
        entries.push_back({ul.first - ul.second, ul.first, ul.second, static_cast<std::int32_t>(n / 2),
                           static_cast<std::int32_t>(n % 2)});
    std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
        return x.range > y.range || (x.range == y.range && x.upper > y.upper);
    });
    return entries;
}

} // namespace tessivo::test::model
