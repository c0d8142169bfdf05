#pragma once
// The count of one piece of a load sequence, as a value that can be saved,
// sent elsewhere and merged with the count of the piece that follows. Merging
// the counts of the pieces of a sequence in order gives exactly the count of
// the whole sequence, wherever it was cut.
//
// Why the merge is exact
// ----------------------
// The count has two stages that carry state from one load to the next.
//
// The filter (reversal extraction) carries its direction and the running
// extreme. A piece counted on its own does not know them, but it does not need
// them for long: once the piece has itself risen by more than the filter
// above its lowest load so far and fallen by more than the filter below its
// highest load so far (its own second reversal), the extraction is in the
// same state whatever came before. So a piece keeps its loads up to that
// point (its head; loads equal to the one before and the inner loads of a
// monotone run are dropped, which changes no outcome), throws away the
// reversals it found in them, and counts only the reversals after it. The
// merge replays the head through the state of the piece before, which gives
// the reversals at the junction exactly as a count in one go finds them
// (a plateau or a reversal cut in two included). A piece that never makes
// its second reversal is all head. The pending extreme is never written
// inside a piece: it is part of the state and is written once, when the whole
// count ends.
//
// The four-point rule removes an inner pair wherever it encloses a range no
// larger than its neighbours', and which pairs go does not depend on the
// order of the removals (ties included). So the reversals of A+B give the
// cycles of A, the cycles of B, and the cycles found when the residue of B is
// pushed after the residue of A (and the junction reversals); what stays is
// the residue of the whole. The residue is handled (decomposition or upward
// half cycles) once, when the whole count ends, never per piece.
//
// The cycle table: the counts of equal cycles add up, and the report order
// depends on the loads only, so an unlimited table and the from-to matrix
// (cells add, saturating as one count does) merge exactly. The desktop's
// fixed table of 20000 entries depends on the order in which the cycles came
// once it is full; it is only in effect for sequences shorter than 40000
// values (longer ones go to the matrix), so a piece keeps its loads while it
// is shorter than that, and a merged count of a short sequence is counted
// again from them in one go.
//
// The load classes span the extremes of the whole sequence. A piece that
// knows them counts into the matrix at once (CycleStore::Bins; the merged
// sequence must then have exactly these extremes); otherwise it keeps exact
// loads and the classes are applied when the count ends.

#include "cycle_table.h"
#include "residue_method.h"
#include "reversal_extraction.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessivo {

// How a piece keeps its cycles; stored in partial-count files.
enum class CycleStore : std::uint8_t {
    Exact = 1, // exact loads; classes, when wanted, applied when the count ends
    Bins = 2,  // the from-to matrix over the given extremes from the start
};

struct CountParameters {
    long double filter = 0.0L;
    ResidueMethod residue = ResidueMethod::Decomposition;
    bool useLoadBins = false; // count in load classes whatever the length
    bool unlimited = false;   // exact loads at any length, a table without limit
    std::int32_t binCount = 32;
    CycleStore store = CycleStore::Exact;
    long double binLowest = 0.0L; // CycleStore::Bins: the extremes of the whole sequence
    long double binHighest = 0.0L;
    // The classes' edges when the user gave them (binCount + 1, useLoadBins,
    // CycleStore::Bins, binLowest and binHighest the end edges): every piece
    // counts into them at once, and the sequence need only lie within them.
    std::vector<long double> binEdges;
    bool operator==(const CountParameters&) const = default;
};

// A partial count that cannot be read, or two that cannot be merged. The
// message is the one the user sees.
class PartialCountError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PartialCount {
public:
    // A piece without a number: its place is where it is given to append().
    static constexpr std::uint64_t kUnnumbered = 0;

    // An empty count of the piece at position `piece` (1 = the start of the
    // sequence) of a sequence cut into consecutive pieces, or of a piece
    // kUnnumbered. Throws std::invalid_argument for a bin count outside
    // 1..256, a negative filter, or CycleStore::Bins with the highest load not
    // above the lowest.
    PartialCount(const CountParameters& parameters, std::uint64_t piece);
    ~PartialCount();
    PartialCount(PartialCount&&) noexcept;
    PartialCount& operator=(PartialCount&&) noexcept;

    // Counts the next loads of the piece. Loads are taken as they are (the
    // callers round them to 15 significant digits as the work files do).
    void feed(const long double* values, std::size_t n);

    // Appends the count of the pieces that follow this one. Throws
    // PartialCountError when the parameters differ, when `next` starts at
    // piece 1, or when both sides are numbered and `next` does not start at
    // the piece after this one's last; both are then unchanged. An
    // unnumbered side is taken where it is given.
    void append(PartialCount&& next);

    const CountParameters& parameters() const;
    // kUnnumbered where the count starts (ends) with a piece without a number.
    std::uint64_t firstPiece() const;
    std::uint64_t lastPiece() const;
    std::int64_t length() const; // loads fed, over all pieces
    long double highest() const; // NoPeak while empty
    long double lowest() const;  // NoTrough while empty
    // The extremes as the sequence totals give them (from the loads as read,
    // before they were rounded to 15 significant digits and fed); they are
    // what the report shows and what the load classes span. Ignored while
    // nothing was fed.
    void setExtremes(long double highest, long double lowest);

    // The binary form (see partial_count_io.cpp for the layout), ending with a
    // CRC-32 of everything before it. Reading an unlimited table that went to
    // temporary files sorts it, after which it takes no more cycles: write a
    // count once it is complete. Throws IoError when `out` fails.
    void write(std::ostream& out);
    // Reads the binary form (versions 1 and 2). Throws PartialCountError for
    // a file that is not a partial count, of another version, cut short or corrupt; `name`
    // (a file name) starts the message.
    static PartialCount read(std::istream& in, const std::string& name);

    // A copy; throws std::logic_error when the exact cycles are in temporary
    // files (an unlimited count with more than 65536 distinct cycles).
    PartialCount clone() const;

    struct State; // opaque: partial_count_state.h

private:
    explicit PartialCount(std::unique_ptr<State> state);
    friend class StreamingCounter;
    std::unique_ptr<State> m;
};

} // namespace tessivo
