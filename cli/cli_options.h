#pragma once
// The command line of tessivo-count: what it accepts and its usage text.

#include "fatigue_options.h"
#include "column_options.h"
#include "engine/counting/residue_method.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

enum class ExitStatus : int {
    Counted = 0,     // also after the notice that the from-to matrix was applied
    UsageError = 1,
    InputRejected = 2, // incorrect sequence file, failed parameter check
    IoFailure = 3,
};

enum class OutputFormat { Report, Csv, Json, Cycles };

// One sequence file with the repetitions and scale given before it.
struct SequenceArg {
    std::string file;
    std::int32_t repetitions = 1;
    long double scale = 1.0L;
};

struct CountOptions {
    long double filter = 0.0L;
    bool normalize = false;
    bool loadBins = false;
    std::int32_t binCount = 32;
    std::vector<long double> binEdges; // --bin-edges: the classes' edges instead of binCount equal classes
    ResidueMethod residue = ResidueMethod::Decomposition;
    bool unlimited = false;
    OutputFormat format = OutputFormat::Report;
    std::optional<std::string> workDir;
    std::vector<SequenceArg> sequences; // 1 to 100
    FatigueOptions fatigue;
    ColumnOptions columns;              // the FILEs are tables when active()
    // Counting in pieces (partial_commands.h).
    std::optional<std::string> savePartial; // write the partial count here instead of a result
    std::uint64_t piece = 0;                // the position of this input among the pieces; 0: none given
    std::optional<long double> binLowest;   // the whole sequence's extremes, for classes from the start
    std::optional<long double> binHighest;
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
