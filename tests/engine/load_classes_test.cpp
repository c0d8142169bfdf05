#include "engine/counting/load_classes.h"
#include "engine/counting/rainflow_counting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

using namespace tessivo;

namespace {

std::unique_ptr<TRainflowRun> runWithBounds(long double lowest, long double highest, std::int32_t bins)
{
    auto run = std::make_unique<TRainflowRun>();
    run->LowestTrough = lowest;
    run->HighestPeak = highest;
    run->BinCount = bins;
    return run;
}

// A full cycle or a half cycle entered in the run's from-to matrix, as a run
// in load bins enters it.
void binFull(TRainflowRun& run, long double a, long double b)
{
    TCycleTable unused(1);
    RunResult result = RunResult::Normal;
    CycleTally(run, true, unused, result).fullCycle(a, b);
}

void binHalf(TRainflowRun& run, long double from, long double to)
{
    TCycleTable unused(1);
    RunResult result = RunResult::Normal;
    CycleTally(run, true, unused, result).residueHalfCycle(from, to);
}

} // namespace

TEST(ClassIndex, EdgesAndLoadsOutsideTheSpan)
{
    struct Case {
        long double x;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0.0L, 1},
        {0.3125L, 2},
        {0.3124L, 1},
        {10.0L, 32},
        {-5.0L, 1},
        {25.0L, 32},
        {9.6875L, 32},
        {9.6874L, 31},
        {5.0L, 17},
        {std::numeric_limits<long double>::quiet_NaN(), 1},
        {std::numeric_limits<long double>::infinity(), 32},
        {-std::numeric_limits<long double>::infinity(), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassIndex(c.x, 0.0L, 10.0L, 32), c.expected) << static_cast<double>(c.x);
}

TEST(ClassIndex, EndsWhenTheWidthCannotMoveTheEdge)
{
    // The width is far below half an ulp of the loads: the edge never advances,
    // so every load from the lowest up counts through all classes.
    const long double lowest = 1.0E10L;
    const long double highest = lowest + 1.0E-8L;
    ASSERT_EQ(lowest + ClassWidth(lowest, highest, 100), lowest);
    EXPECT_EQ(ClassIndex(lowest, lowest, highest, 100), 100);
    EXPECT_EQ(ClassIndex(highest, lowest, highest, 100), 100);
    EXPECT_EQ(ClassIndex(lowest - 1.0L, lowest, highest, 100), 1);
    EXPECT_EQ(LoadClasses(lowest, highest, 100).classOf(lowest), 100);
}

TEST(ClassIndex, SpanBeyondTheRangeOfLongDouble)
{
    const long double big = std::numeric_limits<long double>::max() * 0.9L;
    ASSERT_TRUE(std::isinf(big - -big));
    EXPECT_EQ(ClassIndex(-big, -big, big, 32), 1);
    EXPECT_EQ(ClassIndex(big, -big, big, 32), 32);
    const std::int32_t middle = ClassIndex(0.0L, -big, big, 32);
    EXPECT_TRUE(middle == 16 || middle == 17) << middle;
    EXPECT_EQ(ClassIndex(big / 2, -big, big, 32), 25);

    EXPECT_EQ(ClassEdge(0, -big, big, 32), -big);
    EXPECT_EQ(ClassEdge(32, -big, big, 32), big);
    long double previous = -big;
    for (std::int32_t k = 1; k <= 32; ++k) {
        const long double edge = ClassEdge(k, -big, big, 32);
        EXPECT_TRUE(std::isfinite(edge));
        EXPECT_GT(edge, previous);
        previous = edge;
    }
}

TEST(LoadClasses, AgreesWithClassIndexOnEdgesAndBetween)
{
    std::mt19937_64 rng(20240601);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const std::int32_t binCounts[] = {32, 64, 100, 7, 256};
    const long double bounds[][2] = {
        {0.0L, 10.0L},
        {-3.7L, 12.1L},
        {1.0E10L, 1.0E10L + 1.0E-6L},
        {-1.0E-300L, 1.0E-300L},
        {5.0L, 5.0L},
        {1.0E4000L, 1.0E4001L},
        {-std::numeric_limits<long double>::max(), std::numeric_limits<long double>::max()},
    };
    for (const auto& b : bounds) {
        for (const std::int32_t bins : binCounts) {
            const LoadClasses classes(b[0], b[1], bins);
            const long double width = ClassWidth(b[0], b[1], bins);
            long double t = b[0];
            std::vector<long double> probes;
            for (std::int32_t k = 0; k <= bins + 1; ++k, t += width) {
                probes.push_back(t);
                probes.push_back(std::nextafter(t, -INFINITY));
                probes.push_back(std::nextafter(t, INFINITY));
            }
            for (int i = 0; i < 200; ++i)
                probes.push_back(b[0] + (b[1] - b[0]) * static_cast<long double>(unit(rng) * 1.2));
            for (const long double x : probes)
                ASSERT_EQ(classes.classOf(x), ClassIndex(x, b[0], b[1], bins))
                    << static_cast<double>(x) << " bins " << bins << " lowest " << static_cast<double>(b[0]);
        }
    }
}

