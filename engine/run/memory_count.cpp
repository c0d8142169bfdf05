#include "memory_count.h"

#include "engine/run/parameter_checks.h"
#include "engine/files/prefetch_source.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/run/run_control.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_reader.h"
#include "engine/counting/load_classes.h"

#include <limits>
#include <memory>
#include <stdexcept>
#include <thread>

namespace tessivo {
namespace {

constexpr std::int64_t kReadAheadFrom = 1 << 16;

// The run record of a command line that names one sequence: slot 1, once, unscaled.
std::unique_ptr<TRainflowRun> runFor(const SequenceExtent& extent, const MemoryCountParameters& parameters)
{
    if (extent.points > std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("A sequence of more than 2147483647 values cannot be counted");
    if (parameters.binEdges.empty() && (parameters.binCount < 1 || parameters.binCount > MatrixSize))
        throw std::invalid_argument(kBinCountOutOfRangeMessage);
    if (!parameters.binEdges.empty()) {
        if (const auto problem = binEdgesProblem(parameters.binEdges))
            throw std::invalid_argument(*problem);
    }
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    run->Normalize = parameters.normalize;
    run->UseLoadBins = parameters.loadBins || !parameters.binEdges.empty();
    run->BinCount = parameters.binEdges.empty() ? parameters.binCount
                                                : static_cast<std::int32_t>(parameters.binEdges.size()) - 1;
    run->BinEdges = parameters.binEdges;
    setResidueMethod(*run, parameters.residue);
    run->FilterSize = parameters.filter;
    TSequence& slot = run->Sequences[1];
    slot.Active = true;
    slot.Repetitions = 1;
    slot.Points = static_cast<std::int32_t>(extent.points);
    slot.HighestPeak = extent.highest;
    slot.LowestTrough = extent.lowest;
    slot.Scale = 1.0L;
    slot.Weight = 1.0L;
    run->SeqCount = 1;
    UpdateSequenceTotals(*run);
    return run;
}

} // namespace

CycleColumns cycleColumns(const TCycleTable& table, std::int32_t cycleCount, bool inHalves)
{
    CycleColumns columns;
    columns.inHalves = inHalves;
    const auto n = static_cast<std::size_t>(cycleCount > 0 ? cycleCount : 0);
    columns.range.reserve(n);
    columns.upper.reserve(n);
    columns.lower.reserve(n);
    columns.count.reserve(n);
    columns.cumulative.reserve(n);
    std::int64_t cumulative = 0;
    CycleReader reader(table, cycleCount);
    for (TCycle c; reader.next(c);) {
        const std::int64_t count = inHalves ? halvesOf(c) : c.Count;
        cumulative += count;
        columns.range.push_back(c.Range);
        columns.upper.push_back(c.Upper);
        columns.lower.push_back(c.Lower);
        columns.count.push_back(count);
        columns.cumulative.push_back(cumulative);
    }
    return columns;
}

void divideLoads(CycleColumns& columns, long double divisor)
{
    for (auto* loads : {&columns.range, &columns.upper, &columns.lower})
        for (long double& v : *loads)
            v /= divisor;
}

void requireCountable(const SequenceExtent& extent, const MemoryCountParameters& parameters)
{
    if (parameters.filter < 0)
        throw std::invalid_argument(kNegativeFilterMessage);
    if (extent.points == 0)
        return;
    const auto run = runFor(extent, parameters);
    if (const auto message = checkParameters(*run))
        throw std::invalid_argument(*message);
}

MemoryCount countInMemory(ValueSource& values, const SequenceExtent& extent, const MemoryCountParameters& parameters,
                          const CountProgress& progress)
{
    if (parameters.filter < 0)
        throw std::invalid_argument(kNegativeFilterMessage);
    MemoryCount count;
    if (extent.points == 0)
        return count;
    const auto run = runFor(extent, parameters);
    TCycleTable table(MaxCycles, parameters.unlimited);
    CountOutcome outcome;
    ExecuteOptions options;
    options.progress = progress;
    options.limits.unlimited = parameters.unlimited;
    if (parameters.readAhead && extent.points >= kReadAheadFrom && std::thread::hardware_concurrency() > 1) {
        // Rounding the values to work precision costs as much as counting
        // them: a second core rounds ahead.
        PrefetchSource ahead(values);
        outcome = countCombinedSequence(*run, table, ahead, options);
    } else {
        outcome = countCombinedSequence(*run, table, values, options);
    }
    count.result = outcome.result;
    count.sequenceLength = run->SeqLength;
    count.highestPeak = run->HighestPeak;
    count.lowestTrough = run->LowestTrough;
    count.cycles = cycleColumns(table, outcome.cycleCount, parameters.residue == ResidueMethod::Half);
    return count;
}

} // namespace tessivo
