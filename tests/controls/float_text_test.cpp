#include "float_format.h"
#include "float_text.h"

#include <gtest/gtest.h>
#include <limits>

using namespace morvane;

namespace {

TEST(ParseFloat, AcceptsTheNumberGrammar)
{
    struct Case {
        const char* text;
        QChar sep;
        long double value;
    };
    const Case cases[] = {
        {"0", u'.', 0.0L},       {" -1.5 ", u'.', -1.5L}, {"+2", u'.', 2.0L},      {"1e3", u'.', 1000.0L},
        {"2.5E-1", u'.', 0.25L}, {".5", u'.', 0.5L},      {"5.", u'.', 5.0L},      {"1,25", u',', 1.25L},
        {"0.1", u'.', 0.1L},     {"12,5", u',', 12.5L},   {"1e-5000", u'.', 0.0L},
    };
    for (const Case& c : cases) {
        const auto parsed = parseFloat(QString::fromLatin1(c.text), c.sep);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.value) << c.text;
    }
}

TEST(ParseFloat, RefusesAnythingElse)
{
    const char* rejected[] = {"",        " ",   "-",    ".",   "e5",  "1e",  "1e+",    "1.5",
                              "1,000.0", "1 2", "0x10", "inf", "nan", "--1", "1e5000", "-1e5000"};
    for (const char* text : rejected)
        EXPECT_FALSE(parseFloat(QString::fromLatin1(text), u',').has_value()) << text;
}

TEST(FormatFixed, EightSignificantThenTwoDecimals)
{
    struct Case {
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0L, "0.00"},
        {12.5L, "12.50"},
        {0.125L, "0.13"},
        {-0.125L, "-0.13"},
        {0.004L, "0.00"},
        {-0.004L, "0.00"},
        {123456.789L, "123456.79"},
        {1234567.891L, "1234567.90"},
        {99.999L, "100.00"},
        {12345678.9L, "12345679.00"},
        {123456789.0L, "1.2345679E8"},
        {1e10L, "1E10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFixed(c.value, 8, 2, u'.'), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(formatFixed(2.5L, 8, 2, u','), QStringLiteral("2,50"));
    EXPECT_EQ(formatFixed(std::numeric_limits<long double>::quiet_NaN(), 8, 2, u'.'), QStringLiteral("NAN"));
}

TEST(FormatFixedAtLeast, KeepsEveryDigitTheValueNeeds)
{
    struct Case {
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0L, "0.00"},
        {12.5L, "12.50"},
        {0.0004L, "0.0004"},
        {-0.0004L, "-0.0004"},
        {0.004L, "0.004"},
        {0.125L, "0.125"},
        {1.23456789L, "1.2345679"},
        {12345678.9L, "12345679.00"},
        {123456789.0L, "1.2345679E8"},
        {0.00000001L, "0.00000001"},
        {0.000000001L, "1E-9"},
        {static_cast<double>(0.0004), "0.0004"},
    };
    for (const Case& c : cases) {
        const QString text = formatFixedAtLeast(c.value, 8, 2, u'.');
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.text;
        // What is shown reads back as the value to eight digits.
        const auto back = parseFloat(text, u'.');
        ASSERT_TRUE(back.has_value()) << c.text;
        EXPECT_EQ(formatFixedAtLeast(*back, 8, 2, u'.'), text);
    }
    EXPECT_EQ(formatFixedAtLeast(0.0004L, 8, 2, u','), QStringLiteral("0,0004"));
}

TEST(FormatGeneral, FifteenDigitsTrailingZerosDropped)
{
    struct Case {
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0L, "0"},           {1.0L, "1"},         {-2.5L, "-2.5"}, {1.0L / 3.0L, "0.333333333333333"},
        {0.00001L, "0.00001"}, {0.000001L, "1E-6"}, {1e15L, "1E15"}, {123456789012345.0L, "123456789012345"},
        {1.5e20L, "1.5E20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral(c.value, 15, u'.'), QString::fromLatin1(c.text)) << c.text;
}

TEST(FormatFloat, Patterns)
{
    struct Case {
        const char* pattern;
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {"", 0.0L, "0"},
        {"", 2.5L, "2.5"},
        {"0.00", 1.125L, "1.13"},
        {"0.00", -3.0L, "-3.00"},
        {"#.##", 0.5L, ".5"},
        {"#,##0.0", 1234567.25L, "1,234,567.3"},
        {"000", 7.0L, "007"},
        {"0.00E+00", 12345.0L, "1.23E+04"},
        {"0.0e-0", 0.00125L, "1.3e-3"},
        {"0.0e-0", 125.0L, "1.3e2"},
        {"0.0;(0.0);zero", -2.0L, "(2.0)"},
        {"0.0;(0.0);'zero'", 0.0L, "zero"},
        {"0 'kN'", 12.0L, "12 kN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFloat(QString::fromLatin1(c.pattern), c.value, {u'.', u','}), QString::fromLatin1(c.text))
            << c.pattern;
}

} // namespace
