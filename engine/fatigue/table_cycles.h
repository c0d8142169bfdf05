#pragma once
// The cycles of a sorted cycle table as fatigue input.

#include "engine/fatigue/fatigue_cycle.h"

#include "engine/counting/cycle_table.h"

#include <cstdint>
#include <vector>

namespace tessivo::fatigue {

// A half cycle counts 0.5.
inline FatigueCycle fatigueCycleOf(const TCycle& c)
{
    return {c.Range, c.Upper, c.Lower, static_cast<double>(halvesOf(c)) / 2.0};
}

// Entries 1..cycleCount in report order (from memory or the table's files).
// `loadFactor` multiplies every load (1 for the loads as the table holds them).
std::vector<FatigueCycle> tableCycles(const TCycleTable& table, std::int32_t cycleCount, long double loadFactor = 1.0L);

} // namespace tessivo::fatigue
