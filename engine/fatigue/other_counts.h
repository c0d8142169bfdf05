#pragma once
// The counts that durability engineers use beside rainflow, as the standard
// practices for cycle counting in fatigue analysis describe them:
//   level crossings  how often the history crosses each level: upwards for
//                    levels at or above the reference, downwards below it;
//   range pairs      a range counted as one cycle once the next range is at
//                    least as large (its two points then leave the history),
//                    where the history's start is no special point; what is
//                    left counts as half cycles;
//   time at level    the time the history spends in each class of load (the
//                    load duration distribution of gears and bearings).
// Each comes as a counter fed the values in order, in blocks of any size, so
// that a long history is never held, and as a function over a whole span.

#include "engine/fatigue/neumaier_sum.h"
#include "engine/fatigue/turning_points.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessivo::fatigue {

struct LevelCount {
    long double level = 0.0L;
    long double count = 0.0L;
};

// Crossings of each level (ascending, finite, distinct), after the
// hysteresis filter of turningPoints. A rising stretch from a to b crosses the
// levels L with a < L <= b, a falling one those with b <= L < a. The
// constructor throws FatigueError naming bad levels, a bad reference or
// hysteresis; feed throws it naming a value that is not finite.
class LevelCrossingCounter {
public:
    LevelCrossingCounter(std::span<const long double> levels, long double reference, long double hysteresis);
    void feed(std::span<const long double> values);
    std::vector<LevelCount> finish();

private:
    void stretchTo(long double point);

    std::vector<long double> m_levels;
    long double m_reference;
    TurningPointFilter m_filter;
    std::vector<long double> m_up, m_down; // differences over the level indices
    bool m_started = false;
    long double m_last = 0.0L;
};

std::vector<LevelCount> levelCrossings(std::span<const long double> values, std::span<const long double> levels,
                                       long double reference, long double hysteresis = 0.0L);

struct RangePair {
    long double range = 0.0L;
    long double upper = 0.0L;
    long double lower = 0.0L;
    long double count = 0.0L; // 1 for a pair, 0.5 for each range of the residue
};

// In the order found: the pairs, then the residue's half cycles. Throws as
// LevelCrossingCounter does.
class RangePairCounter {
public:
    explicit RangePairCounter(long double hysteresis);
    void feed(std::span<const long double> values);
    std::vector<RangePair> finish();

private:
    void push(long double point);

    TurningPointFilter m_filter;
    std::vector<long double> m_stack; // the reversals not yet paired
    std::vector<RangePair> m_pairs;
};

std::vector<RangePair> rangePairs(std::span<const long double> values, long double hysteresis = 0.0L);

struct TimeAtLevel {
    std::vector<long double> edges;   // ascending class edges, as given
    std::vector<long double> seconds; // per class [edges[k], edges[k+1]); the last class holds its upper edge
    long double outside = 0.0L;       // seconds beyond the edges
};

// Each value stands for `interval` seconds (the sampling interval). The
// constructor throws FatigueError naming bad edges (at least 2, ascending,
// finite) or a bad interval, feed a value that is not finite.
class TimeAtLevelCounter {
public:
    TimeAtLevelCounter(std::span<const long double> edges, long double interval);
    void feed(std::span<const long double> values);
    TimeAtLevel finish() const;

private:
    std::vector<long double> m_edges;
    long double m_interval;
    std::vector<std::int64_t> m_samples; // counted, then times the interval: no drift from sums
    std::int64_t m_outside = 0;
    std::int64_t m_position = 0;
};

TimeAtLevel timeAtLevel(std::span<const long double> values, std::span<const long double> edges, long double interval);

// The number, extremes and mean of values fed in order (the mean summed
// without loss: the default reference level).
class ValueSummary {
public:
    void feed(std::span<const long double> values);
    std::int64_t count() const { return m_count; }
    long double lowest() const { return m_lowest; } // of no values: 0
    long double highest() const { return m_highest; }
    // Throws FatigueError for no values.
    long double mean() const;

private:
    std::int64_t m_count = 0;
    long double m_lowest = 0.0L;
    long double m_highest = 0.0L;
    NeumaierSum m_sum;
};

// The mean of the values (ValueSummary::mean).
long double meanLevel(std::span<const long double> values);

} // namespace tessivo::fatigue
