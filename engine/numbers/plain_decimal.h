#pragma once
// Fast paths for the decimal tokens that sequence files hold almost always.
// Both are exact (one correctly rounded operation on an exactly held
// mantissa) and say when they cannot decide, so that the caller falls back
// to DecimalParser. Locale-free; do not throw; do not allocate.

#include <cstdint>

namespace tessivo {

// A value's 15 significant digits as the work notation writes them, when the
// text had 15 significant digits or fewer (and the value is normal): the
// value is then its own work-file value.
struct WorkDigits {
    bool exact = false;
    bool negative = false;
    std::uint64_t digits15 = 0; // 0 or in [1e14, 1e15)
    int exponent10 = 0;
};

// A plain decimal such as "-1234.567": an optional sign, 1 to 19 digits in
// all (leading zeros count) with an optional "." among them, no exponent.
// Reads from p, never at or past stop. Returns the end of the token, or
// nullptr when the text there is not such a decimal; the caller checks what
// follows. digits is set on success (to the empty WorkDigits beyond 15
// digits).
const char* parsePlainDecimal(const char* p, const char* stop, long double& value, WorkDigits& digits);

// The whole token [p, end): a sign, at most 19 significant digits around an
// optional point, an optional exponent of at most 5 digits, and a power of
// ten that long double holds exactly. False for anything else. On success
// digits is set when the token had 15 significant digits or fewer (or is
// zero) and left as passed otherwise.
bool parseSimpleDecimal(const char* p, const char* end, long double& value, WorkDigits& digits);

} // namespace tessivo
