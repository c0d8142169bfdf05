#include "engine/tables/table_column_format.h"

#include "engine/files/sequence_reader.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"
#include "engine/record/input_too_large.h"
#include "engine/record/run_messages.h"

#include <limits>

namespace tessivo {
namespace {

SequenceStats statsOf(const ColumnStats& column, const std::string& path)
{
    if (column.points > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(sequenceFileTooLongMessage(path));
    SequenceStats stats;
    stats.Points = static_cast<std::int32_t>(column.points);
    if (stats.Points > 0) {
        stats.HighestPeak = column.highest;
        stats.LowestTrough = column.lowest;
    }
    stats.Proper = stats.Points > 0;
    return stats;
}

// A cell's number rounded as a work file holds it.
class RoundedColumn final : public ValueSource {
public:
    explicit RoundedColumn(const TableColumnRef& ref) : m_column(ref.path, ref.layout, ref.column, ref.skipEmpty) {}

    bool next(long double& value) override
    {
        if (!m_column.next(value))
            return false;
        value = roundToWorkPrecision(value);
        return true;
    }

    std::size_t nextBlock(long double* out, std::size_t max) override
    {
        const std::size_t n = m_column.nextBlock(out, max);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = roundToWorkPrecision(out[i]);
        return n;
    }

private:
    TableColumnSource m_column;
};

} // namespace

SequenceStats TableColumnFormat::scan() const
{
    if (m_stats)
        return statsOf(*m_stats, m_ref.path);
    return statsOf(scanTableColumns(m_ref.path, m_ref.layout, {m_ref.column}, m_ref.skipEmpty).front(), m_ref.path);
}

SequenceStats TableColumnFormat::copyToWorkFile(const std::string& path,
                                                const std::function<void()>& processMessages) const
{
    TableColumnSource source(m_ref.path, m_ref.layout, m_ref.column, m_ref.skipEmpty);
    if (processMessages)
        processMessages();
    WorkFileWriter work(path);
    SequenceStats stats;
    std::int64_t told = -1;
    for (long double v = 0.0L; source.next(v);) {
        if (m_progress && (stats.Points & 0xFFFF) == 0 && source.fileOffset() != told) {
            told = source.fileOffset();
            m_progress(told, source.fileSize());
        }
        tallyValue(stats, v, m_ref.path);
        work.put(v);
    }
    work.close();
    stats.Proper = stats.Points > 0;
    return stats;
}

std::unique_ptr<ValueSource> TableColumnFormat::open() const
{
    return std::make_unique<RoundedColumn>(m_ref);
}

OpenOutcome openTableColumn(TRainflowRun& run, const TableColumnRef& ref, const std::string& workDir,
                            const TableReadProgress& progress)
{
    return openSequence(run, TableColumnFormat(ref, progress), workDir);
}

} // namespace tessivo
