#include "count_command.h"

#include "cli_messages.h"

#include "engine/files/combined_sequence.h"
#include "column_count.h"
#include "cycle_export.h"
#include "cycle_listing.h"
#include "engine/record/io_error.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/plain_text_report.h"
#include "engine/files/prefetch_source.h"
#include "engine/run/run_control.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_loading.h"
#include "engine/files/work_folder_lock.h"
#include "fatigue_output.h"
#include "partial_commands.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <memory>

namespace tessivo::cli {
namespace {

// Throws the error a missing or unusable work folder gives, naming the folder.
void requireFolder(const std::string& dir)
{
    os::FileStatus st;
    if (os::statusOfPath(dir, st) != 0)
        throwIoError(errno, dir);
    if (st.kind != os::FileKind::Folder)
        throwIoError(ENOTDIR, dir);
}

std::unique_ptr<TRainflowRun> runWithParameters(const CountOptions& options)
{
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    run->Normalize = options.normalize;
    run->UseLoadBins = options.loadBins;
    run->BinCount = options.binCount;
    run->BinEdges = options.binEdges;
    setResidueMethod(*run, options.residue);
    run->FilterSize = options.filter;
    return run;
}

// Fills the slots from the files; false after reporting an incorrect one.
bool loadSequences(TRainflowRun& run, const CountOptions& options, std::ostream& err)
{
    for (std::size_t i = 0; i < options.sequences.size(); ++i) {
        const SequenceArg& arg = options.sequences[i];
        const auto index = static_cast<std::int32_t>(i + 1);
        const OpenOutcome outcome = options.workDir ? loadSequenceSlot(run, index, arg.file, *options.workDir)
                                                    : scanSequenceSlot(run, index, arg.file);
        if (outcome == OpenOutcome::Incorrect) {
            err << kErrorPrefix << arg.file << ": " << kIncorrectSequenceFile << '\n';
            return false;
        }
        run.Sequences[static_cast<std::size_t>(index)].Repetitions = arg.repetitions;
        run.Sequences[static_cast<std::size_t>(index)].Scale = arg.scale;
    }
    run.SeqCount = static_cast<std::int32_t>(options.sequences.size());
    UpdateSequenceTotals(run);
    return true;
}

CountOutcome countWithReport(TRainflowRun& run, TCycleTable& table, const CountOptions& options,
                             const ExecuteOptions& execute, std::ostream& out)
{
    StreamReport report(out);
    if (options.workDir)
        return executeCount(run, table, *options.workDir, report, execute);
    CombinedSequenceSource combined(run);
    PrefetchSource readAhead(combined); // parse on the second core while this one counts
    return executeCount(run, table, readAhead, report, execute);
}

// csv and json need the table only.
CountOutcome countOnly(TRainflowRun& run, TCycleTable& table, const CountOptions& options,
                       const ExecuteOptions& execute)
{
    if (options.workDir)
        return countCombinedSequence(run, table, *options.workDir, execute);
    CombinedSequenceSource combined(run);
    PrefetchSource readAhead(combined);
    return countCombinedSequence(run, table, readAhead, execute);
}

ExitStatus finishOutput(std::ostream& out, std::ostream& err)
{
    out.flush();
    if (!out) {
        err << kErrorPrefix << kStandardOutput << ": " << ioErrorMessage(errno != 0 ? errno : EIO) << '\n';
        return ExitStatus::IoFailure;
    }
    return ExitStatus::Counted;
}

// Every cycle as the count closes it; no table, so nothing is aggregated and
// memory does not grow with the cycles.
ExitStatus listEveryCycle(TRainflowRun& run, const CountOptions& options, std::ostream& out, std::ostream& err)
{
    bool bins = run.UseLoadBins;
    if (!bins && !options.unlimited && run.SeqLength >= MatrixThreshold) {
        bins = true;
        err << matrixAppliedNotice(run.BinCount) << '\n' << std::flush;
    }
    CombinedSequenceSource combined(run);
    PrefetchSource readAhead(combined);
    writeCycleListing(out, run, bins, readAhead);
    return finishOutput(out, err);
}

} // namespace

ExitStatus runCount(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    // Another running copy (the desktop program, too) would overwrite the work files.
    std::unique_ptr<WorkFolderLock> lock;
    if (options.workDir) {
        requireFolder(*options.workDir);
        lock = WorkFolderLock::tryAcquire(*options.workDir);
        if (!lock) {
            err << kErrorPrefix << workFolderInUseMessage(*options.workDir) << '\n';
            return ExitStatus::IoFailure;
        }
    }
    if (options.columns.active())
        return runColumnCount(options, out, err);
    auto run = runWithParameters(options);
    if (ExitStatus status{}; countUnscannedInTwoPieces(*run, options, out, err, status))
        return status;
    if (!loadSequences(*run, options, err))
        return ExitStatus::InputRejected;
    if (options.savePartial) // a piece need not spread beyond the filter
        return savePartialCount(*run, options, err);
    if (const auto message = checkParameters(*run)) {
        err << kErrorPrefix << *message << '\n';
        return ExitStatus::InputRejected;
    }
    if (ExitStatus status{}; countInTwoPieces(*run, options, out, err, status))
        return status;

    if (options.format == OutputFormat::Cycles)
        return listEveryCycle(*run, options, out, err);

    TCycleTable table(MaxCycles, options.unlimited);
    ExecuteOptions execute;
    execute.notice = [&err](const std::string& text) { err << text << '\n' << std::flush; };
    execute.limits.unlimited = options.unlimited;
    // Fatigue takes the loads as counted: the table is normalised after it.
    const bool fatigue = options.fatigue.wanted();
    const bool normalizeAfter = fatigue && run->Normalize;
    run->Normalize = run->Normalize && !normalizeAfter;
    const auto [result, cycleCount] = options.format == OutputFormat::Report && !fatigue
                                          ? countWithReport(*run, table, options, execute, out)
                                          : countOnly(*run, table, options, execute);
    if (fatigue) {
        if (!writeWithFatigue(out, err, FatigueCount{options, *run, result, table, cycleCount, normalizeAfter}))
            return ExitStatus::InputRejected;
    } else if (options.format == OutputFormat::Csv)
        writeCyclesCsv(out, table, cycleCount);
    else if (options.format == OutputFormat::Json)
        writeCountJson(out, *run, result, table, cycleCount);
    return finishOutput(out, err);
}

} // namespace tessivo::cli
