#include "partial_commands.h"

#include "cli_messages.h"

#include "engine/counting/partial_count.h"
#include "engine/counting/streaming_counter.h"

#include "engine/files/combined_sequence.h"
#include "cycle_export.h"
#include "engine/record/input_too_large.h"
#include "engine/record/io_error.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/plain_text_report.h"
#include "engine/files/prefetch_source.h"
#include "engine/run/report_builder.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_loading.h"
#include "engine/files/sequence_reader.h"
#include "engine/numbers/work_notation.h"
#include "engine/system/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <limits>
#include <thread>

namespace tessivo::cli {
namespace {

CountParameters parametersOf(const CountOptions& options)
{
    CountParameters p;
    p.filter = options.filter;
    p.residue = options.residue;
    p.useLoadBins = options.loadBins;
    p.unlimited = options.unlimited;
    p.binCount = options.binCount;
    if (!options.binEdges.empty()) {
        p.store = CycleStore::Bins;
        p.binLowest = options.binEdges.front();
        p.binHighest = options.binEdges.back();
        p.binEdges = options.binEdges;
    } else if (options.binLowest && options.binHighest) {
        p.store = CycleStore::Bins;
        p.binLowest = *options.binLowest;
        p.binHighest = *options.binHighest;
    }
    return p;
}

void feedAll(ValueSource& in, PartialCount& count)
{
    long double block[4096];
    while (const std::size_t n = in.nextBlock(block, 4096))
        count.feed(block, n);
}

// The count's result as runCount writes it: the notice of the matrix, the
// loads divided by the peak when asked, the chosen format.
ExitStatus writeResult(TRainflowRun& run, StreamingCounter& counter, const CountOutcome& outcome,
                       const CountOptions& options, std::ostream& out, std::ostream& err)
{
    if (outcome.result == RunResult::MatrixApplied)
        err << matrixAppliedNotice(run.BinCount) << '\n' << std::flush;
    TCycleTable& table = counter.table();
    if (options.normalize)
        table.divideLoads(outcome.cycleCount, run.HighestPeak);
    if (options.format == OutputFormat::Csv) {
        writeCyclesCsv(out, table, outcome.cycleCount);
    } else if (options.format == OutputFormat::Json) {
        writeCountJson(out, run, outcome.result, table, outcome.cycleCount);
    } else {
        StreamReport report(out);
        WriteCountReport(report, run, table, outcome.cycleCount);
    }
    out.flush();
    if (!out) {
        err << kErrorPrefix << kStandardOutput << ": " << ioErrorMessage(errno != 0 ? errno : EIO) << '\n';
        return ExitStatus::IoFailure;
    }
    return ExitStatus::Counted;
}

// Writes to a file beside the target and renames it over the target, so a
// failed write leaves what was there.
void writeAtomically(const std::string& path, PartialCount& count)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(os::nativePath(temporary), std::ios::binary | std::ios::trunc);
        if (!file)
            throwIoError(errno != 0 ? errno : EIO, temporary);
        count.write(file);
        file.close();
        if (!file) {
            os::removeFile(temporary);
            throwIoError(errno != 0 ? errno : EIO, temporary);
        }
    }
    if (os::replaceFile(temporary, path) != 0) {
        const int code = errno;
        os::removeFile(temporary);
        throwIoError(code, path);
    }
}

