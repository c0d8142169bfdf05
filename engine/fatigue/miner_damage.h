#pragma once
// Miner's rule: D = sum of n_i / N(S_i) over the counted cycles, and the
// life 1 / D in repetitions of the counted sequence.

#include "engine/fatigue/fatigue_cycle.h"
#include "engine/fatigue/mean_stress.h"
#include "engine/fatigue/neumaier_sum.h"
#include "engine/fatigue/sn_curve.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

namespace tessivo::fatigue {

// Whether a cycle is one a count could give: a finite count of 0 or more,
// finite loads, and a range that is upper minus lower (to the rounding of
// loads stored as float or double and scaled).
inline bool plausibleCycle(const FatigueCycle& c)
{
    const long double span = c.upper - c.lower;
    return c.count >= 0.0 && c.count <= std::numeric_limits<double>::max() && c.range >= 0.0L
           && std::fabs(c.range - span) <= 1.0e-6L * std::max(std::fabs(c.upper), std::fabs(c.lower));
}

// How a counted cycle becomes the load S on the curve: its range or its
// amplitude, after the mean-stress correction when there is one (the
// corrected amplitude, doubled for ranges).
class LoadModel {
public:
    LoadModel() = default;
    // `ultimate`: Su when given, which no cycle's maximum may reach under a
    // mean-stress correction.
    // `compressiveShare`: without a correction, the share of a range's part
    // below zero that counts (1: all of it).
    LoadModel(LoadMeasure measure, MeanStressCorrection correction, std::optional<long double> ultimate = {},
              long double compressiveShare = 1.0L)
        : m_measure(measure)
        , m_correction(correction)
        , m_ultimate(ultimate ? *ultimate : std::numeric_limits<long double>::infinity())
        , m_compressiveShare(compressiveShare)
    {
    }

    // Throws FatigueError naming the cycle (its 1-based row and its loads)
    // when it is not one a count could give (plausibleCycle), or, with a
    // mean-stress correction, when it is at or beyond the material's limit.
    long double load(const FatigueCycle& cycle, std::size_t row) const
    {
        if (!plausibleCycle(cycle)) [[unlikely]]
            implausible(cycle, row);
        return countedLoad(cycle, row);
    }
    // load() for a cycle of a count, whose range is upper minus lower by
    // construction: only its count is checked. Inline: it runs once per
    // cycle, millions of times.
    long double countedLoad(const FatigueCycle& cycle, std::size_t row) const
    {
        if (!(cycle.count >= 0.0 && cycle.count <= std::numeric_limits<double>::max())) [[unlikely]]
            implausible(cycle, row);
        if (m_correction.method() == MeanStressMethod::None) {
            const long double range =
                m_compressiveShare == 1.0L || cycle.lower >= 0.0L ? cycle.range : effectiveRange(cycle);
            return m_measure == LoadMeasure::Range ? range : range / 2.0L;
        }
        if (cycle.upper >= m_ultimate)
            reachesUltimate(cycle, row);
        const auto equivalent = m_correction.equivalentAmplitude(cycle.range / 2.0L, meanOf(cycle));
        if (!equivalent)
            beyondLimit(cycle, row);
        return m_measure == LoadMeasure::Range ? 2.0L * *equivalent : *equivalent;
    }

    LoadMeasure measure() const { return m_measure; }
    const MeanStressCorrection& correction() const { return m_correction; }

private:
    long double effectiveRange(const FatigueCycle& cycle) const
    {
        const long double compressive = std::min(cycle.upper, 0.0L) - cycle.lower;
        return cycle.range - compressive + m_compressiveShare * compressive;
    }
    [[noreturn]] void beyondLimit(const FatigueCycle& cycle, std::size_t row) const;
    [[noreturn]] static void implausible(const FatigueCycle& cycle, std::size_t row);
    [[noreturn]] void reachesUltimate(const FatigueCycle& cycle, std::size_t row) const;
    LoadMeasure m_measure = LoadMeasure::Range;
    MeanStressCorrection m_correction;
    long double m_ultimate = std::numeric_limits<long double>::infinity();
    long double m_compressiveShare = 1.0L;
};

// Sums the damage of cycles handed over one by one, without loss from adding
// many small terms.
class MinerSum {
public:
    void add(long double damage, long double count)
    {
        m_damage.add(damage);
        m_cycles += count; // whole and half counts: exact in long double
    }
    long double damage() const { return m_damage.value(); }
    long double cycles() const { return m_cycles; }
    // 1 / D repetitions of the counted sequence; +infinity when D is 0.
    long double life() const;

private:
    NeumaierSum m_damage;
    long double m_cycles = 0.0L;
};

} // namespace tessivo::fatigue
