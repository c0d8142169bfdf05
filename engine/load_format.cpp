#include "load_format.h"

#include <algorithm>
#include <limits>
#include <cmath>
#include <cstdio>

namespace tessivo {
namespace {

constexpr int kSignificantDigits = 8;
constexpr int kDecimals = 3;

// The magnitude as decimal digits: value = 0.digits x 10^pointPosition, so
// the digit at index i stands for the place 10^(pointPosition - 1 - i).
struct DecimalDigits {
    std::string digits;
    int pointPosition = 0;
};

// The exact decimal expansion of a finite magnitude of at least 1e-4. glibc's
// printf is exact when asked for every fraction digit the binary value has,
// and the point is located by counting, so the process locale cannot matter.
DecimalDigits exactDigits(long double magnitude)
{
    int exponent = 0;
    std::frexp(magnitude, &exponent); // magnitude = f x 2^exponent, 0.5 <= f < 1
    const int fractionDigits = std::max(0, std::numeric_limits<long double>::digits - exponent);
    // Up to 4933 integer digits at the top of the range, at most 78 fraction
    // digits from 1e-4 on, and a separator of a few bytes.
    char text[5120];
    const int size = std::snprintf(text, sizeof text, "%.*Lf", fractionDigits, magnitude);

    DecimalDigits d;
    int i = 0;
    while (i < size && text[i] >= '0' && text[i] <= '9')
        ++i;
    d.digits.reserve(static_cast<std::size_t>(i + fractionDigits));
    d.digits.assign(text, static_cast<std::size_t>(i));
    d.pointPosition = i;
    // Whatever the separator is, the last fractionDigits characters are digits.
    d.digits.append(text + size - fractionDigits, static_cast<std::size_t>(fractionDigits));
    return d;
}

// The digits of the rounded magnitude, as an integer times 10^place.
struct Rounded {
    std::string digits; // no leading zeros; empty for zero
    int place = 0;
};

Rounded roundOnce(const DecimalDigits& d)
{
    const auto first = d.digits.find_first_not_of('0');
    const int leadingPlace = d.pointPosition - 1 - static_cast<int>(first);
    Rounded r;
    r.place = std::max(leadingPlace - (kSignificantDigits - 1), -kDecimals);
    const int keep = d.pointPosition - r.place; // digits from index 0 to the rounding place
    std::string kept = d.digits.substr(0, static_cast<std::size_t>(std::max(0, keep)));
    const bool up = keep >= 0 && static_cast<std::size_t>(keep) < d.digits.size() &&
                    d.digits[static_cast<std::size_t>(keep)] >= '5';
    if (up) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i - 1];
    }
    const auto nonZero = kept.find_first_not_of('0');
    r.digits = nonZero == std::string::npos ? std::string() : kept.substr(nonZero);
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
        r = roundOnce(exactDigits(magnitude));
    const int integerDigits = static_cast<int>(r.digits.size()) + r.place;
    if (!r.digits.empty() && integerDigits > kSignificantDigits)
        return sign + generalNotation(r, decimalSeparator);
    return sign + fixedNotation(r, decimalSeparator);
}

std::string formatWholeNumber(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace tessivo
