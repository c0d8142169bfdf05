// A count whose cycle table fills up: 20000 distinct cycles and more through
// AddCycle, the table sorted into report order and the whole report built.

#include "engine/counting/cycle_table.h"
#include "engine/run/plain_text_report.h"
#include "engine/run/report_builder.h"
#include "engine/record/run_record.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

using namespace tessivo;

namespace {

// Cycles on a 1/1000 grid, about 30000 distinct pairs among 60000 cycles.
std::vector<std::pair<long double, long double>> cyclePairs()
{
    std::mt19937_64 rng(20000);
    std::vector<std::pair<long double, long double>> pairs;
    for (int i = 0; i < 60000; ++i) {
        const auto a = static_cast<long double>(rng() % 400) / 4.0L;
        const auto b = static_cast<long double>(rng() % 150) / 4.0L - 20.0L;
        pairs.emplace_back(a, b);
    }
    return pairs;
}

void BM_FullTableCountSortReport(benchmark::State& state)
{
    const auto pairs = cyclePairs();
    auto run = std::make_unique<TRainflowRun>();
    InitRainflowRun(*run);
    run->SeqLength = 120000;
    run->HighestPeak = 100.0L;
    run->LowestTrough = -20.0L;
    TCycleTable table;
    std::size_t reportSize = 0;
    for (auto _ : state) {
        table.EmptyCycleTable();
        RunResult result = RunResult::Normal;
        for (const auto& [a, b] : pairs)
            table.AddCycle(a, b, result);
        std::int32_t n = 0;
        n = table.SortCycles();
        PlainTextReport report;
        WriteCountReport(report, *run, table, n, ".");
        reportSize = report.text().size();
        benchmark::DoNotOptimize(reportSize);
        state.counters["cycles"] = n;
        state.counters["full"] = result == RunResult::TableFull;
    }
}
BENCHMARK(BM_FullTableCountSortReport)->Unit(benchmark::kMillisecond);

} // namespace