// The loads of a byte range of a sequence file as the combined sequence gives
// them: rounded as a work file would hold them, times the slot's scale.
class SlotRangeSource final : public ValueSource {
public:
    SlotRangeSource(const TSequence& slot, std::uint64_t from, std::uint64_t to)
        : m_slot(slot), m_file(slot.FileName, from, to)
    {
    }
    bool next(long double& value) override
    {
        if (!m_file.next(value))
            return false;
        // The totals take the loads as read, scaled but not rounded.
        const long double a = value * m_slot.Scale;
        if (m_values == 0 || a > m_highest)
            m_highest = a;
        if (m_values == 0 || a < m_lowest)
            m_lowest = a;
        ++m_values;
        if (!m_file.lastDigits().exact)
            value = roundToWorkPrecision(value);
        if (m_slot.Scale != 1.0L) {
            const long double product = value * m_slot.Scale;
            if (!std::isfinite(product))
                throw InputTooLarge(scaledLoadTooLargeMessage(m_slot.FileName));
            value = roundToWorkPrecision(product);
        }
        return true;
    }
    std::size_t nextBlock(long double* out, std::size_t max) override
    {
        if (m_slot.Scale != 1.0L)
            return nextBlockByValue(*this, out, max);
        // Unscaled, the common case: the extremes stay in registers for the block.
        long double highest = m_highest, lowest = m_lowest;
        bool exact[4096];
        const std::size_t n = m_file.nextValues(out, exact, std::min<std::size_t>(max, 4096));
        for (std::size_t i = 0; i < n; ++i) {
            const long double value = out[i];
            if (m_values == 0 || value > highest)
                highest = value;
            if (m_values == 0 || value < lowest)
                lowest = value;
            ++m_values;
            if (!exact[i])
                out[i] = roundToWorkPrecision(value);
        }
        m_highest = highest;
        m_lowest = lowest;
        return n;
    }
    bool stopped() const { return m_file.malformed() || m_file.endedByCtrlZ(); }
    bool malformed() const { return m_file.malformed(); }
    void giveExtremes(PartialCount& count) const { count.setExtremes(m_highest, m_lowest); }

private:
    const TSequence& m_slot;
    SequenceFileSource m_file;
    std::int64_t m_values = 0;
    long double m_highest = NoPeak;
    long double m_lowest = NoTrough;
};

} // namespace

ExitStatus savePartialCount(TRainflowRun& run, const CountOptions& options, std::ostream& err)
{
    if (options.filter < 0) {
        err << kErrorPrefix << kNegativeFilterMessage << '\n';
        return ExitStatus::InputRejected;
    }
    PartialCount count(parametersOf(options), options.piece);
    CombinedSequenceSource combined(run);
    PrefetchSource readAhead(combined);
    feedAll(readAhead, count);
    count.setExtremes(run.HighestPeak, run.LowestTrough);
    writeAtomically(*options.savePartial, count);
    return ExitStatus::Counted;
}

ExitStatus mergePartialCounts(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    try {
        // Merged before the count goes on, so that a refusal names the pieces as they were saved.
        std::optional<PartialCount> merged;
        for (const std::string& path : options.partFiles) {
            std::ifstream file(os::nativePath(path), std::ios::binary);
            if (!file)
                throwIoError(errno != 0 ? errno : EIO, path);
            PartialCount part = PartialCount::read(file, path);
            if (file.bad())
                throwIoError(EIO, path);
            if (!merged)
                merged.emplace(std::move(part));
            else
                merged->append(std::move(part));
        }
        std::optional<StreamingCounter> counter(std::move(*merged));
        auto run = std::make_unique<TRainflowRun>();
        const CountOutcome outcome = counter->finish(*run);
        run->Normalize = options.normalize;
        if (options.normalize && !(run->HighestPeak > 0)) {
            err << kErrorPrefix << kNegativeLoadsMessage << '\n';
            return ExitStatus::InputRejected;
        }
        return writeResult(*run, *counter, outcome, options, out, err);
    } catch (const PartialCountError& e) {
        err << kErrorPrefix << e.what() << '\n';
        return ExitStatus::InputRejected;
    }
}

