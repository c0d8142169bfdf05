#include "engine/numbers/work_notation.h"

#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/decimal_powers.h"
#include "engine/numbers/extended.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tessivo {
namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t kPow10_15 = 1'000'000'000'000'000ULL;
constexpr std::uint64_t kPow10_14 = 100'000'000'000'000ULL;

std::uint64_t pow5(int k)
{
    return powerOfFive(k);
}
std::uint64_t pow10(int k)
{
    return powerOfTen(k);
}

// An x87 extended: value = mantissa x 2^exponent, the integer bit explicit.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary decompose(long double v)
{
    const ExtendedBits bits = extendedBits(v);
    const int biased = bits.biasedExponent();
    return {bits.mantissa, (biased == 0 ? 1 : biased) - kExtendedBias - 63};
}

// The 15 significant digits of |v| as an integer in [1e14, 1e15) and the decimal
// exponent of the first digit, rounded to nearest with ties to even, computed
// exactly with 128-bit integers. False where the range is not covered (the
// caller then takes the general conversion).
bool fifteenDigits(long double v, std::uint64_t& digits, int& exponent10)
{
    const Binary b = decompose(v);
    if (b.mantissa < (1ULL << 63))
        return false; // subnormal: rare, left to the general path
    // floor(e2 log10 2) by the integer formula that holds for |e2| < 1650;
    // outside it the value is beyond the range covered here anyway.
    const int e2 = b.exponent + 63;
    if (e2 < -1600 || e2 > 1600)
        return false;
    int e10 = (e2 * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = 14 - e10; // scale so that the value lands in [1e14, 1e15)
        u128 quotient = 0;
        int cmpHalf = 0; // sign of (remainder - half)
        if (k >= 0) {
            if (k > kMaxExactPowerOfTen)
                return false;
            const u128 n = static_cast<u128>(b.mantissa) * pow5(k);
            const int shift = -(b.exponent + k);
            if (shift <= 0 || shift >= 127)
                return false;
            quotient = n >> shift;
            const u128 remainder = n & ((static_cast<u128>(1) << shift) - 1);
            const u128 half = static_cast<u128>(1) << (shift - 1);
            cmpHalf = remainder > half ? 1 : (remainder == half ? 0 : -1);
        } else {
            if (-k > 19 || b.exponent > 63 || b.exponent < -63)
                return false;
            const u128 num = static_cast<u128>(b.mantissa) << (b.exponent > 0 ? b.exponent : 0);
            const u128 den = static_cast<u128>(pow10(-k)) << (b.exponent < 0 ? -b.exponent : 0);
            quotient = num / den;
            const u128 twice = 2 * (num % den);
            cmpHalf = twice > den ? 1 : (twice == den ? 0 : -1);
        }
        if (quotient < kPow10_14) {
            --e10;
            continue;
        }
        if (quotient >= kPow10_15) {
            ++e10;
            continue;
        }
        std::uint64_t q = static_cast<std::uint64_t>(quotient);
        if (cmpHalf > 0 || (cmpHalf == 0 && (q & 1)))
            ++q;
        if (q == kPow10_15) {
            q = kPow10_14;
            ++e10;
        }
        digits = q;
        exponent10 = e10;
        return true;
    }
    return false;
}

// 15 digits with the decimal exponent of the first back to binary by one
// exact, correctly rounded operation; false where the power of ten is not
// exact in long double.
bool digitsToValue(std::uint64_t digits, int exponent10, long double& magnitude)
{
    const int scale = exponent10 - 14;
    if (scale < -kMaxExactPowerOfTen || scale > kMaxExactPowerOfTen)
        return false;
    magnitude = scale >= 0 ? static_cast<long double>(digits) * exactPowerOfTen(scale)
                           : static_cast<long double>(digits) / exactPowerOfTen(-scale);
    return true;
}

