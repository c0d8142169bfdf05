#pragma once
// Counting in pieces from the command line: the partial count of the input
// saved to a file (count_command.h, --save-partial), partial counts merged
// into the result of the whole sequence.

#include "cli_options.h"

#include <ostream>

namespace tessivo::cli {

// merge: reads the partial counts in order, merges them and writes the
// result as a count of the joined sequence would be written, with the same
// checks. Returns InputRejected for a file that is not a proper partial
// count, counts that do not follow each other or do not match, and a failed
// check; IoFailure when standard output fails. Throws IoError.
ExitStatus mergePartialCounts(const CountOptions& options, std::ostream& out, std::ostream& err);

} // namespace tessivo::cli
