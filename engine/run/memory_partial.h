#pragma once
// Partial counts of values held in memory: the engine's partial count of the
// values rounded to work precision, with the extremes of the values as given,
// so that merging the partial counts of the pieces of a sequence and
// finishing them gives exactly countInMemory of the whole sequence.

#include "engine/counting/partial_count.h"
#include "memory_count.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <iosfwd>
#include <string>

namespace tessivo {

class MemoryPartial {
public:
    // An empty count of piece `piece` (1 = the start of the sequence). Throws
    // std::invalid_argument for a negative filter, a piece 0, a bin count
    // outside 1..MatrixSize or a known span whose highest is not above its
    // lowest.
    MemoryPartial(const MemoryCountParameters& parameters, std::uint64_t piece);

    // Counts the next values: `rounded` gives extent.points values rounded to
    // work precision (StridedValues); extent is theirs as given. From 65536
    // values on they are read ahead on a second thread. progress as for
    // countInMemory.
    void feed(ValueSource& rounded, const SequenceExtent& extent, const CountProgress& progress = {});
    // Counts the values of a sequence file as feed() counts those that
    // readSequenceValues gives, without holding them. Returns false (the
    // count is then of no use) when the file is not a proper sequence file;
    // throws IoError when it cannot be read, std::invalid_argument at a value
    // that is not finite.
    bool feedFile(const std::string& path);

    // Appends the count of the pieces that follow; throws PartialCountError
    // (parameters differ, not the next piece) leaving both unchanged.
    void append(MemoryPartial&& next);

    // The count of the sequence so far, as countInMemory gives it for the same
    // values, with the same errors. Consumes this count.
    MemoryCount finish(bool normalize) &&;

    // A copy. Cycles held in temporary files are copied through the binary
    // form, and this count goes on from such a copy as well (writing them
    // leaves a table that takes no more, see PartialCount::write).
    MemoryPartial clone();

    // The engine's binary form of the partial count; the extremes as given go
    // separately (highestGiven, lowestGiven) and come back through read().
    std::string serialized();
    static MemoryPartial read(const std::string& bytes, const MemoryCountParameters& parameters,
                              long double highestGiven, long double lowestGiven);

    std::int64_t length() const { return m_count.length(); }
    std::uint64_t firstPiece() const { return m_count.firstPiece(); }
    std::uint64_t lastPiece() const { return m_count.lastPiece(); }
    long double highestGiven() const { return m_highest; }
    long double lowestGiven() const { return m_lowest; }
    const MemoryCountParameters& parameters() const { return m_parameters; }

private:
    MemoryPartial(PartialCount&& count, const MemoryCountParameters& parameters);
    void takeExtremes(bool first, const SequenceExtent& extent);
    PartialCount m_count;
    MemoryCountParameters m_parameters;
    long double m_highest = NoPeak;
    long double m_lowest = NoTrough;
};

} // namespace tessivo
