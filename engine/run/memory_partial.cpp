#include "memory_partial.h"

#include "file_values.h"

#include "engine/counting/streaming_counter.h"
#include "engine/files/prefetch_source.h"
#include "engine/counting/rainflow_pipeline.h"

#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tessivo {
namespace {

CountParameters engineParameters(const MemoryCountParameters& p)
{
    CountParameters e;
    e.filter = p.filter;
    e.residue = p.residue;
    e.useLoadBins = p.loadBins;
    e.unlimited = p.unlimited;
    e.binCount = p.binCount;
    if (!p.binEdges.empty()) {
        // Classes known from the start: every piece counts into them at once.
        e.useLoadBins = true;
        e.binCount = static_cast<std::int32_t>(p.binEdges.size()) - 1;
        e.store = CycleStore::Bins;
        e.binLowest = p.binEdges.front();
        e.binHighest = p.binEdges.back();
        e.binEdges = p.binEdges;
        return e;
    }
    // The classes span the whole sequence: known at the end only, unless given.
    e.store = p.knownSpan ? CycleStore::Bins : CycleStore::Exact;
    if (p.knownSpan) {
        e.binLowest = p.spanLowest;
        e.binHighest = p.spanHighest;
    }
    return e;
}

void feedBlocks(PartialCount& count, ValueSource& values, const CountProgress& progress, std::int64_t total)
{
    constexpr std::size_t kBlock = 4096;
    long double block[kBlock];
    std::int64_t done = 0;
    for (std::size_t n; (n = values.nextBlock(block, kBlock)) > 0;) {
        count.feed(block, n);
        const std::int64_t before = done;
        done += static_cast<std::int64_t>(n);
        if ((before >> 16) != (done >> 16) && progress && !progress(done, total))
            throw RunCancelled();
    }
}

} // namespace

MemoryPartial::MemoryPartial(const MemoryCountParameters& parameters, std::uint64_t piece)
    : m_count(engineParameters(parameters), piece), m_parameters(parameters)
{
}

MemoryPartial::MemoryPartial(PartialCount&& count, const MemoryCountParameters& parameters)
    : m_count(std::move(count)), m_parameters(parameters)
{
}

void MemoryPartial::feed(ValueSource& rounded, const SequenceExtent& extent, const CountProgress& progress)
{
    const bool first = m_count.length() == 0;
    if (m_parameters.readAhead && extent.points >= (1 << 16) && std::thread::hardware_concurrency() > 1) {
        PrefetchSource ahead(rounded);
        feedBlocks(m_count, ahead, progress, extent.points);
    } else {
        feedBlocks(m_count, rounded, progress, extent.points);
    }
    takeExtremes(first, extent);
}

bool MemoryPartial::feedFile(const std::string& path)
{
    const bool first = m_count.length() == 0;
    SequenceFileValues values(path);
    feedBlocks(m_count, values, {}, 0);
    if (!values.proper())
        return false;
    takeExtremes(first, values.extent());
    return true;
}

void MemoryPartial::takeExtremes(bool first, const SequenceExtent& extent)
{
    if (extent.points == 0)
        return;
    // As the sequence totals combine slots: only a strictly larger (smaller) value replaces one before.
    if (first || extent.highest > m_highest)
        m_highest = extent.highest;
    if (first || extent.lowest < m_lowest)
        m_lowest = extent.lowest;
}

void MemoryPartial::append(MemoryPartial&& next)
{
    const bool empty = m_count.length() == 0;
    const bool nextEmpty = next.m_count.length() == 0;
    m_count.append(std::move(next.m_count));
    if (!nextEmpty && (empty || next.m_highest > m_highest))
        m_highest = next.m_highest;
    if (!nextEmpty && (empty || next.m_lowest < m_lowest))
        m_lowest = next.m_lowest;
}

MemoryCount MemoryPartial::finish(bool normalize) &&
{
    MemoryCountParameters parameters = m_parameters;
    parameters.normalize = normalize;
    SequenceExtent extent;
    extent.points = m_count.length();
    extent.highest = m_highest;
    extent.lowest = m_lowest;
    requireCountable(extent, parameters);
    MemoryCount count;
    if (extent.points == 0)
        return count;
    m_count.setExtremes(m_highest, m_lowest);
    StreamingCounter counter(std::move(m_count));
    auto run = std::make_unique<TRainflowRun>();
    const CountOutcome outcome = counter.finish(*run);
    count.result = outcome.result;
    count.sequenceLength = run->SeqLength;
    count.highestPeak = m_highest;
    count.lowestTrough = m_lowest;
    count.cycles = cycleColumns(counter.table(), outcome.cycleCount, parameters.residue == ResidueMethod::Half);
    if (normalize)
        divideLoads(count.cycles, run->HighestPeak);
    return count;
}

MemoryPartial MemoryPartial::clone()
{
    std::optional<PartialCount> direct;
    try {
        direct.emplace(m_count.clone());
    } catch (const std::logic_error&) {
        // The cycles are in temporary files. Writing them out merges those,
        // after which the count would take no more: it goes on from a copy too.
        const std::string bytes = serialized();
        *this = read(bytes, m_parameters, m_highest, m_lowest);
        return read(bytes, m_parameters, m_highest, m_lowest);
    }
    MemoryPartial copy(std::move(*direct), m_parameters);
    copy.m_highest = m_highest;
    copy.m_lowest = m_lowest;
    return copy;
}

std::string MemoryPartial::serialized()
{
    std::ostringstream out;
    m_count.write(out);
    return std::move(out).str();
}

MemoryPartial MemoryPartial::read(const std::string& bytes, const MemoryCountParameters& parameters,
                                  long double highestGiven, long double lowestGiven)
{
    std::istringstream in(bytes);
    MemoryPartial partial(PartialCount::read(in, "partial count"), parameters);
    if (!(partial.m_count.parameters() == engineParameters(parameters)))
        throw PartialCountError("partial count: its parameters differ from those given with it");
    partial.m_highest = highestGiven;
    partial.m_lowest = lowestGiven;
    return partial;
}

} // namespace tessivo
