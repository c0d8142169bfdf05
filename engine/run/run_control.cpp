#include "engine/run/run_control.h"

#include "engine/files/combined_sequence.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/report_builder.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_reader.h"

#include <stdexcept>

namespace tessivo {
namespace {

void requireChecksPassed(const TRainflowRun& run)
{
    if (const auto message = checkParameters(run))
        throw std::invalid_argument(*message);
}

RunResult afterRun(RunResult result, TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount,
                   const ExecuteOptions& options)
{
    if (result == RunResult::MatrixApplied && options.notice)
        options.notice(matrixAppliedNotice(run.BinCount));
    finishCount(run, table, cycleCount);
    return result;
}

} // namespace

void finishCount(TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount)
{
    for (std::int32_t i = cycleCount + 1; i <= table.capacity(); ++i) {
        if (table[i].Count != 0)
            table.entry(i).Count = 0;
    }
    cycleCount = table.SortCycles();
    if (run.Normalize)
        table.divideLoads(cycleCount, run.HighestPeak);
    UpdateSequenceTotals(run);
}

RunResult countCombinedSequence(TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount,
                                const std::string& workDir, const ExecuteOptions& options)
{
    requireChecksPassed(run);
    // "$Sequence.tmp" is written while it is counted: one pass over the values.
    CombinedWorkFileSource combined(run, workDir);
    const RunResult result =
        RunRainflow(cycleCount, table, run, workDir, combined, RunHooks{options.processMessages, options.progress}, options.limits);
    return afterRun(result, run, table, cycleCount, options);
}

RunResult countCombinedSequence(TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount,
                                ValueSource& combined, const ExecuteOptions& options)
{
    requireChecksPassed(run);
    const RunResult result =
        RunRainflow(cycleCount, table, run, combined, RunHooks{options.processMessages, options.progress}, options.limits);
    return afterRun(result, run, table, cycleCount, options);
}

RunResult executeCount(TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount, const std::string& workDir,
                       ReportWriter& report, const ExecuteOptions& options)
{
    const RunResult result = countCombinedSequence(run, table, cycleCount, workDir, options);
    WriteCountReport(report, run, table, cycleCount, options.decimalSeparator);
    return result;
}

RunResult executeCount(TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount, ValueSource& combined,
                       ReportWriter& report, const ExecuteOptions& options)
{
    const RunResult result = countCombinedSequence(run, table, cycleCount, combined, options);
    WriteCountReport(report, run, table, cycleCount, options.decimalSeparator);
    return result;
}

} // namespace tessivo
