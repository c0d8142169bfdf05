#include "engine/fatigue/miner_damage.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <limits>

namespace tessivo::fatigue {

long double LoadModel::load(const FatigueCycle& c, std::size_t row) const
{
    if (m_correction.method() == MeanStressMethod::None)
        return m_measure == LoadMeasure::Range ? c.range : c.range / 2.0L;
    const auto equivalent = m_correction.equivalentAmplitude(c.range / 2.0L, meanOf(c));
    if (!equivalent)
        throw FatigueError("The cycle in row " + std::to_string(row) + " (from " + fatigueNumberText(c.lower)
                           + " to " + fatigueNumberText(c.upper) + ", mean " + fatigueNumberText(meanOf(c))
                           + ") is at or beyond " + m_correction.limitText() + " of the "
                           + meanStressName(m_correction.method()) + " correction");
    return m_measure == LoadMeasure::Range ? 2.0L * *equivalent : *equivalent;
}

long double MinerSum::life() const
{
    const long double d = damage();
    return d > 0.0L ? 1.0L / d : std::numeric_limits<long double>::infinity();
}

} // namespace tessivo::fatigue
