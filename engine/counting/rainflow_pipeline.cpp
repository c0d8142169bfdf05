#include "engine/counting/rainflow_pipeline.h"

#include "engine/counting/load_classes.h"
#include "engine/files/memory_values.h"
#include "engine/counting/rainflow_counting.h"
#include "engine/counting/reversal_extraction.h"
#include "engine/counting/run_ending.h"
#include "engine/files/work_files.h"
#include "engine/record/run_messages.h"

#include <algorithm>
#include <stdexcept>

namespace tessivo {
namespace {

// Everything a run does before the first count, in both forms.
struct RunStart {
    bool bins = false;
    RunResult result = RunResult::Normal;
};

void checkBinCount(const TRainflowRun& run)
{
    if (run.BinCount < 1 || run.BinCount > MatrixSize)
        throw std::invalid_argument(kBinCountOutOfRangeMessage);
}

// Long sequences are counted in load classes unless the caller lifted the limit.
RunStart decideBins(const TRainflowRun& run, RunLimits limits)
{
    RunStart start;
    const LoadBinsRule rule = loadBinsRule(run.UseLoadBins, limits.unlimited, run.SeqLength);
    start.bins = inLoadBins(rule);
    if (rule == LoadBinsRule::Switched)
        start.result = RunResult::MatrixApplied;
    return start;
}

CountOutcome finishRun(TCycleTable& table, const TRainflowRun& run, RunStart& start, const RunHooks& hooks)
{
    if (hooks.processMessages)
        hooks.processMessages();
    CountOutcome outcome;
    if (start.bins)
        outcome.cycleCount = matrixToTable(run, table, start.result);
    outcome.cycleCount = table.SortCycles();
    outcome.result = start.result;
    return outcome;
}

std::int64_t extractFile(const std::string& from, const std::string& to, std::int64_t n, long double filter)
{
    WorkFileReader in(from);
    WorkFileWriter out(to);
    const std::int64_t count = extractReversalsN(in, n, filter, out);
    out.close();
    return count;
}

// Reports the progress of the values taken through a source.
class ProgressSource final : public ValueSource {
public:
    ProgressSource(ValueSource& in, const RunHooks& hooks, std::int64_t total)
        : m_in(in)
        , m_hooks(hooks)
        , m_total(total)
    {
    }
    bool next(long double& value) override
    {
        if ((++m_done & 0xFFFF) == 0 && m_hooks.progress && !m_hooks.progress(m_done, m_total))
            throw RunCancelled();
        return m_in.next(value);
    }
    std::size_t nextBlock(long double* out, std::size_t max) override
    {
        const std::size_t n = m_in.nextBlock(out, max);
        const std::int64_t before = m_done;
        m_done += static_cast<std::int64_t>(n);
        if ((before >> 16) != (m_done >> 16) && m_hooks.progress && !m_hooks.progress(m_done, m_total))
            throw RunCancelled();
        return n;
    }
    const char* lastLine() const override { return m_in.lastLine(); }

private:
    ValueSource& m_in;
    const RunHooks& m_hooks;
    std::int64_t m_total;
    std::int64_t m_done = 0;
};

// Passes the values of a source on and writes each to a work file on the way,
// copying the source's own line when it has one.
class RecordingSource final : public ValueSource {
public:
    RecordingSource(ValueSource& in, WorkFileWriter& out) : m_in(in), m_out(out) {}
    bool next(long double& value) override
    {
        if (!m_in.next(value))
            return false;
        if (const char* line = m_in.lastLine())
            m_out.putLine(line);
        else
            m_out.put(value);
        return true;
    }

private:
    ValueSource& m_in;
    WorkFileWriter& m_out;
};

// Writes every value to a work file and hands it on to the next stage.
class RecordingSink final : public ValueSink {
public:
    RecordingSink(WorkFileWriter& out, ValueSink& next) : m_out(out), m_next(next) {}
    void put(long double value) override
    {
        m_out.put(value);
        m_next.put(value);
    }

private:
    WorkFileWriter& m_out;
    ValueSink& m_next;
};

// Pass 2 or the upward half cycles, from "$RedRev.tmp": the residue twice in
// a row is extracted again into "$Reversals.tmp" and counted, or its upward
// half cycles are counted; "$RedRev.tmp" is then emptied by pass 2.
void handleResidueFromFiles(const std::string& reversals, const std::string& redRev, std::int64_t residueLines,
                            TRainflowRun& run, TCycleTable& table, RunStart& start)
{
    CycleTally tally(run, start.bins, table, start.result);
    if (run.Decomposition) {
        const std::int64_t reversalCount = extractFile(redRev, reversals, residueLines, run.FilterSize);
        WorkFileReader in(reversals);
        WorkFileWriter out(redRev); // the second pass leaves no residue in the file
        FourPointCounter secondPass(tally);
        long double v = 0.0L;
        for (std::int64_t read = 0; read < reversalCount && in.next(v); ++read)
            secondPass.put(v);
        out.close();
    } else {
        WorkFileReader in(redRev);
        const std::int64_t points = residueLines / 2;
        long double previous = 0.0L;
        long double v = 0.0L;
        for (std::int64_t j = 1; j <= points && in.next(v); ++j) {
            if (j > 1)
                tally.residueHalfCycle(previous, v);
            previous = v;
        }
    }
}

} // namespace

CountOutcome RunRainflow(TCycleTable& table, TRainflowRun& run, const std::string& workDir, ValueSource& sequence,
                         const RunHooks& hooks, RunLimits limits)
{
    checkBinCount(run);
    table.EmptyCycleTable();
    const std::string reversals = workFilePath(workDir, kReversalsFile);
    const std::string redRev = workFilePath(workDir, kRedRevFile);
    RunStart start = decideBins(run, limits);
    ClearFromToMatrix(run.FromToMatrix, run.BinCount);

    // Sequence -> "$Sequence.tmp" and extraction -> "$Reversals.tmp" and counting, in one pass.
    WorkFileWriter sequenceOut(workFilePath(workDir, kSequenceFile));
    WorkFileWriter reversalsOut(reversals);
    CycleTally tally(run, start.bins, table, start.result);
    FourPointCounter counter(tally);
    ProgressSource reported(sequence, hooks, run.SeqLength);
    RecordingSource recorded(reported, sequenceOut);
    RecordingSink counted(reversalsOut, counter);
    extractReversalsN(recorded, run.SeqLength, run.FilterSize, counted);
    sequenceOut.close();
    reversalsOut.close();

    WorkFileWriter residueOut(redRev);
    for (int round = 0; round < 2; ++round)
        for (const long double point : counter.residue())
            residueOut.put(point);
    residueOut.close();
    const auto residueLines = 2 * static_cast<std::int64_t>(counter.residue().size());

    handleResidueFromFiles(reversals, redRev, residueLines, run, table, start);
    return finishRun(table, run, start, hooks);
}

CountOutcome RunRainflow(TCycleTable& table, TRainflowRun& run, ValueSource& sequence, const RunHooks& hooks,
                         RunLimits limits)
{
    checkBinCount(run);
    table.EmptyCycleTable();
    RunStart start = decideBins(run, limits);
    ClearFromToMatrix(run.FromToMatrix, run.BinCount);

    CycleTally tally(run, start.bins, table, start.result);
    FourPointCounter firstPass(tally);
    ProgressSource reported(sequence, hooks, run.SeqLength);
    extractReversalsN(reported, run.SeqLength, run.FilterSize, firstPass);
    // The residue twice in a row, as the residue work file holds it, or its upward half cycles.
    countResidue(tally, firstPass.residue(), run.Decomposition, run.FilterSize);
    return finishRun(table, run, start, hooks);
}

} // namespace tessivo
