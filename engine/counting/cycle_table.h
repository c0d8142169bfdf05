#pragma once
// The cycle table: one entry per distinct pair of upper and lower load, indexed
// from 1. The desktop program's table has a fixed capacity of MaxCycles entries;
// the command line's unlimited mode lets it grow. A growable table holds a
// bounded number of entries in memory and moves the rest, sorted, to
// temporary files, so its memory stays the same however many cycles it counts.

#include "engine/record/run_record.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tessivo {

constexpr std::int32_t MaxCycles = 20000;

// Entries a growable table holds in memory before it moves them to a file:
// about 4 MB of entries and 1 MB of index, which stay in the processor's cache
// far better than a larger part would.
constexpr std::int32_t kCyclesHeldInMemory = 1 << 16;

class CycleRunFile;

struct TCycle {
    long double Range = 0.0L;
    long double Upper = -1.0L; // below Lower in an empty entry, so nothing real matches it
    long double Lower = 0.0L;
    std::int32_t Count = 0;  // full cycles
    std::int32_t Halves = 0; // half cycles on top of Count (the half-cycle residue only)
};

// An entry with neither full nor half cycles is free.
inline bool inUse(const TCycle& c)
{
    return c.Count > 0 || c.Halves > 0;
}

// The entry's count in half cycles, exact however large: Count + Halves / 2
// cycles. Whole for the residue methods that count complete cycles only.
inline std::int64_t halvesOf(const TCycle& c)
{
    return 2 * static_cast<std::int64_t>(c.Count) + c.Halves;
}

class TCycleTable {
public:
    // A fixed table of `capacity` entries, or one that grows past it and holds
    // at most `heldInMemory` entries in memory.
    explicit TCycleTable(std::int32_t capacity = MaxCycles, bool growable = false,
                         std::int32_t heldInMemory = kCyclesHeldInMemory);
    ~TCycleTable();
    TCycleTable(const TCycleTable&) = delete;
    TCycleTable& operator=(const TCycleTable&) = delete;

    std::int32_t capacity() const { return static_cast<std::int32_t>(m_entries.size()) - 1; }
    bool growable() const { return m_growable; }
    // True when the cycles are in temporary files: read them with CycleReader.
    bool spilled() const { return !m_runs.empty() || !m_merged.empty(); }

    // Entries 1..capacity() held in memory. Mutable access drops the lookup
    // index, which the next AddCycle rebuilds, so tests and callers may edit
    // entries freely.
    const TCycle& operator[](std::int32_t i) const { return m_entries[static_cast<std::size_t>(i)]; }
    TCycle& entry(std::int32_t i);

    // Divides Range, Upper and Lower of entries 1..n by divisor (normalisation).
    void divideLoads(std::int32_t n, long double divisor);

    // Sets every entry to the empty entry (Range 0, Upper -1, Lower 0, no
    // count). A growable table shrinks back to its initial capacity and drops
    // its files.
    void EmptyCycleTable();

    // Counts one cycle between the loads a and b (either order). An entry
    // with the same upper and lower load (exact comparison, so -0 equals 0)
    // gains one count; otherwise the first free entry receives the cycle with
    // count 1. When a fixed table has no free entry, the cycle replaces the
    // last entry and result becomes TableFull. Never resets result. Constant
    // time per cycle on average.
    void AddCycle(long double a, long double b, RunResult& result);
    // As AddCycle n times (n >= 1), in the time of one: merging tables.
    void AddCycles(long double a, long double b, std::int32_t n, RunResult& result);
    // As AddCycle, for half a cycle: the entry gains one of its Halves.
    void AddHalfCycle(long double a, long double b, RunResult& result);

    // Sorts the consecutive entries in use from entry 1 by descending Range,
    // then descending Upper, and returns their number. Entries equal in both
    // keep the order they had (the order in which they were first counted).
    // A table that spilled merges its files: the number counts them all,
    // CycleReader reads them.
    std::int32_t SortCycles();

private:
    friend class CycleReader;

    // One slot of the open-addressing index: an entry and the high bits of its
    // hash, so that most probes never touch the entries themselves.
    struct Slot {
        std::int32_t index = 0; // 0: empty
        std::uint32_t hash = 0; // low bits of the hash: the home slot and a quick filter
    };

    template <bool kHalf>
    void count(long double a, long double b, RunResult& result, std::int32_t n);
    void rebuildIndex();
    // The slot holding (upper, lower), or the empty slot where it belongs.
    std::size_t probe(long double upper, long double lower, std::uint64_t hash) const;
    void insertAt(std::size_t slot, std::int32_t index, std::uint64_t hash);
    void growIndex();
    std::int32_t nextFreeFrom(std::int32_t start) const;
    // Entries 1..n in report order, as positions.
    std::vector<std::uint32_t> reportOrder(std::int32_t n) const;
    // Moves the entries in memory to a new run file and empties them.
    void spill();
    void dropSpilled();

    std::vector<TCycle> m_entries; // [0] is unused
    std::vector<Slot> m_slots;
    std::int32_t m_keys = 0;
    std::int32_t m_firstFree = 1;
    bool m_indexValid = false;
    bool m_growable = false;
    std::int32_t m_heldInMemory = 0;
    // Sorted since the last change: a second SortCycles has nothing to do.
    bool m_sorted = false;
    std::int32_t m_sortedCount = 0;
    // Spilled entries: sorted runs while counting, one merged file after SortCycles.
    std::int64_t m_serialBase = 0; // entries moved to runs so far
    std::vector<std::unique_ptr<CycleRunFile>> m_runs;
    std::vector<std::unique_ptr<CycleRunFile>> m_merged; // read one after the other
    std::vector<long double> m_divisors;                 // applied to the merged cycles as they are read

    friend bool JoinSpilledCycles(TCycleTable& table, TCycleTable& later);
};

// Reads entries 1..n of a sorted table in order, from memory or from the
// table's files alike.
class CycleReader {
public:
    CycleReader(const TCycleTable& table, std::int32_t n);
    ~CycleReader();
    bool next(TCycle& cycle);

private:
    const TCycleTable& m_table;
    std::int32_t m_n;
    std::int32_t m_read = 0;
    struct FileReader;
    std::unique_ptr<FileReader> m_file;
};

// Counts every cycle of the growable table `later`, whose cycles all follow
// those counted so far in the growable `table`, when `later` keeps its cycles
// in temporary files: their sorted runs join the table's runs, where the
// merge of the runs adds up the counts of equal cycles. The result is that of
// counting later's cycles one by one in its report order. `later` is left
// empty. False, changing nothing, when `later` is held in memory (count its
// cycles with AddCycle then) or its loads have been divided.
bool JoinSpilledCycles(TCycleTable& table, TCycleTable& later);

} // namespace tessivo
