#include "engine/record/io_error.h"
#include "pipeline_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <stdexcept>

using namespace tessivo;
using namespace tessivo::test;

namespace {

std::vector<std::string> lines(const std::vector<long double>& values)
{
    std::vector<std::string> out;
    for (const long double v : values)
        out.push_back(formatWorkValue(v));
    return out;
}

// 0 5 2 4 1 6 over and over, `count` values in all.
std::vector<long double> repeatedWorkedRun(std::size_t count)
{
    const long double pattern[] = {0, 5, 2, 4, 1, 6};
    std::vector<long double> loads;
    for (std::size_t i = 0; i < count; ++i)
        loads.push_back(pattern[i % 6]);
    return loads;
}

bool hasUpper(const std::vector<Entry>& entries, long double upper)
{
    return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.upper == upper; });
}

} // namespace

TEST(RunRainflow, WorkedRunInBothFormsWithItsWorkFiles)
{
    const std::vector<long double> loads = {0, 5, 2, 4, 1, 6};
    const std::vector<Entry> exact = {{6, 6, 0, 1}, {4, 5, 1, 1}, {2, 4, 2, 1}};
    const std::vector<Entry> binned = {{6, 6, 0, 1}, {4.125L, 5.0625L, 0.9375L, 1}, {2.25L, 4.125L, 1.875L, 1}};
    struct Case {
        bool bins, decomposition;
        const std::vector<Entry>& entries;
        std::vector<long double> reversalsFile, redRevFile;
    };
    const Case cases[] = {
        {false, true, exact, {0, 6, 0, 6}, {}},
        {false, false, exact, {0, 5, 2, 4, 1, 6}, {0, 6, 0, 6}},
        {true, true, binned, {0, 6, 0, 6}, {}},
        {true, false, binned, {0, 5, 2, 4, 1, 6}, {0, 6, 0, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bins " << c.bins << " decomposition " << c.decomposition);
        TempDir dir;
        auto run = makeRun(loads, {0.0L, c.bins, c.decomposition, 32});
        const Outcome files = runWithFiles(*run, dir, loads);
        EXPECT_EQ(files.result, RunResult::Normal);
        EXPECT_EQ(files.entries, c.entries);
        EXPECT_EQ(workLines(dir.file(kSequenceFile)), lines(loads));
        EXPECT_EQ(workLines(dir.file(kReversalsFile)), lines(c.reversalsFile));
        EXPECT_EQ(workLines(dir.file(kRedRevFile)), lines(c.redRevFile));
        EXPECT_EQ(runInMemory(*run, loads).entries, c.entries);
    }
}

TEST(RunRainflow, ResidueHandlingOfARisingAndFallingSequence)
{
    const std::vector<long double> loads = {3, 5, 1, 9, 0};
    auto run = makeRun(loads, {0.0L, false, true, 32});
    EXPECT_EQ(runInMemory(*run, loads).entries, (std::vector<Entry>{{9, 9, 0, 1}, {4, 5, 1, 1}}));
    run->Decomposition = false;
    EXPECT_EQ(runInMemory(*run, loads).entries, (std::vector<Entry>{{8, 9, 1, 1}, {2, 5, 3, 1}}));

    TempDir dir;
    run->Decomposition = true;
    runWithFiles(*run, dir, loads);
    EXPECT_EQ(workLines(dir.file(kReversalsFile)), lines({3, 5, 1, 9, 0, 5, 1, 9, 0}));
}

TEST(RunRainflow, SwitchesToLoadClassesAt40000Values)
{
    struct Case {
        std::size_t length;
        bool bins, unlimited;
        RunResult result;
        bool exactLoads;
    };
    const Case cases[] = {
        {39999, false, false, RunResult::Normal, true},
        {40000, false, false, RunResult::MatrixApplied, false},
        {40000, true, false, RunResult::Normal, false},
        {40000, false, true, RunResult::Normal, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " values, bins " << c.bins << ", unlimited " << c.unlimited);
        const auto loads = repeatedWorkedRun(c.length);
        auto run = makeRun(loads, {0.0L, c.bins, true, 32});
        const Outcome o = runInMemory(*run, loads, {c.unlimited});
        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(hasUpper(o.entries, 5.0L), c.exactLoads);
        EXPECT_EQ(hasUpper(o.entries, 5.0625L), !c.exactLoads);
        EXPECT_EQ(run->UseLoadBins, c.bins);
        EXPECT_EQ(run->BinCount, 32);
        EXPECT_TRUE(run->Decomposition);
    }
}

TEST(RunRainflow, RunsAgainFromScratch)
{
    TempDir dir;
    const auto loads = repeatedWorkedRun(600);
    for (const bool bins : {false, true}) {
        auto run = makeRun(loads, {0.5L, bins, true, 64});
        const Outcome first = runWithFiles(*run, dir, loads);
        const Outcome second = runWithFiles(*run, dir, loads);
        EXPECT_EQ(first.entries, second.entries);
        ASSERT_FALSE(first.entries.empty());
        EXPECT_EQ(first.entries[0].count, 100);
    }
}

TEST(RunRainflow, MessagesAreProcessedOnceAfterTheCounting)
{
    const auto loads = repeatedWorkedRun(60);
    auto run = makeRun(loads, {0.0L, true, true, 32});
    run->FromToMatrix[1][32] = 77; // left over from an earlier run
    TCycleTable table;
    int calls = 0;
    RunHooks hooks;
    hooks.processMessages = [&] {
        ++calls;
        EXPECT_EQ(run->FromToMatrix[1][32], 10); // counted, not yet converted
    };
    VectorSource source(loads);
    EXPECT_EQ(RunRainflow(table, *run, source, hooks).cycleCount, 3);
    EXPECT_EQ(calls, 1);
}

TEST(RunRainflow, FullTableIsReportedAndTheRunGoesOn)
{
    const std::vector<long double> loads = {-10, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 20};
    auto run = makeRun(loads, {0.0L, false, true, 32});
    TCycleTable small(3);
    VectorSource source(loads);
    const CountOutcome counted = RunRainflow(small, *run, source);
    EXPECT_EQ(counted.result, RunResult::TableFull);
    EXPECT_EQ(counted.cycleCount, 3);
    EXPECT_EQ(small[1].Upper, 20.0L); // the last cycle, counted in the residue pass
}

TEST(RunRainflow, LoadsThatDifferBelowFifteenDigits)
{
    // The reader keeps full precision for the extremes; the work files round
    // the loads to one value, so the counting sees a single reversal.
    const std::vector<long double> loads = {1.0L, 1.0L, 1.0L, 1.0L};
    for (const bool decomposition : {true, false}) {
        for (const bool bins : {false, true}) {
            auto run = makeRun(loads, {1.0E-17L, bins, decomposition, 100});
            run->HighestPeak = 1.0000000000000003L;
            run->LowestTrough = 0.9999999999999998L;
            TempDir dir;
            const Outcome files = runWithFiles(*run, dir, loads);
            EXPECT_TRUE(files.entries.empty());
            EXPECT_EQ(workLines(dir.file(kReversalsFile)), lines({1.0L}));
            EXPECT_EQ(workLines(dir.file(kRedRevFile)), decomposition ? lines({}) : lines({1.0L, 1.0L}));
            EXPECT_TRUE(runInMemory(*run, loads).entries.empty());
        }
    }
}

TEST(RunRainflow, BadBinCountsAreRefusedBeforeAnythingIsTouched)
{
    auto run = makeRun({0, 5, 2, 4, 1, 6}, {});
    TCycleTable table;
    const std::vector<long double> none;
    for (const std::int32_t bins : {0, -3, MatrixSize + 1}) {
        run->BinCount = bins;
        VectorSource source(none);
        EXPECT_THROW(RunRainflow(table, *run, source), std::invalid_argument) << bins;
    }
}

TEST(RunRainflow, LoadsNearTheLimitsOfLongDouble)
{
    const long double big = std::numeric_limits<long double>::max() * 0.9L;
    const std::vector<long double> loads = {
        roundToWorkPrecision(-big),    roundToWorkPrecision(big),  0,
        roundToWorkPrecision(big / 2), roundToWorkPrecision(-big), roundToWorkPrecision(big)};
    auto run = makeRun(loads, {0.0L, true, true, 32});
    TempDir dir;
    const Outcome o = runWithFiles(*run, dir, loads);
    ASSERT_FALSE(o.entries.empty());
    for (const Entry& e : o.entries) {
        EXPECT_TRUE(std::isfinite(e.upper) && std::isfinite(e.lower)) << e;
        EXPECT_LE(e.upper, run->HighestPeak);
        EXPECT_GE(e.lower, run->LowestTrough);
    }
    EXPECT_EQ(o.entries, runInMemory(*run, loads).entries);
}
