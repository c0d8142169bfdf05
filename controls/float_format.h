#pragma once
// Float-format patterns of the kind edit fields are given for their own
// output: "0" digit placeholder, "#" optional digit, "." the decimal
// separator, "," thousands grouping, "E+", "E-", "e+", "e-" followed by "0"s
// for exponent notation, text in '...' or "..." and any other character kept
// as it stands, and up to three sections "positive;negative;zero".
// Literal text is kept before or after the number, never between its digits.

#include <QChar>
#include <QString>

namespace morvane {

struct FloatSymbols {
    QChar decimalSeparator = u'.';
    QChar groupSeparator = u',';
};

// An empty pattern (or empty chosen section) gives general notation with up
// to 15 significant digits, so 0 gives "0". A negative value in a pattern
// without its own negative section gets a leading "-". Does not throw.
QString formatFloat(const QString& pattern, long double value, const FloatSymbols& symbols);

} // namespace morvane
