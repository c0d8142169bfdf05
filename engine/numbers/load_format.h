#pragma once
// The text of loads and whole numbers in the report.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessivo {

// A load as the report shows it. The value is rounded once, halves away from
// zero and decided on its exact binary value, at whichever place is coarser:
// the 8th significant digit or the third decimal. The result is written with
// exactly three decimals ("123456.790", "-2.500"); a negative load that
// rounds to zero keeps its "-" ("-0.000"), minus zero gives "0.000". When the
// rounded value's integer part needs more than 8 digits, general notation is
// used instead: the first digit, then the separator and the further
// significant digits if there are any (trailing zeros dropped), "E" and the
// exponent with at least three digits ("1.2345679E008", "1E010").
// Infinities give "INF" or "-INF", NaN gives "NAN".
// Independent of the process locale; decimalSeparator is put in as given.
std::string formatLoad(long double value, std::string_view decimalSeparator = ".");

// A whole number without grouping: "12", "-3".
std::string formatWholeNumber(std::int64_t value);

// A count given in half cycles (0 or more): whole counts as formatWholeNumber
// writes them, an odd number of halves with the separator and 5: "2.5".
std::string formatHalfCount(std::int64_t halves, std::string_view decimalSeparator = ".");
// The same into `out` (at least 24 chars), "." as separator; returns the end.
char* writeHalfCount(std::int64_t halves, char* out);

} // namespace tessivo
