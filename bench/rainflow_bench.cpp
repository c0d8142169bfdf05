// RunRainflow on random walks of 1 and 10 million loads, in both forms.
// The loads lie on a grid of 1/1024, so every one is a 15-digit work value.

#include "engine/counting/cycle_table.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/record/run_record.h"
#include "engine/files/work_files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

using namespace tessivo;

namespace {

// The walk is generated as it is read, so the in-memory form holds no sequence.
class RandomWalk final : public ValueSource {
public:
    explicit RandomWalk(std::int64_t length) : m_left(length) {}
    bool next(long double& value) override
    {
        if (m_left == 0)
            return false;
        --m_left;
        m_step += m_steps(m_rng);
        value = static_cast<long double>(m_step) / 1024.0L;
        return true;
    }
    // In blocks, as the program's own sources hand values to the counting.
    std::size_t nextBlock(long double* out, std::size_t max) override { return nextBlockByValue(*this, out, max); }

private:
    std::int64_t m_left;
    std::int64_t m_step = 0;
    std::mt19937_64 m_rng{42};
    std::uniform_int_distribution<int> m_steps{-1000, 1000};
};

std::unique_ptr<TRainflowRun> runFor(std::int64_t length)
{
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    run->SeqLength = static_cast<std::int32_t>(length);
    run->HighestPeak = -1.0E32L;
    run->LowestTrough = 1.0E32L;
    RandomWalk walk(length);
    for (long double v = 0; walk.next(v);) {
        run->HighestPeak = std::max(run->HighestPeak, v);
        run->LowestTrough = std::min(run->LowestTrough, v);
    }
    return run;
}

// One sequence work file per length, written once, removed at exit.
class SequenceFiles {
public:
    ~SequenceFiles()
    {
        std::error_code ec;
        for (const auto& [length, dir] : m_dirs)
            std::filesystem::remove_all(dir, ec);
    }

    std::string dirFor(std::int64_t length)
    {
        if (auto it = m_dirs.find(length); it != m_dirs.end())
            return it->second;
        const auto dir = std::filesystem::temp_directory_path()
                         / ("tessivo-bench-" + std::to_string(length) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        m_dirs[length] = dir.string();
        WorkFileWriter out(workFilePath(dir.string(), kSequenceFile));
        RandomWalk walk(length);
        for (long double v = 0; walk.next(v);)
            out.put(v);
        out.close();
        return dir.string();
    }

private:
    std::map<std::int64_t, std::string> m_dirs;
} sequenceFiles;

void BM_RunRainflowInMemory(benchmark::State& state, bool binsAt40000)
{
    const std::int64_t length = state.range(0);
    auto run = runFor(length);
    TCycleTable table(MaxCycles, !binsAt40000);
    std::int32_t count = 0;
    for (auto _ : state) {
        RandomWalk walk(length);
        count = RunRainflow(table, *run, walk, {}, RunLimits{!binsAt40000}).cycleCount;
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * length);
    state.counters["cycles"] = count;
}

void BM_RunRainflowWorkFiles(benchmark::State& state)
{
    const std::int64_t length = state.range(0);
    auto run = runFor(length);
    const std::string dir = sequenceFiles.dirFor(length);
    TCycleTable table;
    std::int32_t count = 0;
    for (auto _ : state) {
        WorkFileReader sequence(workFilePath(dir, kSequenceFile));
        count = RunRainflow(table, *run, sequence).cycleCount;
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * length);
    state.counters["cycles"] = count;
}

} // namespace

BENCHMARK_CAPTURE(BM_RunRainflowInMemory, load_bins, true)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_RunRainflowInMemory, exact_unlimited, false)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RunRainflowWorkFiles)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
