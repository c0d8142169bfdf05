#include "engine/numbers/decimal_parser.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <random>
#include <string>

using namespace tessivo;

namespace {

long double oracle(const std::string& text)
{
#ifdef _WIN32
    // MinGW-w64's own conversion (gdtoa), independent of the parser; the
    // tests never leave the C locale.
    return std::strtold(text.c_str(), nullptr);
#else
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtold_l(text.c_str(), nullptr, c);
#endif
}

bool sameBits(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

} // namespace

TEST(DecimalParser, AcceptsTheNumberSyntax)
{
    const struct {
        const char* text;
        long double value;
    } cases[] = {
        {"12", 12.0L}, {"-3.75", -3.75L}, {"1.5E3", 1500.0L}, {"2e-4", 2e-4L}, {"+7", 7.0L},        {".5", 0.5L},
        {"5.", 5.0L},  {"1E+2", 100.0L},  {"007", 7.0L},      {"0.000", 0.0L}, {"64.00000", 64.0L}, {"1e-5000", 0.0L},
    };
    for (const auto& c : cases) {
        long double v = -1.0L;
        ASSERT_TRUE(parseDecimal(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    long double v = 0.0L;
    ASSERT_TRUE(parseDecimal("-0", v));
    EXPECT_TRUE(std::signbit(v));
}

TEST(DecimalParser, RejectsWhatIsNotANumber)
{
    for (const char* text :
         {"",      "nan",   "inf", "infinity", "0x1p3", "1,5", ".",      "-",       "+",   "1e",  "e5",  "1e+",
          "1.2.3", "1e5.5", "--1", "1-",       "abc",   "1 2", "1e5000", "-1e5000", "12a", "+-1", "\x1a"}) {
        long double v = 0.0L;
        EXPECT_FALSE(parseDecimal(text, v)) << text;
    }
    long double v = 0.0L;
    EXPECT_FALSE(parseDecimal(std::string("1\0"
                                          "5",
                                          3),
                              v))
        << "NUL inside a number";
}

TEST(DecimalParser, IsCorrectlyRoundedAtTheLimits)
{
    long double v = 0.0L;
    ASSERT_TRUE(parseDecimal("1.18973149535723176502e+4932", v));
    EXPECT_EQ(v, LDBL_MAX);
    ASSERT_TRUE(parseDecimal("1.18973149535723176505e+4932", v));
    EXPECT_EQ(v, LDBL_MAX) << "below the halfway point to the next power of two";
    EXPECT_FALSE(parseDecimal("1.18973149535723176506e+4932", v)) << "rounds to infinity";
    ASSERT_TRUE(parseDecimal("3.64519953188247460253e-4951", v));
    EXPECT_EQ(v, LDBL_TRUE_MIN);
    ASSERT_TRUE(parseDecimal("0.000000000000000000000000000000000000000000000000001", v));
    EXPECT_EQ(v, 1e-51L);
}

TEST(DecimalParser, LongTokensRoundAsAWholeWithBoundedMemory)
{
    // Halfway between 1 and its successor, then one more digit decides.
    const std::string half = "1.00000000000000000005421010862427522170037264004349708557128906250";
    long double v = 0.0L;
    ASSERT_TRUE(parseDecimal(half, v));
    EXPECT_EQ(v, 1.0L) << "ties go to even";
    ASSERT_TRUE(parseDecimal(half + std::string(30000, '0') + "1", v));
    EXPECT_GT(v, 1.0L) << "a far nonzero digit breaks the tie";
    ASSERT_TRUE(parseDecimal(std::string(50000, '0') + "3", v));
    EXPECT_EQ(v, 3.0L);
    EXPECT_FALSE(parseDecimal("1" + std::string(6000, '0'), v));
}

TEST(DecimalParser, AgreesWithStrtoldOnRandomDecimals)
{
    std::mt19937_64 rng(42);
    for (int i = 0; i < 100000; ++i) {
        const bool negative = rng() & 1;
        const int digits = 1 + static_cast<int>(rng() % 30);
        const int point = (rng() & 1) ? static_cast<int>(rng() % digits) : -1; // digits after the point
        std::string text = negative ? "-" : "";
        for (int d = 0; d < digits; ++d) {
            if (d == digits - point)
                text += '.';
            text += static_cast<char>('0' + rng() % 10);
        }
        if (rng() & 1) {
            text += 'e';
            text += std::to_string(static_cast<int>(rng() % 9000) - 4500);
        }
        long double v = 0.0L;
        const long double expected = oracle(text);
        if (std::isinf(expected)) {
            ASSERT_FALSE(parseDecimal(text, v)) << text;
            continue;
        }
        ASSERT_TRUE(parseDecimal(text, v)) << text;
        ASSERT_TRUE(sameBits(v, expected)) << text;
    }
}
