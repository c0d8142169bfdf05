#include "engine/fatigue/turning_points.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessivo::fatigue {

TurningPointFilter::TurningPointFilter(long double h) : m_h(h)
{
    if (!std::isfinite(h) || h < 0.0L)
        throw FatigueError("The hysteresis must be 0 or more, not " + fatigueNumberText(h));
}

bool TurningPointFilter::feed(long double v, long double& point)
{
    ++m_position;
    if (!std::isfinite(v))
        throw FatigueError("The value at position " + std::to_string(m_position) + " is not a finite number ("
                           + fatigueNumberText(v) + ")");
    if (!m_started) {
        m_started = true;
        m_first = m_low = m_high = m_extreme = v;
        point = v;
        return true;
    }
    if (m_direction == 0) {
        // Before the first reversal that counts, the span so far decides: once it passes the
        // hysteresis, v is its new end, and the other end is a reversal the load came back from
        // by more than h (0, 0.7, -0.7 with h = 1 keeps the 0.7).
        m_low = std::min(m_low, v);
        m_high = std::max(m_high, v);
        if (m_high - m_low > m_h) {
            m_direction = v == m_high ? 1 : -1;
            m_extreme = v;
            point = m_direction > 0 ? m_low : m_high;
            return point != m_first;
        }
    } else if (m_direction > 0 ? v > m_extreme : v < m_extreme) {
        m_extreme = v;
    } else if (m_direction > 0 ? m_extreme - v > m_h : v - m_extreme > m_h) {
        point = m_extreme;
        m_direction = -m_direction;
        m_extreme = v;
        return true;
    }
    return false;
}

bool TurningPointFilter::finish(long double& point) const
{
    if (m_direction == 0)
        return false;
    point = m_extreme;
    return true;
}

std::vector<long double> turningPoints(std::span<const long double> values, long double h)
{
    TurningPointFilter filter(h);
    std::vector<long double> out;
    long double point = 0.0L;
    for (const long double v : values) {
        if (filter.feed(v, point))
            out.push_back(point);
    }
    if (filter.finish(point))
        out.push_back(point);
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
