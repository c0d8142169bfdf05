#include "engine/files/memory_values.h"
#include "engine/counting/rainflow_counting.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

using namespace tessivo;

namespace {

using Pair = std::pair<long double, long double>;

struct Recorder final : CycleSink {
    void fullCycle(long double a, long double b) override { cycles.emplace_back(a, b); }
    std::vector<Pair> cycles;
};

struct Counted {
    std::vector<Pair> cycles;
    std::vector<long double> residue;
};

Counted fourPoint(const std::vector<long double>& reversals)
{
    Recorder recorder;
    FourPointCounter counter(recorder);
    for (const long double v : reversals)
        counter.put(v);
    return {recorder.cycles, counter.residue()};
}

} // namespace

TEST(FourPointCounter, ClosesInnerRangesAndKeepsTheResidue)
{
    struct Case {
        const char* name;
        std::vector<long double> reversals;
        std::vector<Pair> cycles;
        std::vector<long double> residue;
    };
    const Case cases[] = {
        {"worked example", {0, 5, 2, 4, 1, 6}, {{2, 4}, {5, 1}}, {0, 6}},
        {"only growing and shrinking ranges", {3, 5, 1, 9, 0}, {}, {3, 5, 1, 9, 0}},
        {"ties close", {0, 4, 0, 4}, {{4, 0}}, {0, 4}},
        {"mirror image", {0, -5, -2, -4, -1, -6}, {{-2, -4}, {-5, -1}}, {0, -6}},
        {"two reversals", {1, 7}, {}, {1, 7}},
        {"one reversal", {1}, {}, {1}},
        {"none", {}, {}, {}},
        {"cascade", {0, 10, 5, 7, 6, 6.5, 1, 11}, {{6, 6.5}, {5, 7}, {10, 1}}, {0, 11}},
    };
    for (const Case& c : cases) {
        const Counted counted = fourPoint(c.reversals);
        EXPECT_EQ(counted.cycles, c.cycles) << c.name;
        EXPECT_EQ(counted.residue, c.residue) << c.name;
    }
}

TEST(FourPointCounter, ResidueGrowsPastTheOldFixedStack)
{
    // Ranges that only grow never close: every point stays on the stack.
    std::vector<long double> reversals;
    for (int i = 1; i <= 30001; ++i)
        reversals.push_back(i % 2 ? i : -i);
    reversals.push_back(0); // closes nothing either: it lies inside the last range
    const Counted counted = fourPoint(reversals);
    EXPECT_TRUE(counted.cycles.empty());
    EXPECT_EQ(counted.residue, reversals);
}

TEST(CountCycles, WritesTheResidueTwiceInPassOne)
{
    auto run = std::make_unique<TRainflowRun>();
    TCycleTable table;
    RunResult result = RunResult::Normal;
    const std::vector<long double> reversals = {0, 5, 2, 4, 1, 6};
    VectorSource in(reversals);
    VectorSink residue;
    EXPECT_EQ(CountCycles(in, 6, 1, *run, false, table, result, residue), 4);
    EXPECT_EQ(residue.values, (std::vector<long double>{0, 6, 0, 6}));
    std::int32_t n = 0;
    SortCycles(n, table);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(table[1].Upper, 5.0L);
    EXPECT_EQ(table[2].Upper, 4.0L);

    VectorSource again(reversals);
    VectorSink none;
    EXPECT_EQ(CountCycles(again, 6, 2, *run, false, table, result, none), 0);
    EXPECT_TRUE(none.values.empty());
    EXPECT_EQ(table[1].Count, 2);
}

TEST(CountCycles, EndsWhateverTheCountSays)
{
    auto run = std::make_unique<TRainflowRun>();
    TCycleTable table;
    RunResult result = RunResult::Normal;
    const std::vector<long double> reversals = {2, 8, 3, 5};
    struct Case {
        std::int64_t count;
        std::int64_t lines;
    };
    for (const Case c : {Case{-1, 0}, Case{0, 0}, Case{1, 2}, Case{3, 6}, Case{4, 8}, Case{1000000000000, 8}}) {
        VectorSource in(reversals);
        VectorSink residue;
        EXPECT_EQ(CountCycles(in, c.count, 1, *run, false, table, result, residue), c.lines) << c.count;
    }
}

TEST(CountUpwardResidue, UpwardPairsOnlyWithoutBinsEveryPairWithBins)
{
    auto run = std::make_unique<TRainflowRun>();
    run->LowestTrough = 0.0L;
    run->HighestPeak = 6.0L;
    run->BinCount = 32;
    TCycleTable table;
    RunResult result = RunResult::Normal;
    const std::vector<long double> residue = {3, 5, 1, 9, 0};
    VectorSource twice(residue, 2);
    CountUpwardResidue(twice, 10, *run, false, table, result);
    std::int32_t n = 0;
    SortCycles(n, table);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(table[1].Upper, 9.0L);
    EXPECT_EQ(table[1].Lower, 1.0L);
    EXPECT_EQ(table[2].Upper, 5.0L);
    EXPECT_EQ(table[2].Lower, 3.0L);

    const std::vector<long double> binned = {0, 6, 1};
    VectorSource binnedTwice(binned, 2);
    TCycleTable untouched;
    CountUpwardResidue(binnedTwice, 6, *run, true, untouched, result);
    EXPECT_EQ(run->FromToMatrix[1][32], 1);
    EXPECT_EQ(run->FromToMatrix[32][6], 1);
    EXPECT_EQ(untouched[1].Count, 0);
    TCycleTable converted;
    MatrixToCycles(*run, converted, n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(result, RunResult::Normal);
}
