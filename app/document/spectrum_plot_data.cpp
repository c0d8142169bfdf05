#include "document/spectrum_plot_data.h"

#include <algorithm>

SpectrumPlotData buildSpectrumPlotData(const tessivo::TRainflowRun& run, const tessivo::TCycleTable& table,
                                       std::int32_t cycleCount, bool usedLoadBins)
{
    SpectrumPlotData data;
    data.normalized = run.Normalize;
    data.steps.reserve(static_cast<std::size_t>(std::max<std::int32_t>(cycleCount, 0)));
    std::int64_t halves = 0;
    // Through the reader: a table without limit keeps most of its lines in files.
    tessivo::CycleReader reader(table, cycleCount);
    for (tessivo::TCycle c; reader.next(c);) {
        halves += tessivo::halvesOf(c);
        data.steps.push_back(
            {c.Range, static_cast<double>(tessivo::halvesOf(c)) / 2.0, static_cast<double>(halves) / 2.0});
    }
    if (!usedLoadBins || run.BinCount < 1 || run.BinCount > tessivo::MatrixSize)
        return data;
    data.binCount = run.BinCount;
    data.matrix.reserve(static_cast<std::size_t>(run.BinCount * run.BinCount));
    for (std::int32_t r = 1; r <= run.BinCount; ++r)
        for (std::int32_t c = 1; c <= run.BinCount; ++c)
            data.matrix.push_back(run.FromToMatrix[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    const long double scale = run.Normalize ? run.HighestPeak : 1.0L;
    data.lowestLoad = static_cast<double>(run.LowestTrough / scale);
    data.highestLoad = static_cast<double>(run.HighestPeak / scale);
    return data;
}
