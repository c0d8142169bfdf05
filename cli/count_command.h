#pragma once
// What tessivo-count does once its command line is understood.

#include "cli_options.h"

#include <ostream>

namespace tessivo::cli {

// Loads the sequences, checks the parameters, counts and writes the chosen
// format to out; the system's messages go to err. Returns Counted,
// InputRejected (incorrect sequence file, failed check) or IoFailure (out
// could not be written, or another running copy holds the work folder). Throws IoError and InputTooLarge,
// which main turns into a message and an exit status.
ExitStatus runCount(const CountOptions& options, std::ostream& out, std::ostream& err);

} // namespace tessivo::cli
