#pragma once
// What ends every count, whichever way its values came (work files, memory,
// blocks fed one by one): the residue of the first pass, counted once, and
// the from-to matrix turned into table entries.

#include "engine/counting/cycle_table.h"
#include "engine/counting/rainflow_counting.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <vector>

namespace tessivo {

// Decomposition: the residue twice in a row, its reversals extracted again
// with `filter` and counted by the four-point rule. Otherwise the upward
// half cycles between neighbouring residue points.
void countResidue(CycleTally& tally, const std::vector<long double>& residue, bool decomposition, long double filter);

// The upper triangle of run.FromToMatrix into table entries 1..n, not yet
// sorted; returns n. Above 200 classes the cells can outnumber a fixed
// table: the table is filled and result becomes TableFull.
std::int32_t matrixToTable(const TRainflowRun& run, TCycleTable& table, RunResult& result);

} // namespace tessivo
