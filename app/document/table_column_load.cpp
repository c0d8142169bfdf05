#include "document/table_column_load.h"

#include "engine/tables/table_column_format.h"
#include "engine/tables/time_column.h"

#include <QDir>
#include <QFile>
#include <optional>

QString bareUnit(const std::string& written)
{
    QString unit = QString::fromStdString(written).trimmed();
    if (unit.size() >= 2
        && ((unit.front() == u'(' && unit.back() == u')') || (unit.front() == u'[' && unit.back() == u']')))
        unit = unit.mid(1, unit.size() - 2).trimmed();
    return unit;
}

LoadedColumn readTableColumn(const QString& fileName, const tessivo::TableLayout& layout, int column,
                             const QString& workDir, const ColumnLoadProgress& progress)
{
    QDir().mkpath(workDir);
    tessivo::TableColumnRef ref;
    ref.path = QFile::encodeName(fileName).toStdString();
    ref.layout = layout;
    ref.column = static_cast<std::size_t>(column);
    // The time column is a second pass over the file: the bar spans both.
    const int passes = ref.column != 0 ? 2 : 1;
    auto pass = [&](int index) -> tessivo::TableReadProgress {
        if (!progress)
            return {};
        return [&progress, index, passes](std::int64_t done, std::int64_t total) {
            progress(total * index + done, total * passes);
        };
    };
    LoadedColumn result;
    result.run = std::make_unique<tessivo::TRainflowRun>();
    // The time column first: once the column's work file has replaced the
    // one before, nothing may fail or be cancelled any more.
    std::optional<std::vector<long double>> times;
    if (ref.column != 0)
        times = tessivo::readTimeColumn(ref.path, layout, pass(0));
    if (tessivo::openTableColumn(*result.run, ref, QFile::encodeName(workDir).toStdString(), pass(passes - 1))
        != tessivo::OpenOutcome::Ok)
        return result;
    result.loaded = true;
    result.loadUnit = bareUnit(layout.columns.at(ref.column).unit);
    // A first column of rising numbers is time, row for row.
    if (times && static_cast<std::int64_t>(times->size()) == result.run->Sequences[1].Points) {
        result.times = std::make_shared<const std::vector<long double>>(std::move(*times));
        result.timeUnit = bareUnit(layout.columns.front().unit);
    }
    return result;
}

void takeLoadedSlot(const tessivo::TRainflowRun& loaded, tessivo::TRainflowRun& run)
{
    run.Sequences[1] = loaded.Sequences[1];
    run.SeqCount = loaded.SeqCount;
    run.SeqLength = loaded.SeqLength;
    run.TotalWeight = loaded.TotalWeight;
    run.HighestPeak = loaded.HighestPeak;
    run.LowestTrough = loaded.LowestTrough;
}
