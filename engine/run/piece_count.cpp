#include "engine/run/piece_count.h"

#include "engine/run/file_values.h"

#include "engine/counting/rainflow_pipeline.h"
#include "engine/files/prefetch_source.h"
#include "engine/record/io_error.h"
#include "engine/record/run_messages.h"
#include "engine/run/count_sources.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tessivo {
namespace {

using Progress = std::function<bool(std::int64_t, std::int64_t)>;

void feedBlocks(PartialCount& count, ValueSource& values, const Progress& progress, std::int64_t total)
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

CountRequest countingPart(const CountRequest& request)
{
    CountRequest r = request;
    r.normalize = false;
    r.workDir.reset();
    r.positions = false;
    r.readAhead = true;
    r.splitFrom = kSplitFrom;
    return r;
}

} // namespace

CountParameters partialParameters(const CountRequest& p)
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
    e.store = p.span ? CycleStore::Bins : CycleStore::Exact;
    if (p.span) {
        e.binLowest = p.span->lowest;
        e.binHighest = p.span->highest;
    }
    return e;
}

CountRequest requestOfPartial(const CountParameters& p)
{
    CountRequest r;
    r.filter = p.filter;
    r.residue = p.residue;
    r.loadBins = p.useLoadBins;
    r.unlimited = p.unlimited;
    r.binCount = p.binCount;
    r.binEdges = p.binEdges;
    if (p.store == CycleStore::Bins && p.binEdges.empty())
        r.span = LoadSpan{p.binLowest, p.binHighest};
    return r;
}

PieceCount::PieceCount(const CountRequest& request, std::uint64_t piece)
    : m_count(
        [&] {
            checkRequest(request);
            if (request.tableLimit != MaxCycles)
                throw CountRefused(kTableLimitOutOfRangeMessage);
            return partialParameters(request);
        }(),
        piece)
    , m_request(countingPart(request))
{
    m_request.readAhead = request.readAhead;
}

PieceCount::PieceCount(PartialCount&& count, const CountRequest& request)
    : m_count(std::move(count))
    , m_request(countingPart(request))
{
    m_request.readAhead = request.readAhead;
}

void PieceCount::feed(ValueSource& rounded, const SequenceExtent& extent, const Progress& progress)
{
    const bool first = m_count.length() == 0;
    if (m_request.readAhead && extent.points >= (1 << 16) && std::thread::hardware_concurrency() > 1) {
        PrefetchSource ahead(rounded);
        feedBlocks(m_count, ahead, progress, extent.points);
    } else {
        feedBlocks(m_count, rounded, progress, extent.points);
    }
    takeExtremes(first, extent);
}

bool PieceCount::feedFile(const std::string& path)
{
    const bool first = m_count.length() == 0;
    SequenceFileValues values(path);
    feedBlocks(m_count, values, {}, 0);
    if (!values.proper())
        return false;
    takeExtremes(first, values.extent());
    return true;
}

void PieceCount::takeExtremes(bool first, const SequenceExtent& extent)
{
    if (extent.points == 0)
        return;
    // As the sequence totals combine slots: only a strictly larger (smaller) value replaces one before.
    if (first || extent.highest > m_highest)
        m_highest = extent.highest;
    if (first || extent.lowest < m_lowest)
        m_lowest = extent.lowest;
}

void PieceCount::feed(CountInputs inputs)
{
    // The slots as count() loads them, without a work folder: a piece need
    // not spread beyond the filter, so none of the checks applies.
    auto run = std::make_unique<TRainflowRun>();
    applyRequest(m_request, *run);
    const std::vector<SlotInput>& slots = slotInputs(inputs);
    loadSlots(*run, slots, std::nullopt);
    CombinedSequence combined = combinedSource(*run, slots);
    SequenceExtent extent;
    extent.points = run->SeqLength;
    extent.highest = run->HighestPeak;
    extent.lowest = run->LowestTrough;
    const bool first = m_count.length() == 0;
    {
        // The combined sequence is always read ahead here, as a count of the files is.
        PrefetchSource ahead(combined);
        feedBlocks(m_count, ahead, {}, extent.points);
    }
    takeExtremes(first, extent);
}

void PieceCount::append(PieceCount&& next)
{
    const bool empty = m_count.length() == 0;
    const bool nextEmpty = next.m_count.length() == 0;
    m_count.append(std::move(next.m_count));
    if (!nextEmpty && (empty || next.m_highest > m_highest))
        m_highest = next.m_highest;
    if (!nextEmpty && (empty || next.m_lowest < m_lowest))
        m_lowest = next.m_lowest;
}

PartialCount PieceCount::release() &&
{
    m_count.setExtremes(m_highest, m_lowest);
    return std::move(m_count);
}

PieceCount PieceCount::clone()
{
    std::optional<PartialCount> direct;
    try {
        direct.emplace(m_count.clone());
    } catch (const std::logic_error&) {
        // The cycles are in temporary files. Writing them out merges those,
        // after which the count would take no more: it goes on from a copy too.
        const std::string bytes = serialized();
        *this = read(bytes, m_request, m_highest, m_lowest);
        return read(bytes, m_request, m_highest, m_lowest);
    }
    PieceCount copy(std::move(*direct), m_request);
    copy.m_highest = m_highest;
    copy.m_lowest = m_lowest;
    return copy;
}

std::string PieceCount::serialized()
{
    std::ostringstream out;
    m_count.write(out);
    return std::move(out).str();
}

PieceCount PieceCount::read(const std::string& bytes, const CountRequest& request, long double highestGiven,
                            long double lowestGiven)
{
    std::istringstream in(bytes);
    PieceCount piece(PartialCount::read(in, "partial count"), request);
    if (!(piece.m_count.parameters() == partialParameters(request)))
        throw PartialCountError("partial count: its parameters differ from those given with it");
    piece.m_highest = highestGiven;
    piece.m_lowest = lowestGiven;
    return piece;
}

void PieceCount::save(const std::string& path)
{
    m_count.setExtremes(m_highest, m_lowest);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            throwIoError(errno != 0 ? errno : EIO, temporary);
        m_count.write(file);
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            throwIoError(errno != 0 ? errno : EIO, temporary);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        std::remove(temporary.c_str());
        throwIoError(code, path);
    }
}

PieceCount PieceCount::load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throwIoError(errno != 0 ? errno : EIO, path);
    PartialCount part = PartialCount::read(file, path);
    if (file.bad())
        throwIoError(EIO, path);
    const CountRequest request = requestOfPartial(part.parameters());
    PieceCount piece(std::move(part), request);
    piece.m_highest = piece.m_count.highest();
    piece.m_lowest = piece.m_count.lowest();
    return piece;
}

} // namespace tessivo
