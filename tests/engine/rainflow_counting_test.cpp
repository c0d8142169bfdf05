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
        {"rising, back to the first point", {0, 4, 0, 5}, {{4, 0}}, {0, 5}},
        {"rising, up to the second point", {0, 4, 1, 4}, {{4, 1}}, {0, 4}},
        {"falling ties close", {0, -4, 0, -4}, {{-4, 0}}, {0, -4}},
        {"falling, back to the first point", {0, -4, 0, -5}, {{-4, 0}}, {0, -5}},
        {"falling, down to the second point", {0, -4, -1, -4}, {{-4, -1}}, {0, -4}},
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

TEST(CycleTally, ResidueHalfCyclesUpwardOnlyWithoutBinsEveryOneWithBins)
{
    auto run = std::make_unique<TRainflowRun>();
    run->LowestTrough = 0.0L;
    run->HighestPeak = 6.0L;
    run->BinCount = 32;
    TCycleTable table;
    RunResult result = RunResult::Normal;
    const std::vector<long double> residue = {3, 5, 1, 9, 0};
    CycleTally exact(*run, false, table, result);
    for (std::size_t j = 1; j < residue.size(); ++j)
        exact.residueHalfCycle(residue[j - 1], residue[j]);
    std::int32_t n = 0;
    n = table.SortCycles();
    ASSERT_EQ(n, 2);
    EXPECT_EQ(table[1].Upper, 9.0L);
    EXPECT_EQ(table[1].Lower, 1.0L);
    EXPECT_EQ(table[2].Upper, 5.0L);
    EXPECT_EQ(table[2].Lower, 3.0L);

    const std::vector<long double> binned = {0, 6, 1};
    TCycleTable untouched;
    CycleTally inBins(*run, true, untouched, result);
    for (std::size_t j = 1; j < binned.size(); ++j)
        inBins.residueHalfCycle(binned[j - 1], binned[j]);
    EXPECT_EQ(run->FromToMatrix[1][32], 1);
    EXPECT_EQ(run->FromToMatrix[32][6], 1);
    EXPECT_EQ(untouched[1].Count, 0);
    TCycleTable converted;
    MatrixToCycles(*run, converted, n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(result, RunResult::Normal);
}
