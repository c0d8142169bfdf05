#include "engine/fatigue/turning_points.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <cmath>
#include <string>

namespace tessivo::fatigue {

std::vector<long double> turningPoints(std::span<const long double> values, long double h)
{
    if (!std::isfinite(h) || h < 0.0L)
        throw FatigueError("The hysteresis must be 0 or more, not " + fatigueNumberText(h));
    std::vector<long double> out;
    int direction = 0; // +1 rising, -1 falling, 0 not yet known
    long double extreme = 0.0L;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const long double v = values[i];
        if (!std::isfinite(v))
            throw FatigueError("The value at position " + std::to_string(i + 1) + " is not a finite number ("
                               + fatigueNumberText(v) + ")");
        if (out.empty()) {
            out.push_back(v);
            extreme = v;
        } else if (direction == 0) {
            if (v - out.front() > h || out.front() - v > h) {
                direction = v > out.front() ? 1 : -1;
                extreme = v;
            }
        } else if (direction > 0 ? v > extreme : v < extreme) {
            extreme = v;
        } else if (direction > 0 ? extreme - v > h : v - extreme > h) {
            out.push_back(extreme);
            direction = -direction;
            extreme = v;
        }
    }
    if (direction != 0)
        out.push_back(extreme);
    return out;
}

std::vector<long double> evenLevels(long double lo, long double hi, int n)
{
    if (n < 2 || !std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi))
        throw FatigueError("Levels need at least 2 of them between a lower and a higher finite load, not "
                           + std::to_string(n) + " from " + fatigueNumberText(lo) + " to " + fatigueNumberText(hi));
    std::vector<long double> levels(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        levels[static_cast<std::size_t>(k)] = k == n - 1 ? hi : lo + (hi - lo) * k / (n - 1);
    return levels;
}

} // namespace tessivo::fatigue
