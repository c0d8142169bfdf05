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
    std::optional<char> decimal;            // '.' or ','
    std::optional<std::int64_t> headerLine; // 1-based line of names; 0: the table has none
    std::optional<std::int64_t> unitsLine;  // 1-based line of units; 0: the table has none
};

struct TableColumnInfo {
    std::string name;     // UTF-8 (Latin-1 text is converted); may be empty
    std::string unit;     // as written, "(kN)" or "kN"; may be empty
    bool numeric = false; // its cells in the first rows are numbers
};

struct TableLayout {
    Delimiter delimiter = Delimiter::Comma;
    char decimal = '.';
    bool byteOrderMark = false;     // a UTF-8 byte-order mark opens the file
    bool crlf = false;              // lines end in CR LF (the reader takes both anyway)
    char lineEnd = '\n';            // '\r' when lines end in CR alone
    bool compressed = false;        // gzip
    bool utf16 = false;             // UTF-16 with a byte-order mark, read as UTF-8
    std::int64_t headerLine = 0;    // 1-based, 0 when none
    std::int64_t unitsLine = 0;     // 1-based, 0 when none
    std::int64_t firstDataLine = 1; // 1-based: the first row of numbers
    std::vector<TableColumnInfo> columns;
};

// Reads the start of the file at path (64 KiB, more while the preamble or
// the rows need it, up to 16 MiB) and works out its layout on the evidence
// of every line read (engine/tables/layout_detection.h):
// - of every delimiter (tab, semicolon, comma, runs of blanks), decimal
//   separator and width, the reading that makes the most numbers cells of
//   rows and leaves the fewest lines below its first row that are no row
//   (and the fewest numbers above it); decimal commas between comma
//   delimiters only in quoted cells;
// - the first row is the first line that is a row of that reading: nothing
//   below it is preamble;
// - names and units only from the lines right above the first row that
//   have the table's width (engine/tables/header_lines.h); duplicate names
//   get " (2)", " (3)", ...;
// - a UTF-8 byte-order mark is passed over, UTF-16 with one is read as
//   UTF-8 (engine/tables/byte_input.h); lines end in LF, CR LF or CR.
// Throws IoError when the file cannot be read and TableFormatError when it
// is binary, holds no row of numbers, or the evidence allows two
// readings (commas as delimiters or decimal commas; thousands separators).
TableLayout detectTableLayout(const std::string& path, const TableOverrides& overrides = {});

// The same from the sample itself, text as the file holds it (UTF-16 and
// gzip are refused here: ByteInput decodes them); wholeFile says that the
// sample is all of the file (its last line is complete even without a line
// end).
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

// The name of column index (0-based), or "column N" when it has none: the
// label by which chooseColumns finds it.
std::string columnLabel(const TableLayout& layout, std::size_t index);

// The name with its unit for a heading: "RootMyc1 (kN·m)"; the unit gets
// parentheses unless it has brackets of its own.
std::string columnHeading(const TableLayout& layout, std::size_t index);

// A one-line description: "tab-separated, decimal point, names on line 7, units on line 8".
std::string describeLayout(const TableLayout& layout);

} // namespace tessivo
