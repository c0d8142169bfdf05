#include "plots/cycle_marks.h"

#include "engine/counting/cycle_positions.h"
#include "engine/counting/load_classes.h"
#include "engine/files/work_files.h"

namespace {

class MarkCollector final : public tessivo::CycleListener {
public:
    MarkCollector(const SignalSource& source, long double upper, long double lower, std::size_t maxMarks)
        : m_source(source), m_upper(upper), m_lower(lower), m_max(maxMarks),
          m_classes(source.lowestLoad, source.highestLoad, source.binCount)
    {
        if (source.binCount > 0) {
            // The line of cell (r, c) has Upper the upper edge of class c and Lower the lower edge of class r.
            m_upperClass = classOfEdge(upper, 1);
            m_lowerClass = classOfEdge(lower, 0);
        }
    }

    void cycle(const tessivo::PositionedCycle& c) override
    {
        if (marks.size() >= m_max || !matches(c))
            return;
        marks.push_back({c.fromAt, c.toAt, static_cast<double>(c.from), static_cast<double>(c.to)});
    }

    std::vector<CycleMark> marks;

private:
    bool matches(const tessivo::PositionedCycle& c) const
    {
        if (m_source.binCount == 0)
            return c.upper() / m_source.divisor == m_upper && c.lower() / m_source.divisor == m_lower;
        // A half cycle enters the matrix in its own direction; only upward ones make table lines.
        if (c.half && c.to < c.from)
            return false;
        return m_classes.classOf(c.upper()) == m_upperClass && m_classes.classOf(c.lower()) == m_lowerClass;
    }

    // The class k whose edge k - 1 + offset the report shows as `load`.
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
    long double m_upper;
    long double m_lower;
    std::size_t m_max;
    tessivo::LoadClasses m_classes;
    std::int32_t m_upperClass = -1;
    std::int32_t m_lowerClass = -1;
};

} // namespace

std::vector<CycleMark> findCycleMarks(const SignalSource& source, long double upper, long double lower,
                                      std::size_t maxMarks)
{
    MarkCollector collector(source, upper, lower, maxMarks);
    tessivo::WorkFileReader sequence(source.sequenceFile);
    tessivo::listCycles(sequence, source.length,
                        tessivo::CycleListingParameters{source.filterSize, source.decomposition, source.binCount > 0},
                        collector);
    return std::move(collector.marks);
}
