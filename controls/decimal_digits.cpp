#include "decimal_digits.h"

#include <cstdio>
#include <cstdlib>

namespace morvane {

DecimalDigits toDecimalDigits(long double value, int precision)
{
    DecimalDigits out;
    if (value == 0.0L)
        return out;
    char buffer[64];
    // "%.*Le" rounds correctly to the requested digits: d.ddddde+XX
    std::snprintf(buffer, sizeof buffer, "%.*Le", precision - 1, value);
    const char* p = buffer;
    if (*p == '-') {
        out.negative = true;
        ++p;
    }
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            out.digits.push_back(*p);
    }
    out.pointPos = std::atoi(p + 1) + 1;
    while (!out.digits.empty() && out.digits.back() == '0')
        out.digits.pop_back();
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
    const bool up = number.digits[keep] >= '5';
    number.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && number.digits[i] == '9') {
            number.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++number.digits[i];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.pointPos;
        }
    }
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
}

} // namespace morvane
