#include "engine/fatigue/table_cycles.h"

namespace tessivo::fatigue {

std::vector<FatigueCycle> tableCycles(const TCycleTable& table, std::int32_t cycleCount, long double loadFactor)
{
    std::vector<FatigueCycle> cycles;
    cycles.reserve(static_cast<std::size_t>(cycleCount > 0 ? cycleCount : 0));
    CycleReader reader(table, cycleCount);
    for (TCycle c; reader.next(c);) {
        FatigueCycle f = fatigueCycleOf(c);
        if (loadFactor != 1.0L) {
            f.range *= loadFactor;
            f.upper *= loadFactor;
            f.lower *= loadFactor;
        }
        cycles.push_back(f);
    }
    return cycles;
}

} // namespace tessivo::fatigue
