#pragma once
// The values of a sequence file in memory, for callers that hold a sequence
// as an array (the Python module) rather than stream it.

#include <string>
#include <vector>

namespace tessivo {

struct SequenceValues {
    std::vector<long double> values; // as the reader parses them, before any rounding
    bool proper = false;             // at least one value, every token a number
};

// Reads every value of a sequence file, as tessivo-count reads it (up to a
// Ctrl-Z). Throws IoError when the file cannot be opened or read.
SequenceValues readSequenceValues(const std::string& path);

} // namespace tessivo
