#pragma once
// The notation of the work files: one value per line, 23 characters of
// scientific notation with 15 significant digits, then CR LF. Example:
// " 1.23456000000000E+0002". The sign column holds "-" whenever the sign bit is
// set (minus zero too). Independent of the process locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessivo {

constexpr int kWorkValueWidth = 23;
constexpr int kWorkLineWidth = 25; // with CR LF

// Writes exactly kWorkValueWidth characters to out. The value is rounded to 15
// significant digits, correctly (halves to even, on the exact binary value).
// v must be finite. Does not throw, does not allocate.
void formatWorkValue(long double v, char* out);
std::string formatWorkValue(long double v);

// Writes the line of a value given by its 15 significant digits (an integer
// in [1e14, 1e15), or 0 for zero) and the decimal exponent of the first one.
void formatWorkDigits(bool negative, std::uint64_t digits15, int exponent10, char* out);

// Reads a value written in the notation, or any decimal number of the sequence
// file syntax with blanks around it. Correctly rounded. Returns false for text
// that is not such a number (including one too large for long double).
bool parseWorkValue(std::string_view text, long double& v);

// The shortest decimal text that reads back to v, exactly as
// std::to_chars(first, last, v) writes it (fixed or scientific, whichever is
// shorter). Fast for values of 15 significant digits. out needs 64 chars;
// returns the length.
std::size_t formatShortest(long double v, char* out);

// Reads a line exactly as formatWorkValue writes it (kWorkValueWidth
// characters, first digit not 0 unless the value is zero) for exponents
// whose conversion is exact in one step; false otherwise, and the caller
// takes parseWorkValue. Such a line is the value's own line: writing the
// value again gives the same characters.
bool parseCanonicalLine(const char* line, long double& v);

// The value a trip through a work file gives: parse(format(v)).
long double roundToWorkPrecision(long double v);

} // namespace tessivo
