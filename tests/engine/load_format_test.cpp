#include "engine/numbers/load_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

using namespace tessivo;

namespace {

struct LoadCase {
    long double value;
    const char* text;
};

// Rounds v (0 <= v < 1e8) at 10^place with integer arithmetic on its binary
// form, halves away from zero: an independent route to the decision.
std::string oracleFixed(long double v)
{
    int exponent = 0;
    const long double f = std::frexp(v, &exponent);
    const auto mantissa = static_cast<unsigned __int128>(std::ldexp(f, 64)); // v = mantissa x 2^(exponent-64)
    const int shift = 64 - exponent;
    int leading = 0;
    for (long double p = 10.0L; p <= v; p *= 10.0L)
        ++leading;
    const int place = std::max(leading - 7, -3);
    unsigned __int128 scaled = mantissa;
    for (int i = 0; i < -place; ++i)
        scaled *= 10;
    unsigned __int128 whole = scaled >> shift;
    const unsigned __int128 rest = scaled - (whole << shift);
    if (2 * rest >= (static_cast<unsigned __int128>(1) << shift))
        ++whole;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(whole % 10)));
        whole /= 10;
    } while (whole > 0);
    digits.append(static_cast<std::size_t>(3 + place), '0'); // now in thousandths
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    return digits.substr(0, digits.size() - 3) + "." + digits.substr(digits.size() - 3);
}

} // namespace

TEST(LoadFormat, RoundsOnceAtTheCoarserPlace)
{
    const LoadCase cases[] = {
        {123456.789L, "123456.790"}, // 8th significant digit is coarser
        {-2.5L, "-2.500"},
        {1234.12346L, "1234.123"}, // once at the third decimal, not twice
        {5.0625L, "5.063"},        // an exact binary half goes away from zero
        {-5.0625L, "-5.063"},
        {0.0625L, "0.063"},
        {12345678.5L, "12345679.000"},
        {1234567.25L, "1234567.300"},
        {20.0L, "20.000"},
        {1.25L, "1.250"},
        {-0.25L, "-0.250"},
        {0.9995L, "0.999"}, // the nearest binary value lies just below the half
        {0.0L, "0.000"},
        {0.0004L, "0.000"},
        {-0.0004L, "-0.000"}, // a negative load keeps its sign
        {-0.0L, "0.000"},     // minus zero is no negative load
        {99999999.4L, "99999999.000"},
        {9999.9999L, "10000.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatLoad(c.value), c.text) << static_cast<double>(c.value);
}

TEST(LoadFormat, UsesGeneralNotationBeyondEightIntegerDigits)
{
    const LoadCase cases[] = {
        {123456789.0L, "1.2345679E008"},   {10000000000.0L, "1E010"},
        {-123456789.0L, "-1.2345679E008"}, {99999999.7L, "1E008"}, // rounds up into a ninth integer digit
        {999999995.0L, "1E009"},           {120000000.0L, "1.2E008"},
        {LDBL_MAX, "1.1897315E4932"},      {-LDBL_MAX, "-1.1897315E4932"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatLoad(c.value), c.text) << static_cast<double>(c.value);
}

TEST(LoadFormat, ExtremesAndSpecialValues)
{
    EXPECT_EQ(formatLoad(LDBL_TRUE_MIN), "0.000");
    EXPECT_EQ(formatLoad(-LDBL_TRUE_MIN), "-0.000");
    EXPECT_EQ(formatLoad(LDBL_MIN), "0.000");
    EXPECT_EQ(formatLoad(INFINITY), "INF");
    EXPECT_EQ(formatLoad(-INFINITY), "-INF");
    EXPECT_EQ(formatLoad(NAN), "NAN");
}

TEST(LoadFormat, PutsInTheGivenSeparatorWhateverTheLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(formatLoad(-2.5L, ","), "-2,500");
    EXPECT_EQ(formatLoad(123456789.0L, ","), "1,2345679E008");
    EXPECT_EQ(formatLoad(1E10L, ","), "1E010");
    EXPECT_EQ(formatLoad(123456.789L), "123456.790");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(LoadFormat, MatchesIntegerRoundingNearHalves)
{
    std::mt19937_64 rng(20240607);
    std::uniform_int_distribution<int> placeDist(-3, 0);
    std::uniform_int_distribution<std::int64_t> digitsDist(0, 99999999);
    for (int i = 0; i < 20000; ++i) {
        // A decimal half at a rounding place, and the binary values around it.
        const int place = placeDist(rng);
        const std::int64_t n = digitsDist(rng);
        const long double half = (static_cast<long double>(n) + 0.5L) * std::pow(10.0L, place);
        if (half >= 1e8L || half < 1e-4L)
            continue;
        for (long double v : {half, std::nextafter(half, 0.0L), std::nextafter(half, 1e9L)}) {
            const std::string expected = oracleFixed(v);
            ASSERT_EQ(formatLoad(v), expected) << static_cast<double>(v);
            ASSERT_EQ(formatLoad(-v).substr(1), expected) << static_cast<double>(v);
            ASSERT_EQ(formatLoad(-v)[0], '-');
        }
    }
}

TEST(LoadFormat, WholeNumbers)
{
    EXPECT_EQ(formatWholeNumber(12), "12");
    EXPECT_EQ(formatWholeNumber(0), "0");
    EXPECT_EQ(formatWholeNumber(4294967296LL), "4294967296");
}
