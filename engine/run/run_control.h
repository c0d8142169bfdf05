#pragma once
// The Execute command without its window: count the combined sequence of the
// loaded slots, bring the cycle table into report order, normalise it when
// asked, and write the report. Shared by the desktop program and the command
// line.
//
// The desktop's order for one Execute:
//   1. take the parameters into the run record;
//   2. checkParameters(run): a message ends the command (show it);
//   3. wait cursor, let pending messages through;
//   4. executeCount(...): the 769 notice comes through options.notice
//      between the run and the report, and the call returns once the report
//      is written.

#include "engine/counting/cycle_table.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/record/report_writer.h"
#include "engine/record/run_record.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessivo {

struct ExecuteOptions {
    // Receives matrixAppliedNotice(BinCount) when the run switched to the
    // from-to matrix; the count goes on when it returns. May be empty.
    std::function<void(const std::string&)> notice;
    // Handed to the engine, which calls it once after the counting. May be empty.
    std::function<void()> processMessages;
    // Progress of the count (values taken, of SeqLength); returning false
    // cancels it with RunCancelled before the report is touched. May be empty.
    std::function<bool(std::int64_t done, std::int64_t total)> progress;
    // The decimal separator of the report's loads.
    std::string decimalSeparator = ".";
    RunLimits limits;
};

// Work-file form: writes "$Sequence.tmp" in workDir from the active slots'
// work files, runs RunRainflow on it (leaving "$Reversals.tmp" and
// "$RedRev.tmp" there), then finishCount and the report. Returns the run's
// result and the number of table entries in report order.
// The parameters must pass checkParameters; otherwise std::invalid_argument
// with the check's message is thrown before anything is touched.
// Throws IoError on any input or output failure: the report is then not
// touched, and the table and the work files are left as far as the run got.
CountOutcome executeCount(TRainflowRun& run, TCycleTable& table, const std::string& workDir, ReportWriter& report,
                          const ExecuteOptions& options = {});

// Form without work files: `combined` gives the run.SeqLength values of the
// combined sequence (a CombinedSequence). Otherwise as above.
CountOutcome executeCount(TRainflowRun& run, TCycleTable& table, ValueSource& combined, ReportWriter& report,
                          const ExecuteOptions& options = {});

// executeCount without the report, for outputs that need only the table: the
// checks, the run, the notice and finishCount, in the same order.
CountOutcome countCombinedSequence(TRainflowRun& run, TCycleTable& table, const std::string& workDir,
                                   const ExecuteOptions& options = {});
CountOutcome countCombinedSequence(TRainflowRun& run, TCycleTable& table, ValueSource& combined,
                                   const ExecuteOptions& options = {});

// What follows a run of cycleCount entries: frees every entry beyond them,
// recounts and sorts the table (SortCycles), divides Range, Upper and Lower
// of each entry by run.HighestPeak when run.Normalize is set (the run record
// itself keeps its extremes), and recomputes the totals
// (UpdateSequenceTotals). Returns the number of entries after sorting.
std::int32_t finishCount(TRainflowRun& run, TCycleTable& table, std::int32_t cycleCount);

} // namespace tessivo
