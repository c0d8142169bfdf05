#include "engine/fatigue/miner_damage.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <limits>

namespace tessivo::fatigue {

void LoadModel::beyondLimit(const FatigueCycle& c, std::size_t row) const
{
    throw FatigueError("The cycle in row " + std::to_string(row) + " (from " + fatigueNumberText(c.lower)
        + " to " + fatigueNumberText(c.upper) + ", mean " + fatigueNumberText(meanOf(c))
        + ") is at or beyond " + m_correction.limitText() + " of the "
        + meanStressName(m_correction.method()) + " correction");
}

long double MinerSum::life() const
{
    const long double d = damage();
    return d > 0.0L ? 1.0L / d : std::numeric_limits<long double>::infinity();
}

} // namespace tessivo::fatigue
