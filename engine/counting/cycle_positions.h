#pragma once
// Every cycle of a count with where it happened, in the order the count
// closes them: the full cycles of the four-point rule, then those of the
// residue. Positions are 0-based indices into the combined sequence (through
// every repetition). Streams: memory holds the residue only, whatever the
// number of cycles; the ordinary count does not pay for any of it.

#include "engine/files/value_stream.h"

#include <algorithm>
#include <cstdint>

namespace tessivo {

struct PositionedCycle {
    long double from = 0.0L; // the load of the cycle's first point ...
    long double to = 0.0L;   // ... and of its second
    std::int64_t fromAt = 0; // their positions; for a cycle of the residue the
    std::int64_t toAt = 0;   // first point may come later in the sequence
    bool half = false;       // a half cycle (counts 0.5)

    long double upper() const { return std::max(from, to); }
    long double lower() const { return std::min(from, to); }
    long double range() const { return upper() - lower(); }
};

class CycleListener {
public:
    virtual ~CycleListener() = default;
    virtual void cycle(const PositionedCycle& c) = 0;
};

struct CycleListingParameters {
    long double filterSize = 0.0L;
    bool decomposition = true; // residue counted twice in a row; else its upward half cycles
    bool binsInEffect = false; // the count goes through the from-to matrix
    bool halfCycles = false;   // without decomposition: every half cycle of the residue counts 0.5
};

// Counts the first `length` values of `sequence` as the run does and passes
// each cycle to `out`. The residue, decomposed, gives full cycles; with its
// upward half cycles instead, each upward one is a full cycle without load
// bins (as the table counts it) and every one a half cycle with them (one
// transition of the matrix); with halfCycles every one is a half cycle.
// IoError from the source passes through.
void listCycles(ValueSource& sequence, std::int64_t length, const CycleListingParameters& parameters,
                CycleListener& out);

} // namespace tessivo
