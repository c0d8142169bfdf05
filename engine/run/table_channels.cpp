#include "engine/run/table_channels.h"

#include "engine/record/run_messages.h"
#include "engine/tables/column_choice.h"
#include "engine/tables/table_error.h"

namespace tessivo {
namespace {

// How a column of the first file is found in the others: by its name, or by
// its number when it has none.
std::string keyOf(const TableLayout& layout, std::size_t column)
{
    const std::string& name = layout.columns[column].name;
    return name.empty() ? std::to_string(column + 1) : kByName + name;
}

// The columns of a later file: by the first file's names, or by the same
// numbers when the later file continues the recording without names.
std::vector<std::size_t> laterColumns(const std::vector<TableLayout>& layouts, std::size_t f,
                                      const std::vector<std::size_t>& chosen, const std::vector<std::string>& keys,
                                      const std::string& path)
{
    if (layouts[f].headerLine == 0 && layouts[f].columns.size() == layouts.front().columns.size())
        return chosen;
    return chooseColumns(layouts[f], keys, path);
}

} // namespace

std::int64_t TableChannel::skippedEmpty() const
{
    std::int64_t skipped = 0;
    for (const TableColumnInput& c : columns)
        skipped += c.stats.skippedEmpty;
    return skipped;
}

std::int64_t TableChannel::rowsRead() const
{
    std::int64_t rows = 0;
    for (const TableColumnInput& c : columns)
        rows += c.stats.rows;
    return rows;
}

std::optional<long double> TableChannel::constantValue() const
{
    if (columns.empty())
        return std::nullopt;
    const ColumnStats& first = columns.front().stats;
    for (const TableColumnInput& c : columns) {
        const ColumnStats& s = c.stats;
        if (s.points == 0 || s.highest != s.lowest || s.highest != first.highest)
            return std::nullopt;
    }
    return first.highest;
}

std::vector<TableChannel> readTableChannels(const std::vector<SequenceFileInput>& files, const ColumnChoice& c)
{
    TableOverrides overrides;
    overrides.delimiter = c.delimiter;
    overrides.decimal = c.decimal;
    std::vector<TableLayout> layouts;
    for (const SequenceFileInput& file : files)
        layouts.push_back(detectTableLayout(file.path, overrides));
    const std::string& first = files.front().path;
    std::vector<std::size_t> chosen =
        c.allColumns ? numericColumns(layouts.front(), false) : chooseColumns(layouts.front(), c.columns, first);
    std::vector<std::string> keys;
    for (const std::size_t j : chosen)
        keys.push_back(keyOf(layouts.front(), j));

    std::vector<TableChannel> channels(chosen.size());
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string& path = files[f].path;
        const std::vector<std::size_t> columns = f == 0 ? chosen : laterColumns(layouts, f, chosen, keys, path);
        if (columns.size() != chosen.size())
            throw TableFormatError(path, 0, 0, "", kColumnChosenTwice);
        const std::vector<ColumnStats> stats = scanTableColumns(path, layouts[f], columns, c.skipEmpty);
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            TableColumnInput input;
            input.ref = TableColumnRef{path, layouts[f], columns[k], c.skipEmpty};
            input.stats = stats[k];
            input.repetitions = files[f].repetitions;
            input.scale = files[f].scale;
            channels[k].columns.push_back(std::move(input));
        }
    }
    // A first column that rises all the way is time, not a load.
    if (c.allColumns && !c.keepTime && !chosen.empty() && chosen.front() == 0) {
        bool rising = true;
        for (const TableColumnInput& column : channels.front().columns)
            rising = rising && column.stats.points > 1 && column.stats.strictlyIncreasing;
        if (rising)
            channels.erase(channels.begin());
    }
    for (TableChannel& channel : channels) {
        const TableColumnRef& ref = channel.columns.front().ref;
        channel.name = columnLabel(ref.layout, ref.column);
        channel.heading = columnHeading(ref.layout, ref.column);
        channel.unit = ref.layout.columns[ref.column].unit;
        channel.passedOverWhenConstant = c.allColumns;
    }
    if (channels.empty())
        throw CountRefused(kNoColumnOfLoads, first);
    return channels;
}

} // namespace tessivo

namespace tessivo {

void noteTableEnds(const std::vector<TableChannel>& chosen, const ChannelNotice& notice)
{
    if (chosen.empty())
        return;
    for (const TableColumnInput& column : chosen.front().columns) {
        if (!column.stats.ending.empty())
            notice(column.ref.path + ": " + tableEndText(column.stats.rows, column.stats.ending));
    }
}

void noteSkippedCells(const TableChannel& channel, const ChannelNotice& notice)
{
    for (const TableColumnInput& column : channel.columns) {
        const std::int64_t skipped = column.stats.skippedEmpty;
        if (skipped > 0)
            notice(column.ref.path + ": " + channel.name + ": " + std::to_string(skipped)
                   + (skipped == 1 ? " empty cell skipped" : " empty cells skipped"));
    }
}

bool countableChannel(const TableChannel& channel, const ChannelNotice& notice)
{
    const std::optional<long double> value = channel.constantValue();
    if (!value)
        return true;
    const std::string& path = channel.columns.front().ref.path;
    if (!channel.passedOverWhenConstant)
        throw CountRefused(channel.name + ": " + constantChannelText(*value), path);
    notice(path + ": " + channel.name + ": " + constantChannelText(*value) + kPassedOver);
    return false;
}

} // namespace tessivo
