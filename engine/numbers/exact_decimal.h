#pragma once
// The slow, exact end of decimal parsing: any number of digits and any
// exponent, with big integers, so that no C library (and no locale) is
// involved and both platforms round alike.

#include <cstdint>
#include <string_view>

namespace tessivo {

// 0.DIGITS x 10^exponent (digits '0'-'9', the first not '0') correctly
// rounded to long double, halves to even, subnormals included. False when
// the result is beyond the largest finite long double. Allocates.
bool exactDecimalToExtended(std::string_view digits, std::int64_t exponent, long double& value);

} // namespace tessivo
