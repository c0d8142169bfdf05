// A growable table that moves its entries to temporary files must give the
// very table it would have held in memory.
#include "engine/counting/cycle_table.h"
#include "engine/record/run_record.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

using namespace tessivo;

namespace {

// Points TMPDIR at a folder of the test's own while it lives.
class TemporaryFolderHere {
public:
    TemporaryFolderHere()
    {
        const char* old = std::getenv("TMPDIR");
        if (old != nullptr)
            m_old = old;
        m_had = old != nullptr;
        ::setenv("TMPDIR", m_dir.str().c_str(), 1);
    }
    ~TemporaryFolderHere()
    {
        if (m_had)
            ::setenv("TMPDIR", m_old.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    const test::TempDir& dir() const { return m_dir; }

private:
    test::TempDir m_dir;
    std::string m_old;
    bool m_had = false;
};

using Pairs = std::vector<std::pair<long double, long double>>;

// Few distinct loads, so a cycle recurs after its entry went to a file; the
// largest loads give cycles equal in range and upper load but not in lower
// load (the range rounds), which only their first count orders.
Pairs randomCycles(std::uint64_t seed, int count)
{
    std::mt19937_64 rng(seed);
    Pairs pairs;
    for (int i = 0; i < count; ++i) {
        if (rng() % 10 == 0) {
            pairs.emplace_back(1e20L, static_cast<long double>(rng() % 6)); // 1e20 - k rounds to 1e20
            continue;
        }
        const long double a = static_cast<long double>(rng() % 40) * 0.25L - 5.0L;
        const long double b = (rng() & 1) ? -0.0L : static_cast<long double>(rng() % 40) * 0.5L - 9.0L;
        pairs.emplace_back(a, b);
    }
    return pairs;
}

std::vector<TCycle> counted(const Pairs& pairs, std::int32_t heldInMemory, bool& spilled, long double divisor = 0)
{
    TCycleTable table(4, true, heldInMemory);
    table.EmptyCycleTable();
    RunResult result = RunResult::Normal;
    for (const auto& [a, b] : pairs)
        table.AddCycle(a, b, result);
    EXPECT_EQ(result, RunResult::Normal);
    std::int32_t n = 0;
    n = table.SortCycles();
    std::int32_t again = -1;
    again = table.SortCycles();
    EXPECT_EQ(again, n) << "sorting a sorted table";
    if (divisor != 0)
        table.divideLoads(n, divisor);
    spilled = table.spilled();
    std::vector<TCycle> cycles;
    CycleReader reader(table, n);
    for (TCycle c; reader.next(c);)
        cycles.push_back(c);
    EXPECT_EQ(cycles.size(), static_cast<std::size_t>(n));
    return cycles;
}

void expectSameTable(const std::vector<TCycle>& got, const std::vector<TCycle>& expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].Range, expected[i].Range) << "entry " << i + 1;
        ASSERT_EQ(got[i].Upper, expected[i].Upper) << "entry " << i + 1;
        ASSERT_EQ(std::signbit(got[i].Upper), std::signbit(expected[i].Upper)) << "entry " << i + 1;
        ASSERT_EQ(got[i].Lower, expected[i].Lower) << "entry " << i + 1;
        ASSERT_EQ(std::signbit(got[i].Lower), std::signbit(expected[i].Lower)) << "entry " << i + 1;
        ASSERT_EQ(got[i].Count, expected[i].Count) << "entry " << i + 1;
    }
}

} // namespace

TEST(CycleSpillSlow, SpilledTableEqualsTheTableHeldInMemory)
{
    TemporaryFolderHere tmp;
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
        const Pairs pairs = randomCycles(seed, 6000);
        bool inMemorySpilled = true, spilled = false;
        const std::vector<TCycle> expected = counted(pairs, 1 << 20, inMemorySpilled);
        ASSERT_FALSE(inMemorySpilled);
        ASSERT_GT(expected.size(), 500u);
        for (const std::int32_t held : {4, 37, 500}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << held << " entries in memory");
            expectSameTable(counted(pairs, held, spilled), expected);
            EXPECT_TRUE(spilled);
            expectSameTable(counted(pairs, held, spilled, -3.0L), counted(pairs, 1 << 20, inMemorySpilled, -3.0L));
        }
    }
}

