#pragma once
// Conversions between text and floating-point numbers that follow the user's
// decimal separator, as the edit fields and the stored filter size need them.
// None of these throws; none depends on the process locale.

#include <QChar>
#include <QString>
#include <optional>

namespace morvane {

// Parses an optional sign, digits, an optional separator and fraction and an
// optional exponent ("E"/"e", optional sign, digits), with leading and
// trailing blanks allowed. At least one mantissa digit is required. Returns
// nothing for any other text, "." included when the separator is ",", and
// for a number beyond the range of long double ("1e5000"). Correctly rounded
// to long double whatever the process locale; underflow gives 0 or a
// subnormal value.
std::optional<long double> parseFloat(const QString& text, QChar decimalSeparator);

// Fixed-point text: the value rounded to `precision` significant digits and
// then to `decimals` digits after the separator (halves away from zero),
// written with exactly `decimals` decimals and no grouping. A value whose
// integer part needs more than `precision` digits is written in scientific
// notation instead ("1.2345679E8"), which parseFloat reads back.
QString formatFixed(long double value, int precision, int decimals, QChar decimalSeparator);

// Fixed-point text with as many decimals as the value rounded to `precision`
// significant digits needs, and at least `minDecimals`: 12.5 gives "12.50",
// 0.0004 "0.0004", 1.23456789 "1.2345679". A value below 1E-8 or whose
// integer part needs more than `precision` digits is written in scientific
// notation, which parseFloat reads back. Text and number agree to `precision`
// digits, so no value is lost by showing it and reading the text again.
QString formatFixedAtLeast(long double value, int precision, int minDecimals, QChar decimalSeparator);

// General notation with up to `precision` significant digits, trailing zeros
// dropped: fixed-point when the decimal exponent lies in [-5, precision),
// otherwise "d.dddE<exp>" with the exponent unsigned unless negative.
QString formatGeneral(long double value, int precision, QChar decimalSeparator);

// "NAN", "INF" or "-INF" for a value that is not finite, else nothing.
std::optional<QString> nonFiniteText(long double value);

} // namespace morvane
