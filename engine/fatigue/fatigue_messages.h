#pragma once
// The texts of the fatigue area's refusals that name a curve's contradiction,
// a cycle that cannot be evaluated or a sum beyond the numbers' range. One
// place, so that the command line, the window and the module say the same
// and the tests pin each text.

#include "engine/fatigue/fatigue_cycle.h"

#include <cstddef>
#include <string>

namespace tessivo::fatigue {

// "S-N curve: the knee Nknee = 1e+06 lies below the defining point N = 2e+06; ..."
std::string kneeBeforePointMessage(long double kneeN, long double pointN);
// The cut-off before the defining point or before the knee (`what`: "the defining point N", "the knee Nknee").
std::string cutoffBeforeMessage(long double cutoffN, const char* what, long double otherN);
// A preset written on one measure asked with the other.
std::string measureMismatchMessage(const std::string& preset, LoadMeasure definedOn, LoadMeasure asked);
// The cycle in `row` (0: the cycles of that load, summed) whose damage n / N(S) is beyond the numbers' range.
std::string damageOverflowMessage(std::size_t row, long double load, long double exponent);
// A sum (`what`: "damage", "damage-equivalent load for m = 3") that is not a finite number.
std::string sumOverflowMessage(const std::string& what);
// A cycle of a table that no count gives: a count below 0 or not finite,
// loads not finite, or a range that is not upper minus lower.
std::string badCountMessage(std::size_t row, double count);
std::string badLoadsMessage(std::size_t row, const FatigueCycle& cycle);
std::string rangeMismatchMessage(std::size_t row, const FatigueCycle& cycle);
std::string upperBelowLowerMessage(std::size_t row, const FatigueCycle& cycle);
// A cycle whose maximum reaches the ultimate strength under a mean-stress correction.
std::string reachesUltimateMessage(std::size_t row, const FatigueCycle& cycle, long double ultimate,
                                   const std::string& method);

} // namespace tessivo::fatigue
