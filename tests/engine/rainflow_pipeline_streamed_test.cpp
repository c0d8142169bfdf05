// The streamed work-file form writes "$Sequence.tmp" and "$Reversals.tmp"
// while it counts; it must leave the same files and the same table as the
// form that reads each file back.
#include "pipeline_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace tessivo;
using namespace tessivo::test;

TEST(RunRainflowStreamed, SameFilesAndTableAsTheFileByFileForm)
{
    std::mt19937_64 rng(77);
    for (int iteration = 0; iteration < 60; ++iteration) {
        std::vector<long double> loads;
        long double walk = 0.0L;
        const int length = 2 + static_cast<int>(rng() % 3000);
        for (int i = 0; i < length; ++i) {
            walk += static_cast<long double>(static_cast<int>(rng() % 2001) - 1000) / 64.0L;
            loads.push_back(roundToWorkPrecision(walk / 3.0L));
        }
        const Parameters p{static_cast<long double>(rng() % 4) * 0.5L, (rng() & 1) != 0, (rng() & 1) != 0,
                           (rng() & 1) ? 32 : 100};
        auto run = makeRun(loads, p);
        if (run->FilterSize >= run->HighestPeak - run->LowestTrough)
            continue;

        TempDir fileByFile;
        const Outcome expected = runWithFiles(*run, fileByFile, loads);

        TempDir streamed;
        TCycleTable table;
        VectorSource source(loads);
        const CountOutcome counted = RunRainflow(table, *run, streamed.str(), source);
        ASSERT_EQ(counted.result, expected.result);
        ASSERT_EQ(entriesOf(table, counted.cycleCount), expected.entries) << iteration;
        for (const char* name : {kSequenceFile, kReversalsFile, kRedRevFile})
            ASSERT_EQ(readAll(workFilePath(streamed.str(), name)), readAll(workFilePath(fileByFile.str(), name)))
                << name << " in iteration " << iteration;
    }
}

TEST(RunRainflowStreamed, ProgressIsReportedAndCancelStopsEveryForm)
{
    std::vector<long double> loads;
    for (int i = 0; i < 300000; ++i)
        loads.push_back(static_cast<long double>((static_cast<long long>(i) * 7919) % 1000));
    auto run = makeRun(loads, {});
    run->UseLoadBins = true;
    std::vector<std::int64_t> seen;
    RunHooks hooks;
    hooks.progress = [&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(total, 300000);
        seen.push_back(done);
        return true;
    };
    TempDir dir;
    TCycleTable table;
    VectorSource source(loads);
    RunRainflow(table, *run, dir.str(), source, hooks);
    ASSERT_EQ(seen.size(), 4u); // every 65536 values
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    hooks.progress = [](std::int64_t done, std::int64_t) { return done < 100000; };
    WorkFileReader complete(workFilePath(dir.str(), kSequenceFile));
    EXPECT_THROW(RunRainflow(table, *run, complete, hooks), RunCancelled);
    VectorSource again(loads);
    EXPECT_THROW(RunRainflow(table, *run, dir.str(), again, hooks), RunCancelled);
    VectorSource inMemory(loads);
    EXPECT_THROW(RunRainflow(table, *run, inMemory, hooks), RunCancelled);
}
