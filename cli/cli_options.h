#pragma once
// The command line of tessivo-count: what it accepts and its usage text. The
// options fill the engine's requests themselves: the count request (what is
// counted and how) and the output request (what is written from the result).

#include "column_options.h"
#include "fatigue_options.h"
#include "lifetime_options.h"
#include "other_count_options.h"

#include "engine/run/count.h"
#include "engine/run/outputs/output_request.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

enum class ExitStatus : int {
    Counted = 0, // also after the notice that the from-to matrix was applied
    UsageError = 1,
    InputRejected = 2, // incorrect sequence file, failed parameter check
    IoFailure = 3,
};

using tessivo::OutputFormat;

struct CountOptions {
    CountRequest request;                     // filter, residue, load bins, normalise, unlimited, work folder
    OutputRequest output;                     // format and the fatigue part
    FatigueOptions fatigue;                   // how the fatigue options were given
    std::vector<SequenceFileInput> sequences; // 1 to 100
    ColumnChoice columns;                     // the FILEs are tables when active()
    LifetimeOptions lifetime;                 // a design life over recordings, the summary
    OtherCountOptions other;                  // a count beside rainflow when active()
    // Counting in pieces.
    std::optional<std::string> savePartial; // write the partial count here instead of a result
    std::uint64_t piece = 0;                // the position of this input among the pieces; 0: none given
    std::vector<std::string> partFiles;     // merge: the partial counts in order
};

struct ParsedCommandLine {
    enum class Action { Count, Merge, Help, Version, Error } action = Action::Count;
    CountOptions options;
    std::string error; // for Action::Error: what was wrong, one line
};

// Parses the arguments after the program name. Options take their value as
// the next argument or after "=" ("--filter 0.5", "--filter=0.5"); "--" ends
// the options. Numbers use "." as decimal point. Never throws for bad input.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The usage text of --help, ending with a line feed.
std::string usageText();

inline constexpr int kMaxSequenceArgs = 100;

} // namespace tessivo::cli
