#pragma once
// A column of a table as a format of slot values (sequence_format.h): the
// same slot fields, work file and combined sequence as a plain sequence file
// gives for the same values, so that a column counts exactly as that file
// would.

#include "engine/files/sequence_format.h"
#include "engine/files/sequence_loading.h"
#include "engine/record/run_record.h"
#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tessivo {

// Which column of which file a slot holds, and how it is read.
struct TableColumnRef {
    std::string path;
    TableLayout layout;
    std::size_t column = 0;
    bool skipEmpty = false;
};

// Bytes of the file read so far, of its size (compressed bytes for a gzip
// file). It may throw to stop the reading: the exception passes through and
// nothing is changed.
using TableReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Proper when the column holds a value. The reading throws TableFormatError
// where the table is not one, besides IoError and InputTooLarge.
class TableColumnFormat final : public SequenceFormat {
public:
    // `progress`, when set, is told after each block that copyToWorkFile reads.
    explicit TableColumnFormat(TableColumnRef ref, TableReadProgress progress = {})
        : m_ref(std::move(ref))
        , m_progress(std::move(progress))
    {
    }
    // With the statistics of a scan made before (scanTableColumns), which
    // scan() then gives without reading the table again.
    TableColumnFormat(TableColumnRef ref, const ColumnStats& stats) : m_ref(std::move(ref)), m_stats(stats) {}

    const std::string& fileName() const override { return m_ref.path; }
    SequenceStats scan() const override;
    bool scanned() const override { return m_stats.has_value(); }
    SequenceStats copyToWorkFile(const std::string& path, const std::function<void()>& processMessages) const override;
    std::unique_ptr<ValueSource> open() const override;

    const TableColumnRef& ref() const { return m_ref; }
    // The statistics given with the column, if any.
    const std::optional<ColumnStats>& knownStats() const { return m_stats; }

private:
    TableColumnRef m_ref;
    std::optional<ColumnStats> m_stats;
    TableReadProgress m_progress;
};

// What Open does for a plain file, for one column: slot 1 as the only
// sequence, its work file, the totals; `progress` as TableColumnFormat's.
OpenOutcome openTableColumn(TRainflowRun& run, const TableColumnRef& ref, const std::string& workDir,
                            const TableReadProgress& progress = {});

} // namespace tessivo
