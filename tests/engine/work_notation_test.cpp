#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/work_notation.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <random>
#include <charconv>
#include <string>

using namespace tessivo;

namespace {

// An independent route to the same result: glibc's printf and strtold, which
// are exact, in the C locale.
long double oracleRound15(long double v)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t old = uselocale(c);
    char text[64];
    std::snprintf(text, sizeof text, "%.14Le", v);
    const long double r = strtold_l(text, nullptr, c);
    uselocale(old);
    return r;
}

bool sameBits(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

long double randomBits(std::mt19937_64& rng)
{
    for (;;) {
        long double v = 0.0L;
        const std::uint64_t mantissa = rng() | (1ULL << 63); // normal numbers have the integer bit set
        const auto exponent = static_cast<std::uint16_t>(rng() & 0xFFFF);
        std::memcpy(&v, &mantissa, 8);
        std::memcpy(reinterpret_cast<char*>(&v) + 8, &exponent, 2);
        if (std::isfinite(v))
            return v;
    }
}

} // namespace

TEST(WorkNotation, WritesTheDocumentedLines)
{
    const struct {
        long double value;
        const char* line;
    } cases[] = {
        {1.5L, " 1.50000000000000E+0000"},     {-250.0L, "-2.50000000000000E+0002"},
        {123.456L, " 1.23456000000000E+0002"}, {-0.5L, "-5.00000000000000E-0001"},
        {0.0L, " 0.00000000000000E+0000"},     {-0.0L, "-0.00000000000000E+0000"},
        {1E-7L, " 1.00000000000000E-0007"},    {-12345.678L, "-1.23456780000000E+0004"},
        {0.1L, " 1.00000000000000E-0001"},     {0.999999999999999951L, " 1.00000000000000E+0000"},
        {LDBL_MAX, " 1.18973149535723E+4932"}, {LDBL_TRUE_MIN, " 3.64519953188247E-4951"},
        {-1.0E32L, "-1.00000000000000E+0032"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatWorkValue(c.value), c.line) << static_cast<double>(c.value);
}

TEST(WorkNotation, ReadsItsOwnLinesAndPlainNumbers)
{
    long double v = 0.0L;
    ASSERT_TRUE(parseWorkValue(" 1.23456000000000E+0002", v));
    EXPECT_EQ(v, 123.456L);
    ASSERT_TRUE(parseWorkValue("-0.00000000000000E+0000\r", v));
    EXPECT_TRUE(std::signbit(v));
    ASSERT_TRUE(parseWorkValue("  42  ", v));
    EXPECT_EQ(v, 42.0L);
    for (const char* bad : {"", "   ", "abc", "1,5", "1.0E+", "nan", "inf", "- 1"})
        EXPECT_FALSE(parseWorkValue(bad, v)) << bad;
}

TEST(WorkNotation, DoesNotDependOnTheProcessLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    long double v = 0.0L;
    const bool parsed = parseWorkValue(" 1.23456789012345E+0003", v);
    const std::string line = formatWorkValue(2.5L);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(parsed);
    EXPECT_EQ(v, 1234.56789012345L);
    EXPECT_EQ(line, " 2.50000000000000E+0000");
}

TEST(WorkNotationSlow, RoundTripIsCorrectlyRoundedForRandomBitPatterns)
{
    std::mt19937_64 rng(20261207);
    for (int i = 0; i < 200000; ++i) {
        const long double v = randomBits(rng) * ((rng() & 1) ? -1.0L : 1.0L);
        const long double expected = oracleRound15(v);
        const long double got = roundToWorkPrecision(v);
        ASSERT_TRUE(sameBits(got, expected)) << formatWorkValue(v);
        // A value that has been through the notation once stays itself.
        ASSERT_TRUE(sameBits(roundToWorkPrecision(got), got)) << formatWorkValue(v);
    }
}

TEST(WorkNotation, RoundTripIsCorrectlyRoundedForLoadLikeDecimals)
{
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<long long> mantissa(-99999999999LL, 99999999999LL);
    std::uniform_int_distribution<int> decimals(0, 12);
    for (int i = 0; i < 200000; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%lldE-%d", mantissa(rng), decimals(rng));
        long double v = 0.0L;
        ASSERT_TRUE(parseDecimal(text, v)) << text;
        ASSERT_TRUE(sameBits(roundToWorkPrecision(v), oracleRound15(v))) << text;
    }
}

// The line glibc's exact printf gives, laid out in the notation.
std::string oracleLine(long double v)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t old = uselocale(c);
    char text[64];
    std::snprintf(text, sizeof text, "%.14Le", std::fabs(v));
    uselocale(old);
    const char* e = std::strchr(text, 'e');
    const int exponent = std::atoi(e + 1);
    char line[32];
    std::snprintf(line, sizeof line, "%c%.16sE%c%04d", std::signbit(v) ? '-' : ' ', text, exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return line;
}

TEST(WorkNotation, WritesWhatExactPrintfWritesAcrossTheLoadRange)
{
    std::mt19937_64 rng(314);
    for (int i = 0; i < 300000; ++i) {
        long double v = randomBits(rng);
        // Exponents of about 1E-20 to 1E40, where loads live and the fast conversion works.
        std::uint16_t exponent = static_cast<std::uint16_t>(16383 - 66 + static_cast<int>(rng() % 200));
        std::memcpy(reinterpret_cast<char*>(&v) + 8, &exponent, 2);
        if (rng() & 1)
            v = -v;
        ASSERT_EQ(formatWorkValue(v), oracleLine(v));
    }
    // Ties at the 15th digit are decided on the exact binary value, halves to even.
    for (long double v : {0.5L, 1.000000000000005L, 2.0000000000000050000L, 123456789012345.5L, 123456789012346.5L,
                          999999999999999.5L, 9.999999999999995e-5L, 1e15L, 1e14L})
        EXPECT_EQ(formatWorkValue(v), oracleLine(v));
}

TEST(WorkNotation, NonFiniteValuesAreWrittenAsTextNoReaderTakes)
{
    long double v = 0.0L;
    for (long double bad : {HUGE_VALL, -HUGE_VALL, std::nanl("")}) {
        const std::string line = formatWorkValue(bad);
        EXPECT_EQ(line.size(), 23u);
        EXPECT_FALSE(parseWorkValue(line, v)) << line;
    }
}

TEST(WorkNotation, SubnormalsAndExtremesSurvive)
{
    for (long double v : {LDBL_MIN, LDBL_TRUE_MIN, LDBL_MIN / 3.0L, LDBL_MAX, -LDBL_MAX, 1e4000L, -1e-4000L}) {
        const long double r = roundToWorkPrecision(v);
        EXPECT_TRUE(std::isfinite(r));
        EXPECT_TRUE(sameBits(r, oracleRound15(v))) << formatWorkValue(v);
    }
}

TEST(WorkNotationSlow, ShortestTextMatchesToChars)
{
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<long long> mantissa(-999999999999999LL, 999999999999999LL);
    auto check = [](long double v) {
        char mine[64];
        char theirs[64];
        const std::size_t n = formatShortest(v, mine);
        const auto res = std::to_chars(theirs, theirs + sizeof theirs, v);
        ASSERT_EQ(std::string(mine, n), std::string(theirs, res.ptr)) << formatWorkValue(v);
    };
    for (int i = 0; i < 200000; ++i) {
        long double v = 0.0L;
        char text[64];
        std::snprintf(text, sizeof text, "%lldE%d", mantissa(rng) / static_cast<long long>(1 + rng() % 100000),
                      static_cast<int>(rng() % 60) - 35);
        ASSERT_TRUE(parseDecimal(text, v));
        check(v);        // a work value
        check(v * 1.1L); // usually not one: the general path
    }
    for (long double v : {0.0L, -0.0L, 1.0L, 100.0L, 1e15L, 1e16L, 123456.0L, 0.001L, 1e-5L, 1.5e22L, -7.0L})
        check(v);
    long double top = 0.0L, bottom = 0.0L; // a range that takes all 21 digits: 16050.6419999999999995
    ASSERT_TRUE(parseDecimal("12756.17", top));
    ASSERT_TRUE(parseDecimal("-3294.472", bottom));
    check(top - bottom);
    // Load ranges: differences of three-decimal loads need up to 21 digits.
    std::uniform_int_distribution<long long> thousandths(-99999999, 99999999);
    for (int i = 0; i < 200000; ++i) {
        long double a = 0.0L, b = 0.0L;
        ASSERT_TRUE(parseDecimal(std::to_string(thousandths(rng)) + "e-3", a));
        ASSERT_TRUE(parseDecimal(std::to_string(thousandths(rng)) + "e-3", b));
        check(a - b);
    }
    // Any mantissa at magnitudes across the range, and the neighbours of powers of two.
    for (int i = 0; i < 200000; ++i) {
        const long double v =
            std::ldexp(static_cast<long double>(rng() | (1ULL << 63)), static_cast<int>(rng() % 300) - 200 - 63);
        check(v);
        check(std::nextafter(std::ldexp(1.0L, static_cast<int>(rng() % 300) - 200), (rng() & 1) ? 0.0L : 1e300L));
        check(std::ldexp(1.0L, static_cast<int>(rng() % 300) - 200));
    }
}

TEST(WorkNotation, CanonicalLinesAreExactlyTheWrittenOnes)
{
    long double v = 0.0L;
    EXPECT_TRUE(parseCanonicalLine(" 5.00000000000000E-0001", v));
    EXPECT_EQ(v, 0.5L);
    EXPECT_TRUE(parseCanonicalLine("-0.00000000000000E+0000", v));
    EXPECT_TRUE(std::signbit(v));
    EXPECT_FALSE(parseCanonicalLine(" 0.50000000000000E+0000", v)) << "same value, other text";
    EXPECT_FALSE(parseCanonicalLine(" 0.00000000000000E+0005", v));
    EXPECT_FALSE(parseCanonicalLine(" 1.0000000000000xE+0000", v));
    std::mt19937_64 rng(8);
    for (int i = 0; i < 100000; ++i) {
        const long double value = roundToWorkPrecision(static_cast<long double>(rng() % 100000000) / 1000.0L - 5e4L);
        const std::string line = formatWorkValue(value);
        if (parseCanonicalLine(line.c_str(), v)) {
            ASSERT_EQ(v, value);
            ASSERT_EQ(formatWorkValue(v), line);
        }
    }
}
