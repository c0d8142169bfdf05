#pragma once
// The columns of tables as sequences of their own: each chosen column of the
// files (the same column of each file joined in order, with their
// repetitions and scales) is one channel, counted with the same request and
// the same run control as a plain sequence file.

#include "engine/run/count.h"
#include "engine/tables/line_fields.h"
#include "engine/tables/table_layout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

// Which columns of the files are counted, and how the tables are read.
struct ColumnChoice {
    std::vector<std::string> columns; // by name or 1-based number, in the order given
    bool allColumns = false;          // every column of numbers
    bool keepTime = false;            // allColumns keeps a first column that rises all the way
    std::optional<Delimiter> delimiter;
    std::optional<char> decimal; // '.' or ','
    bool skipEmpty = false;
    bool showLayout = false; // show what the reader detects in each file, count nothing
    bool active() const { return !columns.empty() || allColumns; }
};

struct TableChannel {
    std::string name;    // as the first file names it
    std::string heading; // name and unit
    std::string unit;
    std::vector<TableColumnInput> columns; // one per file, in order
    // Chosen with every column of numbers: passed over with a notice, not
    // refused, when it holds one value throughout.
    bool passedOverWhenConstant = false;

    CountInputs inputs() const { return CountInputs::columns(columns, name); }
    std::int64_t skippedEmpty() const;
    std::int64_t rowsRead() const; // over all the files
    // The one value the channel holds in every file, if it holds no other.
    std::optional<long double> constantValue() const;
};

// The channels of the files in the order chosen, each column found in the
// later files by the first file's name for it (or its number when it has
// none; a later file without names that has as many columns continues the
// first by number), with the statistics of one pass over each file. A first column that
// rises all the way is time, not a load, and left out with allColumns
// (unless keepTime). Throws TableFormatError (a file that is no table, a
// column it does not have, two chosen columns that are one) and CountRefused
// naming the first file when no column of loads is left.
std::vector<TableChannel> readTableChannels(const std::vector<SequenceFileInput>& files, const ColumnChoice& choice);

// A notice for the user, without a prefix or a line feed.
using ChannelNotice = std::function<void(const std::string&)>;

// The tables of the first channel that ended before their files did (a
// footer, END): how many rows were read.
void noteTableEnds(const std::vector<TableChannel>& chosen, const ChannelNotice& notice);

// The empty cells skipped in each file of the channel.
void noteSkippedCells(const TableChannel& channel, const ChannelNotice& notice);

// Whether the channel has cycles to count: one of one value throughout is
// refused (CountRefused naming it and its first file) when chosen by name,
// and passed over with a notice when every column of numbers was chosen.
bool countableChannel(const TableChannel& channel, const ChannelNotice& notice);

} // namespace tessivo
