#include "engine/numbers/plain_decimal.h"

#include "engine/numbers/decimal_powers.h"

namespace tessivo {

// The common token, whole inside the buffer: a sign, at most 19 significant
// digits around an optional point, an optional short exponent, and a power of
// ten that long double holds exactly, so one multiplication or division
// rounds it correctly. Anything else goes to the general parser.
bool parseSimpleDecimal(const char* p, const char* end, long double& value, WorkDigits& digitsOut)
{
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint64_t m = 0;
    int digits = 0;
    int scale = 0;
    bool any = false;
    bool point = false;
    for (; p < end; ++p) {
        const unsigned d = static_cast<unsigned>(*p - '0');
        if (d <= 9) {
            any = true;
            if (m == 0 && d == 0) {
                scale -= point;
                continue;
            }
            if (digits == 19)
                return false;
            m = m * 10 + d;
            ++digits;
            scale -= point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return false;
    if (p < end) {
        if (*p != 'e' && *p != 'E')
            return false;
        ++p;
        const bool expNegative = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        int e = 0;
        const char* first = p;
        for (; p < end && p - first < 5; ++p) {
            const unsigned d = static_cast<unsigned>(*p - '0');
            if (d > 9)
                return false;
            e = e * 10 + static_cast<int>(d);
        }
        if (p == first || p < end)
            return false;
        scale += expNegative ? -e : e;
    }
    if (scale < -kMaxExactPowerOfTen || scale > kMaxExactPowerOfTen)
        return m == 0 ? (value = negative ? -0.0L : 0.0L, digitsOut = WorkDigits{true, negative, 0, 0}, true) : false;
    const long double mantissa = static_cast<long double>(m);
    const long double magnitude = scale >= 0 ? mantissa * exactPowerOfTen(scale) : mantissa / exactPowerOfTen(-scale);
    value = negative ? -magnitude : magnitude;
    if (m == 0) {
        digitsOut = WorkDigits{true, negative, 0, 0};
    } else if (digits <= 15) {
        digitsOut = WorkDigits{true, negative, m * powerOfTen(15 - digits), digits - 1 + scale};
    }
    return true;
}

// The most common token of all, in one pass that finds its end and its
// digits together.
const char* parsePlainDecimal(const char* p, const char* stop, long double& value, WorkDigits& digitsOut)
{
    const bool negative = *p == '-';
    p += (*p == '-' || *p == '+') ? 1 : 0;
    const char* const first = p;
    std::uint64_t m = 0;
    unsigned d = 0;
    while (p < stop && (d = static_cast<unsigned>(*p - '0')) <= 9) {
        m = m * 10 + d;
        ++p;
    }
    int fraction = 0;
    bool point = false;
    if (p < stop && *p == '.') {
        point = true;
        const char* const fractionStart = ++p;
        while (p < stop && (d = static_cast<unsigned>(*p - '0')) <= 9) {
            m = m * 10 + d;
            ++p;
        }
        fraction = static_cast<int>(p - fractionStart);
    }
    const long written = (p - first) - (point ? 1 : 0);
    // 19 digits cannot overflow; leading zeros count, so a longer one goes the general way.
    if (written < 1 || written > 19)
        return nullptr;
    if (m == 0) {
        value = negative ? -0.0L : 0.0L;
        digitsOut = WorkDigits{true, negative, 0, 0};
        return p;
    }
    const long double mantissa = static_cast<long double>(m);
    const long double magnitude = fraction == 0 ? mantissa : mantissa / exactPowerOfTen(fraction);
    value = negative ? -magnitude : magnitude;
    if (const int digits = decimalDigitCount(m); digits <= 15)
        digitsOut = WorkDigits{true, negative, m * powerOfTen(15 - digits), digits - 1 - fraction};
    else
        digitsOut = WorkDigits{};
    return p;
}

} // namespace tessivo