// "00" to "99", so that digits go out two at a time.
constexpr auto kDigitPairs = [] {
    struct Pairs {
        char p[200];
    } t{};
    for (int i = 0; i < 100; ++i) {
        t.p[2 * i] = static_cast<char>('0' + i / 10);
        t.p[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// Writes the 2n decimal digits of v (v < 100^n) to out.
void writeDigitPairs(char* out, std::uint32_t v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        std::memcpy(out + 2 * i, kDigitPairs.p + 2 * (v % 100), 2);
        v /= 100;
    }
}

void writeLine(char* out, bool negative, std::uint64_t digits, int exponent10)
{
    out[0] = negative ? '-' : ' ';
    // 15 digits: the first alone, then 14 after the point in two halves.
    const auto first = static_cast<std::uint32_t>(digits / 100'000'000'000'000ULL);
    const std::uint64_t rest = digits % 100'000'000'000'000ULL;
    out[1] = static_cast<char>('0' + first);
    out[2] = '.';
    writeDigitPairs(out + 3, static_cast<std::uint32_t>(rest / 100'000'000ULL), 3); // 6 digits
    writeDigitPairs(out + 9, static_cast<std::uint32_t>(rest % 100'000'000ULL), 4); // 8 digits
    out[17] = 'E';
    out[18] = exponent10 < 0 ? '-' : '+';
    const auto e = static_cast<std::uint32_t>(exponent10 < 0 ? -exponent10 : exponent10);
    writeDigitPairs(out + 19, e, 2);
}

void formatGeneral(long double v, char* out)
{
    char text[48];
    const auto res = std::to_chars(text, text + sizeof text, std::fabs(v), std::chars_format::scientific, 14);
    std::uint64_t digits = static_cast<std::uint64_t>(text[0] - '0');
    for (int i = 2; i < 16; ++i)
        digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    int exponent10 = 0;
    std::from_chars(text + 18, res.ptr, exponent10);
    writeLine(out, std::signbit(v), digits, text[17] == '-' ? -exponent10 : exponent10);
}

// Eight ASCII digits at p as a number, all at once; false if any is not a digit.
bool eightDigits(const char* p, std::uint64_t& value)
{
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, p, 8);
    const std::uint64_t d = chunk - 0x3030303030303030ULL;
    // Every byte must be 0..9: no borrow out of a byte and no byte above 9.
    if (((chunk & 0xF0F0F0F0F0F0F0F0ULL) != 0x3030303030303030ULL)
        || (((d + 0x0606060606060606ULL) & 0xF0F0F0F0F0F0F0F0ULL) != 0))
        return false;
    // Pairs, then quads, then the whole (the first character is the most significant digit).
    std::uint64_t v = (d * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FFULL) * 6553601) >> 16;
    value = ((v & 0x0000FFFF0000FFFFULL) * 42949672960001ULL) >> 32;
    return true;
}

// Exact for the lines the writer produces whose exponent keeps the power of
// ten exact: one rounding of a 15-digit integer times or over 10^n.
bool parseOwnLine(const char* s, long double& v)
{
    if ((s[0] != ' ' && s[0] != '-') || s[2] != '.' || s[17] != 'E' || (s[18] != '+' && s[18] != '-'))
        return false;
    std::uint64_t low8 = 0;
    std::uint64_t high8 = 0;
    if (!eightDigits(s + 9, low8) || !eightDigits(s + 3, high8))
        return false;
    const unsigned d0 = static_cast<unsigned>(s[1] - '0');
    if (d0 > 9)
        return false;
    // Digits: s[1], then s[3..8] (the first six of high8) and s[9..16] (low8).
    const std::uint64_t m = (d0 * 1'000'000ULL + high8 / 100) * 100'000'000ULL + low8;
    int e = 0;
    for (int i = 19; i < 23; ++i) {
        const unsigned d = static_cast<unsigned>(s[i] - '0');
        if (d > 9)
            return false;
        e = e * 10 + static_cast<int>(d);
    }
    const int scale = (s[18] == '-' ? -e : e) - 14;
    if (scale < -kMaxExactPowerOfTen || scale > kMaxExactPowerOfTen)
        return false;
    const long double mantissa = static_cast<long double>(m);
    const long double magnitude = scale >= 0 ? mantissa * exactPowerOfTen(scale) : mantissa / exactPowerOfTen(-scale);
    v = s[0] == '-' ? -magnitude : magnitude;
    return true;
}

} // namespace

