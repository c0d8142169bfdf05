#pragma once
// Partial counts through the front door: the count of one piece of a
// sequence, made with the same CountRequest as a count of the whole, saved,
// merged with the counts of the pieces that follow, and finished by count()
// (CountInputs::pieces) into exactly the result of counting the whole
// sequence in one go. The extremes of the values as given (before the
// work-precision rounding) travel with the count, as the sequence totals
// would give them.

#include "engine/counting/partial_count.h"
#include "engine/files/sequence_extent.h"
#include "engine/files/value_stream.h"
#include "engine/run/count.h"
#include "engine/run/count_request.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessivo {

class PieceCount {
public:
    // An empty count of piece `piece` (1 = the start of the sequence;
    // PartialCount::kUnnumbered for a piece that merges where it is given).
    // Throws CountRefused for a request that fails checkRequest, a piece 0,
    // a table limit other than MaxCycles or a work folder.
    PieceCount(const CountRequest& request, std::uint64_t piece);

    // Counts the next values: `rounded` gives extent.points values rounded to
    // work precision (StridedValues, a combined sequence); extent is theirs as
    // given. From 65536 values on they are read ahead on a second thread when
    // the request allows it. progress as for CountHooks.
    void feed(ValueSource& rounded, const SequenceExtent& extent,
              const std::function<bool(std::int64_t, std::int64_t)>& progress = {});
    // Counts the combined sequence of the inputs (files or table columns), as
    // count() would read it. Throws CountRefused for a file that is not a
    // sequence, as count() does; a piece need not spread beyond the filter.
    void feed(CountInputs inputs);
    // Streams a sequence file into the count without holding its values,
    // rounding them as a count of the file does. False for a file that is no
    // sequence (a token that is not a number, or no value); throws IoError.
    bool feedFile(const std::string& path);

    // Appends the count of the pieces that follow; throws PartialCountError
    // (parameters differ, not the next piece) leaving both unchanged.
    void append(PieceCount&& next);

    // A copy. Cycles held in temporary files are copied through the binary
    // form, and this count goes on from such a copy as well.
    PieceCount clone();

    // The engine's binary form; the extremes as given go separately
    // (highestGiven, lowestGiven) and come back through read().
    std::string serialized();
    static PieceCount read(const std::string& bytes, const CountRequest& request, long double highestGiven,
                           long double lowestGiven);

    // A partial-count file: written whole or not at all (a file beside it,
    // renamed over it), with the extremes as given inside. Throws IoError.
    void save(const std::string& path);
    // Reads a partial-count file. Throws IoError, PartialCountError.
    static PieceCount load(const std::string& path);

    std::int64_t length() const { return m_count.length(); }
    std::uint64_t firstPiece() const { return m_count.firstPiece(); }
    std::uint64_t lastPiece() const { return m_count.lastPiece(); }
    long double highestGiven() const { return m_highest; }
    long double lowestGiven() const { return m_lowest; }
    // The request the pieces were counted with (normalize off, no work folder).
    const CountRequest& request() const { return m_request; }

    // For count() only: the count, its extremes set, handed over.
    PartialCount release() &&;

private:
    PieceCount(PartialCount&& count, const CountRequest& request);
    void takeExtremes(bool first, const SequenceExtent& extent);
    PartialCount m_count;
    CountRequest m_request;
    long double m_highest = NoPeak;
    long double m_lowest = NoTrough;
};

// The engine's parameters of a partial count made for the request, and back.
CountParameters partialParameters(const CountRequest& request);
CountRequest requestOfPartial(const CountParameters& parameters);

} // namespace tessivo
