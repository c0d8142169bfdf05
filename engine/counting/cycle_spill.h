#pragma once
// Runs of cycles in anonymous temporary files: how a growable cycle table
// keeps its memory bounded when a sequence has millions of distinct cycles.
// Each run holds distinct cycles in report order; merging the runs adds up
// the counts of a cycle that several of them hold.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessivo {

// One cycle as a run stores it. The serial number is the position of the
// cycle's first count in the whole run of the table; it orders cycles that
// the report keys cannot tell apart.
struct SpilledCycle {
    long double upper = 0.0L;
    long double lower = 0.0L;
    std::int32_t count = 0;
    std::int32_t halves = 0;
    std::int64_t serial = 0;
};

// A file in the temporary folder that has no name from the start, so that
// nothing is left behind whatever ends the program. Written once from the
// beginning, then read any number of times.
class CycleRunFile {
public:
    CycleRunFile();
    ~CycleRunFile();
    CycleRunFile(const CycleRunFile&) = delete;
    CycleRunFile& operator=(const CycleRunFile&) = delete;

    void append(const SpilledCycle& cycle);
    void finish(); // writes what is buffered; throws IoError on a full disk
    std::int64_t records() const { return m_records; }
    // Adds `by` to the serial of every record as it is read: the run of a
    // table whose cycles all follow those of another table joins that table.
    void shiftSerials(std::int64_t by) { m_serialShift += by; }

    // The record at index i, read on its own.
    SpilledCycle at(std::int64_t i) const;

    class Reader {
    public:
        explicit Reader(const CycleRunFile& file);
        // Records [from, to) only.
        Reader(const CycleRunFile& file, std::int64_t from, std::int64_t to);
        bool next(SpilledCycle& cycle);

    private:
        const CycleRunFile* m_file;
        std::vector<char> m_block;
        std::size_t m_at = 0;
        std::int64_t m_offset = 0; // of the block's end in the file
        std::int64_t m_end = 0;    // of the last record to read
    };

private:
    void flush();

    int m_fd = -1;
    std::string m_path; // where it was made, for error messages only
    std::vector<char> m_buffer;
    std::int64_t m_records = 0;
    std::int64_t m_serialShift = 0;
};

// Merges runs (each sorted by descending range, then descending upper load,
// with no cycle twice) into `merged` in the table's report order: equal
// cycles of several runs become one with the counts added and the first
// count's serial; cycles equal in range and upper load follow by serial.
// Larger merges are split at a key into two halves merged at once on two
// threads: `merged` then holds two files, to be read one after the other.
// Returns the number of distinct cycles.
std::int64_t MergeCycleRuns(const std::vector<std::unique_ptr<CycleRunFile>>& runs,
                            std::vector<std::unique_ptr<CycleRunFile>>& merged);

// Unsigned images of a finite long double whose order is the value's order,
// minus zero folded onto zero; shared by the table's sort and the merge.
unsigned __int128 orderedLoadBits(long double v);

} // namespace tessivo
