#include "engine/counting/cycle_table.h"
#include "engine/record/run_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace tessivo;

namespace {

// The table as specified, kept deliberately naive: a linear search per cycle
// and an exchange sort. The fast table must agree with it entry for entry.
struct NaiveTable {
    std::vector<TCycle> e = std::vector<TCycle>(MaxCycles + 1);

    void add(long double a, long double b, RunResult& result)
    {
        const long double upper = a > b ? a : b, lower = a > b ? b : a;
        for (int i = 1; i <= MaxCycles; ++i)
            if (e[i].Upper == upper && e[i].Lower == lower) {
                ++e[i].Count;
                return;
            }
        int i = 1;
        while (i < MaxCycles && e[i].Count > 0)
            ++i;
        if (i == MaxCycles && e[i].Count > 0)
            result = RunResult::TableFull;
        e[i] = TCycle{upper - lower, upper, lower, 1};
    }
};

void expectEntry(const TCycle& c, long double range, long double upper, long double lower, int count)
{
    EXPECT_EQ(c.Range, range);
    EXPECT_EQ(c.Upper, upper);
    EXPECT_EQ(c.Lower, lower);
    EXPECT_EQ(c.Count, count);
}

} // namespace

TEST(CycleTable, EmptyEntriesAndInit)
{
    auto table = std::make_unique<TCycleTable>();
    table->EmptyCycleTable();
    expectEntry((*table)[1], 0.0L, -1.0L, 0.0L, 0);
    expectEntry((*table)[MaxCycles], 0.0L, -1.0L, 0.0L, 0);

    auto run = std::make_unique<TRainflowRun>();
    run->HighestPeak = 7.0L;
    run->Sequences[1].Points = 5;
    run->FromToMatrix[3][4] = 9;
    run->SeqLength = 11;
    InitRainflowRun(*run);
    EXPECT_EQ(run->SeqLength, 0);
    EXPECT_EQ(run->BinCount, 32);
    EXPECT_TRUE(run->Decomposition);
    EXPECT_FALSE(run->UseLoadBins);
    EXPECT_FALSE(run->Normalize);
    EXPECT_EQ(run->FilterSize, 0.0L);
    EXPECT_EQ(run->HighestPeak, 7.0L);
    EXPECT_EQ(run->Sequences[1].Points, 5);
    EXPECT_EQ(run->FromToMatrix[3][4], 9);
}

TEST(CycleTable, AddCycleMergesEqualPairsInEitherOrder)
{
    TCycleTable table;
    table.EmptyCycleTable();
    RunResult result = RunResult::Normal;
    table.AddCycle(3.0L, 1.0L, result);
    table.AddCycle(1.0L, 3.0L, result);
    table.AddCycle(2.0L, 2.0L, result);
    table.AddCycle(-0.0L, 4.0L, result);
    table.AddCycle(4.0L, 0.0L, result); // minus zero equals zero
    expectEntry(table[1], 2.0L, 3.0L, 1.0L, 2);
    expectEntry(table[2], 0.0L, 2.0L, 2.0L, 1);
    EXPECT_EQ(table[3].Count, 2);
    EXPECT_EQ(table[4].Count, 0);
    EXPECT_EQ(result, RunResult::Normal);
}

TEST(CycleTable, FullTableOverwritesTheLastEntry)
{
    TCycleTable table;
    table.EmptyCycleTable();
    RunResult result = RunResult::Normal;
    for (int i = 1; i <= MaxCycles; ++i)
        table.AddCycle(i, 0.0L, result);
    EXPECT_EQ(result, RunResult::Normal);
    table.AddCycle(-1.0L, -2.0L, result);
    EXPECT_EQ(result, RunResult::TableFull);
    expectEntry(table[MaxCycles], 1.0L, -1.0L, -2.0L, 1);
    result = RunResult::Normal;
    table.AddCycle(-2.0L, -1.0L, result);
    EXPECT_EQ(table[MaxCycles].Count, 2) << "a pair matching the last entry only counts";
    EXPECT_EQ(result, RunResult::Normal);
    table.AddCycle(5.0L, 0.0L, result);
    EXPECT_EQ(table[5].Count, 2);
}