void formatWorkValue(long double v, char* out)
{
    if (!std::isfinite(v)) {
        // Never produced from accepted input; written so that no reader takes it for a value.
        std::memcpy(out,
                    std::isnan(v) ? "NAN                    "
                                  : (v < 0 ? "-INF                   " : " INF                   "),
                    kWorkValueWidth);
        return;
    }
    if (v == 0.0L) {
        std::memcpy(out, " 0.00000000000000E+0000", kWorkValueWidth);
        if (std::signbit(v))
            out[0] = '-';
        return;
    }
    std::uint64_t digits = 0;
    int exponent10 = 0;
    if (fifteenDigits(std::fabs(v), digits, exponent10))
        writeLine(out, std::signbit(v), digits, exponent10);
    else
        formatGeneral(v, out);
}

void formatWorkDigits(bool negative, std::uint64_t digits15, int exponent10, char* out)
{
    writeLine(out, negative, digits15, digits15 == 0 ? 0 : exponent10);
}

namespace {

// Writes digits (k of them, no trailing zeros) with decimal exponent e10 the way
// printf's %f or %e would, choosing the shorter and fixed on a tie.
std::size_t writeShortest(bool negative, const char* digits, int k, int e10, char* out)
{
    char* p = out;
    if (negative)
        *p++ = '-';
    const int expDigits = std::abs(e10) >= 1000 ? 4 : (std::abs(e10) >= 100 ? 3 : 2);
    const int scientific = k + (k > 1 ? 1 : 0) + 2 + expDigits;
    const int fixed = e10 >= 0 ? (k <= e10 + 1 ? e10 + 1 : k + 1) : 2 + (-e10 - 1) + k;
    if (fixed <= scientific) {
        if (e10 >= 0) {
            for (int i = 0; i <= e10; ++i)
                *p++ = i < k ? digits[i] : '0';
            if (k > e10 + 1) {
                *p++ = '.';
                for (int i = e10 + 1; i < k; ++i)
                    *p++ = digits[i];
            }
        } else {
            *p++ = '0';
            *p++ = '.';
            for (int i = 0; i < -e10 - 1; ++i)
                *p++ = '0';
            for (int i = 0; i < k; ++i)
                *p++ = digits[i];
        }
    } else {
        *p++ = digits[0];
        if (k > 1) {
            *p++ = '.';
            for (int i = 1; i < k; ++i)
                *p++ = digits[i];
        }
        *p++ = 'e';
        *p++ = e10 < 0 ? '-' : '+';
        const int a = std::abs(e10);
        char e[4];
        for (int i = expDigits - 1, x = a; i >= 0; --i, x /= 10)
            e[i] = static_cast<char>('0' + x % 10);
        for (int i = 0; i < expDigits; ++i)
            *p++ = e[i];
    }
    return static_cast<std::size_t>(p - out);
}

// The shortest digits of |v| (normal, not a power of two) when that takes 16
// to 21 of them: for each length the correctly rounded candidate is the only
// one that can read back to v, and whether it does is decided exactly in
// 128-bit integers. False outside the range those integers cover, on an exact
// tie, or when no candidate up to 21 digits reads back (the caller then takes
// the general conversion).
bool longShortestDigits(long double v, char* digits, int& count, int& exponent10)
{
    const Binary b = decompose(v);
    if (b.mantissa < (1ULL << 63) || b.mantissa == (1ULL << 63))
        return false; // subnormal, or a power of two with its narrower gap below
    const int e2 = b.exponent + 63;
    if (e2 < -1600 || e2 > 1600)
        return false;
    const int e10Guess = (e2 * 78913) >> 18; // floor(e2 log10 2): e10 or one less
    for (int k = 16; k <= 21; ++k) {
        for (int e10 = e10Guess; e10 <= e10Guess + 1; ++e10) {
            // v x 10^t = N / 2^shift exactly, with t chosen so that the
            // candidate has k digits.
            const int t = k - 1 - e10;
            if (t < 0 || t > kMaxExactPowerOfTen)
                return false;
            const u128 n = static_cast<u128>(b.mantissa) * pow5(t);
            const int shift = -(b.exponent + t);
            if (shift <= 1 || shift >= 127)
                return false;
            const u128 unit = static_cast<u128>(1) << shift;
            u128 candidate = n >> shift;
            const u128 remainder = n & (unit - 1);
            const u128 half = unit >> 1;
            if (remainder == half)
                return false;           // two candidates equally near
            const u128 low = candidate; // a k-digit candidate needs low in [10^(k-1), 10^k)
            const u128 bottom = k <= 20 ? static_cast<u128>(pow10(k - 1)) : static_cast<u128>(pow10(19)) * 10;
            const u128 top = bottom * 10;
            if (low < bottom)
                return false; // cannot happen when the guess is right; never guess the digits
            if (low >= top)
                continue; // e10 one too low
            const u128 distance = remainder > half ? unit - remainder : remainder;
            if (remainder > half)
                ++candidate;
            // Reads back to v when within half an ulp of it, which is 5^t / 2 in these units;
            // exactly half reads back only to an even mantissa.
            const u128 twice = 2 * distance;
            const u128 halfUlp = pow5(t);
            if (twice > halfUlp || (twice == halfUlp && (b.mantissa & 1)))
                break; // no k-digit decimal reads back: try k + 1
            if (candidate >= top)
                return false; // rounded up to 10^k: left to the general conversion
            for (int i = k - 1; i >= 0; --i, candidate /= 10)
                digits[i] = static_cast<char>('0' + static_cast<int>(candidate % 10));
            count = k;
            while (count > 1 && digits[count - 1] == '0')
                --count;
            exponent10 = e10;
            return true;
        }
    }
    return false;
}

} // namespace

