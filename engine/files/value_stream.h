#pragma once
// The seam between the counting stages: values flow from a source to a sink.
// A work file and memory both implement it, so a run with work files and one
// without see exactly the same values.

#include <cstddef>

namespace tessivo {

class ValueSink {
public:
    virtual ~ValueSink() = default;
    virtual void put(long double value) = 0;
};

class ValueSource {
public:
    virtual ~ValueSource() = default;
    // The next value, or false at the end of the input.
    virtual bool next(long double& value) = 0;
    // Up to max (at least 1) next values into out; 0 at the end of the input.
    // Sources that hold values in blocks hand over many at once, which spares
    // the caller a call per value; the others give one.
    virtual std::size_t nextBlock(long double* out, std::size_t max) { return max > 0 && next(out[0]) ? 1 : 0; }
    // The last value's own line in the work notation, when the source has it
    // at hand (so a writer can copy it instead of converting); else nullptr.
    // Valid until the next call of next().
    virtual const char* lastLine() const { return nullptr; }
};

// nextBlock for a source whose next() is cheap: calls Source::next directly,
// so the values cost no virtual call each. A failure loses the block's values.
template <class Source>
std::size_t nextBlockByValue(Source& source, long double* out, std::size_t max)
{
    std::size_t n = 0;
    while (n < max && source.Source::next(out[n]))
        ++n;
    return n;
}

} // namespace tessivo