namespace {

// The two halves of a slot's file counted at once, merged. `malformed`
// tells whether the loads the file holds ended at a token that is not a number.
StreamingCounter countHalves(const TSequence& slot, const CountParameters& p, std::uint64_t middle, bool& malformed)
{
    PartialCount second(p, 2);
    bool secondMalformed = false;
    std::exception_ptr secondFailure;
    std::thread worker([&] {
        try {
            SlotRangeSource in(slot, middle, ~std::uint64_t{0});
            feedAll(in, second);
            in.giveExtremes(second);
            secondMalformed = in.malformed();
        } catch (...) {
            secondFailure = std::current_exception();
        }
    });
    StreamingCounter counter(p);
    bool firstStopped = false;
    try {
        SlotRangeSource in(slot, 0, middle);
        feedAll(in, counter.partial());
        in.giveExtremes(counter.partial());
        firstStopped = in.stopped();
        malformed = in.malformed();
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    // A Ctrl-Z or a token that is not a number in the first half ends the loads there.
    if (!firstStopped) {
        if (secondFailure)
            std::rethrow_exception(secondFailure);
        counter.append(std::move(second));
        malformed = secondMalformed;
    }
    return counter;
}

ExitStatus finishAndWrite(TRainflowRun& run, StreamingCounter& counter, const CountOptions& options, std::ostream& out,
                          std::ostream& err)
{
    const std::int32_t seqCount = run.SeqCount;
    const CountOutcome outcome = counter.finish(run);
    run.SeqCount = seqCount;
    return writeResult(run, counter, outcome, options, out, err);
}

} // namespace

bool countInTwoPieces(TRainflowRun& run, const CountOptions& options, std::ostream& out, std::ostream& err,
                      ExitStatus& status)
{
    if (options.workDir || run.SeqCount != 1)
        return false;
    const TSequence& slot = run.Sequences[1];
    if (!slot.Active || slot.Repetitions != 1)
        return false;
    const std::uint64_t middle = splitPoint(slot.FileName);
    if (middle == 0)
        return false;

    // Load bins in effect from the start span the extremes of the scan.
    CountParameters p = parametersOf(options);
    if (p.binEdges.empty() && (options.loadBins || (run.SeqLength >= MatrixThreshold && !options.unlimited))) {
        p.store = CycleStore::Bins;
        p.binLowest = run.LowestTrough;
        p.binHighest = run.HighestPeak;
    }
    bool malformed = false;
    StreamingCounter counter = countHalves(slot, p, middle, malformed);
    if (counter.partial().length() != slot.Points)
        throw FileShortenedError(slot.FileName);
    status = finishAndWrite(run, counter, options, out, err);
    return true;
}

bool countUnscannedInTwoPieces(TRainflowRun& run, const CountOptions& options, std::ostream& out, std::ostream& err,
                               ExitStatus& status)
{
    if (!options.unlimited || options.workDir || options.savePartial || options.sequences.size() != 1 ||
        options.sequences[0].repetitions != 1 || options.sequences[0].scale != 1.0L)
        return false;
    const std::uint64_t middle = splitPoint(options.sequences[0].file);
    if (middle == 0)
        return false;
    TSequence& slot = run.Sequences[1];
    slot.FileName = options.sequences[0].file;
    slot.Active = true;
    slot.Repetitions = 1;
    slot.Scale = 1.0L;
    slot.Weight = 1.0L;
    run.SeqCount = 1;
    bool malformed = false;
    StreamingCounter counter = countHalves(slot, parametersOf(options), middle, malformed);
    const PartialCount& whole = counter.partial();
    if (malformed || whole.length() == 0) {
        err << kErrorPrefix << slot.FileName << ": " << kIncorrectSequenceFile << '\n';
        status = ExitStatus::InputRejected;
        return true;
    }
    if (whole.length() > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(sequenceFileTooLongMessage(slot.FileName));
    slot.Points = static_cast<std::int32_t>(whole.length());
    slot.HighestPeak = whole.highest();
    slot.LowestTrough = whole.lowest();
    UpdateSequenceTotals(run);
    if (const auto message = checkParameters(run)) {
        err << kErrorPrefix << *message << '\n';
        status = ExitStatus::InputRejected;
        return true;
    }
    status = finishAndWrite(run, counter, options, out, err);
    return true;
}

} // namespace tessivo::cli