TEST(FromToMatrix, CyclesAndHalfCyclesBecomeEntries)
{
    struct Move {
        bool full;
        long double from, to;
    };
    struct Case {
        const char* name;
        std::vector<Move> moves;
        std::int32_t entries;
        long double upper, lower, range;
        std::int32_t count;
    };
    const Case cases[] = {
        {"full 1-9", {{true, 1.0L, 9.0L}}, 1, 9.0625L, 0.9375L, 8.125L, 1},
        {"full 9-1", {{true, 9.0L, 1.0L}}, 1, 9.0625L, 0.9375L, 8.125L, 1},
        {"two full", {{true, 1.0L, 9.0L}, {true, 9.0L, 1.0L}}, 1, 9.0625L, 0.9375L, 8.125L, 2},
        {"one class", {{true, 1.0L, 1.2L}}, 0, 0, 0, 0, 0},
        {"half down", {{false, 9.0L, 1.0L}}, 0, 0, 0, 0, 0},
        {"half up", {{false, 1.0L, 9.0L}}, 1, 9.0625L, 0.9375L, 8.125L, 1},
    };
    for (const Case& c : cases) {
        auto run = runWithBounds(0.0L, 10.0L, 32);
        for (const Move& m : c.moves) {
            if (m.full)
                binFull(*run, m.from, m.to);
            else
                binHalf(*run, m.from, m.to);
        }
        TCycleTable table;
        std::int32_t n = -1;
        EXPECT_TRUE(MatrixToCycles(*run, table, n));
        ASSERT_EQ(n, c.entries) << c.name;
        if (n == 1) {
            EXPECT_EQ(table[1].Upper, c.upper) << c.name;
            EXPECT_EQ(table[1].Lower, c.lower) << c.name;
            EXPECT_EQ(table[1].Range, c.range) << c.name;
            EXPECT_EQ(table[1].Count, c.count) << c.name;
        }
    }
    auto run = runWithBounds(0.0L, 10.0L, 32);
    binFull(*run, 1.0L, 1.2L);
    EXPECT_EQ(run->FromToMatrix[4][4], 2);
    binHalf(*run, 9.0L, 1.0L);
    EXPECT_EQ(run->FromToMatrix[29][4], 1);
    EXPECT_EQ(run->FromToMatrix[4][29], 0);
}

TEST(FromToMatrix, FullUpperTriangleAndClearing)
{
    auto run = runWithBounds(-1.0L, 3.0L, 100);
    for (auto& row : run->FromToMatrix)
        row.fill(3);
    TCycleTable table;
    std::int32_t n = 0;
    EXPECT_TRUE(MatrixToCycles(*run, table, n));
    EXPECT_EQ(n, 4950);
    EXPECT_EQ(table[1].Upper, 3.0L);
    EXPECT_EQ(table[1].Lower, -1.0L);
    EXPECT_EQ(table[1].Count, 3);

    ClearFromToMatrix(run->FromToMatrix, 100);
    EXPECT_EQ(run->FromToMatrix[1][1], 0);
    EXPECT_EQ(run->FromToMatrix[100][100], 0);
    EXPECT_EQ(run->FromToMatrix[101][1], 3); // outside the square: never read, left alone
}

TEST(FromToMatrix, MoreCellsThanTheTableHoldsAndSaturatedCells)
{
    auto run = runWithBounds(0.0L, 1.0L, 256);
    for (auto& row : run->FromToMatrix)
        row.fill(1);
    TCycleTable table;
    std::int32_t n = 0;
    EXPECT_FALSE(MatrixToCycles(*run, table, n));
    EXPECT_EQ(n, MaxCycles);

    run->FromToMatrix[2][2] = std::numeric_limits<std::int32_t>::max() - 1;
    binFull(*run, 0.005L, 0.006L);
    EXPECT_EQ(run->FromToMatrix[2][2], std::numeric_limits<std::int32_t>::max());
}
