#include "document/cycle_marks.h"

#include "engine/run/count.h"
#include "engine/run/desktop_plots.h"

#include <optional>

namespace {

using LineKey = std::pair<long double, long double>;

// Which report line a cycle counts in: its loads in report units, or with
// load bins the pair of its classes.
class LineKeys {
public:
    explicit LineKeys(const SignalSource& source)
        : m_source(source)
        , m_classes(source.lowestLoad, source.highestLoad, source.binCount)
    {
    }

    std::optional<LineKey> ofCycle(const tessivo::PositionedCycle& c) const
    {
        if (m_source.binCount == 0)
            return LineKey{c.upper() / m_source.divisor, c.lower() / m_source.divisor};
        // A half cycle enters the matrix in its own direction; only upward ones make table lines.
        if (c.half && c.to < c.from)
            return std::nullopt;
        return LineKey{m_classes.classOf(c.upper()), m_classes.classOf(c.lower())};
    }

    // The line (upper, lower) as the report shows it. With load bins, cell
    // (r, c) has Upper the upper edge of class c and Lower the lower edge of class r.
    LineKey ofLine(long double upper, long double lower) const
    {
        if (m_source.binCount == 0)
            return {upper, lower};
        return {classOfEdge(upper, 1), classOfEdge(lower, 0)};
    }

private:
    // The class k whose edge k - 1 + offset the report shows as `load`, or -1.
    std::int32_t classOfEdge(long double load, std::int32_t offset) const
    {
        for (std::int32_t k = 1; k <= m_source.binCount; ++k)
            if (tessivo::ClassEdge(k - 1 + offset, m_source.lowestLoad, m_source.highestLoad, m_source.binCount)
                    / m_source.divisor
                == load)
                return k;
        return -1;
    }

    const SignalSource& m_source;
    tessivo::LoadClasses m_classes;
};

CycleMark markOf(const tessivo::PositionedCycle& c)
{
    return {c.fromAt, c.toAt, static_cast<double>(c.from), static_cast<double>(c.to)};
}

template <typename OnCycle>
class Listener final : public tessivo::CycleListing {
public:
    explicit Listener(OnCycle onCycle) : m_onCycle(std::move(onCycle)) {}
    void cycle(const tessivo::PositionedCycle& c) override { m_onCycle(c); }

private:
    OnCycle m_onCycle;
};

// The count of the combined sequence again, through the front door, listing
// each cycle with its positions: exact loads (at any length) when the count
// was, else the same equal classes.
template <typename OnCycle>
void listSource(const SignalSource& source, OnCycle onCycle)
{
    Listener<OnCycle> listener(std::move(onCycle));
    tessivo::CountRequest request;
    request.filter = source.filterSize;
    request.residue = source.decomposition ? tessivo::ResidueMethod::Decomposition
                      : source.halfCycles  ? tessivo::ResidueMethod::Half
                                           : tessivo::ResidueMethod::Upward;
    if (source.binCount > 0)
        request.setEqualClasses(source.binCount);
    else
        request.unlimited = true;
    request.positions = true;
    tessivo::CountHooks hooks;
    hooks.listing = &listener;
    // The work file's values are at work precision already: read in one pass as values.
    tessivo::WorkFileReader sequence(source.sequenceFile);
    tessivo::SequenceExtent extent;
    extent.points = source.length;
    extent.highest = source.highest;
    extent.lowest = source.lowest;
    tessivo::count(request, tessivo::CountInputs::values(sequence, extent), hooks);
}

} // namespace

std::vector<CycleMark> findCycleMarks(const SignalSource& source, long double upper, long double lower,
                                      std::size_t maxMarks)
{
    const LineKeys keys(source);
    const LineKey line = keys.ofLine(upper, lower);
    std::vector<CycleMark> marks;
    listSource(source, [&](const tessivo::PositionedCycle& c) {
        if (marks.size() < maxMarks && keys.ofCycle(c) == line)
            marks.push_back(markOf(c));
    });
    return marks;
}

CycleMarkCache::CycleMarkCache(SignalSource source, std::size_t maxPerLine, std::size_t maxBytes)
    : m_source(std::move(source))
    , m_maxPerLine(maxPerLine)
    , m_maxBytes(maxBytes)
{
}

void CycleMarkCache::list()
{
    const LineKeys keys(m_source);
    // What a line of the map costs beside its marks: key, vector, node links, allocation.
    constexpr std::size_t kLineBytes = sizeof(Key) + sizeof(Line) + 6 * sizeof(void*);
    std::size_t bytes = 0;
    listSource(m_source, [&](const tessivo::PositionedCycle& c) {
        const std::optional<LineKey> key = keys.ofCycle(c);
        if (!key)
            return;
        const auto found = m_lines.find(*key);
        const std::size_t cost = sizeof(CycleMark) + (found == m_lines.end() ? kLineBytes : 0);
        if (bytes + cost > m_maxBytes) {
            // Past the bound no line is added: lines that lose marks are counted again when looked up.
            m_complete = false;
            if (found != m_lines.end() && found->second.marks.size() < m_maxPerLine)
                found->second.truncated = true;
            return;
        }
        Line& line = found == m_lines.end() ? m_lines[*key] : found->second;
        if (line.marks.size() >= m_maxPerLine)
            return;
        line.marks.push_back(markOf(c));
        bytes += cost;
    });
    m_listed = true;
}

std::vector<CycleMark> CycleMarkCache::marks(long double upper, long double lower)
{
    if (!m_listed)
        list();
    const auto found = m_lines.find(LineKeys(m_source).ofLine(upper, lower));
    if (found == m_lines.end() ? !m_complete : found->second.truncated)
        return findCycleMarks(m_source, upper, lower, m_maxPerLine);
    return found == m_lines.end() ? std::vector<CycleMark>{} : found->second.marks;
}
