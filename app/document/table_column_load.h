#pragma once
// One column of a table read as the sequence into a run record of its own,
// so that the reading can go on off the interface thread while the windows
// keep showing the record loaded before; the document takes the result
// over once the reading is complete.

#include "engine/run/record.h"
#include "engine/tables/table_layout.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct LoadedColumn {
    bool loaded = false;                        // false: the column holds no value
    std::unique_ptr<tessivo::TRainflowRun> run; // slot 1 and the totals, as Open leaves them
    QString loadUnit;
    QString timeUnit;
    std::shared_ptr<const std::vector<long double>> times; // the first column when it is time
};

// The bytes read of all that is read (the time column when there is one,
// then the column); it may throw to stop the reading.
using ColumnLoadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Copies the column into slot 1's work file in workDir and reads the time
// column beside it. Throws TableFormatError, IoError, InputTooLarge and what
// `progress` throws; the work file before stays then.
LoadedColumn readTableColumn(const QString& fileName, const tessivo::TableLayout& layout, int column,
                             const QString& workDir, const ColumnLoadProgress& progress = {});

// "(kN)", "[kN]" and "kN" all name kN.
QString bareUnit(const std::string& written);

// The slot and totals of `loaded` into `run`, leaving its parameters.
void takeLoadedSlot(const tessivo::TRainflowRun& loaded, tessivo::TRainflowRun& run);
