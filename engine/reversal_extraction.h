#pragma once
// Reversal extraction: turns a load sequence into its alternating peaks and
// troughs, keeping only reversals from which the load moves back by more than
// the filter size (a hysteresis band). Streams: only the two current extremes
// are held, whatever the length of the sequence.

#include "value_stream.h"

#include <cstdint>

namespace tessivo {

// Push form. put() the loads in order, then finish() once. Every reversal goes
// to the sink the moment it is confirmed; finish() writes the pending extreme,
// or, when the loads never spread by more than the filter size, their mean
// (Max + Min) / 2 rounded to 15 significant digits, as a work file would hold it.
// Nothing is written when no load was put.
class ReversalExtractor {
public:
    ReversalExtractor(long double filterSize, ValueSink& out);
    void put(long double v);
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
    void write(long double v);

    long double m_filter;
    ValueSink& m_out;
    long double m_max = 0.0L;
    long double m_min = 0.0L;
    int m_direction = 0; // 0 undecided, +1 rising (tracking a peak), -1 falling
    bool m_started = false;
    std::int64_t m_count = 0;
};

// Takes exactly n values from `in` (the first one included; at least one) and
// extracts their reversals into `out`. When the input ends early, the missing
// values repeat the last one taken, which changes nothing for a filter size of
// 0 or more. An input with no value at all gives no reversal. Returns the
// number of reversals written. IoError from the source or sink passes through.
std::int64_t extractReversalsN(ValueSource& in, std::int64_t n, long double filterSize, ValueSink& out);

// The same with the count types of the run record.
std::int32_t ExtractReversals(ValueSource& in, std::int32_t n, long double filterSize, ValueSink& out);

} // namespace tessivo
