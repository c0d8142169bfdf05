#pragma once
// The count of a load sequence fed in blocks of any size, whose result can be
// asked for at any point without ending it. It runs the engine's stages
// (reversal extraction, four-point rule, cycle table or from-to matrix) on
// each load as it comes, and the residue handling once at the end, so its
// result equals that of RunRainflow over the same loads with the same
// parameters, in every output. It also finishes a count merged from partial
// counts (partial_count.h), which is how a sequence cut into pieces, counted
// on several cores or machines, gets the result of one count.

#include "engine/counting/partial_count.h"
#include "engine/counting/rainflow_pipeline.h"

#include "cycle_table.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <memory>

namespace tessivo {

class StreamingCounter {
public:
    // A count from the start of a sequence. Throws as PartialCount does.
    explicit StreamingCounter(const CountParameters& parameters);
    // Goes on with a count merged from the pieces of a sequence. Throws
    // PartialCountError when it starts at a numbered piece other than 1; an
    // unnumbered first piece starts the sequence.
    explicit StreamingCounter(PartialCount&& count);
    ~StreamingCounter();
    StreamingCounter(StreamingCounter&&) noexcept;
    StreamingCounter& operator=(StreamingCounter&&) noexcept;

    void feed(const long double* values, std::size_t n) { m_count.feed(values, n); }
    // Appends the count of the pieces that follow (see PartialCount::append).
    void append(PartialCount&& next) { m_count.append(std::move(next)); }
    PartialCount& partial() { return m_count; }

    // A copy to finish while this one goes on (see PartialCount::clone for
    // when it cannot be made).
    StreamingCounter snapshot() const;

    // Ends the count: writes the pending reversal, handles the residue, turns
    // the matrix into entries when load bins are in effect, sorts. `run`
    // receives the parameters, SeqLength, HighestPeak, LowestTrough and the
    // matrix as RunRainflow leaves them; table() then holds the entries.
    // Load bins are in effect with useLoadBins, or from 40000 values on
    // without unlimited (MatrixApplied). Throws PartialCountError when the
    // classes of a CycleStore::Bins count were laid over other extremes than
    // those of the sequence, InputTooLarge beyond 2147483647 values.
    // Call it once.
    CountOutcome finish(TRainflowRun& run);
    TCycleTable& table();
    const TCycleTable& table() const;

private:
    PartialCount m_count;
    std::unique_ptr<TCycleTable> m_output; // the fixed table, or the classes' entries
    bool m_outputHolds = false;
};

} // namespace tessivo
