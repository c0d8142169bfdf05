#include "engine/counting/cycle_spill.h"

#include "engine/numbers/extended.h"

#include "engine/record/io_error.h"
#include "engine/system/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>

namespace tessivo {
namespace {

// upper and lower as their 10 significant bytes, count, serial, halves.
constexpr std::size_t kRecordSize = 36;
// Blocks hold whole records.
constexpr std::size_t kWriteBlock = kRecordSize << 15;
constexpr std::size_t kReadBlock = kRecordSize << 11; // a merge reads many runs at once

void pack(const SpilledCycle& c, char* out)
{
    storeExtended(c.upper, out);
    storeExtended(c.lower, out + kExtendedBytes);
    std::memcpy(out + 20, &c.count, 4);
    std::memcpy(out + 24, &c.serial, 8);
    std::memcpy(out + 32, &c.halves, 4);
}

void unpack(const char* in, SpilledCycle& c)
{
    c.upper = loadExtended(in);
    c.lower = loadExtended(in + kExtendedBytes);
    std::memcpy(&c.count, in + 20, 4);
    std::memcpy(&c.serial, in + 24, 8);
    std::memcpy(&c.halves, in + 32, 4);
}

// The order of the report: descending range, then descending upper load.
struct ReportKey {
    unsigned __int128 range;
    unsigned __int128 upper;
    bool operator==(const ReportKey&) const = default;
    bool before(const ReportKey& o) const { return range != o.range ? range > o.range : upper > o.upper; }
};

ReportKey reportKeyOf(const SpilledCycle& c)
{
    return {orderedLoadBits(c.upper - c.lower), orderedLoadBits(c.upper)};
}

struct RunCursor {
    CycleRunFile::Reader reader;
    SpilledCycle cycle;
    ReportKey key{};
};

// Cycles equal in range and upper load: equal cycles become one, then they
// follow in the order of their first count.
void writeGroup(std::vector<SpilledCycle>& group, CycleRunFile& merged, std::int64_t& distinct)
{
    if (group.size() > 1) {
        std::sort(group.begin(), group.end(), [](const SpilledCycle& a, const SpilledCycle& b) {
            const auto la = orderedLoadBits(a.lower), lb = orderedLoadBits(b.lower);
            return la != lb ? la < lb : a.serial < b.serial;
        });
        std::size_t kept = 0;
        for (std::size_t i = 1; i < group.size(); ++i) {
            if (group[i].lower == group[kept].lower) {
                group[kept].count += group[i].count; // the first count's loads stay
                group[kept].halves += group[i].halves;
            } else {
                group[++kept] = group[i];
            }
        }
        group.resize(kept + 1);
        std::sort(group.begin(), group.end(),
                  [](const SpilledCycle& a, const SpilledCycle& b) { return a.serial < b.serial; });
    }
    for (const SpilledCycle& c : group)
        merged.append(c);
    distinct += static_cast<std::int64_t>(group.size());
    group.clear();
}

} // namespace

unsigned __int128 orderedLoadBits(long double v)
{
    v = v + 0.0L;
    const ExtendedBits bits = extendedBits(v);
    const unsigned __int128 magnitude = (static_cast<unsigned __int128>(bits.biasedExponent()) << 64) | bits.mantissa;
    const unsigned __int128 top = static_cast<unsigned __int128>(1) << 79;
    return bits.negative() ? top - 1 - magnitude : top | magnitude;
}

CycleRunFile::CycleRunFile()
{
    m_fd = os::openScratchFile("tessivo-cycles-", m_path);
    if (m_fd < 0)
        throwIoError(errno, m_path);
}

CycleRunFile::~CycleRunFile()
{
    os::closeFile(m_fd);
}

void CycleRunFile::append(const SpilledCycle& cycle)
{
    if (m_buffer.capacity() == 0)
        m_buffer.reserve(kWriteBlock);
    if (m_buffer.size() + kRecordSize > kWriteBlock)
        flush();
    const std::size_t at = m_buffer.size();
    m_buffer.resize(at + kRecordSize);
    pack(cycle, m_buffer.data() + at);
    ++m_records;
}

void CycleRunFile::flush()
{
    writeAll(m_fd, m_buffer.data(), m_buffer.size(), m_path);
    m_buffer.clear();
}

void CycleRunFile::finish()
{
    flush();
    std::vector<char>().swap(m_buffer); // a merge may hold many finished runs
}

SpilledCycle CycleRunFile::at(std::int64_t i) const
{
    char record[kRecordSize];
    std::size_t got = 0;
    while (got < kRecordSize) {
        const std::ptrdiff_t n = os::readAt(
            m_fd, record + got, kRecordSize - got,
            static_cast<std::uint64_t>(i * static_cast<std::int64_t>(kRecordSize) + static_cast<std::int64_t>(got)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throwIoError(n < 0 ? errno : EIO, m_path);
        got += static_cast<std::size_t>(n);
    }
    SpilledCycle c;
    unpack(record, c);
    c.serial += m_serialShift;
    return c;
}

CycleRunFile::Reader::Reader(const CycleRunFile& file) : Reader(file, 0, file.records()) {}

CycleRunFile::Reader::Reader(const CycleRunFile& file, std::int64_t from, std::int64_t to)
    : m_file(&file)
    , m_offset(from * static_cast<std::int64_t>(kRecordSize))
    , m_end(to * static_cast<std::int64_t>(kRecordSize))
{
}

bool CycleRunFile::Reader::next(SpilledCycle& cycle)
{
    if (m_at == m_block.size()) {
        const std::int64_t end = m_end;
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(kReadBlock, end - m_offset));
        if (want == 0)
            return false;
        m_block.resize(want);
        std::size_t got = 0;
        while (got < want) {
            const std::ptrdiff_t n =
                os::readAt(m_file->m_fd, m_block.data() + got, want - got, static_cast<std::uint64_t>(m_offset + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throwIoError(n < 0 ? errno : EIO, m_file->m_path);
            got += static_cast<std::size_t>(n);
        }
        m_offset += static_cast<std::int64_t>(want);
        m_at = 0;
    }
    unpack(m_block.data() + m_at, cycle);
    cycle.serial += m_file->m_serialShift;
    m_at += kRecordSize;
    return true;
}

namespace {

// A part of a run: records [from, to).
struct RunPart {
    const CycleRunFile* run;
    std::int64_t from;
    std::int64_t to;
};

std::int64_t mergeParts(const std::vector<RunPart>& parts, CycleRunFile& merged)
{
    std::vector<RunCursor> cursors;
    cursors.reserve(parts.size());
    for (const RunPart& part : parts) {
        RunCursor cursor{CycleRunFile::Reader(*part.run, part.from, part.to), {}, {}};
        if (cursor.reader.next(cursor.cycle)) {
            cursor.key = reportKeyOf(cursor.cycle);
            cursors.push_back(std::move(cursor));
        }
    }
    // A heap of the runs by their next cycle; few runs, so indices suffice.
    std::vector<std::size_t> heap(cursors.size());
    for (std::size_t i = 0; i < heap.size(); ++i)
        heap[i] = i;
    const auto later = [&](std::size_t a, std::size_t b) { return cursors[b].key.before(cursors[a].key); };
    std::make_heap(heap.begin(), heap.end(), later);

    std::int64_t distinct = 0;
    std::vector<SpilledCycle> group;
    ReportKey groupKey{};
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        RunCursor& cursor = cursors[heap.back()];
        if (!group.empty() && !(cursor.key == groupKey))
            writeGroup(group, merged, distinct);
        groupKey = cursor.key;
        group.push_back(cursor.cycle);
        if (cursor.reader.next(cursor.cycle)) {
            cursor.key = reportKeyOf(cursor.cycle);
            std::push_heap(heap.begin(), heap.end(), later);
        } else {
            heap.pop_back();
        }
    }
    if (!group.empty())
        writeGroup(group, merged, distinct);
    merged.finish();
    return distinct;
}

// The first record of a run whose key is not before the pivot: the records
// before it (a prefix, as the run is sorted) belong to the first half.
std::int64_t splitPoint(const CycleRunFile& run, const ReportKey& pivot)
{
    std::int64_t low = 0, high = run.records();
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (reportKeyOf(run.at(middle)).before(pivot))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

constexpr std::int64_t kSplitFrom = 1024; // records; smaller merges are not worth a thread

} // namespace

std::int64_t MergeCycleRuns(const std::vector<std::unique_ptr<CycleRunFile>>& runs,
                            std::vector<std::unique_ptr<CycleRunFile>>& merged)
{
    std::int64_t total = 0;
    for (const auto& run : runs)
        total += run->records();
    merged.clear();
    merged.push_back(std::make_unique<CycleRunFile>());
    if (total < kSplitFrom) {
        std::vector<RunPart> whole;
        for (const auto& run : runs)
            whole.push_back({run.get(), 0, run->records()});
        return mergeParts(whole, *merged[0]);
    }
    // The pivot: the median of the runs' middle keys, so that the halves come out alike.
    std::vector<ReportKey> middles;
    for (const auto& run : runs) {
        if (run->records() > 0)
            middles.push_back(reportKeyOf(run->at(run->records() / 2)));
    }
    std::sort(middles.begin(), middles.end(), [](const ReportKey& a, const ReportKey& b) { return a.before(b); });
    const ReportKey pivot = middles[middles.size() / 2];
    // Equal keys all fall on one side, so no group of equal cycles is cut.
    std::vector<RunPart> first, second;
    for (const auto& run : runs) {
        const std::int64_t split = splitPoint(*run, pivot);
        first.push_back({run.get(), 0, split});
        second.push_back({run.get(), split, run->records()});
    }
    merged.push_back(std::make_unique<CycleRunFile>());
    std::int64_t secondCount = 0;
    std::exception_ptr secondFailure;
    std::thread other([&] {
        try {
            secondCount = mergeParts(second, *merged[1]);
        } catch (...) {
            secondFailure = std::current_exception();
        }
    });
    std::int64_t firstCount = 0;
    try {
        firstCount = mergeParts(first, *merged[0]);
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (secondFailure)
        std::rethrow_exception(secondFailure);
    return firstCount + secondCount;
}

} // namespace tessivo
