#include "engine/signal/min_max_pyramid.h"

#include <algorithm>
#include <stdexcept>

namespace tessivo {

MinMaxPyramid::MinMaxPyramid(std::int64_t maxFinestBlocks)
    // Even, so that a full level halves without a block left over.
    : m_maxBlocks(std::max<std::int64_t>(maxFinestBlocks & ~std::int64_t{1}, 2))
    , m_levels(1)
{
}

void MinMaxPyramid::put(double v)
{
    if (m_inBlock == 0) {
        m_open = {v, v};
    } else {
        m_open.low = std::min(m_open.low, v);
        m_open.high = std::max(m_open.high, v);
    }
    ++m_size;
    if (++m_inBlock == m_block)
        closeBlock();
}

void MinMaxPyramid::closeBlock()
{
    auto& finest = m_levels[0];
    finest.push_back(m_open);
    m_inBlock = 0;
    if (static_cast<std::int64_t>(finest.size()) < m_maxBlocks)
        return;
    // Full: pairs of blocks become one, so the level stays within its bound
    // however long the sequence is.
    const std::size_t half = finest.size() / 2;
    for (std::size_t i = 0; i < half; ++i)
        finest[i] = {std::min(finest[2 * i].low, finest[2 * i + 1].low),
                     std::max(finest[2 * i].high, finest[2 * i + 1].high)};
    finest.resize(half);
    m_block *= 2;
}

void MinMaxPyramid::finish()
{
    if (m_inBlock > 0) {
        m_levels[0].push_back(m_open);
        m_inBlock = 0;
    }
    m_levels.resize(1);
    while (m_levels.back().size() > 1) {
        const auto& below = m_levels.back();
        std::vector<Span> level((below.size() + 1) / 2);
        for (std::size_t i = 0; i < level.size(); ++i) {
            const Span& a = below[2 * i];
            const Span& b = 2 * i + 1 < below.size() ? below[2 * i + 1] : a;
            level[i] = {std::min(a.low, b.low), std::max(a.high, b.high)};
        }
        m_levels.push_back(std::move(level));
    }
}

double MinMaxPyramid::lowest() const
{
    return m_levels.back().empty() ? 0.0 : m_levels.back().front().low;
}

double MinMaxPyramid::highest() const
{
    return m_levels.back().empty() ? 0.0 : m_levels.back().front().high;
}

ColumnExtremes MinMaxPyramid::blockExtremes(std::int64_t firstBlock, std::int64_t endBlock) const
{
    ColumnExtremes out;
    out.first = firstBlock * m_block;
    out.end = std::min(endBlock * m_block, m_size);
    bool any = false;
    const auto take = [&](const Span& s) {
        out.low = any ? std::min(out.low, s.low) : s.low;
        out.high = any ? std::max(out.high, s.high) : s.high;
        any = true;
    };
    // Bottom-up over the levels: an odd block at either end is taken at its
    // own level; what remains is whole blocks of the next level.
    std::size_t lo = static_cast<std::size_t>(firstBlock);
    std::size_t hi = static_cast<std::size_t>(endBlock);
    for (std::size_t k = 0; k < m_levels.size() && lo < hi; ++k, lo /= 2, hi /= 2) {
        if (lo & 1)
            take(m_levels[k][lo++]);
        if (hi & 1)
            take(m_levels[k][--hi]);
    }
    return out;
}

namespace {

// The columns of a window whose raw values are at hand.
std::vector<ColumnExtremes> reduceValues(std::int64_t first, const std::vector<double>& values, int columns)
{
    const auto n = static_cast<std::int64_t>(values.size());
    const std::int64_t count = std::min<std::int64_t>(columns, n);
    std::vector<ColumnExtremes> out(static_cast<std::size_t>(count));
    for (std::int64_t c = 0; c < count; ++c) {
        const std::int64_t from = n * c / count;
        const std::int64_t to = n * (c + 1) / count;
        const auto [lo, hi] = std::minmax_element(values.begin() + from, values.begin() + to);
        out[static_cast<std::size_t>(c)] = {first + from, first + to, *lo, *hi};
    }
    return out;
}

} // namespace

std::vector<ColumnExtremes> MinMaxPyramid::reduce(std::int64_t first, std::int64_t end, int columns,
                                                  RawValueReader* raw) const
{
    first = std::clamp<std::int64_t>(first, 0, m_size);
    end = std::clamp<std::int64_t>(end, first, m_size);
    if (end == first || columns <= 0)
        return {};
    const std::int64_t span = end - first;
    if (span < static_cast<std::int64_t>(columns) * m_block) {
        std::vector<double> values;
        if (m_block == 1) {
            values.reserve(static_cast<std::size_t>(span));
            for (std::int64_t i = first; i < end; ++i)
                values.push_back(m_levels[0][static_cast<std::size_t>(i)].low);
        } else {
            if (raw == nullptr)
                throw std::logic_error("MinMaxPyramid::reduce needs the raw values of a narrow window");
            raw->read(first, span, values);
            if (static_cast<std::int64_t>(values.size()) != span)
                throw std::logic_error("RawValueReader gave the wrong number of values");
        }
        return reduceValues(first, values, columns);
    }
    const std::int64_t firstBlock = first / m_block;
    const std::int64_t blocks = (end + m_block - 1) / m_block - firstBlock;
    std::vector<ColumnExtremes> out(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        out[static_cast<std::size_t>(c)] =
            blockExtremes(firstBlock + blocks * c / columns, firstBlock + blocks * (c + 1) / columns);
    return out;
}

} // namespace tessivo
