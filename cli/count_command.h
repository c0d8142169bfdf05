#pragma once
// What tessivo-count does once its command line is understood: count the
// FILEs through the engine's front door and write the result through its
// output dispatch.

#include "cli_options.h"

#include <functional>
#include <ostream>

namespace tessivo::cli {

// Counts the sequences (or the columns of tables, or the input of a partial
// count) and writes the chosen format to out; the system's messages go to
// err. Returns Counted, InputRejected (incorrect sequence file, failed check,
// a cycle fatigue refuses) or IoFailure (out could not be written, or another
// running copy holds the work folder). Throws IoError and InputTooLarge,
// which main turns into a message and an exit status.
ExitStatus runCount(const CountOptions& options, std::ostream& out, std::ostream& err);

// Runs `work` (which counts and writes) and turns the refusals of the
// engine into a message on err and InputRejected; then checks that out was
// written.
ExitStatus reportingRefusals(std::ostream& out, std::ostream& err, const std::function<void()>& work);

} // namespace tessivo::cli
