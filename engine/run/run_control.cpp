#include "engine/run/run_control.h"

#include "engine/files/combined_sequence.h"
#include "engine/files/work_file_format.h"
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

CountOutcome afterRun(CountOutcome outcome, TRainflowRun& run, TCycleTable& table, const ExecuteOptions& options)
{
    if (outcome.result == RunResult::MatrixApplied && options.notice)
        options.notice(matrixAppliedNotice(run.BinCount));
    outcome.cycleCount = finishCount(run, table, outcome.cycleCount);
    return outcome;
}

CountOutcome reportCount(CountOutcome outcome, const TRainflowRun& run, const TCycleTable& table, ReportWriter& report,
                         const ExecuteOptions& options)
{
    WriteCountReport(report, run, table, outcome.cycleCount, options.decimalSeparator);
    return outcome;
}

RunHooks hooksOf(const ExecuteOptions& options)
{
    return RunHooks{options.processMessages, options.progress};
}

} // namespace

std::int32_t finishCount(TRainflowRun& run, TCycleTable& table, std::int32_t cycleCount)
{
    for (std::int32_t i = cycleCount + 1; i <= table.capacity(); ++i) {
        if (table[i].Count != 0)
            table.entry(i).Count = 0;
    }
    cycleCount = table.SortCycles();
    if (run.Normalize)
        table.divideLoads(cycleCount, run.HighestPeak);
    UpdateSequenceTotals(run);
    return cycleCount;
}

CountOutcome countCombinedSequence(TRainflowRun& run, TCycleTable& table, const std::string& workDir,
                                   const ExecuteOptions& options)
{
    requireChecksPassed(run);
    // "$Sequence.tmp" is written while it is counted: one pass over the values.
    CombinedSequence combined(run, workFileFormats(run, workDir));
    return afterRun(RunRainflow(table, run, workDir, combined, hooksOf(options), options.limits), run, table, options);
}

CountOutcome countCombinedSequence(TRainflowRun& run, TCycleTable& table, ValueSource& combined,
                                   const ExecuteOptions& options)
{
    requireChecksPassed(run);
    return afterRun(RunRainflow(table, run, combined, hooksOf(options), options.limits), run, table, options);
}

CountOutcome executeCount(TRainflowRun& run, TCycleTable& table, const std::string& workDir, ReportWriter& report,
                          const ExecuteOptions& options)
{
    return reportCount(countCombinedSequence(run, table, workDir, options), run, table, report, options);
}

CountOutcome executeCount(TRainflowRun& run, TCycleTable& table, ValueSource& combined, ReportWriter& report,
                          const ExecuteOptions& options)
{
    return reportCount(countCombinedSequence(run, table, combined, options), run, table, report, options);
}

} // namespace tessivo