TEST(CycleSpill, EmptyingDropsTheFilesAndTheTableCountsAgain)
{
    TemporaryFolderHere tmp;
    TCycleTable table(4, true, 4);
    table.EmptyCycleTable();
    RunResult result = RunResult::Normal;
    for (int i = 0; i < 20; ++i)
        table.AddCycle(i, 0, result);
    std::int32_t n = 0;
    n = table.SortCycles();
    EXPECT_EQ(n, 20);
    EXPECT_TRUE(table.spilled());
    EXPECT_TRUE(std::filesystem::is_empty(tmp.dir().str())) << "the files have no names";

    table.EmptyCycleTable();
    EXPECT_FALSE(table.spilled());
    table.AddCycle(1, 2, result);
    table.AddCycle(2, 1, result);
    n = table.SortCycles();
    ASSERT_EQ(n, 1);
    EXPECT_EQ(table[1].Count, 2);
}

// A table that joins the runs of a later one must equal the table that counted
// the later one's cycles one by one in its report order, then went on.
TEST(CycleSpill, JoinedRunsEqualCountingTheLaterTableCycleByCycle)
{
    TemporaryFolderHere tmp;
    const auto fill = [](TCycleTable& table, const Pairs& pairs, std::size_t from, std::size_t to) {
        RunResult result = RunResult::Normal;
        for (std::size_t i = from; i < to; ++i)
            table.AddCycle(pairs[i].first, pairs[i].second, result);
    };
    const auto readSorted = [](TCycleTable& table) {
        std::int32_t n = 0;
        n = table.SortCycles();
        std::vector<TCycle> cycles;
        CycleReader reader(table, n);
        for (TCycle c; reader.next(c);)
            cycles.push_back(c);
        return cycles;
    };
    struct Case {
        std::int32_t held;  // entries in memory of both tables
        std::size_t joinAt; // the later table's cycles start here; more follow the join from 5000
        bool laterSorted;   // the later table's runs merged before the join
    };
    for (const Case& c : {Case{4, 2000, false}, Case{37, 0, false}, Case{500, 3000, true}, Case{37, 1500, true}}) {
        SCOPED_TRACE(testing::Message() << c.held << " held, join at " << c.joinAt);
        const Pairs pairs = randomCycles(c.held + c.joinAt, 6000);
        TCycleTable expected(4, true, 1 << 20), joined(4, true, c.held), later(4, true, c.held);
        fill(expected, pairs, 0, c.joinAt);
        fill(joined, pairs, 0, c.joinAt);
        fill(later, pairs, c.joinAt, 5000);
        TCycleTable laterAlone(4, true, 1 << 20);
        fill(laterAlone, pairs, c.joinAt, 5000);
        RunResult result = RunResult::Normal;
        for (const TCycle& cycle : readSorted(laterAlone))
            for (std::int32_t k = 0; k < cycle.Count; ++k)
                expected.AddCycle(cycle.Lower, cycle.Upper, result); // keeps a cycle of -0 and 0 as it is
        if (c.laterSorted)
            readSorted(later);
        ASSERT_TRUE(JoinSpilledCycles(joined, later));
        EXPECT_FALSE(later.spilled());
        fill(expected, pairs, 5000, pairs.size());
        fill(joined, pairs, 5000, pairs.size());
        expectSameTable(readSorted(joined), readSorted(expected));
    }
    TCycleTable table(4, true, 1 << 20), inMemory(4, true, 1 << 20);
    fill(inMemory, randomCycles(9, 100), 0, 100);
    EXPECT_FALSE(JoinSpilledCycles(table, inMemory)) << "a table in memory is counted cycle by cycle";
}
