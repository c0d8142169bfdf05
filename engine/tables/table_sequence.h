#pragma once
// A column of a table as a loaded sequence: the same slot fields, work file
// and combined sequence as a plain sequence file gives for the same values,
// so that a column counts exactly as that file would.

#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"
#include "engine/record/run_record.h"
#include "engine/files/sequence_loading.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessivo {

// Which column of which file a slot holds, and how it is read.
struct TableColumnRef {
    std::string path;
    TableLayout layout;
    std::size_t column = 0;
    bool skipEmpty = false;
};

// Fills a slot as a plain file with these values would: Active, one
// repetition, Points and extremes, scale and weight 1.0. False when the
// column holds no value (the slot is left alone then).
bool fillTableSlot(TSequence& slot, const std::string& path, const ColumnStats& stats);

// Bytes of the file read so far, of its size (compressed bytes for a gzip
// file). It may throw to stop the reading: the exception passes through and
// nothing is changed.
using TableReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Copies the column into the work file of slot `index` in workDir and fills
// the slot. The old work file is replaced only when the column was read to
// its end. Incorrect when it holds no value. Throws IoError,
// TableFormatError (nothing is changed then) and InputTooLarge for more
// than 2147483647 values. `progress`, when set, is told after each block.
OpenOutcome loadTableColumnSlot(TRainflowRun& run, std::int32_t index, const TableColumnRef& ref,
                                const std::string& workDir, const TableReadProgress& progress = {});

// What Open does for a plain file, for one column: slot 1 as the only
// sequence, its work file, the totals.
OpenOutcome openTableColumn(TRainflowRun& run, const TableColumnRef& ref, const std::string& workDir,
                            const TableReadProgress& progress = {});

// The combined sequence of slots 1..SeqCount read straight from their
// columns (refs[slot - 1]), each value rounded as a work file rounds it and
// scaled as the combined sequence scales it. next() throws
// FileShortenedError when a column no longer holds Points values, and
// TableFormatError and IoError as the reader does.
class CombinedTableSource final : public ValueSource {
public:
    CombinedTableSource(const TRainflowRun& run, std::vector<TableColumnRef> refs);
    ~CombinedTableSource() override;
    bool next(long double& value) override;
    std::size_t nextBlock(long double* out, std::size_t max) override;

private:
    bool advance();
    const TRainflowRun& m_run;
    std::vector<TableColumnRef> m_refs;
    std::int32_t m_slot = 0;
    std::int32_t m_repetition = 0;
    std::int64_t m_left = 0;
    std::unique_ptr<TableColumnSource> m_column;
};

} // namespace tessivo
