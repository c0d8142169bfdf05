#include "engine/files/memory_values.h"
#include "engine/counting/reversal_extraction.h"
#include "test_support.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tessivo;
using tessivo::test::TempDir;

namespace {

long double work(const char* text)
{
    long double v = 0.0L;
    EXPECT_TRUE(parseWorkValue(text, v)) << text;
    return v;
}

std::vector<long double> extract(const std::vector<long double>& in, std::int32_t n, long double filter)
{
    VectorSource source(in);
    VectorSink sink;
    const std::int64_t count = extractReversalsN(source, n, filter, sink);
    EXPECT_EQ(count, static_cast<std::int64_t>(sink.values.size()));
    return sink.values;
}

} // namespace

TEST(ReversalExtraction, FilterAndPlateaus)
{
    struct Case {
        const char* name;
        long double filter;
        std::vector<long double> in;
        std::vector<long double> out;
    };
    const Case cases[] = {
        {"filter absorbs dip and rise", 1.0L, {0, 2, 1.5, 3, 0, 0.5, 2}, {0, 3, 0, 2}},
        {"first value is a trough", 0.0L, {5, 3, 10}, {5, 3, 10}},
        {"first value inside the band", 2.0L, {5, 6, 3}, {6, 3}},
        {"equal values give their mean", 0.0L, {1, 1, 1}, {1}},
        {"plateau is one peak", 0.0L, {1, 3, 3, 3, 2}, {1, 3, 2}},
        {"move back of exactly the filter", 1.0L, {0, 2, 1, 3}, {0, 3}},
        {"falling, move back of exactly the filter", 1.0L, {0, -2, -1, -3}, {0, -3}},
        {"first rise of exactly the filter", 1.0L, {0, 1, -2}, {1, -2}},
        {"first fall of exactly the filter", 1.0L, {0, -1, 2}, {-1, 2}},
        {"trough plateau then rise", 0.0L, {4, 1, 1, 1, 5, 5, 2}, {4, 1, 5, 2}},
        {"never leaves the band", 3.0L, {1, 2, 4, 3}, {2.5}},
        {"negative loads", 0.5L, {-1, -3, -2, -2.4, -1}, {-1, -3, -1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(extract(c.in, static_cast<std::int32_t>(c.in.size()), c.filter), c.out) << c.name;
}

TEST(ReversalExtraction, TakesExactlyNValues)
{
    const std::vector<long double> in = {0, 5, 2, 4, 1, 6};
    EXPECT_EQ(extract(in, 4, 0.0L), (std::vector<long double>{0, 5, 2, 4}));
    EXPECT_EQ(extract(in, 1, 0.0L), (std::vector<long double>{0}));
    EXPECT_EQ(extract(in, 0, 0.0L), (std::vector<long double>{0}));
    EXPECT_EQ(extract(in, -7, 0.0L), (std::vector<long double>{0}));
    // Past the end the last value repeats, which changes nothing.
    EXPECT_EQ(extract(in, std::numeric_limits<std::int32_t>::max(), 0.0L), extract(in, 6, 0.0L));
    EXPECT_EQ(extract({}, 5, 0.0L), (std::vector<long double>{}));
}

TEST(ReversalExtraction, MeanIsAWorkValueAndNeverOverflows)
{
    // The mean of two 15-digit loads needs more digits; the run passes it on
    // as the work file would hold it.
    EXPECT_EQ(extract({work("0.1"), work("0.2")}, 2, 1.0L), (std::vector<long double>{work("0.15")}));
    const long double top = std::numeric_limits<long double>::max();
    const auto out = extract({top, top}, 2, 0.0L);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], roundToWorkPrecision(top));
}

TEST(ReversalExtraction, WorkFilesSkipLinesThatDoNotConvert)
{
    TempDir dir;
    const std::string in = dir.write("in.tmp", " 0.00000000000000E+0000\r\nabc\r\n 5.00000000000000E+0000\r\n"
                                               " 2.00000000000000E+0000\r\n 9.00000000000000E+0000\r\n");
    WorkFileReader reader(in);
    WorkFileWriter writer(dir.file("out.tmp"));
    EXPECT_EQ(extractReversalsN(reader, 3, 0.0L, writer), 3);
    writer.close();
    EXPECT_EQ(
        test::workLines(dir.file("out.tmp")),
        (std::vector<std::string>{" 0.00000000000000E+0000", " 5.00000000000000E+0000", " 2.00000000000000E+0000"}));
}
