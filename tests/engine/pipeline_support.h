#pragma once
// Running the whole count in tests: both forms of RunRainflow over the same
// loads, and the table as a plain list for comparisons.

#include "engine/counting/cycle_table.h"
#include "engine/files/memory_values.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/record/run_record.h"
#include "test_support.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

namespace tessivo::test {

struct Entry {
    long double range, upper, lower;
    std::int32_t count;
    std::int32_t halves = 0;
    bool operator==(const Entry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Entry& e)
{
    return os << "(" << static_cast<double>(e.range) << ", " << static_cast<double>(e.upper) << ", "
              << static_cast<double>(e.lower) << ", x" << e.count << (e.halves != 0 ? ".5" : "") << ")";
}

struct Parameters {
    long double filter = 0.0L;
    bool bins = false;
    bool decomposition = true;
    std::int32_t binCount = 32;
    bool halfCycles = false; // without decomposition: residue half cycles count 0.5
};

struct Outcome {
    RunResult result = RunResult::Normal;
    std::vector<Entry> entries;
};

inline std::unique_ptr<TRainflowRun> makeRun(const std::vector<long double>& loads, const Parameters& p)
{
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    run->SeqLength = static_cast<std::int32_t>(loads.size());
    run->HighestPeak = loads.empty() ? 0.0L : *std::max_element(loads.begin(), loads.end());
    run->LowestTrough = loads.empty() ? 0.0L : *std::min_element(loads.begin(), loads.end());
    run->FilterSize = p.filter;
    run->UseLoadBins = p.bins;
    run->Decomposition = p.decomposition;
    run->HalfCycles = !p.decomposition && p.halfCycles;
    run->BinCount = p.binCount;
    return run;
}

inline std::vector<Entry> entriesOf(const TCycleTable& table, std::int32_t n)
{
    std::vector<Entry> entries;
    CycleReader cycles(table, n);
    for (TCycle c; cycles.next(c);)
        entries.push_back({c.Range, c.Upper, c.Lower, c.Count, c.Halves});
    return entries;
}

inline void writeSequence(const TempDir& dir, const std::vector<long double>& loads)
{
    WorkFileWriter out(workFilePath(dir.str(), kSequenceFile));
    for (const long double v : loads)
        out.put(v);
    out.close();
}

inline Outcome runInMemory(TRainflowRun& run, const std::vector<long double>& loads, RunLimits limits = {})
{
    TCycleTable table(MaxCycles, limits.unlimited);
    VectorSource source(loads);
    const CountOutcome counted = RunRainflow(table, run, source, {}, limits);
    return {counted.result, entriesOf(table, counted.cycleCount)};
}

inline Outcome runWithFiles(TRainflowRun& run, const TempDir& dir, const std::vector<long double>& loads,
                            RunLimits limits = {})
{
    writeSequence(dir, loads);
    // What "$Sequence.tmp" holds, fed to the work-file form, which writes it again.
    std::vector<long double> stored;
    {
        WorkFileReader in(workFilePath(dir.str(), kSequenceFile));
        long double v = 0.0L;
        while (in.next(v))
            stored.push_back(v);
    }
    VectorSource source(stored);
    TCycleTable table(MaxCycles, limits.unlimited);
    const CountOutcome counted = RunRainflow(table, run, dir.str(), source, {}, limits);
    return {counted.result, entriesOf(table, counted.cycleCount)};
}

} // namespace tessivo::test
