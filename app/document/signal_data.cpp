#include "document/signal_data.h"

#include "engine/run/desktop_plots.h"
#include "engine/run/record.h"

SignalSource signalSourceOf(const tessivo::TRainflowRun& run, const std::string& workDir, bool usedLoadBins)
{
    SignalSource source;
    source.sequenceFile = tessivo::workFilePath(workDir, tessivo::kSequenceFile);
    source.length = run.SeqLength;
    source.highest = run.HighestPeak;
    source.lowest = run.LowestTrough;
    source.filterSize = run.FilterSize;
    source.decomposition = run.Decomposition;
    source.halfCycles = run.HalfCycles;
    if (run.Normalize && run.HighestPeak != 0)
        source.divisor = run.HighestPeak;
    if (usedLoadBins) {
        source.binCount = run.BinCount;
        source.lowestLoad = run.LowestTrough;
        source.highestLoad = run.HighestPeak;
    }
    return source;
}

SignalData::SignalData() = default;
SignalData::~SignalData() = default;
SignalData::SignalData(SignalData&&) noexcept = default;
SignalData& SignalData::operator=(SignalData&&) noexcept = default;

namespace {

// Collects the reversals with their positions until there are too many to keep.
class ReversalCollector final : public tessivo::ReversalPositionSink {
public:
    explicit ReversalCollector(std::vector<SignalReversal>& out) : m_out(out) {}
    void reversal(std::int64_t position, long double load) override
    {
        if (m_out.size() < SignalData::kMaxReversals)
            m_out.push_back({position, static_cast<double>(load)});
        else
            overflowed = true;
    }
    bool overflowed = false;

private:
    std::vector<SignalReversal>& m_out;
};

} // namespace

SignalData SignalData::load(const SignalSource& source, std::int64_t maxFinestBlocks)
{
    SignalData data;
    data.m_source = source;
    data.m_pyramid = tessivo::MinMaxPyramid(maxFinestBlocks);
    ReversalCollector reversals(data.m_reversals);
    tessivo::PositionedReversalExtractor extractor(source.filterSize, reversals);
    tessivo::WorkFileReader reader(source.sequenceFile);
    long double block[512];
    std::int64_t taken = 0;
    while (taken < source.length) {
        const std::size_t got =
            reader.nextBlock(block, static_cast<std::size_t>(std::min<std::int64_t>(512, source.length - taken)));
        if (got == 0)
            break;
        for (std::size_t i = 0; i < got; ++i) {
            data.m_pyramid.put(static_cast<double>(block[i]));
            extractor.put(block[i]);
        }
        taken += static_cast<std::int64_t>(got);
    }
    extractor.finish();
    data.m_pyramid.finish();
    data.m_reversalsComplete = !reversals.overflowed;
    if (!data.m_reversalsComplete)
        std::vector<SignalReversal>().swap(data.m_reversals);
    if (data.m_pyramid.blockSize() > 1)
        data.m_file = std::make_unique<tessivo::WorkFileRange>(source.sequenceFile);
    return data;
}

std::vector<tessivo::ColumnExtremes> SignalData::reduce(std::int64_t first, std::int64_t end, int columns) const
{
    return m_pyramid.reduce(first, end, columns, m_file.get());
}

std::vector<double> SignalData::classEdges() const
{
    std::vector<double> edges;
    const std::int32_t bins = m_source.binCount;
    for (std::int32_t k = 0; bins > 0 && k <= bins; ++k)
        edges.push_back(static_cast<double>(tessivo::ClassEdge(k, m_source.lowestLoad, m_source.highestLoad, bins)));
    return edges;
}
