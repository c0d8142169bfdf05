// A large sequence file is scanned as two halves at once; the statistics must
// be exactly those of reading it in one go, whatever lies where.
#include "engine/files/sequence_loading.h"
#include "engine/files/sequence_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tessivo;

namespace {

SequenceStats scanInOneGo(const std::string& path)
{
    SequenceStats stats;
    SequenceFileSource source(path);
    long double v = 0.0L;
    while (source.next(v)) {
        if (stats.Points == 0 || v > stats.HighestPeak)
            stats.HighestPeak = v;
        if (stats.Points == 0 || v < stats.LowestTrough)
            stats.LowestTrough = v;
        ++stats.Points;
    }
    stats.Proper = !source.malformed() && stats.Points > 0;
    return stats;
}

// About 12 MB of values, with `first` near the start and `second` near the end.
std::string content(const std::string& first, const std::string& second)
{
    std::string text = "5\n" + first + "\n";
    for (int i = 0; i < 1'200'000; ++i)
        text += std::to_string(i % 997) + ".25\n";
    return text + second + "\n-0\n";
}

} // namespace

TEST(SplitScanSlow, SameStatisticsAsReadingInOneGo)
{
    const struct {
        const char* name;
        std::string first, second;
    } cases[] = {
        {"plain", "1", "2"},
        {"bad token early", "x", "2"},
        {"bad token late", "1", "1,5"},
        {"Ctrl-Z early", "\x1a", "9999"},
        {"Ctrl-Z late", "1",
         "\x1a"
         "abc"},
        {"new extremes late", "1", "123456 -123456"},
        {"signed zeros", "0", "7"}, // +0 early, -0 at the end: the first one stays
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string path = dir.write("seq.txt", content(c.first, c.second));
        const SequenceStats expected = scanInOneGo(path);
        const SequenceStats got = scanSequenceFile(path);
        EXPECT_EQ(got.Points, expected.Points) << c.name;
        EXPECT_EQ(got.Proper, expected.Proper) << c.name;
        EXPECT_EQ(got.HighestPeak, expected.HighestPeak) << c.name;
        EXPECT_EQ(got.LowestTrough, expected.LowestTrough) << c.name;
        EXPECT_EQ(std::signbit(got.LowestTrough), std::signbit(expected.LowestTrough)) << c.name;
    }
}
