#include "rainflow_pipeline.h"

#include "load_classes.h"
#include "memory_values.h"
#include "rainflow_counting.h"
#include "reversal_extraction.h"
#include "work_files.h"

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
        throw std::invalid_argument("The number of load classes must be between 1 and 256.");
}

void emptyResult(std::int32_t& cycleCount, TCycleTable& table)
{
    cycleCount = 0;
    EmptyCycleTable(table);
}

// Long sequences are counted in load classes unless the caller lifted the limit.
RunStart decideBins(const TRainflowRun& run, RunLimits limits)
{
    RunStart start;
    start.bins = run.UseLoadBins;
    if (run.SeqLength >= MatrixThreshold && !start.bins && !limits.unlimited) {
        start.result = RunResult::MatrixApplied;
        start.bins = true;
    }
    return start;
}

// The upper triangle of the matrix becomes the table. Above 200 classes the
// cells can outnumber a fixed table; the largest ranges are kept then.
void convertMatrix(const TRainflowRun& run, TCycleTable& table, std::int32_t& cycleCount, RunResult& result)
{
    const std::int32_t cells = run.BinCount * (run.BinCount - 1) / 2;
    TCycleTable local(std::max(MaxCycles, cells));
    std::int32_t n = 0;
    MatrixToCycles(run, local, n);
    if (n > table.capacity()) {
        n = table.capacity();
        result = RunResult::TableFull;
    }
    for (std::int32_t i = 1; i <= n; ++i)
        table.entry(i) = local[i];
    cycleCount = n;
}

void finishRun(std::int32_t& cycleCount, TCycleTable& table, const TRainflowRun& run, RunStart& start,
               const RunHooks& hooks)
{
    if (hooks.processMessages)
        hooks.processMessages();
    if (start.bins)
        convertMatrix(run, table, cycleCount, start.result);
    SortCycles(cycleCount, table);
}

std::int64_t extractFile(const std::string& from, const std::string& to, std::int64_t n, long double filter)
{
    WorkFileReader in(from);
    WorkFileWriter out(to);
    const std::int64_t count = extractReversalsN(in, n, filter, out);
    out.close();
    return count;
}

std::int64_t countFile(const std::string& from, const std::string& residueTo, std::int64_t reversalCount, int pass,
                       TRainflowRun& run, bool bins, TCycleTable& table, RunResult& result)
{
    WorkFileReader in(from);
    WorkFileWriter out(residueTo);
    const std::int64_t lines = CountCycles(in, reversalCount, pass, run, bins, table, result, out);
    out.close();
    return lines;
}

} // namespace

RunResult RunRainflow(std::int32_t& cycleCount, TCycleTable& table, TRainflowRun& run, const std::string& workDir,
                      const RunHooks& hooks, RunLimits limits)
{
    checkBinCount(run);
    emptyResult(cycleCount, table);
    const std::string sequence = workFilePath(workDir, kSequenceFile);
    const std::string reversals = workFilePath(workDir, kReversalsFile);
    const std::string redRev = workFilePath(workDir, kRedRevFile);

    std::int64_t reversalCount = extractFile(sequence, reversals, run.SeqLength, run.FilterSize);
    RunStart start = decideBins(run, limits);
    ClearFromToMatrix(run.FromToMatrix, run.BinCount);
    const std::int64_t residueLines =
        countFile(reversals, redRev, reversalCount, 1, run, start.bins, table, start.result);
    if (run.Decomposition) {
        reversalCount = extractFile(redRev, reversals, residueLines, run.FilterSize);
        countFile(reversals, redRev, reversalCount, 2, run, start.bins, table, start.result);
    } else {
        WorkFileReader in(redRev);
        CountUpwardResidue(in, residueLines, run, start.bins, table, start.result);
    }
    finishRun(cycleCount, table, run, start, hooks);
    return start.result;
}

RunResult RunRainflow(std::int32_t& cycleCount, TCycleTable& table, TRainflowRun& run, ValueSource& sequence,
                      const RunHooks& hooks, RunLimits limits)
{
    checkBinCount(run);
    emptyResult(cycleCount, table);
    RunStart start = decideBins(run, limits);
    ClearFromToMatrix(run.FromToMatrix, run.BinCount);

    CycleTally tally(run, start.bins, table, start.result);
    FourPointCounter firstPass(tally);
    extractReversalsN(sequence, run.SeqLength, run.FilterSize, firstPass);
    const std::vector<long double>& residue = firstPass.residue();
    if (run.Decomposition) {
        // The residue twice in a row, as the residue work file holds it.
        VectorSource doubled(residue, 2);
        FourPointCounter secondPass(tally);
        extractReversalsN(doubled, 2 * static_cast<std::int64_t>(residue.size()), run.FilterSize, secondPass);
    } else {
        for (std::size_t j = 1; j < residue.size(); ++j)
            tally.residueHalfCycle(residue[j - 1], residue[j]);
    }
    finishRun(cycleCount, table, run, start, hooks);
    return start.result;
}

} // namespace tessivo
