#include "cycle_spill.h"

#include "io_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tessivo {
namespace {

// upper and lower as their 10 significant bytes, count, serial.
constexpr std::size_t kRecordSize = 32;
constexpr std::size_t kWriteBlock = 1 << 20;
constexpr std::size_t kReadBlock = 1 << 16; // a merge reads many runs at once

void pack(const SpilledCycle& c, char* out)
{
    std::memcpy(out, &c.upper, 10);
    std::memcpy(out + 10, &c.lower, 10);
    std::memcpy(out + 20, &c.count, 4);
    std::memcpy(out + 24, &c.serial, 8);
}

void unpack(const char* in, SpilledCycle& c)
{
    c.upper = 0.0L; // clears the padding bytes
    c.lower = 0.0L;
    std::memcpy(&c.upper, in, 10);
    std::memcpy(&c.lower, in + 10, 10);
    std::memcpy(&c.count, in + 20, 4);
    std::memcpy(&c.serial, in + 24, 8);
}

// $TMPDIR as it stands, so that a folder that cannot take the files is
// reported rather than passed over.
std::string temporaryFolder()
{
    const char* dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? std::string(dir) : std::string("/tmp");
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
            if (group[i].lower == group[kept].lower)
                group[kept].count += group[i].count; // the first count's loads stay
            else
                group[++kept] = group[i];
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
    std::uint64_t mantissa = 0;
    std::uint16_t signExponent = 0;
    std::memcpy(&mantissa, &v, 8);
    std::memcpy(&signExponent, reinterpret_cast<const char*>(&v) + 8, 2);
    const unsigned __int128 magnitude = (static_cast<unsigned __int128>(signExponent & 0x7FFF) << 64) | mantissa;
    const unsigned __int128 top = static_cast<unsigned __int128>(1) << 79;
    return (signExponent & 0x8000) ? top - 1 - magnitude : top | magnitude;
}

CycleRunFile::CycleRunFile()
    : m_path(temporaryFolder() + "/tessivo-cycles-XXXXXX")
{
    m_fd = ::mkstemp(m_path.data());
    if (m_fd < 0)
        throwIoError(errno, m_path);
    ::unlink(m_path.c_str());
}

CycleRunFile::~CycleRunFile()
{
    ::close(m_fd);
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

CycleRunFile::Reader::Reader(const CycleRunFile& file)
    : m_file(file)
{
}

bool CycleRunFile::Reader::next(SpilledCycle& cycle)
{
    if (m_at == m_block.size()) {
        const std::int64_t end = m_file.m_records * static_cast<std::int64_t>(kRecordSize);
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(kReadBlock, end - m_offset));
        if (want == 0)
            return false;
        m_block.resize(want);
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::pread(m_file.m_fd, m_block.data() + got, want - got, static_cast<off_t>(m_offset + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throwIoError(n < 0 ? errno : EIO, m_file.m_path);
            got += static_cast<std::size_t>(n);
        }
        m_offset += static_cast<std::int64_t>(want);
        m_at = 0;
    }
    unpack(m_block.data() + m_at, cycle);
    m_at += kRecordSize;
    return true;
}

std::int64_t MergeCycleRuns(const std::vector<std::unique_ptr<CycleRunFile>>& runs, CycleRunFile& merged)
{
    std::vector<RunCursor> cursors;
    cursors.reserve(runs.size());
    for (const auto& run : runs) {
        RunCursor cursor{CycleRunFile::Reader(*run), {}, {}};
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

} // namespace tessivo
