#pragma once
// Reversal extraction: turns a load sequence into its alternating peaks and
// troughs, keeping only reversals from which the load moves back by more than
// the filter size (a hysteresis band). Streams: only the two current extremes
// are held, whatever the length of the sequence.

#include "engine/files/value_stream.h"

#include <cstdint>
#include <type_traits>

namespace tessivo {

// Where the positioned form reports each reversal: its 0-based position in
// the input (the index of the value that is the reversal) and its load.
class ReversalPositionSink {
public:
    virtual ~ReversalPositionSink() = default;
    virtual void reversal(std::int64_t position, long double load) = 0;
};

// Push form. put() the loads in order, then finish() once. Every reversal goes
// to the sink the moment it is confirmed; finish() writes the pending extreme,
// or, when the loads never spread by more than the filter size, their mean
// (Max + Min) / 2 rounded to 15 significant digits, as a work file would hold it.
// Nothing is written when no load was put.
//
// With kPositions the reversals go to a ReversalPositionSink with their
// positions (the mean stands at position 0); without, the extractor keeps no
// positions at all, so the count pays nothing for them.
template <bool kPositions>
class BasicReversalExtractor {
public:
    using Sink = std::conditional_t<kPositions, ReversalPositionSink, ValueSink>;
    BasicReversalExtractor(long double filterSize, Sink& out);
    void put(long double v);
    // The same as put() of each value in turn, with the extremes held in
    // registers between them. The sink must not look at the extractor.
    void put(const long double* values, std::size_t n);
    void finish();
    std::int64_t reversalCount() const { return m_count; }

    // What the extraction carries from one load to the next: a count that
    // goes on in another piece of the sequence starts from it.
    struct State {
        bool started = false;
        int direction = 0;
        long double max = 0.0L;
        long double min = 0.0L;
        bool operator==(const State&) const = default;
    };
    State state() const { return {m_started, m_direction, m_max, m_min}; }
    void restore(const State& s)
    {
        m_started = s.started;
        m_direction = s.direction;
        m_max = s.max;
        m_min = s.min;
    }

private:
    struct NoPosition {};
    using Position = std::conditional_t<kPositions, std::int64_t, NoPosition>;
    void write(long double v, Position at);

    long double m_filter;
    Sink& m_out;
    long double m_max = 0.0L;
    long double m_min = 0.0L;
    int m_direction = 0; // 0 undecided, +1 rising (tracking a peak), -1 falling
    bool m_started = false;
    std::int64_t m_count = 0;
    [[no_unique_address]] Position m_next{}; // the position of the next value put
    [[no_unique_address]] Position m_maxAt{};
    [[no_unique_address]] Position m_minAt{};
};

using ReversalExtractor = BasicReversalExtractor<false>;
using PositionedReversalExtractor = BasicReversalExtractor<true>;

// Takes exactly n values from `in` (the first one included; at least one) and
// extracts their reversals into `out`. When the input ends early, the missing
// values repeat the last one taken, which changes nothing for a filter size of
// 0 or more. An input with no value at all gives no reversal. Returns the
// number of reversals written. IoError from the source or sink passes through.
std::int64_t extractReversalsN(ValueSource& in, std::int64_t n, long double filterSize, ValueSink& out);

} // namespace tessivo
