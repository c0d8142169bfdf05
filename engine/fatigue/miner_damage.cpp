#include "engine/fatigue/miner_damage.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_messages.h"
#include "engine/fatigue/fatigue_number.h"

#include <limits>

namespace tessivo::fatigue {

void LoadModel::beyondLimit(const FatigueCycle& c, std::size_t row) const
{
    throw FatigueError("The cycle in row " + std::to_string(row) + " (from " + fatigueNumberText(c.lower) + " to "
                       + fatigueNumberText(c.upper) + ", mean " + fatigueNumberText(meanOf(c)) + ") is at or beyond "
                       + m_correction.limitText() + " of the " + meanStressName(m_correction.method()) + " correction");
}

void LoadModel::implausible(const FatigueCycle& c, std::size_t row)
{
    if (!(c.count >= 0.0 && c.count <= std::numeric_limits<double>::max()))
        throw FatigueError(badCountMessage(row, c.count));
    if (!std::isfinite(c.range) || !std::isfinite(c.upper) || !std::isfinite(c.lower))
        throw FatigueError(badLoadsMessage(row, c));
    if (c.upper < c.lower)
        throw FatigueError(upperBelowLowerMessage(row, c));
    throw FatigueError(rangeMismatchMessage(row, c));
}

void LoadModel::reachesUltimate(const FatigueCycle& c, std::size_t row) const
{
    throw FatigueError(reachesUltimateMessage(row, c, m_ultimate, meanStressName(m_correction.method())));
}

long double MinerSum::life() const
{
    const long double d = damage();
    return d > 0.0L ? 1.0L / d : std::numeric_limits<long double>::infinity();
}

} // namespace tessivo::fatigue
