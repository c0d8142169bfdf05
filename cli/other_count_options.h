#pragma once
// The options of tessivo-count for the counts beside rainflow: --count with
// its levels, reference level, hysteresis and sample interval.

#include "engine/run/other_count.h"

#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

struct OtherCountOptions {
    OtherCountRequest request{.method = CountMethod::Rainflow}; // rainflow unless --count chooses another
    std::vector<std::string> given;                             // the options of this file given, in order
    bool active() const { return request.method != CountMethod::Rainflow; }
};

// Whether name ("--count", "--levels", ...) is one of these options (each takes a value).
bool isOtherCountOption(const std::string& name);

// Applies the option; a usage problem for a value it cannot take.
std::optional<std::string> applyOtherCountOption(const std::string& name, const std::string& value,
                                                 OtherCountOptions& options);

// After all options: a usage problem when these options do not fit the
// count chosen, or the count chosen does not fit an option of rainflow
// (`given`: every option given; `cycles`: --format cycles).
std::optional<std::string> otherCountProblem(const OtherCountOptions& options, const std::vector<std::string>& given,
                                             bool cycles);

// The lines of the usage text that describe them.
std::string otherCountUsageText();

} // namespace tessivo::cli
