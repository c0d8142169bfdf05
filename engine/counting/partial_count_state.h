#pragma once
// Inside a partial count: the stages of the engine's count (reversal
// extraction, four-point rule, cycle table or from-to matrix) and what a
// piece keeps for the merge. Only partial_count*.cpp and the streaming
// counter include this.

#include "engine/counting/partial_count.h"

#include "cycle_table.h"
#include "rainflow_counting.h"
#include "reversal_extraction.h"
#include "engine/record/run_record.h"

#include <limits>
#include <memory>
#include <vector>

namespace tessivo {

struct PartialCount::State {
    // Reversals of a piece that depend on what came before it: the first two.
    static constexpr std::int64_t kHeadReversals = 2;

    State(const CountParameters& p, std::uint64_t piece);
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Sends the extraction's reversals on: all of them from the start of the
    // sequence; in a later piece those after its head.
    struct Gate final : ValueSink {
        explicit Gate(State& state) : s(state) {}
        void put(long double v) override;
        State& s;
    };

    static std::unique_ptr<TRainflowRun> makeRun(const CountParameters& p);
    static TRainflowRun& unusedRun(); // read by no tally without classes
    // A table that starts small: most pieces hold few distinct cycles.
    static constexpr std::int32_t kFirstCapacity = 16;
    static std::int32_t saturatedSum(std::int32_t a, std::int32_t b);
    void feed(const long double* values, std::size_t n);
    void take(long double v); // one load through the extraction, kept in the head while it is one
    void recordHead(long double v);
    void addCyclesOf(State& next);

    CountParameters params;
    std::uint64_t first;
    std::uint64_t last;
    std::int64_t length = 0;
    long double highest = NoPeak;
    long double lowest = NoTrough;
    bool anchored;          // the piece starts the sequence: no head
    bool converged = false; // a later piece past its head
    std::int64_t emitted = 0;
    std::vector<long double> head;
    bool keepRaw; // the loads themselves, while the fixed table may still apply
    std::vector<long double> raw;
    std::unique_ptr<TRainflowRun> run; // the matrix and its class bounds (CycleStore::Bins)
    TCycleTable table{kFirstCapacity, true};
    RunResult result = RunResult::Normal;
    CycleTally tally;
    FourPointCounter counter;
    Gate gate;
    ReversalExtractor extractor;
};

// Calls f for every cycle of a growable table. A table in temporary files is
// sorted first when `mayMerge` (it then takes no more cycles); otherwise it
// must be in memory.
template <class F>
void forEachCycle(TCycleTable& table, bool mayMerge, F f)
{
    if (table.spilled()) {
        if (!mayMerge)
            throw std::logic_error("cycles in temporary files read without merging");
        std::int32_t n = 0;
        n = table.SortCycles();
        CycleReader reader(table, n);
        for (TCycle c; reader.next(c);)
            f(c);
        return;
    }
    for (std::int32_t i = 1; i <= table.capacity() && table[i].Count > 0; ++i)
        f(table[i]);
}

} // namespace tessivo
