#pragma once
// The peaks and valleys of a load history for the counts beside rainflow
// (level crossings, range pairs): a reversal is kept only once the load has
// come back from it by more than the hysteresis, so smaller wiggles vanish.

#include <span>
#include <vector>

namespace tessivo::fatigue {

// The first value, then every peak and valley that the hysteresis h (0 or
// more) keeps, the last extreme reached included. Equal neighbours count
// once. Throws FatigueError for h below 0 or not finite, or a value that is
// not finite (naming its 1-based position).
std::vector<long double> turningPoints(std::span<const long double> values, long double hysteresis = 0.0L);

// n levels from lo to hi, both included, equally spaced (n >= 2; lo < hi).
std::vector<long double> evenLevels(long double lo, long double hi, int n);

} // namespace tessivo::fatigue