TEST(CycleTable, SortOrdersByRangeThenUpperAndStopsAtTheFirstFreeEntry)
{
    TCycleTable table;
    table.EmptyCycleTable();
    table.entry(1) = TCycle{2.0L, 4.0L, 2.0L, 1};
    table.entry(2) = TCycle{5.0L, 6.0L, 1.0L, 1};
    table.entry(3) = TCycle{5.0L, 9.0L, 4.0L, 1};
    std::int32_t n = 0;
    n = table.SortCycles();
    ASSERT_EQ(n, 3);
    EXPECT_EQ(table[1].Upper, 9.0L);
    EXPECT_EQ(table[2].Upper, 6.0L);
    EXPECT_EQ(table[3].Upper, 4.0L);

    table.entry(3).Count = 0;
    table.entry(4) = TCycle{50.0L, 50.0L, 0.0L, 1};
    n = table.SortCycles();
    EXPECT_EQ(n, 2);
    EXPECT_EQ(table[4].Range, 50.0L) << "entries after a free one are neither counted nor sorted";
}

TEST(CycleTableSlow, AgreesWithTheNaiveTableOnRandomCycles)
{
    std::mt19937_64 rng(99);
    for (int round = 0; round < 4; ++round) {
        auto naive = std::make_unique<NaiveTable>();
        TCycleTable table;
        table.EmptyCycleTable();
        RunResult r1 = RunResult::Normal, r2 = RunResult::Normal;
        const int distinct = round < 2 ? 50 : 400; // the last rounds overflow the table
        for (int i = 0; i < 60000; ++i) {
            const long double a = static_cast<long double>(rng() % distinct) * 0.25L - 3.0L;
            const long double b = static_cast<long double>(rng() % distinct) * ((rng() & 1) ? 0.5L : -0.0L);
            naive->add(a, b, r1);
            table.AddCycle(a, b, r2);
        }
        ASSERT_EQ(r1, r2);
        for (int i = 1; i <= MaxCycles; ++i) {
            ASSERT_EQ(naive->e[i].Upper, table[i].Upper) << i;
            ASSERT_EQ(naive->e[i].Lower, table[i].Lower) << i;
            ASSERT_EQ(naive->e[i].Count, table[i].Count) << i;
        }
    }
}

TEST(CycleTable, GrowableTableHoldsEveryDistinctCycle)
{
    TCycleTable table(MaxCycles, true);
    table.EmptyCycleTable();
    RunResult result = RunResult::Normal;
    for (int i = 0; i < 50000; ++i)
        table.AddCycle(i, -i, result);
    table.AddCycle(49999, -49999, result);
    std::int32_t n = 0;
    n = table.SortCycles();
    EXPECT_EQ(result, RunResult::Normal);
    EXPECT_EQ(n, 50000);
    expectEntry(table[1], 99998.0L, 49999.0L, -49999.0L, 2);
    table.EmptyCycleTable();
    EXPECT_EQ(table.capacity(), MaxCycles);
}

TEST(CycleTable, EqualKeysKeepTheOrderInWhichTheyWereCounted)
{
    TCycleTable table;
    table.EmptyCycleTable();
    // Same range and upper load, different lower load: only possible through
    // rounding of the range at large magnitudes.
    const long double big = 1e30L;
    table.entry(1) = TCycle{big, big, 1.0L, 1};
    table.entry(2) = TCycle{big, big, 2.0L, 1};
    table.entry(3) = TCycle{big, big, 0.5L, 1};
    EXPECT_EQ(table.SortCycles(), 3);
    EXPECT_EQ(table[1].Lower, 1.0L);
    EXPECT_EQ(table[2].Lower, 2.0L);
    EXPECT_EQ(table[3].Lower, 0.5L);
}

TEST(CycleTable, SortMatchesAStableSortOfTheEntries)
{
    std::mt19937_64 rng(4);
    for (int round = 0; round < 20; ++round) {
        TCycleTable table(MaxCycles, true);
        table.EmptyCycleTable();
        const int count = 1 + static_cast<int>(rng() % MaxCycles);
        std::vector<TCycle> expected;
        for (int i = 1; i <= count; ++i) {
            // Few distinct keys, so ties in Range and Upper are common.
            const long double upper = static_cast<long double>(rng() % 7) - 3.0L;
            const long double lower = upper - static_cast<long double>(rng() % 5) * ((rng() & 1) ? 1.0L : -0.0L);
            const TCycle c{upper - lower, upper, lower, i};
            table.entry(i) = c;
            expected.push_back(c);
        }
        std::stable_sort(expected.begin(), expected.end(), [](const TCycle& x, const TCycle& y) {
            return x.Range > y.Range || (x.Range == y.Range && x.Upper > y.Upper);
        });
        std::int32_t n = 0;
        n = table.SortCycles();
        ASSERT_EQ(n, count);
        for (int i = 1; i <= n; ++i)
            ASSERT_EQ(table[i].Count, expected[static_cast<std::size_t>(i) - 1].Count) << "position " << i;
    }
}
