#pragma once
// The run of a rainflow count: reversal extraction, four-point counting,
// residue handling (decomposition or upward half cycles), optional load
// classes, and the sorted cycle table.
//
// Preconditions of both forms (the run control checks them): run.FilterSize is
// 0 or more and below HighestPeak - LowestTrough; HighestPeak and LowestTrough
// are those of the combined sequence; BinCount is 1..MatrixSize (the window
// offers 32, 64 and 100). A BinCount outside that range throws
// std::invalid_argument before anything is touched.
//
// What a run leaves: table entries 1..cycleCount (returned), sorted by
// descending Range, then descending Upper; run.FromToMatrix cells
// [1..BinCount][1..BinCount] cleared and, when load bins were in effect,
// filled. No parameter field of `run` changes, UseLoadBins included.
// It returns a CountOutcome whose result is Normal, TableFull (a fixed table
// overflowed; the count went on) or MatrixApplied (SeqLength >=
// MatrixThreshold with load bins off, so the run used load classes all the
// same). The table stays the caller's, so that the desktop keeps its one
// fixed table and a growable table can be handed in.

#include "engine/counting/cycle_table.h"
#include "engine/record/run_record.h"
#include "engine/files/value_stream.h"
#include "engine/record/run_messages.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace tessivo {

// What a count hands back besides the table it filled.
struct CountOutcome {
    RunResult result = RunResult::Normal; // MatrixApplied: 40000 values or more went to load bins
    std::int32_t cycleCount = 0;          // entries 1..cycleCount of the table, in report order
};

// Thrown out of a run whose progress callback asked it to stop. The table
// is then incomplete and must not be reported.
class RunCancelled : public std::runtime_error {
public:
    RunCancelled() : std::runtime_error(kCountCancelledMessage) {}
};

struct RunHooks {
    std::function<void()> processMessages; // called once after the counting; may be empty
    // Called every few ten thousand values of the combined sequence with the
    // number taken so far and run.SeqLength; returning false cancels the run
    // (RunCancelled). May be empty.
    std::function<bool(std::int64_t done, std::int64_t total)> progress;
};

struct RunLimits {
    bool unlimited = false; // exact loads at any length: no switch to the matrix at 40000 values, and the cycle table
                            // grows (the caller passes a growable TCycleTable)
};

// Work-file form: the combined sequence comes from `sequence` (run.SeqLength
// values, rounded as "$Sequence.tmp" gives them back) and is written to
// "$Sequence.tmp" in workDir while the reversals are extracted from it, and
// the reversals are written to "$Reversals.tmp" while they are counted, in
// one pass; the residue handling then goes through "$RedRev.tmp" and leaves
// there the residue of the first pass twice in a row, or an empty file after
// a decomposition. Throws IoError on any input or output failure; every file
// the run opened is then closed.
CountOutcome RunRainflow(TCycleTable& table, TRainflowRun& run, const std::string& workDir, ValueSource& sequence,
                         const RunHooks& hooks = {}, RunLimits limits = {});

// In-memory form: `sequence` gives run.SeqLength values already rounded to 15
// significant digits. The stages pass values directly, rounded exactly as a
// trip through a work file rounds them, so the result equals that of the
// work-file form. Memory holds the residue only, never the sequence.
CountOutcome RunRainflow(TCycleTable& table, TRainflowRun& run, ValueSource& sequence, const RunHooks& hooks = {},
                         RunLimits limits = {});

} // namespace tessivo
