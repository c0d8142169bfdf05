#include "engine/counting/cycle_table.h"

#include "engine/counting/cycle_spill.h"

#include <stdexcept>

namespace tessivo {
namespace {

// Runs a table may hold before they are merged into one or two: each keeps a
// file open.
constexpr std::size_t kMostRuns = 64;

} // namespace

bool JoinSpilledCycles(TCycleTable& table, TCycleTable& later)
{
    if (!later.spilled() || !later.m_divisors.empty())
        return false;
    if (!table.m_growable || !later.m_growable || !table.m_merged.empty())
        throw std::logic_error("cycles joined to a fixed or merged table");
    // The table's cycles in memory go to a run first, so that their serials
    // stay below those of the cycles that follow.
    if (table.nextFreeFrom(1) > 1)
        table.spill();
    std::vector<std::unique_ptr<CycleRunFile>> runs;
    if (!later.m_merged.empty()) {
        runs = std::move(later.m_merged); // merged runs are sorted runs of distinct cycles as well
    } else {
        if (later.nextFreeFrom(1) > 1)
            later.spill();
        runs = std::move(later.m_runs);
    }
    // later's serials run from 1 to its serial base.
    for (auto& run : runs) {
        run->shiftSerials(table.m_serialBase);
        table.m_runs.push_back(std::move(run));
    }
    table.m_serialBase += later.m_serialBase;
    table.m_sorted = false;
    table.m_indexValid = false;
    later.m_runs.clear();
    later.m_merged.clear();
    later.EmptyCycleTable();
    if (table.m_runs.size() > kMostRuns) {
        std::vector<std::unique_ptr<CycleRunFile>> merged;
        MergeCycleRuns(table.m_runs, merged);
        table.m_runs = std::move(merged);
    }
    return true;
}

} // namespace tessivo
