#pragma once
// Where a sequence file stops being a sequence: the line and the text of its
// first token that is not a number, or that it holds no number at all. The
// reader only says "not a proper sequence"; this tells the user what to
// mend. It reads the file again by the reader's rules (tokens end at a
// character of code 32 or less, a Ctrl-Z ends the file), so call it only
// after a file has been rejected.

#include <cstdint>
#include <string>

namespace tessivo {

struct SequenceFault {
    // 1-based line of the offending token; 0 when every token is a number
    // (the file holds none, or it changed since it was rejected).
    std::int64_t line = 0;
    // The token, cut to its first kMaxFaultToken bytes.
    std::string token;
    bool truncated = false; // the token was longer than kMaxFaultToken
};

inline constexpr std::size_t kMaxFaultToken = 40;

// Throws IoError when the file cannot be opened or read.
SequenceFault findSequenceFault(const std::string& fileName);

} // namespace tessivo
