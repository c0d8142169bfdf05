#pragma once
// The cycle table: one entry per distinct pair of upper and lower load, indexed
// from 1. The desktop program's table has a fixed capacity of MaxCycles entries;
// the command line's unlimited mode lets it grow.

#include "run_record.h"

#include <cstdint>
#include <vector>

namespace tessivo {

constexpr std::int32_t MaxCycles = 20000;

struct TCycle {
    long double Range = 0.0L;
    long double Upper = -1.0L; // below Lower in an empty entry, so nothing real matches it
    long double Lower = 0.0L;
    std::int32_t Count = 0;    // 0 or less: the entry is free
};

class TCycleTable {
public:
    // A fixed table of `capacity` entries, or one that grows past it.
    explicit TCycleTable(std::int32_t capacity = MaxCycles, bool growable = false);

    std::int32_t capacity() const { return static_cast<std::int32_t>(m_entries.size()) - 1; }
    bool growable() const { return m_growable; }

    // Entries 1..capacity(). Mutable access drops the lookup index, which the
    // next AddCycle rebuilds, so tests and callers may edit entries freely.
    const TCycle& operator[](std::int32_t i) const { return m_entries[static_cast<std::size_t>(i)]; }
    TCycle& entry(std::int32_t i);

private:
    friend void EmptyCycleTable(TCycleTable& table);
    friend void AddCycle(TCycleTable& table, long double a, long double b, RunResult& result);
    friend void SortCycles(std::int32_t& n, TCycleTable& table);

    // One slot of the open-addressing index: an entry and the high bits of its
    // hash, so that most probes never touch the entries themselves.
    struct Slot {
        std::int32_t index = 0; // 0: empty
        std::uint32_t hash = 0; // low bits of the hash: the home slot and a quick filter
    };

    void rebuildIndex();
    // The slot holding (upper, lower), or the empty slot where it belongs.
    std::size_t probe(long double upper, long double lower, std::uint64_t hash) const;
    void insertAt(std::size_t slot, std::int32_t index, std::uint64_t hash);
    void growIndex();
    std::int32_t nextFreeFrom(std::int32_t start) const;

    std::vector<TCycle> m_entries; // [0] is unused
    std::vector<Slot> m_slots;
    std::int32_t m_keys = 0;
    std::int32_t m_firstFree = 1;
    bool m_indexValid = false;
    bool m_growable = false;
};

// Sets every entry to the empty entry (Range 0, Upper -1, Lower 0, Count 0).
// A growable table shrinks back to its initial capacity.
void EmptyCycleTable(TCycleTable& table);

// Counts one cycle between the loads a and b (either order). An entry with the
// same upper and lower load (exact comparison, so -0 equals 0) gains one count;
// otherwise the first free entry receives the cycle with count 1. When a fixed
// table has no free entry, the cycle replaces the last entry and result becomes
// TableFull. Never resets result. Constant time per cycle on average.
void AddCycle(TCycleTable& table, long double a, long double b, RunResult& result);

// Sets n to the number of consecutive entries in use from entry 1 and sorts
// them by descending Range, then descending Upper. Entries equal in both keep
// the order they had (the order in which they were first counted).
void SortCycles(std::int32_t& n, TCycleTable& table);

} // namespace tessivo
