// Fatigue over the table of a 10-million-value count, against the count
// itself: a random walk on a grid of 1/1024 counted with exact loads (some
// 2.5 million distinct cycles) and in 32 load bins.

#include "engine/counting/cycle_table.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/record/run_record.h"

#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/sn_presets.h"
#include "engine/fatigue/table_cycles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <utility>

using namespace tessivo;

namespace {

constexpr std::int64_t kLength = 10'000'000;

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
    std::size_t nextBlock(long double* out, std::size_t max) override { return nextBlockByValue(*this, out, max); }

private:
    std::int64_t m_left;
    std::int64_t m_step = 0;
    std::mt19937_64 m_rng{42};
    std::uniform_int_distribution<int> m_steps{-1000, 1000};
};

struct Count {
    std::unique_ptr<TRainflowRun> run = std::make_unique<TRainflowRun>();
    std::unique_ptr<TCycleTable> table;
    std::int32_t cycles = 0;
};

Count count(bool bins)
{
    Count c;
    InitRainflowRun(*c.run);
    c.run->SeqLength = static_cast<std::int32_t>(kLength);
    // The extremes come with the sequence (the reader finds them): not timed.
    static const std::pair<long double, long double> extremes = [] {
        std::pair<long double, long double> e{-1.0E32L, 1.0E32L};
        RandomWalk walk(kLength);
        for (long double v = 0; walk.next(v);)
            e = {std::max(e.first, v), std::min(e.second, v)};
        return e;
    }();
    c.run->HighestPeak = extremes.first;
    c.run->LowestTrough = extremes.second;
    c.run->UseLoadBins = bins;
    c.table = std::make_unique<TCycleTable>(MaxCycles, !bins);
    RandomWalk walk(kLength);
    c.cycles = RunRainflow(*c.table, *c.run, walk, {}, RunLimits{!bins}).cycleCount;
    c.cycles = c.table->SortCycles();
    return c;
}

fatigue::FatigueSettings settings(bool meanStress)
{
    fatigue::FatigueSettings s;
    s.curve = fatigue::findSnPreset("EC3-71")->definition;
    s.delExponents = {3.0L, 4.0L, 5.0L, 10.0L};
    if (meanStress) {
        s.meanStress = fatigue::MeanStressMethod::Goodman;
        s.material.ultimate = 1.0e9L;
    }
    return s;
}

void BM_Count(benchmark::State& state)
{
    const bool bins = state.range(0) != 0;
    for (auto _ : state) {
        const Count c = count(bins);
        benchmark::DoNotOptimize(c.cycles);
        state.counters["cycles"] = c.cycles;
    }
}

// Reads the sorted table (from memory or its files) and evaluates every cycle.
void BM_FatigueOverTable(benchmark::State& state)
{
    const Count c = count(state.range(0) != 0);
    const fatigue::FatigueSettings s = settings(state.range(1) != 0);
    for (auto _ : state) {
        fatigue::FatigueAnalysis analysis(s);
        CycleReader reader(*c.table, c.cycles);
        for (TCycle cycle; reader.next(cycle);)
            analysis.accumulate(fatigue::fatigueCycleOf(cycle));
        benchmark::DoNotOptimize(analysis.totals());
    }
    state.counters["cycles"] = c.cycles;
}

// The reading alone, for the share of the evaluation proper.
void BM_ReadTable(benchmark::State& state)
{
    const Count c = count(state.range(0) != 0);
    for (auto _ : state) {
        CycleReader reader(*c.table, c.cycles);
        long double sum = 0;
        for (TCycle cycle; reader.next(cycle);)
            sum += cycle.Range;
        benchmark::DoNotOptimize(sum);
    }
}

// The evaluation alone, over the cycles already in memory.
void BM_FatigueInMemory(benchmark::State& state)
{
    static const Count c = count(false);
    static const std::vector<fatigue::FatigueCycle> cycles = fatigue::tableCycles(*c.table, c.cycles);
    const fatigue::FatigueSettings s = settings(state.range(0) != 0);
    for (auto _ : state) {
        fatigue::FatigueAnalysis analysis(s);
        for (const fatigue::FatigueCycle& cycle : cycles)
            analysis.accumulate(cycle);
        benchmark::DoNotOptimize(analysis.totals());
    }
}

} // namespace

BENCHMARK(BM_FatigueInMemory)->ArgNames({"goodman"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTable)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count)->ArgNames({"bins"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FatigueOverTable)
    ->ArgNames({"bins", "goodman"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
