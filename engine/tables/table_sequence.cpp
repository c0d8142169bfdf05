#include "engine/tables/table_sequence.h"

#include "engine/record/run_messages.h"
#include "engine/record/input_too_large.h"
#include "engine/files/combined_sequence.h"
#include "engine/record/io_error.h"
#include "engine/files/sequence_reader.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace tessivo {
namespace {

TSequence& slotAt(TRainflowRun& run, std::int32_t index)
{
    if (index < 1 || index > MaxSequences)
        throw std::out_of_range("sequence slot " + std::to_string(index));
    return run.Sequences[static_cast<std::size_t>(index)];
}

bool takesPart(const TSequence& s)
{
    return s.Active && s.Repetitions > 0 && s.Points > 0;
}

} // namespace

bool fillTableSlot(TSequence& slot, const std::string& path, const ColumnStats& stats)
{
    if (stats.points == 0)
        return false;
    if (stats.points > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(sequenceFileTooLongMessage(path));
    slot.FileName = path;
    slot.Active = true;
    slot.Repetitions = 1;
    slot.Points = static_cast<std::int32_t>(stats.points);
    slot.HighestPeak = stats.highest;
    slot.LowestTrough = stats.lowest;
    slot.Scale = 1.0L;
    slot.Weight = 1.0L;
    return true;
}

OpenOutcome loadTableColumnSlot(TRainflowRun& run, std::int32_t index, const TableColumnRef& ref,
                                const std::string& workDir, const TableReadProgress& progress)
{
    TSequence& slot = slotAt(run, index);
    const std::string target = workFilePath(workDir, sequenceSlotFileName(index));
    const std::string part = target + ".part";
    ColumnStats stats;
    try {
        TableColumnSource source(ref.path, ref.layout, ref.column, ref.skipEmpty);
        WorkFileWriter work(part);
        long double v = 0.0L;
        std::int64_t told = -1;
        while (source.next(v)) {
            if (progress && (stats.points & 0xFFFF) == 0 && source.fileOffset() != told) {
                told = source.fileOffset();
                progress(told, source.fileSize());
            }
            work.put(v);
            if (stats.points == 0 || v > stats.highest)
                stats.highest = v;
            if (stats.points == 0 || v < stats.lowest)
                stats.lowest = v;
            ++stats.points;
        }
        work.close();
        if (stats.points == 0) {
            os::removeFile(part);
            return OpenOutcome::Incorrect;
        }
        // Refused before the work file before is replaced, so the slot and its file still agree.
        if (stats.points > std::numeric_limits<std::int32_t>::max())
            throw InputTooLarge(sequenceFileTooLongMessage(ref.path));
        if (os::replaceFile(part, target) != 0)
            throwIoError(errno, target);
    } catch (...) {
        os::removeFile(part);
        throw;
    }
    fillTableSlot(slot, ref.path, stats);
    return OpenOutcome::Ok;
}

OpenOutcome openTableColumn(TRainflowRun& run, const TableColumnRef& ref, const std::string& workDir,
                            const TableReadProgress& progress)
{
    const OpenOutcome outcome = loadTableColumnSlot(run, 1, ref, workDir, progress);
    if (outcome != OpenOutcome::Ok)
        return outcome;
    run.SeqCount = 1;
    UpdateSequenceTotals(run);
    return OpenOutcome::Ok;
}

CombinedTableSource::CombinedTableSource(const TRainflowRun& run, std::vector<TableColumnRef> refs)
    : m_run(run)
    , m_refs(std::move(refs))
{
}

CombinedTableSource::~CombinedTableSource() = default;

// Opens the column anew for the next repetition, or the next slot.
bool CombinedTableSource::advance()
{
    m_column.reset();
    if (!(m_slot > 0 && m_repetition + 1 < m_run.Sequences[static_cast<std::size_t>(m_slot)].Repetitions)) {
        do {
            if (++m_slot > m_run.SeqCount || m_slot > MaxSequences)
                return false;
        } while (!takesPart(m_run.Sequences[static_cast<std::size_t>(m_slot)]));
        m_repetition = 0;
    } else {
        ++m_repetition;
    }
    const TableColumnRef& ref = m_refs.at(static_cast<std::size_t>(m_slot - 1));
    m_column = std::make_unique<TableColumnSource>(ref.path, ref.layout, ref.column, ref.skipEmpty);
    m_left = m_run.Sequences[static_cast<std::size_t>(m_slot)].Points;
    return true;
}

bool CombinedTableSource::next(long double& value)
{
    while (m_left == 0) {
        if (!advance())
            return false;
    }
    const TSequence& s = m_run.Sequences[static_cast<std::size_t>(m_slot)];
    if (!m_column->next(value))
        throw FileShortenedError(s.FileName);
    --m_left;
    value = roundToWorkPrecision(value);
    if (s.Scale != 1.0L) {
        const long double product = value * s.Scale;
        if (!std::isfinite(product))
            throw InputTooLarge(scaledLoadTooLargeMessage(s.FileName));
        value = roundToWorkPrecision(product);
    }
    return true;
}

std::size_t CombinedTableSource::nextBlock(long double* out, std::size_t max)
{
    return nextBlockByValue(*this, out, max);
}

} // namespace tessivo
