#pragma once
// Counting in pieces from the command line: the partial count of the input
// saved to a file, partial counts merged into the result of the whole
// sequence, and a large input counted as two pieces on two cores.

#include "cli_options.h"

#include "engine/record/run_record.h"

#include <ostream>

namespace tessivo::cli {

// --save-partial: counts the combined sequence of the loaded slots of `run`
// as piece options.piece and writes its partial count to the file (replaced
// whole, or not at all). A piece need not spread beyond the filter. Returns
// Counted or InputRejected (negative filter); throws IoError.
ExitStatus savePartialCount(TRainflowRun& run, const CountOptions& options, std::ostream& err);

// merge: reads the partial counts in order, merges them and writes the
// result as a count of the joined sequence would be written. Returns
// InputRejected for a file that is not a proper partial count, counts that
// do not follow each other or do not match, and a normalisation without a
// positive peak; IoFailure when standard output fails. Throws IoError.
ExitStatus mergePartialCounts(const CountOptions& options, std::ostream& out, std::ostream& err);

// Counts the combined sequence as two pieces at once when it is one large
// file, read once, and writes the result as runCount does. Returns false,
// having done nothing, for any other input. The parameters must have passed
// their checks.
bool countInTwoPieces(TRainflowRun& run, const CountOptions& options, std::ostream& out, std::ostream& err,
                      ExitStatus& status);

// With --unlimited no load needs the extremes before it is counted: a large
// file, read once at scale 1, is counted as two pieces without the scan that
// loads the slots. Fills slot 1 and the totals from the count, then makes the
// checks of the parameters and reports an incorrect file as the scan would.
// Returns false, having done nothing, for any other input.
bool countUnscannedInTwoPieces(TRainflowRun& run, const CountOptions& options, std::ostream& out, std::ostream& err,
                               ExitStatus& status);

} // namespace tessivo::cli
