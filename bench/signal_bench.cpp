// Redrawing the load history of a 10-million-value sequence: the reduction
// to one min/max pair per pixel column of a 1920-pixel plot, for the whole
// sequence (from the pyramid alone) and for narrow windows (raw values read
// back from the work file), and with the GUI the whole picture painted.

#include "engine/signal/min_max_pyramid.h"
#include "engine/signal/work_file_range.h"
#include "engine/files/work_files.h"

#ifdef TESSIVO_BENCH_PAINT
#include "plots/signal_chart.h"
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#endif

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

using namespace tessivo;

namespace {

constexpr std::int64_t kLength = 10'000'000;
constexpr int kColumns = 1920;

// The work file of a random walk, written once per process and removed at exit.
struct Walk {
    std::string path;
    MinMaxPyramid pyramid;
    Walk()
    {
        path =
            (std::filesystem::temp_directory_path() / ("tessivo_signal_bench_" + std::to_string(::getpid()) + ".tmp"))
                .string();
        WorkFileWriter out(path);
        std::mt19937_64 rng(10);
        std::uniform_int_distribution<int> steps(-512, 512);
        std::int64_t at = 0;
        for (std::int64_t i = 0; i < kLength; ++i) {
            at += steps(rng);
            const long double v = static_cast<long double>(at) / 1024.0L;
            out.put(v);
            pyramid.put(static_cast<double>(v));
        }
        out.close();
        pyramid.finish();
    }
    ~Walk() { std::filesystem::remove(path); }
};

Walk& walk()
{
    static Walk w;
    return w;
}

void BM_ReduceWindow(benchmark::State& state)
{
    Walk& w = walk();
    WorkFileRange file(w.path);
    const std::int64_t span = state.range(0);
    std::int64_t first = 0;
    for (auto _ : state) {
        auto columns = w.pyramid.reduce(first, first + span, kColumns, &file);
        benchmark::DoNotOptimize(columns.data());
        if (span < kLength)
            first = (first + 7'777'777) % (kLength - span); // a different place each time
    }
    state.counters["block"] = static_cast<double>(w.pyramid.blockSize());
}
BENCHMARK(BM_ReduceWindow)->Arg(kLength)->Arg(1'000'000)->Arg(30'000)->Arg(2'000)->Unit(benchmark::kMillisecond);

void BM_BuildPyramidFromWorkFile(benchmark::State& state)
{
    Walk& w = walk();
    for (auto _ : state) {
        WorkFileReader in(w.path);
        MinMaxPyramid p;
        long double block[512];
        for (std::size_t got; (got = in.nextBlock(block, 512)) > 0;)
            for (std::size_t i = 0; i < got; ++i)
                p.put(static_cast<double>(block[i]));
        p.finish();
        benchmark::DoNotOptimize(p.size());
    }
}
BENCHMARK(BM_BuildPyramidFromWorkFile)->Unit(benchmark::kMillisecond)->Iterations(2);

#ifdef TESSIVO_BENCH_PAINT
void BM_PaintWholeSequence(benchmark::State& state)
{
    static SignalData data = [] {
        SignalSource source;
        source.sequenceFile = walk().path;
        source.length = kLength;
        source.filterSize = 0.5L;
        return SignalData::load(source);
    }();
    QImage image(kColumns + 112, 1080, QImage::Format_ARGB32_Premultiplied);
    const double span = static_cast<double>(state.range(0));
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        paintSignal(painter, QRectF(image.rect()), data, SignalWindow{1000.0, 1000.0 + span}, -1, u'.');
    }
}
BENCHMARK(BM_PaintWholeSequence)->Arg(kLength - 2000)->Arg(20'000)->Unit(benchmark::kMillisecond);
#endif

} // namespace

#ifdef TESSIVO_BENCH_PAINT
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
#else
BENCHMARK_MAIN();
#endif
