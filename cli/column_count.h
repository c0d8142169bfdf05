#pragma once
// tessivo-count on columns of tables: each chosen column of the FILEs is a
// sequence of its own (the same column of each FILE joined in order, with
// their repetitions and scales), counted with the same parameters and the
// same run control as a plain sequence file.

#include "cli_options.h"

#include <ostream>

namespace tessivo::cli {

// Reads the tables, counts each column (two at a time, or one after another
// when the work files are kept) and writes each column's output in the order
// chosen: the report under a heading with the column's name and unit, CSV
// rows with a first field "channel", JSON as {"channels": [...]}. A table
// that cannot be read, a column that holds no number or a failed check
// rejects the input before anything is counted. Returns as runCount.
ExitStatus runColumnCount(const CountOptions& options, std::ostream& out, std::ostream& err);

} // namespace tessivo::cli
