#pragma once
// A finite nonzero number as a string of significant decimal digits and the
// position of the decimal point; the shared core of the formatting routines.

#include <string>

namespace morvane {

struct DecimalDigits {
    bool negative = false;
    std::string digits; // significant digits, no leading zero; empty for zero
    int pointPos = 0;   // value = 0.digits * 10^pointPos
};

// The value rounded to `precision` (1..18) significant digits, trailing zeros removed.
DecimalDigits toDecimalDigits(long double value, int precision);

// Rounds to `keep` digits, halves away from zero; may carry into a new leading
// digit. keep < 0 gives zero, a keep beyond the digits changes nothing.
void roundDigits(DecimalDigits& number, int keep);

} // namespace morvane
