#include "engine/numbers/load_format.h"

#include "engine/numbers/decimal_digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessivo {
namespace {

constexpr int kSignificantDigits = 8;
constexpr int kDecimals = 3;

// The digits of the rounded magnitude, as an integer times 10^place.
struct Rounded {
    std::string digits; // no leading zeros; empty for zero
    int place = 0;
};

// Rounds once, on the exact decimal expansion, at the coarser of the 8th
// significant digit and the third decimal.
Rounded roundOnce(long double magnitude)
{
    DecimalDigits d = exactDecimalDigits(magnitude);
    const int leadingPlace = d.pointPosition - 1;
    Rounded r;
    r.place = std::max(leadingPlace - (kSignificantDigits - 1), -kDecimals);
    roundDigits(d, d.pointPosition - r.place);
    if (!d.digits.empty()) {
        r.digits = d.digits;
        r.digits.append(static_cast<std::size_t>(d.pointPosition - r.place) - d.digits.size(), '0');
    }
    return r;
}

std::string generalNotation(const Rounded& r, std::string_view separator)
{
    const int exponent = static_cast<int>(r.digits.size()) - 1 + r.place;
    std::string mantissa = r.digits.substr(0, r.digits.find_last_not_of('0') + 1);
    std::string text(1, mantissa[0]);
    if (mantissa.size() > 1) {
        text += separator;
        text += mantissa.substr(1);
    }
    std::string e = std::to_string(exponent);
    if (e.size() < 3)
        e.insert(0, 3 - e.size(), '0');
    return text + "E" + e;
}

std::string fixedNotation(const Rounded& r, std::string_view separator)
{
    std::string digits = r.digits;
    if (r.place >= 0)
        digits.append(static_cast<std::size_t>(r.place + kDecimals), '0');
    else
        digits.append(static_cast<std::size_t>(kDecimals + r.place), '0');
    // Now digits holds the value in thousandths.
    if (digits.size() < kDecimals + 1)
        digits.insert(0, kDecimals + 1 - digits.size(), '0');
    const std::size_t point = digits.size() - kDecimals;
    std::string text = digits.substr(0, point);
    text += separator;
    text += digits.substr(point);
    return text;
}

} // namespace

std::string formatLoad(long double value, std::string_view decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const std::string sign = value < 0 ? "-" : "";
    const long double magnitude = std::fabs(value);
    // Below 1e-4 every digit down to the rounding digit is 0: the load is 0.000.
    Rounded r;
    if (magnitude >= 1e-4L)
        r = roundOnce(magnitude);
    const int integerDigits = static_cast<int>(r.digits.size()) + r.place;
    if (!r.digits.empty() && integerDigits > kSignificantDigits)
        return sign + generalNotation(r, decimalSeparator);
    return sign + fixedNotation(r, decimalSeparator);
}

std::string formatWholeNumber(std::int64_t value)
{
    return std::to_string(value);
}

std::string formatHalfCount(std::int64_t halves, std::string_view decimalSeparator)
{
    std::string text = std::to_string(halves / 2);
    if (halves % 2 != 0) {
        text += decimalSeparator;
        text += '5';
    }
    return text;
}

char* writeHalfCount(std::int64_t halves, char* out)
{
    char* end = std::to_chars(out, out + 21, halves / 2).ptr;
    if (halves % 2 != 0) {
        *end++ = '.';
        *end++ = '5';
    }
    return end;
}

} // namespace tessivo
