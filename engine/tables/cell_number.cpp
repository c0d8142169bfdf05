#include "engine/tables/cell_number.h"

#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/decimal_powers.h"

#include <cstdint>
#include <string>

namespace tessivo {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

const char* parseShortNumber(const char* p, const char* end, char decimal, long double& value)
{
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    std::uint64_t m = 0;
    int digits = 0;
    int fraction = 0;
    unsigned d = 0;
    while (p < end && (d = static_cast<unsigned>(*p - '0')) <= 9) {
        m = m * 10 + d;
        ++digits;
        ++p;
    }
    if (p < end && *p == decimal) {
        ++p;
        while (p < end && (d = static_cast<unsigned>(*p - '0')) <= 9) {
            m = m * 10 + d;
            ++digits;
            ++fraction;
            ++p;
        }
    }
    if (digits == 0 || digits > 19)
        return nullptr;
    int exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool expNegative = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        int expDigits = 0;
        while (p < end && (d = static_cast<unsigned>(*p - '0')) <= 9 && expDigits < 5) {
            exponent = exponent * 10 + static_cast<int>(d);
            ++expDigits;
            ++p;
        }
        if (expDigits == 0 || expDigits == 5)
            return nullptr;
        exponent = expNegative ? -exponent : exponent;
    }
    const int power = exponent - fraction;
    if (m == 0) {
        value = negative ? -0.0L : 0.0L;
        return p;
    }
    if (power < -kMaxExactPowerOfTen || power > kMaxExactPowerOfTen)
        return nullptr;
    const long double mantissa = static_cast<long double>(m);
    const long double magnitude = power >= 0 ? mantissa * exactPowerOfTen(power) : mantissa / exactPowerOfTen(-power);
    value = negative ? -magnitude : magnitude;
    return p;
}

namespace {

bool parseShortDecimal(std::string_view s, char decimal, long double& value)
{
    const char* const end = s.data() + s.size();
    return parseShortNumber(s.data(), end, decimal, value) == end;
}

bool namesNonFinite(std::string_view s)
{
    if (!s.empty() && (s[0] == '-' || s[0] == '+'))
        s.remove_prefix(1);
    std::string lower;
    for (const char c : s)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == "nan" || lower == "inf" || lower == "infinity" || lower == "1.#inf" || lower == "1.#qnan"
           || lower == "-nan(ind)" || lower == "nan(ind)";
}

} // namespace

CellStatus parseCell(std::string_view cell, char decimal, long double& value)
{
    while (!cell.empty() && isBlank(cell.front()))
        cell.remove_prefix(1);
    while (!cell.empty() && isBlank(cell.back()))
        cell.remove_suffix(1);
    if (cell.empty())
        return CellStatus::Empty;
    if (parseShortDecimal(cell, decimal, value))
        return CellStatus::Number;
    // The general parser knows only '.'; a '.' in a cell of decimal commas
    // (a thousands separator, say) must not pass as a decimal point.
    const char other = decimal == '.' ? ',' : '.';
    if (cell.find(other) == std::string_view::npos) {
        std::string copy(cell);
        for (char& c : copy)
            c = c == decimal ? '.' : c;
        if (parseDecimal(copy, value))
            return CellStatus::Number;
    }
    return namesNonFinite(cell) ? CellStatus::NotFinite : CellStatus::NotNumber;
}

} // namespace tessivo
