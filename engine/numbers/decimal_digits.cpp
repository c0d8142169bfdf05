#include "engine/numbers/decimal_digits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tessivo {
namespace {

void dropTrailingZeros(DecimalDigits& d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

} // namespace

DecimalDigits exactDecimalDigits(long double value)
{
    DecimalDigits d;
    d.negative = std::signbit(value);
    const long double magnitude = std::fabs(value);
    if (magnitude == 0.0L)
        return d;
    int exponent = 0;
    std::frexp(magnitude, &exponent); // magnitude = f x 2^exponent, 0.5 <= f < 1
    // glibc's printf is exact when asked for every fraction digit the binary
    // value has; the digits are picked out by position, so whatever separator
    // the process locale puts in cannot matter.
    const int fractionDigits = std::max(0, std::numeric_limits<long double>::digits - exponent);
    std::string text(static_cast<std::size_t>(4940 + fractionDigits + 16), '\0');
    const int size = std::snprintf(text.data(), text.size(), "%.*Lf", fractionDigits, magnitude);
    int integerDigits = 0;
    while (integerDigits < size && text[static_cast<std::size_t>(integerDigits)] >= '0'
           && text[static_cast<std::size_t>(integerDigits)] <= '9')
        ++integerDigits;
    std::string all(text.data(), static_cast<std::size_t>(integerDigits));
    all.append(text.data() + size - fractionDigits, static_cast<std::size_t>(fractionDigits));
    const auto first = all.find_first_not_of('0');
    d.digits = all.substr(first);
    d.pointPosition = integerDigits - static_cast<int>(first);
    dropTrailingZeros(d);
    return d;
}

DecimalDigits significantDigits(long double value, int precision)
{
    DecimalDigits out;
    out.negative = std::signbit(value);
    if (value == 0.0L)
        return out;
    char buffer[64];
    // "%.*Le" rounds correctly to the requested digits: d.ddddde+XX
    std::snprintf(buffer, sizeof buffer, "%.*Le", precision - 1, value);
    const char* p = buffer;
    if (*p == '-')
        ++p;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            out.digits.push_back(*p);
    }
    out.pointPosition = std::atoi(p + 1) + 1;
    dropTrailingZeros(out);
    return out;
}

void roundDigits(DecimalDigits& number, int keep)
{
    if (keep >= static_cast<int>(number.digits.size()))
        return;
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    const bool up = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && number.digits[static_cast<std::size_t>(i)] == '9') {
            number.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++number.digits[static_cast<std::size_t>(i)];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.pointPosition;
        }
    }
    dropTrailingZeros(number);
}

} // namespace tessivo
