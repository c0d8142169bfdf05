#include "engine/counting/cycle_table.h"

#include "engine/counting/cycle_spill.h"
#include "engine/numbers/extended.h"
#include "engine/record/run_messages.h"
#include "engine/record/input_too_large.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace tessivo {
namespace {

// Hash of the value bits; minus zero is folded onto zero first because the
// match is by value. Only the 10 significant bytes of an x87 extended count.
std::uint64_t bitsOf(long double v)
{
    v = v + 0.0L;
    const ExtendedBits bits = extendedBits(v);
    return bits.mantissa ^ (static_cast<std::uint64_t>(bits.signExponent) * 0xC2B2AE3D27D4EB4FULL);
}

std::uint64_t hashPair(long double upper, long double lower)
{
    const unsigned __int128 h =
        static_cast<unsigned __int128>(bitsOf(upper) ^ 0x9E3779B97F4A7C15ULL) * (bitsOf(lower) ^ 0xD6E8FEB86659FD93ULL);
    return static_cast<std::uint64_t>(h) ^ static_cast<std::uint64_t>(h >> 64);
}

std::uint32_t low32(std::uint64_t hash)
{
    return static_cast<std::uint32_t>(hash);
}

// Report order as one ascending 192-bit key: descending Range, descending
// Upper, then ascending position (which keeps equal entries in their order).
struct SortKey {
    std::uint64_t w0, w1, w2;
    bool operator<(const SortKey& o) const { return w0 != o.w0 ? w0 < o.w0 : (w1 != o.w1 ? w1 < o.w1 : w2 < o.w2); }
};

SortKey sortKeyOf(const TCycle& c, std::uint32_t position)
{
    const unsigned __int128 all80 = (static_cast<unsigned __int128>(1) << 80) - 1;
    const unsigned __int128 range = all80 - orderedLoadBits(c.Range);
    const unsigned __int128 upper = all80 - orderedLoadBits(c.Upper);
    return {static_cast<std::uint64_t>(range >> 16),
            (static_cast<std::uint64_t>(range & 0xFFFF) << 48) | static_cast<std::uint64_t>(upper >> 32),
            (static_cast<std::uint64_t>(upper & 0xFFFFFFFFu) << 32) | position};
}

// Free entries are not indexed: an emptied entry can match no real cycle.
bool indexable(const TCycle& c)
{
    return inUse(c) && c.Upper >= c.Lower;
}

} // namespace

TCycleTable::TCycleTable(std::int32_t capacity, bool growable, std::int32_t heldInMemory)
    : m_entries(static_cast<std::size_t>(capacity) + 1)
    , m_growable(growable)
    , m_heldInMemory(std::max(capacity, heldInMemory))
{
}

TCycleTable::~TCycleTable() = default;

TCycle& TCycleTable::entry(std::int32_t i)
{
    m_indexValid = false;
    m_sorted = false;
    return m_entries[static_cast<std::size_t>(i)];
}

void TCycleTable::divideLoads(std::int32_t n, long double divisor)
{
    if (!m_merged.empty()) {
        m_divisors.push_back(divisor);
        return;
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        TCycle& c = m_entries[static_cast<std::size_t>(i)];
        c.Range /= divisor;
        c.Upper /= divisor;
        c.Lower /= divisor;
    }
    m_indexValid = false;
}

std::int32_t TCycleTable::nextFreeFrom(std::int32_t start) const
{
    std::int32_t i = start;
    while (i <= capacity() && inUse(m_entries[static_cast<std::size_t>(i)]))
        ++i;
    return i; // capacity() + 1 when none is free
}

// The last entry of a fixed table is never indexed: it is the one a full table
// overwrites, so it is compared directly and the index needs no deletions.
void TCycleTable::rebuildIndex()
{
    std::size_t size = 1024;
    while (size < 2 * static_cast<std::size_t>(capacity()) + 2)
        size *= 2;
    m_slots.assign(size, Slot{});
    m_keys = 0;
    const std::int32_t last = m_growable ? capacity() : capacity() - 1;
    for (std::int32_t i = 1; i <= last; ++i) {
        const TCycle& c = m_entries[static_cast<std::size_t>(i)];
        if (!indexable(c))
            continue;
        const std::uint64_t hash = hashPair(c.Upper, c.Lower);
        const std::size_t slot = probe(c.Upper, c.Lower, hash);
        if (m_slots[slot].index == 0) // the first of equal entries is the one that matches
            insertAt(slot, i, hash);
    }
    m_firstFree = nextFreeFrom(1);
    m_indexValid = true;
}

