#pragma once
// Miner's rule: D = sum of n_i / N(S_i) over the counted cycles, and the
// life 1 / D in repetitions of the counted sequence.

#include "engine/fatigue/fatigue_cycle.h"
#include "engine/fatigue/mean_stress.h"
#include "engine/fatigue/neumaier_sum.h"
#include "engine/fatigue/sn_curve.h"

#include <cstddef>

namespace tessivo::fatigue {

// How a counted cycle becomes the load S on the curve: its range or its
// amplitude, after the mean-stress correction when there is one (the
// corrected amplitude, doubled for ranges).
class LoadModel {
public:
    LoadModel() = default;
    LoadModel(LoadMeasure measure, MeanStressCorrection correction) : m_measure(measure), m_correction(correction) {}

    // Throws FatigueError naming the cycle (its 1-based row and its loads)
    // when it is at or beyond the material's limit.
    long double load(const FatigueCycle& cycle, std::size_t row) const
    {
        // Inline: it runs once per cycle, millions of times.
        if (m_correction.method() == MeanStressMethod::None)
            return m_measure == LoadMeasure::Range ? cycle.range : cycle.range / 2.0L;
        const auto equivalent = m_correction.equivalentAmplitude(cycle.range / 2.0L, meanOf(cycle));
        if (!equivalent)
            beyondLimit(cycle, row);
        return m_measure == LoadMeasure::Range ? 2.0L * *equivalent : *equivalent;
    }

    LoadMeasure measure() const { return m_measure; }
    const MeanStressCorrection& correction() const { return m_correction; }

private:
    [[noreturn]] void beyondLimit(const FatigueCycle& cycle, std::size_t row) const;
    LoadMeasure m_measure = LoadMeasure::Range;
    MeanStressCorrection m_correction;
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
