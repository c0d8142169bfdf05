#pragma once
// tessivo-count with --lifetime or --summary: every recording or channel
// counted through the engine's front door, the rows and the lifetime written
// by the engine's summary outputs.

#include "cli_options.h"

#include <ostream>

namespace tessivo::cli {

// Whether the options ask for a lifetime or a summary (runSummary writes them).
bool wantsSummary(const CountOptions& options);

// Counts and writes as runCount does; refusals name the file (and the line
// of the weights table).
ExitStatus runSummary(const CountOptions& options, std::ostream& out, std::ostream& err);

} // namespace tessivo::cli
