#pragma once
// A finite number as a string of significant decimal digits and the position
// of its decimal point: the shared core of the formatting that rounds to a
// number of digits (the report's loads, the desktop's number fields).
// Independent of the process locale.

#include <string>

namespace tessivo {

struct DecimalDigits {
    bool negative = false;
    std::string digits;    // significant digits, no leading zero; empty for zero
    int pointPosition = 0; // value = 0.digits x 10^pointPosition
};

// The exact decimal expansion of a finite value (every binary fraction ends
// in a finite decimal one), trailing zeros removed.
DecimalDigits exactDecimalDigits(long double value);

// The value correctly rounded (halves to even, on the exact binary value) to
// `precision` significant digits, 1..18; trailing zeros removed.
DecimalDigits significantDigits(long double value, int precision);

// Keeps the first `keep` digits, rounding halves away from zero on the digits
// held; a carry may add a new leading digit (and moves the point). keep < 0
// gives zero; a keep at or beyond the digits changes nothing. Trailing zeros
// are removed.
void roundDigits(DecimalDigits& number, int keep);

} // namespace tessivo