std::size_t TCycleTable::probe(long double upper, long double lower, std::uint64_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    const std::uint32_t quick = low32(hash);
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        const Slot& slot = m_slots[s];
        if (slot.index == 0)
            return s;
        if (slot.hash == quick) {
            const TCycle& c = m_entries[static_cast<std::size_t>(slot.index)];
            if (c.Upper == upper && c.Lower == lower)
                return s;
        }
    }
}

void TCycleTable::insertAt(std::size_t slot, std::int32_t index, std::uint64_t hash)
{
    m_slots[slot] = Slot{index, low32(hash)};
    ++m_keys;
    if (2 * static_cast<std::size_t>(m_keys) > m_slots.size())
        growIndex();
}

void TCycleTable::growIndex()
{
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(old.size() * 2, Slot{});
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.index == 0)
            continue;
        std::size_t s = slot.hash & mask; // the index never outgrows 32 bits of hash
        while (m_slots[s].index != 0)
            s = (s + 1) & mask;
        m_slots[s] = slot;
    }
}

void TCycleTable::spill()
{
    const std::int32_t n = nextFreeFrom(1) - 1;
    auto run = std::make_unique<CycleRunFile>();
    for (const std::uint32_t i : reportOrder(n)) {
        const TCycle& c = m_entries[i];
        run->append(SpilledCycle{c.Upper, c.Lower, c.Count, c.Halves, m_serialBase + i});
    }
    run->finish();
    m_runs.push_back(std::move(run));
    m_serialBase += n;
    std::fill(m_entries.begin(), m_entries.end(), TCycle{});
    std::fill(m_slots.begin(), m_slots.end(), Slot{});
    m_keys = 0;
    m_firstFree = 1;
}

void TCycleTable::dropSpilled()
{
    m_runs.clear();
    m_merged.clear();
    m_divisors.clear();
    m_serialBase = 0;
}

void TCycleTable::EmptyCycleTable()
{
    if (m_growable && capacity() > MaxCycles)
        m_entries.resize(static_cast<std::size_t>(MaxCycles) + 1);
    dropSpilled();
    m_sorted = false;
    std::fill(m_entries.begin(), m_entries.end(), TCycle{});
    rebuildIndex();
}

void TCycleTable::AddCycle(long double a, long double b, RunResult& result)
{
    count<false>(a, b, result, 1);
}

void TCycleTable::AddCycles(long double a, long double b, std::int32_t n, RunResult& result)
{
    count<false>(a, b, result, n);
}

void TCycleTable::AddHalfCycle(long double a, long double b, RunResult& result)
{
    count<true>(a, b, result, 1);
}

template <bool kHalf>
void TCycleTable::count(long double a, long double b, RunResult& result, std::int32_t n)
{
    const long double upper = a > b ? a : b;
    const long double lower = a > b ? b : a;
    if (!m_merged.empty())
        throw std::logic_error("cycles added to a table after its files were merged");
    if (!m_indexValid)
        rebuildIndex();
    m_sorted = false;

    const std::uint64_t hash = hashPair(upper, lower);
    std::size_t slot = probe(upper, lower, hash);
    if (const std::int32_t i = m_slots[slot].index; i != 0) {
        (kHalf ? m_entries[static_cast<std::size_t>(i)].Halves : m_entries[static_cast<std::size_t>(i)].Count) += n;
        return;
    }
    const std::int32_t cap = capacity();
    if (!m_growable) {
        TCycle& last = m_entries[static_cast<std::size_t>(cap)];
        if (inUse(last) && last.Upper == upper && last.Lower == lower) {
            (kHalf ? last.Halves : last.Count) += n;
            return;
        }
    }

    std::int32_t target = m_firstFree;
    if (target > cap) {
        if (m_growable && cap < m_heldInMemory) {
            const auto grown = std::min<std::size_t>(m_entries.size() + m_entries.size() / 2,
                                                     static_cast<std::size_t>(m_heldInMemory) + 1);
            m_entries.resize(grown);
        } else if (m_growable) {
            spill();
            target = 1;
            slot = probe(upper, lower, hash);
        } else {
            result = RunResult::TableFull;
            target = cap;
        }
    }
    m_entries[static_cast<std::size_t>(target)] = TCycle{upper - lower, upper, lower, kHalf ? 0 : n, kHalf ? n : 0};
    if (target < cap || m_growable)
        insertAt(slot, target, hash);
    m_firstFree = nextFreeFrom(target + 1);
}

