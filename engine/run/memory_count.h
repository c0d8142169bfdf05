#pragma once
// Counting a sequence held in memory, with the parameters of tessivo-count:
// the same run record, checks, run and table as a count of the same values
// read from a sequence file, so both give the same cycles to the last bit.

#include "engine/counting/cycle_table.h"
#include "engine/counting/residue_method.h"
#include "engine/record/run_record.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tessivo {

struct MemoryCountParameters {
    long double filter = 0.0L;
    bool normalize = false;
    bool loadBins = false;
    std::int32_t binCount = 32; // also the classes of the switch to the matrix at MatrixThreshold values
    ResidueMethod residue = ResidueMethod::Decomposition;
    bool unlimited = false;     // no switch to the matrix, a cycle table that grows
    // For a partial count of one piece: the extremes of the whole sequence as
    // given, known beforehand. The piece then counts into the load classes at
    // once and keeps no exact cycles (CycleStore::Bins); only for a count
    // that ends in load bins (loadBins, or MatrixThreshold values or more and
    // not unlimited), and the whole sequence must have exactly these extremes.
    // Load classes between these edges (ascending, at least two) instead of
    // binCount equal classes: the count is made in them (loadBins) whatever
    // its length, and every value must lie within them.
    std::vector<long double> binEdges;
    // Values are rounded on a second thread from 65536 on when the machine has
    // more than one core. Off where every core already counts (a worker of a
    // cluster), so that the counts do not compete for the cores.
    bool readAhead = true;
    bool knownSpan = false;
    long double spanLowest = 0.0L;
    long double spanHighest = 0.0L;
};

// What a reader finds in the values before counting: their number and
// extremes (of the values as given, before the work-precision rounding, as
// the sequence reader finds them in a file).
struct SequenceExtent {
    std::int64_t points = 0;
    long double highest = NoPeak;
    long double lowest = NoTrough;
};

// The counted cycles in report order, as columns.
struct CycleColumns {
    std::vector<long double> range;
    std::vector<long double> upper;
    std::vector<long double> lower;
    std::vector<std::int64_t> count;
    std::vector<std::int64_t> cumulative; // running total from the largest range down
    bool inHalves = false; // count and cumulative in half cycles (the half-cycle residue)
};

struct MemoryCount {
    RunResult result = RunResult::Normal;
    std::int32_t sequenceLength = 0;
    long double highestPeak = NoPeak; // NoPeak and NoTrough for an empty sequence
    long double lowestTrough = NoTrough;
    CycleColumns cycles;
};

// Progress of a count (values taken, of the total); returning false cancels
// it with RunCancelled. May be empty.
using CountProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Counts extent.points values taken from `values`, which must give each value
// rounded to work precision (as StridedValues does). An empty sequence gives
// the empty count (length 0, no cycles, result Normal) once the filter is not
// negative. Throws std::invalid_argument with the parameter check's message
// when a check fails, binCount is not 1..MatrixSize, or binEdges cannot bound
// classes or do not hold every value, std::overflow_error for
// more than 2147483647 values, RunCancelled when progress asks to stop, and
// IoError when an unlimited table cannot write its temporary files. From
// 65536 values on, `values` is read ahead on a second thread.
MemoryCount countInMemory(ValueSource& values, const SequenceExtent& extent, const MemoryCountParameters& parameters,
                          const CountProgress& progress = {});

// The table's entries 1..cycleCount as columns, through CycleReader; counts
// in half cycles with inHalves.
CycleColumns cycleColumns(const TCycleTable& table, std::int32_t cycleCount, bool inHalves = false);

// Divides range, upper and lower by divisor, as the table's normalisation does.
void divideLoads(CycleColumns& columns, long double divisor);

// The checks of countInMemory: throws std::invalid_argument with the message
// of the first that fails (a negative filter first; an empty sequence passes
// the others), std::overflow_error for more than 2147483647 values.
void requireCountable(const SequenceExtent& extent, const MemoryCountParameters& parameters);

} // namespace tessivo
