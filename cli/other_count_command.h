#pragma once
// tessivo-count --count level-crossing|range-pair|time-at-level: the counts
// beside rainflow over the FILEs or the columns of tables, written as the
// engine's outputs write them.

#include "cli_options.h"

#include <ostream>

namespace tessivo::cli {

// Counts as runCount does, with the same exit statuses.
ExitStatus runOtherCount(const CountOptions& options, std::ostream& out, std::ostream& err);

} // namespace tessivo::cli
