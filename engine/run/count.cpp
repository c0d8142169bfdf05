#include "engine/run/count.h"

#include "engine/counting/load_classes.h"
#include "engine/counting/partial_count.h"
#include "engine/counting/streaming_counter.h"
#include "engine/files/combined_sequence.h"
#include "engine/files/sequence_file_format.h"
#include "engine/files/prefetch_source.h"
#include "engine/files/sequence_loading.h"
#include "engine/numbers/work_notation.h"
#include "engine/record/input_too_large.h"
#include "engine/record/run_messages.h"
#include "engine/run/count_sources.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/piece_count.h"
#include "engine/run/run_control.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <stdexcept>
#include <thread>

namespace tessivo {

// ---------------------------------------------------------------- result

CountResult::CountResult() : m_run(std::make_unique<TRainflowRun>()) {}
CountResult::CountResult(CountResult&&) noexcept = default;
CountResult& CountResult::operator=(CountResult&&) noexcept = default;
CountResult::~CountResult() = default;

const TCycleTable& CountResult::table() const
{
    if (m_tableView == nullptr)
        throw std::logic_error("The result holds no cycle table");
    return *m_tableView;
}

void CountResult::divideLoads()
{
    if (!m_normalized || m_divided || m_tableView == nullptr)
        return;
    const_cast<TCycleTable*>(m_tableView)->divideLoads(m_cycleCount, m_run->HighestPeak);
    m_divided = true;
}

CycleColumns CountResult::columns() const
{
    CycleColumns columns;
    if (m_tableView == nullptr)
        return columns;
    columns = cycleColumns(*m_tableView, m_cycleCount, m_run->HalfCycles);
    if (m_normalized && !m_divided) {
        for (auto* loads : {&columns.range, &columns.upper, &columns.lower})
            for (long double& v : *loads)
                v /= m_run->HighestPeak;
    }
    return columns;
}

std::unique_ptr<TCycleTable> CountResult::takeTable()
{
    divideLoads();
    if (!m_table)
        throw std::logic_error("The result's cycle table belongs to its counter");
    m_tableView = nullptr;
    return std::move(m_table);
}

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

class CountBuilder {
public:
    static CountResult make(std::unique_ptr<TRainflowRun> run, const CountRequest& request, RunResult result)
    {
        CountResult r;
        run->Normalize = request.normalize;
        r.m_run = std::move(run);
        r.m_result = result;
        r.m_normalized = request.normalize;
        r.m_binned = r.m_run->UseLoadBins || result == RunResult::MatrixApplied;
        return r;
    }
    static CountResult withTable(std::unique_ptr<TRainflowRun> run, const CountRequest& request,
                                 std::unique_ptr<TCycleTable> table, const CountOutcome& outcome)
    {
        CountResult r = make(std::move(run), request, outcome.result);
        r.m_table = std::move(table);
        r.m_tableView = r.m_table.get();
        r.m_cycleCount = outcome.cycleCount;
        return r;
    }
    static CountResult withCounter(std::unique_ptr<TRainflowRun> run, const CountRequest& request,
                                   StreamingCounter&& counter, const CountOutcome& outcome)
    {
        CountResult r = make(std::move(run), request, outcome.result);
        auto kept = std::make_shared<StreamingCounter>(std::move(counter));
        r.m_tableView = &kept->table();
        r.m_keeper = std::move(kept);
        r.m_cycleCount = outcome.cycleCount;
        return r;
    }
    static void setPositions(CountResult& r, std::vector<PositionedCycle>&& positions)
    {
        r.m_positions = std::move(positions);
    }
};

// ---------------------------------------------------------------- slots

namespace {

void requireChecks(const TRainflowRun& run)
{
    if (const auto message = checkParameters(run))
        throw CountRefused(*message);
}

std::unique_ptr<TRainflowRun> recordFor(const CountRequest& request)
{
    auto run = std::make_unique<TRainflowRun>();
    applyRequest(request, *run);
    return run;
}

// The record of one sequence held elsewhere: slot 1, once, unscaled.
void describeOneSequence(TRainflowRun& run, const SequenceExtent& extent)
{
    if (extent.points > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(kSequenceTooLongMessage);
    TSequence& slot = run.Sequences[1];
    slot.Active = true;
    slot.Repetitions = 1;
    slot.Points = static_cast<std::int32_t>(extent.points);
    slot.HighestPeak = extent.highest;
    slot.LowestTrough = extent.lowest;
    slot.Scale = 1.0L;
    slot.Weight = 1.0L;
    run.SeqCount = 1;
    UpdateSequenceTotals(run);
}

ExecuteOptions executeOptions(const CountRequest& request, const CountHooks& hooks)
{
    ExecuteOptions options;
    options.notice = hooks.notice;
    options.processMessages = hooks.processMessages;
    options.progress = hooks.progress;
    options.limits.unlimited = request.unlimited;
    return options;
}

// The work-file pipeline (combined == nullptr: request.workDir) or the
// one-pass pipeline in memory over `combined`. The run is taken only on
// success: the caller's sources read from it, and a read-ahead thread must
// stop before a failed count lets the run go. The loads stay as counted:
// the result divides them when asked, after fatigue has read them.
CountResult pipelineCount(std::unique_ptr<TRainflowRun>& run, const CountRequest& request, ValueSource* combined,
                          const CountHooks& hooks)
{
    auto table = std::make_unique<TCycleTable>(request.tableLimit, request.unlimited);
    const ExecuteOptions options = executeOptions(request, hooks);
    run->Normalize = false;
    const CountOutcome outcome = combined != nullptr ? countCombinedSequence(*run, *table, *combined, options)
                                                     : countCombinedSequence(*run, *table, *request.workDir, options);
    return CountBuilder::withTable(std::move(run), request, std::move(table), outcome);
}

// The listing of every cycle with its positions, instead of the table.
class CollectedPositions final : public CycleListing {
public:
    void cycle(const PositionedCycle& c) override { cycles.push_back(c); }
    std::vector<PositionedCycle> cycles;
};

CountResult listPositions(std::unique_ptr<TRainflowRun>& run, const CountRequest& request, ValueSource& sequence,
                          const CountHooks& hooks)
{
    const LoadBinsRule rule = loadBinsRule(run->UseLoadBins, request.unlimited, run->SeqLength);
    const RunResult result = rule == LoadBinsRule::Switched ? RunResult::MatrixApplied : RunResult::Normal;
    if (result == RunResult::MatrixApplied && hooks.notice)
        hooks.notice(matrixAppliedNotice(run->BinCount));
    CollectedPositions collected;
    CycleListing& listing = hooks.listing != nullptr ? *hooks.listing : collected;
    ListingStart start;
    start.run = run.get();
    start.binned = inLoadBins(rule);
    // The range of the divided loads, as the table divides them.
    start.loadDivisor = request.normalize && run->HighestPeak != 0 ? run->HighestPeak : 1.0L;
    listing.begin(start);
    listCycles(sequence, run->SeqLength,
               CycleListingParameters{run->FilterSize, run->Decomposition, start.binned, run->HalfCycles}, listing);
    CountResult r = CountBuilder::make(std::move(run), request, result);
    CountBuilder::setPositions(r, std::move(collected.cycles));
    return r;
}

// ---------------------------------------------------------------- two cores

// Only a plain sequence file is cut in two halves at a separator.
bool isPlainFile(const SlotInput& slot)
{
    return dynamic_cast<const SequenceFileFormat*>(slot.format.get()) != nullptr;
}

void feedAll(ValueSource& in, PartialCount& count)
{
    long double block[4096];
    while (const std::size_t n = in.nextBlock(block, 4096))
        count.feed(block, n);
}

// The loads of a byte range of a sequence file as the combined sequence gives
// them: rounded as a work file would hold them, times the slot's scale.
class SlotRangeSource final : public ValueSource {
public:
    SlotRangeSource(const TSequence& slot, std::uint64_t from, std::uint64_t to)
        : m_slot(slot)
        , m_file(slot.FileName, from, to)
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
        if (m_slot.Scale != 1.0L)
            value = scaledWorkValue(value, m_slot.Scale, m_slot.FileName);
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

CountResult finishHalves(std::unique_ptr<TRainflowRun> run, const CountRequest& request, StreamingCounter&& counter,
                         const CountHooks& hooks)
{
    const std::int32_t seqCount = run->SeqCount;
    const CountOutcome outcome = counter.finish(*run);
    run->SeqCount = seqCount;
    if (outcome.result == RunResult::MatrixApplied && hooks.notice)
        hooks.notice(matrixAppliedNotice(run->BinCount));
    return CountBuilder::withCounter(std::move(run), request, std::move(counter), outcome);
}

// With unlimited no load needs the extremes before it is counted: one large
// file, read once at scale 1, is counted as two pieces without the scan that
// loads the slots; the checks follow from the count's totals.
std::optional<CountResult> unscannedHalves(const CountRequest& request, const std::vector<SlotInput>& slots,
                                           const CountHooks& hooks)
{
    if (!request.unlimited || request.workDir || request.positions || slots.size() != 1 || slots[0].repetitions != 1
        || slots[0].scale != 1.0L || !isPlainFile(slots[0]))
        return std::nullopt;
    const std::uint64_t middle = splitPoint(slots[0].format->fileName(), request.splitFrom);
    if (middle == 0)
        return std::nullopt;
    auto run = recordFor(request);
    TSequence& slot = run->Sequences[1];
    slot.FileName = slots[0].format->fileName();
    slot.Active = true;
    slot.Repetitions = 1;
    slot.Scale = 1.0L;
    slot.Weight = slots[0].weight;
    run->SeqCount = 1;
    bool malformed = false;
    StreamingCounter counter = countHalves(slot, partialParameters(request), middle, malformed);
    const PartialCount& whole = counter.partial();
    if (malformed || whole.length() == 0)
        throw CountRefused(kIncorrectSequenceFile, slot.FileName);
    if (whole.length() > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(sequenceFileTooLongMessage(slot.FileName));
    slot.Points = static_cast<std::int32_t>(whole.length());
    slot.HighestPeak = whole.highest();
    slot.LowestTrough = whole.lowest();
    UpdateSequenceTotals(*run);
    requireChecks(*run);
    return finishHalves(std::move(run), request, std::move(counter), hooks);
}

// One large file, scanned: its two halves counted at once, merged.
std::optional<CountResult> scannedHalves(std::unique_ptr<TRainflowRun>& run, const std::vector<SlotInput>& slots,
                                         const CountRequest& request, const CountHooks& hooks)
{
    if (request.workDir || run->SeqCount != 1 || request.tableLimit != MaxCycles || !isPlainFile(slots[0]))
        return std::nullopt;
    const TSequence& slot = run->Sequences[1];
    if (!slot.Active || slot.Repetitions != 1)
        return std::nullopt;
    const std::uint64_t middle = splitPoint(slot.FileName, request.splitFrom);
    if (middle == 0)
        return std::nullopt;
    // Load bins in effect from the start span the extremes of the scan.
    CountParameters p = partialParameters(request);
    if (p.binEdges.empty() && inLoadBins(loadBinsRule(request.loadBins, request.unlimited, run->SeqLength))) {
        p.store = CycleStore::Bins;
        p.binLowest = run->LowestTrough;
        p.binHighest = run->HighestPeak;
    }
    bool malformed = false;
    StreamingCounter counter = countHalves(slot, p, middle, malformed);
    if (counter.partial().length() != slot.Points)
        throw FileShortenedError(slot.FileName);
    return finishHalves(std::move(run), request, std::move(counter), hooks);
}

// ---------------------------------------------------------------- routes

CountResult countSlots(const CountRequest& request, const std::vector<SlotInput>& slots, const CountHooks& hooks)
{
    if (auto halves = unscannedHalves(request, slots, hooks))
        return std::move(*halves);
    auto run = recordFor(request);
    // Statistics at hand are checked before any work file is written; the
    // others are found while the work files are written, in one pass.
    const bool workFilesFirst = request.workDir && !slotsScanned(slots);
    loadSlots(*run, slots, workFilesFirst ? request.workDir : std::nullopt);
    requireChecks(*run);
    if (request.positions) {
        CombinedSequence combined = combinedSource(*run, slots);
        PrefetchSource readAhead(combined);
        return listPositions(run, request, readAhead, hooks);
    }
    if (auto halves = scannedHalves(run, slots, request, hooks))
        return std::move(*halves);
    if (request.workDir) {
        if (!workFilesFirst)
            loadSlots(*run, slots, request.workDir);
        return pipelineCount(run, request, nullptr, hooks);
    }
    CombinedSequence combined = combinedSource(*run, slots);
    if (!request.readAhead)
        return pipelineCount(run, request, &combined, hooks);
    PrefetchSource readAhead(combined); // parse on the second core while this one counts
    return pipelineCount(run, request, &readAhead, hooks);
}

CountResult countValues(const CountRequest& request, const CountInputs::Values& values, const CountHooks& hooks)
{
    auto run = recordFor(request);
    if (values.extent.points == 0) {
        // The empty sequence: nothing to check but the request, nothing counted.
        run->HighestPeak = NoPeak;
        run->LowestTrough = NoTrough;
        return CountBuilder::make(std::move(run), request, RunResult::Normal);
    }
    describeOneSequence(*run, values.extent);
    requireChecks(*run);
    if (request.positions)
        return listPositions(run, request, *values.rounded, hooks);
    constexpr std::int64_t kReadAheadFrom = 1 << 16;
    if (request.readAhead && values.extent.points >= kReadAheadFrom && std::thread::hardware_concurrency() > 1) {
        // Rounding the values to work precision costs as much as counting
        // them: a second core rounds ahead.
        PrefetchSource ahead(*values.rounded);
        return pipelineCount(run, request, &ahead, hooks);
    }
    return pipelineCount(run, request, values.rounded, hooks);
}

CountResult countLoaded(const CountRequest& request, TRainflowRun& run, const CountHooks& hooks)
{
    if (!request.workDir)
        throw std::logic_error("Loaded slots are counted from their work files: the request needs the work folder");
    const bool normalize = run.Normalize;
    run.Normalize = request.normalize;
    try {
        requireChecks(run);
        auto table = std::make_unique<TCycleTable>(request.tableLimit, request.unlimited);
        const ExecuteOptions options = executeOptions(request, hooks);
        run.Normalize = false;
        const CountOutcome outcome = countCombinedSequence(run, *table, *request.workDir, options);
        run.Normalize = normalize;
        auto copy = std::make_unique<TRainflowRun>(run);
        return CountBuilder::withTable(std::move(copy), request, std::move(table), outcome);
    } catch (...) {
        run.Normalize = normalize;
        throw;
    }
}

CountResult countPieces(const CountRequest& request, PieceCount& merged, const CountHooks& hooks)
{
    if (!request.sameCount(merged.request()))
        throw PartialCountError("The partial counts were made with other parameters than the count asks for");
    if (request.positions)
        throw CountRefused(kPositionsOfPiecesMessage);
    auto run = recordFor(request);
    SequenceExtent extent;
    extent.points = merged.length();
    extent.highest = merged.highestGiven();
    extent.lowest = merged.lowestGiven();
    if (extent.points == 0) {
        run->HighestPeak = NoPeak;
        run->LowestTrough = NoTrough;
        return CountBuilder::make(std::move(run), request, RunResult::Normal);
    }
    // The whole sequence passes the checks that a count of it in one go makes.
    if (extent.points > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(kSequenceTooLongMessage);
    describeOneSequence(*run, extent);
    requireChecks(*run);
    StreamingCounter counter(std::move(merged).release());
    auto finished = std::make_unique<TRainflowRun>();
    applyRequest(request, *finished);
    const CountOutcome outcome = counter.finish(*finished);
    if (outcome.result == RunResult::MatrixApplied && hooks.notice)
        hooks.notice(matrixAppliedNotice(finished->BinCount));
    return CountBuilder::withCounter(std::move(finished), request, std::move(counter), outcome);
}

} // namespace

CountResult count(const CountRequest& request, CountInputs inputs, const CountHooks& hooks)
{
    checkRequest(request);
    const bool pieces = std::holds_alternative<CountInputs::Pieces>(inputs.kind());
    if (request.span && !pieces)
        throw CountRefused(kSpanOfWholeCountMessage);
    return std::visit(
        [&](auto& kind) -> CountResult {
            using Kind = std::decay_t<decltype(kind)>;
            if constexpr (std::is_same_v<Kind, CountInputs::Slots>)
                return countSlots(request, kind.inputs, hooks);
            else if constexpr (std::is_same_v<Kind, CountInputs::Values>)
                return countValues(request, kind, hooks);
            else if constexpr (std::is_same_v<Kind, CountInputs::Loaded>)
                return countLoaded(request, *kind.run, hooks);
            else
                return countPieces(request, *kind.merged, hooks);
        },
        inputs.kind());
}

void checkCount(const CountRequest& request, CountInputs& inputs)
{
    checkRequest(request);
    auto run = recordFor(request);
    loadSlots(*run, slotInputs(inputs), std::nullopt);
    requireChecks(*run);
}

} // namespace tessivo
