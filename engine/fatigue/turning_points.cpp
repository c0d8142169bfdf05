#include "engine/fatigue/turning_points.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

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
        m_first = v;
        m_extreme = v;
        point = v;
        return true;
    }
    if (m_direction == 0) {
        if (v - m_first > m_h || m_first - v > m_h) {
            m_direction = v > m_first ? 1 : -1;
            m_extreme = v;
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