std::vector<std::uint32_t> TCycleTable::reportOrder(std::int32_t n) const
{
    // Sorting compact keys and moving each entry once is several times faster
    // than sorting the entries themselves.
    std::vector<SortKey> keys(static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i)
        keys[static_cast<std::size_t>(i) - 1] =
            sortKeyOf(m_entries[static_cast<std::size_t>(i)], static_cast<std::uint32_t>(i));
    std::sort(keys.begin(), keys.end());
    std::vector<std::uint32_t> order(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k)
        order[k] = static_cast<std::uint32_t>(keys[k].w2 & 0xFFFFFFFFu);
    return order;
}

std::int32_t TCycleTable::SortCycles()
{
    if (m_sorted)
        return m_sortedCount;
    std::int32_t n = 0;
    while (n < capacity() && inUse(m_entries[static_cast<std::size_t>(n) + 1]))
        ++n;
    // The index is rebuilt after any reordering; freeing it now lowers the
    // peak memory of a large table.
    m_indexValid = false;
    decltype(m_slots)().swap(m_slots);

    if (!m_runs.empty()) {
        if (n > 0)
            spill();
        std::vector<std::unique_ptr<CycleRunFile>> merged;
        const std::int64_t distinct = MergeCycleRuns(m_runs, merged);
        if (distinct > std::numeric_limits<std::int32_t>::max())
            throw InputTooLarge(kTooManyCyclesMessage);
        m_runs.clear();
        m_merged = std::move(merged);
        n = static_cast<std::int32_t>(distinct);
    } else if (m_merged.empty()) {
        // from[k]: the entry that belongs at position k (both from 1).
        std::vector<std::uint32_t> from = reportOrder(n);
        from.insert(from.begin(), 0);
        // Apply the permutation in place, one cycle of it at a time; a placed
        // position is marked by from[k] = k.
        for (std::uint32_t start = 1; start <= static_cast<std::uint32_t>(n); ++start) {
            if (from[start] == start)
                continue;
            const TCycle held = m_entries[start];
            std::uint32_t k = start;
            while (from[k] != start) {
                m_entries[k] = m_entries[from[k]];
                const std::uint32_t next = from[k];
                from[k] = k;
                k = next;
            }
            m_entries[k] = held;
            from[k] = k;
        }
    } else {
        std::int64_t records = 0;
        for (const auto& file : m_merged)
            records += file->records();
        n = static_cast<std::int32_t>(records);
    }
    m_sorted = true;
    m_sortedCount = n;
    return n;
}

// The merged files, one after the other.
struct CycleReader::FileReader {
    explicit FileReader(const std::vector<std::unique_ptr<CycleRunFile>>& files) : files(files), reader(*files[0]) {}
    bool next(SpilledCycle& c)
    {
        while (!reader.next(c)) {
            if (++file == files.size())
                return false;
            reader = CycleRunFile::Reader(*files[file]);
        }
        return true;
    }
    const std::vector<std::unique_ptr<CycleRunFile>>& files;
    std::size_t file = 0;
    CycleRunFile::Reader reader;
};

CycleReader::CycleReader(const TCycleTable& table, std::int32_t n) : m_table(table), m_n(n)
{
    if (!table.m_merged.empty())
        m_file = std::make_unique<FileReader>(table.m_merged);
}

CycleReader::~CycleReader() = default;

bool CycleReader::next(TCycle& cycle)
{
    if (m_read >= m_n)
        return false;
    ++m_read;
    if (!m_file) {
        cycle = m_table[m_read];
        return true;
    }
    SpilledCycle c;
    if (!m_file->next(c))
        return false;
    cycle = TCycle{c.upper - c.lower, c.upper, c.lower, c.count, c.halves};
    for (const long double divisor : m_table.m_divisors) {
        cycle.Range /= divisor;
        cycle.Upper /= divisor;
        cycle.Lower /= divisor;
    }
    return true;
}

} // namespace tessivo
