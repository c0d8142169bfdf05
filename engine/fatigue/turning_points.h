#pragma once
// The peaks and valleys of a load history for the counts beside rainflow
// (level crossings, range pairs): a reversal is kept only once the load has
// come back from it by more than the hysteresis, so smaller wiggles vanish.

#include <cstddef>
#include <span>
#include <vector>

namespace tessivo::fatigue {

// The first value, then every peak and valley that the hysteresis h (0 or
// more) keeps, the last extreme reached included. Equal neighbours count
// once. Throws FatigueError for h below 0 or not finite, or a value that is
// not finite (naming its 1-based position).
std::vector<long double> turningPoints(std::span<const long double> values, long double hysteresis = 0.0L);

// The same, value by value, so that a long history need not be held: each
// call hands back the turning point it confirms, if any.
class TurningPointFilter {
public:
    // Throws FatigueError for h below 0 or not finite.
    explicit TurningPointFilter(long double hysteresis);
    // The next value (its 1-based position names it when it is not finite);
    // true with *point set when a turning point is confirmed.
    bool feed(long double value, long double& point);
    // At the end: true with *point set to the last extreme reached.
    bool finish(long double& point) const;

private:
    long double m_h;
    std::size_t m_position = 0;
    bool m_started = false;
    long double m_first = 0.0L;
    long double m_low = 0.0L; // the span of the values before the first reversal
    long double m_high = 0.0L;
    int m_direction = 0; // +1 rising, -1 falling, 0 not yet known
    long double m_extreme = 0.0L;
};

// n levels from lo to hi, both included, equally spaced (n >= 2; lo < hi).
std::vector<long double> evenLevels(long double lo, long double hi, int n);

} // namespace tessivo::fatigue
