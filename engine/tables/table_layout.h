#pragma once
// What a table file looks like: its delimiter, decimal separator, byte-order
// mark, line ends, the lines of names and units and where the numbers start.
// Each is found from the first 64 KiB of the file and each can be set instead.

#include "engine/tables/line_fields.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessivo {

// What the user sets instead of the detection; unset members are detected.
struct TableOverrides {
    std::optional<Delimiter> delimiter;
    std::optional<char> decimal;              // '.' or ','
    std::optional<std::int64_t> headerLine;   // 1-based line of names; 0: the table has none
    std::optional<std::int64_t> unitsLine;    // 1-based line of units; 0: the table has none
};

struct TableColumnInfo {
    std::string name; // UTF-8 (Latin-1 text is converted); may be empty
    std::string unit; // as written, "(kN)" or "kN"; may be empty
    bool numeric = false; // its cells in the first rows are numbers
};

struct TableLayout {
    Delimiter delimiter = Delimiter::Comma;
    char decimal = '.';
    bool byteOrderMark = false; // a UTF-8 byte-order mark opens the file
    bool crlf = false;          // lines end in CR LF (the reader takes both anyway)
    bool compressed = false;    // gzip
    std::int64_t headerLine = 0;    // 1-based, 0 when none
    std::int64_t unitsLine = 0;     // 1-based, 0 when none
    std::int64_t firstDataLine = 1; // 1-based: the first row of numbers
    std::vector<TableColumnInfo> columns;
};

// Reads the start of the file at path and works out its layout. The rules:
// - the delimiter is the first of tab, semicolon, comma and runs of blanks
//   that splits most of the last lines of the sample into the same number
//   (more than one) of fields; a file that none splits has one column;
// - the decimal separator is ',' when the delimiter is not a comma and the
//   cells hold numbers with a comma and none with a point;
// - rows of numbers run from the first data line to the end: the lines above
//   the last row that have as many fields as it, with numbers (or empty
//   cells) in every column that holds numbers there;
// - of the run of lines above the first row with as many fields (blank
//   lines aside; right above it, for a table of one column), the lowest is
//   the line of names, or, when there are two or more, the last two are
//   names and units; anything above is a preamble.
// Throws IoError when the file cannot be read and TableFormatError when it
// is binary, holds no row of numbers, or an override does not fit.
TableLayout detectTableLayout(const std::string& path, const TableOverrides& overrides = {});

// The same from the sample itself; wholeFile says that the sample is all of
// the file (its last line is complete even without a line end).
TableLayout layoutFromSample(std::string_view sample, bool wholeFile, const TableOverrides& overrides,
                             const std::string& path);

// The cells of the first rows of numbers (from firstDataLine, blank lines
// passed over) as their text, quotes taken off: what a preview shows. Reads
// no more than it needs. Throws IoError and TableFormatError (damaged gzip).
std::vector<std::vector<std::string>> previewRows(const std::string& path, const TableLayout& layout,
                                                  std::size_t maxRows);

// True when the file reads as a table (detectTableLayout succeeds) that a
// plain sequence file could not be: columns split by a delimiter other than
// blanks, a line of names or decimal commas. Never throws.
bool readsAsTable(const std::string& path);

// The name of column index (0-based), or "column N" when it has none.
std::string columnLabel(const TableLayout& layout, std::size_t index);

// The name with its unit for a heading: "RootMyc1 (kN·m)"; the unit gets
// parentheses unless it has brackets of its own.
std::string columnHeading(const TableLayout& layout, std::size_t index);

// A one-line description: "tab-separated, decimal point, names on line 7, units on line 8".
std::string describeLayout(const TableLayout& layout);

} // namespace tessivo
