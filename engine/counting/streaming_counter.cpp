#include "engine/counting/streaming_counter.h"

#include "engine/record/input_too_large.h"
#include "engine/record/run_messages.h"
#include "engine/counting/partial_count_state.h"

#include "load_classes.h"
#include "engine/numbers/load_format.h"
#include "engine/files/memory_values.h"
#include "rainflow_pipeline.h"
#include "engine/counting/run_ending.h"

#include <algorithm>
#include <limits>

namespace tessivo {
namespace {

void describeRun(TRainflowRun& run, const PartialCount::State& s)
{
    if (s.length > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(kSequenceTooLongMessage);
    const CountParameters& p = s.params;
    run.FilterSize = p.filter;
    run.UseLoadBins = p.useLoadBins;
    setResidueMethod(run, p.residue);
    run.BinCount = p.binCount;
    run.BinEdges = p.binEdges;
    run.SeqLength = static_cast<std::int32_t>(s.length);
    run.HighestPeak = s.length > 0 ? s.highest : 0.0L;
    run.LowestTrough = s.length > 0 ? s.lowest : 0.0L;
    ClearFromToMatrix(run.FromToMatrix, p.binCount);
}

} // namespace

StreamingCounter::StreamingCounter(const CountParameters& parameters) : m_count(parameters, 1) {}

StreamingCounter::StreamingCounter(PartialCount&& count) : m_count(std::move(count))
{
    if (m_count.firstPiece() == PartialCount::kUnnumbered) {
        // The first piece given starts the sequence: its head is counted from the start.
        PartialCount start(m_count.parameters(), 1);
        start.append(std::move(m_count));
        m_count = std::move(start);
    }
    if (m_count.firstPiece() != 1)
        throw PartialCountError(firstPieceMissingMessage(m_count.firstPiece()));
}

StreamingCounter::~StreamingCounter() = default;
StreamingCounter::StreamingCounter(StreamingCounter&&) noexcept = default;
StreamingCounter& StreamingCounter::operator=(StreamingCounter&&) noexcept = default;

StreamingCounter StreamingCounter::snapshot() const
{
    return StreamingCounter(m_count.clone());
}

TCycleTable& StreamingCounter::table()
{
    return m_outputHolds ? *m_output : m_count.m->table;
}
const TCycleTable& StreamingCounter::table() const
{
    return m_outputHolds ? *m_output : m_count.m->table;
}

CountOutcome StreamingCounter::finish(TRainflowRun& run)
{
    PartialCount::State& s = *m_count.m;
    const CountParameters& p = s.params;
    describeRun(run, s);
    CountOutcome outcome;
    const bool bins = inLoadBins(loadBinsRule(p.useLoadBins, p.unlimited, s.length));

    if (bins || !p.unlimited) {
        m_output = std::make_unique<TCycleTable>(MaxCycles);
        m_outputHolds = true;
    }
    if (!bins && !p.unlimited) {
        // The fixed table keeps the order in which cycles came once it is
        // full: count the loads again in one go, as the engine does.
        if (!s.keepRaw || static_cast<std::int64_t>(s.raw.size()) != s.length)
            throw PartialCountError("The partial counts lack the loads that a count of fewer than 40000 values needs");
        VectorSource loads(s.raw);
        return RunRainflow(*m_output, run, loads);
    }

    outcome.result = bins && !p.useLoadBins ? RunResult::MatrixApplied : s.result;
    s.extractor.finish(); // the pending extreme: the last reversal
    const std::vector<long double> residue = s.counter.residue();
    if (!bins) {
        CycleTally tally(run, false, s.table, outcome.result);
        countResidue(tally, residue, p.residue == ResidueMethod::Decomposition, p.filter);
        outcome.cycleCount = s.table.SortCycles();
        return outcome;
    }

    if (p.store == CycleStore::Bins) {
        if (s.length > 0 && p.binEdges.empty() && (p.binLowest != run.LowestTrough || p.binHighest != run.HighestPeak))
            throw PartialCountError("The load classes were laid from " + formatLoad(p.binLowest) + " to "
                                    + formatLoad(p.binHighest) + ", but the sequence spans "
                                    + formatLoad(run.LowestTrough) + " to " + formatLoad(run.HighestPeak));
        for (std::int32_t r = 1; r <= p.binCount; ++r)
            for (std::int32_t c = 1; c <= p.binCount; ++c)
                run.FromToMatrix[r][c] = s.run->FromToMatrix[r][c];
    }
    CycleTally tally(run, true, *m_output, outcome.result);
    if (p.store == CycleStore::Exact) {
        forEachCycle(s.table, true, [&tally](const TCycle& c) {
            for (std::int32_t k = 0; k < c.Count; ++k)
                tally.fullCycle(c.Upper, c.Lower);
        });
    }
    countResidue(tally, residue, p.residue == ResidueMethod::Decomposition, p.filter);
    outcome.cycleCount = matrixToTable(run, *m_output, outcome.result);
    outcome.cycleCount = m_output->SortCycles();
    return outcome;
}

} // namespace tessivo
