#pragma once
// Numbers of one arithmetic type in memory at a fixed distance in bytes (any
// sign), such as a one-dimensional array of another language hands over,
// read in place without a copy.

#include "engine/files/sequence_extent.h"
#include "engine/files/value_stream.h"
#include "engine/numbers/work_notation.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tessivo {

template <class T>
class StridedValues final : public ValueSource {
    static_assert(std::is_arithmetic_v<T>);

public:
    // count values, the first at `first`, each strideBytes after the one before.
    StridedValues(const void* first, std::int64_t count, std::ptrdiff_t strideBytes)
        : m_at(static_cast<const std::byte*>(first))
        , m_left(count)
        , m_stride(strideBytes)
    {
    }

    // The value as the engine counts it: rounded as a work file rounds it.
    bool next(long double& value) override
    {
        if (m_left == 0)
            return false;
        value = roundToWorkPrecision(take());
        return true;
    }
    std::size_t nextBlock(long double* out, std::size_t max) override { return nextBlockByValue(*this, out, max); }

    // The extent of the values as given; `firstNotFinite` is the index of the
    // first NaN or infinity, or -1. Reads from the current position on.
    SequenceExtent extent(std::int64_t& firstNotFinite) const
    {
        StridedValues copy(*this);
        SequenceExtent e;
        firstNotFinite = -1;
        for (std::int64_t i = 0; copy.m_left > 0; ++i) {
            const long double v = copy.take();
            if constexpr (std::is_floating_point_v<T>) {
                if (!std::isfinite(v)) {
                    firstNotFinite = i;
                    return e;
                }
            }
            // Only a strictly larger (smaller) value replaces the one before, as the reader does.
            if (e.points == 0 || v > e.highest)
                e.highest = v;
            if (e.points == 0 || v < e.lowest)
                e.lowest = v;
            ++e.points;
        }
        return e;
    }

private:
    long double take()
    {
        T v;
        std::memcpy(&v, m_at, sizeof v); // the distance need not keep T's alignment
        m_at += m_stride;
        --m_left;
        return static_cast<long double>(v);
    }

    const std::byte* m_at;
    std::int64_t m_left;
    std::ptrdiff_t m_stride;
};

} // namespace tessivo
