#include "engine/counting/reversal_extraction.h"

#include "engine/numbers/work_notation.h"

#include <algorithm>
#include <cmath>

namespace tessivo {

template <bool kPositions>
BasicReversalExtractor<kPositions>::BasicReversalExtractor(long double filterSize, Sink& out)
    : m_filter(filterSize)
    , m_out(out)
{
}

template <bool kPositions>
void BasicReversalExtractor<kPositions>::write(long double v, [[maybe_unused]] Position at)
{
    if constexpr (kPositions)
        m_out.reversal(at, v);
    else
        m_out.put(v);
    ++m_count;
}

template <bool kPositions>
void BasicReversalExtractor<kPositions>::put(long double v)
{
    Position at{};
    if constexpr (kPositions)
        at = m_next++;
    if (!m_started) {
        m_max = v;
        m_min = v;
        m_maxAt = at;
        m_minAt = at;
        m_started = true;
        return;
    }
    if (m_direction == 0) {
        bool newMax = false;
        if (v > m_max) {
            m_max = v;
            m_maxAt = at;
            newMax = true;
        } else if (v < m_min) {
            m_min = v;
            m_minAt = at;
        } else {
            return;
        }
        if (m_max - m_min > m_filter) {
            if (newMax) {
                write(m_min, m_minAt);
                m_direction = +1;
            } else {
                write(m_max, m_maxAt);
                m_direction = -1;
            }
        }
    } else if (m_direction > 0) {
        if (v > m_max) {
            m_max = v;
            m_maxAt = at;
        } else if (m_max - v > m_filter) {
            write(m_max, m_maxAt);
            m_min = v;
            m_minAt = at;
            m_direction = -1;
        }
    } else {
        if (v < m_min) {
            m_min = v;
            m_minAt = at;
        } else if (v - m_min > m_filter) {
            write(m_min, m_minAt);
            m_max = v;
            m_maxAt = at;
            m_direction = +1;
        }
    }
}

template <bool kPositions>
void BasicReversalExtractor<kPositions>::put(const long double* values, std::size_t n)
{
    std::size_t i = 0;
    while (i < n && m_direction == 0) // till the first reversal: rare, and the rule differs
        put(values[i++]);
    if (i == n)
        return;
    // An x87 value stored and loaded right back stalls: the state stays in
    // locals for the whole block.
    long double max = m_max, min = m_min;
    const long double filter = m_filter;
    int direction = m_direction;
    Position maxAt = m_maxAt, minAt = m_minAt;
    for (; i < n; ++i) {
        const long double v = values[i];
        Position at{};
        if constexpr (kPositions)
            at = m_next++;
        if (direction > 0) {
            if (v > max) {
                max = v;
                maxAt = at;
            } else if (max - v > filter) {
                write(max, maxAt);
                min = v;
                minAt = at;
                direction = -1;
            }
        } else {
            if (v < min) {
                min = v;
                minAt = at;
            } else if (v - min > filter) {
                write(min, minAt);
                max = v;
                maxAt = at;
                direction = +1;
            }
        }
    }
    m_max = max;
    m_min = min;
    m_maxAt = maxAt;
    m_minAt = minAt;
    m_direction = direction;
}

template <bool kPositions>
void BasicReversalExtractor<kPositions>::finish()
{
    if (!m_started)
        return;
    if (m_direction > 0) {
        write(m_max, m_maxAt);
    } else if (m_direction < 0) {
        write(m_min, m_minAt);
    } else {
        long double mean = (m_max + m_min) / 2;
        if (!std::isfinite(mean)) // two loads near the top of the range overflow their sum
            mean = m_max / 2 + m_min / 2;
        // The mean is the one reversal that is not an input value; later stages
        // must see it as a work file gives it back.
        write(roundToWorkPrecision(mean), Position{});
    }
}

template class BasicReversalExtractor<false>;
template class BasicReversalExtractor<true>;

std::int64_t extractReversalsN(ValueSource& in, std::int64_t n, long double filterSize, ValueSink& out)
{
    ReversalExtractor extractor(filterSize, out);
    // Values come in blocks where the source has them so (see nextBlock).
    long double block[512];
    long double v = 0.0L;
    std::int64_t taken = 0;
    const std::int64_t wanted = std::max<std::int64_t>(n, 1); // the first value is taken whatever n is
    while (taken < wanted) {
        const std::size_t got =
            in.nextBlock(block, static_cast<std::size_t>(std::min<std::int64_t>(512, wanted - taken)));
        if (got == 0)
            break;
        for (std::size_t i = 0; i < got; ++i)
            extractor.put(block[i]);
        taken += static_cast<std::int64_t>(got);
        v = block[got - 1];
    }
    if (taken == 0)
        return 0;
    // Repeating the last value changes nothing unless the filter is negative,
    // which no run accepts; keep the literal rule for it all the same.
    if (filterSize < 0)
        for (; taken < n; ++taken)
            extractor.put(v);
    extractor.finish();
    return extractor.reversalCount();
}

} // namespace tessivo