std::size_t formatShortest(long double v, char* out)
{
    // A value whose 15 digits read back to itself: those digits without their
    // trailing zeros are its shortest form (any shorter decimal that read back
    // to it would lie within half an ulp of a different 15-digit decimal).
    std::uint64_t q = 0;
    int e10 = 0;
    long double back = 0.0L;
    if (std::isfinite(v) && v != 0.0L && fifteenDigits(std::fabs(v), q, e10)
        && (digitsToValue(q, e10, back) ? back == std::fabs(v) : roundToWorkPrecision(v) == v)) {
        char digits[15];
        for (int i = 14; i >= 0; --i, q /= 10)
            digits[i] = static_cast<char>('0' + q % 10);
        int k = 15;
        while (k > 1 && digits[k - 1] == '0')
            --k;
        return writeShortest(std::signbit(v), digits, k, e10, out);
    }
    char digits[21];
    int count = 0;
    if (std::isfinite(v) && v != 0.0L && longShortestDigits(std::fabs(v), digits, count, e10))
        return writeShortest(std::signbit(v), digits, count, e10, out);
    const auto res = std::to_chars(out, out + 64, v);
    return static_cast<std::size_t>(res.ptr - out);
}

std::string formatWorkValue(long double v)
{
    std::string line(kWorkValueWidth, ' ');
    formatWorkValue(v, line.data());
    return line;
}

bool parseWorkValue(std::string_view text, long double& v)
{
    std::size_t last = text.size();
    while (last > 0 && text[last - 1] == '\r')
        --last;
    if (last == kWorkValueWidth && parseOwnLine(text.data(), v))
        return true;
    std::size_t first = 0;
    while (first < last && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
        --last;
    return parseDecimal(text.substr(first, last - first), v);
}

bool parseCanonicalLine(const char* line, long double& v)
{
    if (line[1] == '0' && std::memcmp(line + 2, ".00000000000000E+0000", 21) != 0)
        return false;
    return parseOwnLine(line, v);
}

long double roundToWorkPrecision(long double v)
{
    // The common case without text: the 15 digits straight back to binary,
    // by the same exact single rounding that reading the line would do.
    std::uint64_t digits = 0;
    int exponent10 = 0;
    long double magnitude = 0.0L;
    if (std::isfinite(v) && v != 0.0L && fifteenDigits(std::fabs(v), digits, exponent10)
        && digitsToValue(digits, exponent10, magnitude))
        return std::signbit(v) ? -magnitude : magnitude;
    char line[kWorkValueWidth];
    formatWorkValue(v, line);
    long double r = v;
    parseWorkValue(std::string_view(line, kWorkValueWidth), r);
    return r;
}

} // namespace tessivo
