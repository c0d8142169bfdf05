#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/thread_scratch.h"

#include "engine/numbers/decimal_powers.h"
#include "engine/numbers/exact_decimal.h"

namespace tessivo {
namespace {

// More digits than any halfway point between two long doubles has (about
// 11500), so the kept digits plus a sticky digit round exactly like the whole.
constexpr std::size_t kMaxDigits = 20000;
constexpr std::int64_t kExponentCap = 1'000'000'000'000LL;
// 0.D x 10^E: at E above this the value is certainly beyond LDBL_MAX (1.19E+4932);
// below the other it is certainly under half the smallest subnormal (3.6E-4951).
constexpr std::int64_t kOverflowExponent = 4933;
constexpr std::int64_t kUnderflowExponent = -4952;

// Exact for up to 19 digits and a power of ten that is itself exact: one
// rounding of the product or quotient of two exact values.
bool fastPath(std::uint64_t m, std::size_t count, std::int64_t e, long double& v)
{
    const std::int64_t scale = e - static_cast<std::int64_t>(count);
    if (count > 19 || scale > kMaxExactPowerOfTen || scale < -kMaxExactPowerOfTen)
        return false;
    const long double mantissa = static_cast<long double>(m);
    v = scale >= 0 ? mantissa * exactPowerOfTen(static_cast<int>(scale))
                   : mantissa / exactPowerOfTen(static_cast<int>(-scale));
    return true;
}

} // namespace

DecimalParser::DecimalParser()
{
    m_digits.resize(kMaxDigits + 1); // room for the digit that stands for dropped ones
}

void DecimalParser::addDigit(char c)
{
    if (m_count < kMaxDigits) {
        m_digits[m_count++] = c;
        if (m_count <= 19)
            m_mantissa = m_mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    } else {
        m_droppedNonZero |= c != '0';
    }
}

void DecimalParser::reset(char decimalSeparator)
{
    m_separator = decimalSeparator;
    m_state = State::Start;
    m_negative = m_expNegative = m_anyDigit = m_droppedNonZero = false;
    m_decimalExponent = m_exponent = 0;
    m_mantissa = 0;
    m_count = 0;
}

bool DecimalParser::feed(char c)
{
    const bool digit = c >= '0' && c <= '9';
    switch (m_state) {
    case State::Start:
        if (c == '+' || c == '-') {
            m_negative = c == '-';
            m_state = State::Sign;
            return true;
        }
        [[fallthrough]];
    case State::Sign:
    case State::Int:
        if (c == m_separator) {
            m_state = State::Frac;
            return true;
        }
        if (m_state != State::Start && m_state != State::Sign && (c == 'e' || c == 'E'))
            break;
        if (!digit)
            return false;
        m_state = State::Int;
        m_anyDigit = true;
        if (c == '0' && m_count == 0)
            return true;
        ++m_decimalExponent;
        addDigit(c);
        return true;
    case State::Frac:
        if (c == 'e' || c == 'E')
            break;
        if (!digit)
            return false;
        m_anyDigit = true;
        if (c == '0' && m_count == 0) {
            if (m_decimalExponent > -kExponentCap)
                --m_decimalExponent;
            return true;
        }
        addDigit(c);
        return true;
    case State::ExpMark:
        if (c == '+' || c == '-') {
            m_expNegative = c == '-';
            m_state = State::ExpSign;
            return true;
        }
        [[fallthrough]];
    case State::ExpSign:
    case State::ExpDigits:
        if (!digit)
            return false;
        m_state = State::ExpDigits;
        if (m_exponent < kExponentCap)
            m_exponent = m_exponent * 10 + (c - '0');
        return true;
    }
    // An exponent mark after the mantissa.
    if (!m_anyDigit)
        return false;
    m_state = State::ExpMark;
    return true;
}

bool DecimalParser::finish(long double& value)
{
    if (!m_anyDigit || m_state == State::ExpMark || m_state == State::ExpSign)
        return false;
    if (m_count > 19 && !m_droppedNonZero) {
        while (m_count > 0 && m_digits[m_count - 1] == '0')
            --m_count;
        if (m_count <= 19) {
            m_mantissa = 0;
            for (std::size_t i = 0; i < m_count; ++i)
                m_mantissa = m_mantissa * 10 + static_cast<std::uint64_t>(m_digits[i] - '0');
        }
    }
    if (m_count == 0) {
        value = m_negative ? -0.0L : 0.0L;
        return true;
    }
    const std::int64_t e = m_decimalExponent + (m_expNegative ? -m_exponent : m_exponent);
    if (e > kOverflowExponent)
        return false;
    if (e < kUnderflowExponent) {
        value = m_negative ? -0.0L : 0.0L;
        return true;
    }
    long double v = 0.0L;
    if (!fastPath(m_mantissa, m_count, e, v)) {
        // A dropped non-zero digit stands as a final 1: beyond every halfway
        // point, it only breaks ties.
        if (m_droppedNonZero)
            m_digits[m_count++] = '1';
        if (!exactDecimalToExtended(std::string_view(m_digits).substr(0, m_count), e, v))
            return false;
    }
    value = m_negative ? -v : v;
    return true;
}

bool parseDecimal(std::string_view text, long double& value, char decimalSeparator)
{
    DecimalParser& parser = threadScratch<DecimalParser>(); // its digit buffer is large: allocate it once
    parser.reset(decimalSeparator);
    for (char c : text)
        if (!parser.feed(c))
            return false;
    return parser.finish(value);
}

} // namespace tessivo
