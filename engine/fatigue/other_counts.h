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

#include <span>
#include <vector>

namespace tessivo::fatigue {

struct LevelCount {
    long double level = 0.0L;
    long double count = 0.0L;
};

// Crossings of each level (ascending, finite, distinct), after the
// hysteresis filter of turningPoints. A rising stretch from a to b crosses the
// levels L with a < L <= b, a falling one those with b <= L < a. Throws
// FatigueError naming bad levels, a bad hysteresis or value.
std::vector<LevelCount> levelCrossings(std::span<const long double> values, std::span<const long double> levels,
                                       long double reference, long double hysteresis = 0.0L);

// The mean of the values, summed without loss (the default reference level).
// Throws FatigueError for no values.
long double meanLevel(std::span<const long double> values);

struct RangePair {
    long double range = 0.0L;
    long double upper = 0.0L;
    long double lower = 0.0L;
    long double count = 0.0L; // 1 for a pair, 0.5 for each range of the residue
};

// In the order found: the pairs, then the residue's half cycles.
std::vector<RangePair> rangePairs(std::span<const long double> values, long double hysteresis = 0.0L);

struct TimeAtLevel {
    std::vector<long double> edges;   // ascending class edges, as given
    std::vector<long double> seconds; // per class [edges[k], edges[k+1]); the last class holds its upper edge
    long double outside = 0.0L;       // seconds beyond the edges
};

// Each value stands for `interval` seconds (the sampling interval). Throws
// FatigueError naming bad edges (at least 2, ascending, finite), a bad
// interval or value.
TimeAtLevel timeAtLevel(std::span<const long double> values, std::span<const long double> edges, long double interval);

} // namespace tessivo::fatigue
