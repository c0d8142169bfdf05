#include "cycle_table.h"

#include <algorithm>
#include <cstring>

namespace tessivo {
namespace {

// Hash of the value bits; minus zero is folded onto zero first because the
// match is by value. Only the 10 significant bytes of an x87 extended are read.
std::uint64_t bitsOf(long double v)
{
    v = v + 0.0L;
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &v, sizeof v);
    std::uint64_t h = 1469598103934665603ULL;
    for (std::size_t i = 0; i < std::min<std::size_t>(10, sizeof v); ++i)
        h = (h ^ bytes[i]) * 1099511628211ULL;
    return h;
}

std::uint64_t hashPair(long double upper, long double lower)
{
    std::uint64_t h = bitsOf(upper) * 0x9E3779B97F4A7C15ULL ^ bitsOf(lower);
    return h ^ (h >> 29);
}

// Free entries are not indexed: an emptied entry can match no real cycle.
bool indexable(const TCycle& c) { return c.Count > 0 && c.Upper >= c.Lower; }

} // namespace

TCycleTable::TCycleTable(std::int32_t capacity, bool growable)
    : m_entries(static_cast<std::size_t>(capacity) + 1), m_growable(growable)
{
}

TCycle& TCycleTable::entry(std::int32_t i)
{
    m_indexValid = false;
    return m_entries[static_cast<std::size_t>(i)];
}

std::int32_t TCycleTable::nextFreeFrom(std::int32_t start) const
{
    std::int32_t i = start;
    while (i <= capacity() && m_entries[static_cast<std::size_t>(i)].Count > 0)
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
    m_slots.assign(size, 0);
    m_keys = 0;
    const std::int32_t last = m_growable ? capacity() : capacity() - 1;
    for (std::int32_t i = 1; i <= last; ++i)
        if (indexable(m_entries[static_cast<std::size_t>(i)]) && find(m_entries[i].Upper, m_entries[i].Lower) == 0)
            insertKey(i);
    m_firstFree = nextFreeFrom(1);
    m_indexValid = true;
}

std::int32_t TCycleTable::find(long double upper, long double lower) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t s = hashPair(upper, lower) & mask;; s = (s + 1) & mask) {
        const std::int32_t i = m_slots[s];
        if (i == 0)
            return 0;
        const TCycle& c = m_entries[static_cast<std::size_t>(i)];
        if (c.Upper == upper && c.Lower == lower)
            return i;
    }
}

void TCycleTable::insertKey(std::int32_t index)
{
    if (2 * static_cast<std::size_t>(m_keys + 1) > m_slots.size())
        growIndex();
    const TCycle& c = m_entries[static_cast<std::size_t>(index)];
    const std::size_t mask = m_slots.size() - 1;
    std::size_t s = hashPair(c.Upper, c.Lower) & mask;
    while (m_slots[s] != 0)
        s = (s + 1) & mask;
    m_slots[s] = index;
    ++m_keys;
}

void TCycleTable::growIndex()
{
    std::vector<std::int32_t> old;
    old.swap(m_slots);
    m_slots.assign(old.size() * 2, 0);
    m_keys = 0;
    for (std::int32_t i : old)
        if (i != 0)
            insertKey(i);
}

void EmptyCycleTable(TCycleTable& table)
{
    if (table.m_growable && table.capacity() > MaxCycles)
        table.m_entries.resize(static_cast<std::size_t>(MaxCycles) + 1);
    std::fill(table.m_entries.begin(), table.m_entries.end(), TCycle{});
    table.rebuildIndex();
}

void AddCycle(TCycleTable& table, long double a, long double b, RunResult& result)
{
    const long double upper = a > b ? a : b;
    const long double lower = a > b ? b : a;
    if (!table.m_indexValid)
        table.rebuildIndex();

    if (const std::int32_t i = table.find(upper, lower); i != 0) {
        ++table.m_entries[static_cast<std::size_t>(i)].Count;
        return;
    }
    const std::int32_t cap = table.capacity();
    if (!table.m_growable) {
        TCycle& last = table.m_entries[static_cast<std::size_t>(cap)];
        if (last.Count > 0 && last.Upper == upper && last.Lower == lower) {
            ++last.Count;
            return;
        }
    }

    std::int32_t target = table.m_firstFree;
    if (target > cap) {
        if (table.m_growable) {
            table.m_entries.resize(table.m_entries.size() + table.m_entries.size() / 2);
        } else {
            result = RunResult::TableFull;
            target = cap;
        }
    }
    table.m_entries[static_cast<std::size_t>(target)] = TCycle{upper - lower, upper, lower, 1};
    if (target < cap || table.m_growable)
        table.insertKey(target);
    table.m_firstFree = table.nextFreeFrom(target + 1);
}

void SortCycles(std::int32_t& n, TCycleTable& table)
{
    n = 0;
    while (n < table.capacity() && table.m_entries[static_cast<std::size_t>(n) + 1].Count > 0)
        ++n;
    auto first = table.m_entries.begin() + 1;
    std::stable_sort(first, first + n, [](const TCycle& x, const TCycle& y) {
        return x.Range > y.Range || (x.Range == y.Range && x.Upper > y.Upper);
    });
    table.m_indexValid = false;
}

} // namespace tessivo
