#pragma once
// tessivo-count --show-layout: what the table reader makes of each FILE.

#include "cli_options.h"

#include <ostream>

namespace tessivo::cli {

// Prints the detected layout of each FILE (with --delimiter and the decimal
// options applied) and counts nothing. A FILE that is no table is told on
// err with its place; the status is then InputRejected.
ExitStatus showTableLayouts(const CountOptions& options, std::ostream& out, std::ostream& err);

} // namespace tessivo::cli
