#pragma once
// Streams the chosen columns of a table file in blocks of rows, in memory that
// does not grow with the file (only with its longest line). Plain and gzip
// files alike; lines end in LF, CR LF or CR; blank lines are passed over.
// Below the first row every line is a row, or an end: the end of the file,
// Ctrl-Z, a line END, lines of delimiters only at the very end, or, after a
// blank line, a line that is no row (a footer) with no row below it.
// Anything else is an error naming its line.

#include "engine/tables/byte_input.h"
#include "engine/tables/layout_detection.h"
#include "engine/tables/table_layout.h"
#include "engine/files/value_stream.h"

#include <cstdint>
#include <cstddef>
#include <string>
#include <vector>

namespace tessivo {

class TableReader {
public:
    // columns: 0-based, distinct, each below layout.columns.size(). With
    // skipEmpty, an empty cell of a chosen column is passed over and counted;
    // without, it is an error like any cell that is not a number.
    // Throws IoError when the file cannot be opened.
    TableReader(std::string path, TableLayout layout, std::vector<std::size_t> columns, bool skipEmpty);

    // Reads up to maxRows rows; values[k] receives the numbers of columns[k]
    // (it is cleared first; with skipEmpty the vectors may differ in length).
    // Returns the number of rows read, 0 at the end of the table. Throws
    // TableFormatError (a row with too few fields or more that are not
    // empty, a cell of a chosen column that is not a finite number, text in
    // another column of numbers, a zero byte, a line of delimiters or a
    // footer with rows below it) naming the line and column, and IoError.
    std::size_t readBlock(std::vector<std::vector<long double>>& values, std::size_t maxRows);

    const std::vector<std::size_t>& columns() const { return m_columns; }
    // Empty cells passed over so far in columns()[k].
    std::int64_t skippedEmpty(std::size_t k) const { return m_skipped[k]; }
    const TableLayout& layout() const { return m_layout; }
    // Rows read so far, and what ended the table before the end of the
    // file ("a footer from line 12", "END on line 40"), empty otherwise.
    std::int64_t rowsRead() const { return m_rowsRead; }
    const std::string& ending() const { return m_ending; }
    // Bytes of the file read so far, and its size (see ByteInput).
    std::int64_t fileOffset() const { return m_input.fileOffset(); }
    std::int64_t fileSize() const { return m_input.fileSize(); }

private:
    bool takeLine(std::string_view line, std::vector<std::vector<long double>>& values);
    void checkRest();
    void checkOtherCell(std::size_t j, std::string_view text) const;
    bool nextLine(std::string_view& line);
    bool fill();
    void takeRow(std::string_view line, std::vector<std::vector<long double>>& values);
    bool takeSimpleRow(std::string_view line, std::vector<std::vector<long double>>& values);
    void takeCell(std::size_t j, std::string_view text, std::vector<std::vector<long double>>& values);
    [[noreturn]] void tooFewFields(std::size_t found) const;
    [[noreturn]] void cellError(std::size_t column, std::string_view text, const char* what) const;

    std::string m_path;
    TableLayout m_layout;
    std::vector<std::size_t> m_columns;
    std::vector<int> m_slotOfField; // per field: index into m_columns, or -1
    bool m_skipEmpty;
    std::vector<std::int64_t> m_skipped;
    ByteInput m_input;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::size_t m_zeroAt = SIZE_MAX; // offset of a zero byte in the buffer, if any
    bool m_eof = false;
    bool m_started = false;
    std::int64_t m_line = 0; // number of the last line taken
    std::vector<Field> m_fields;
    TableBody m_body;
    bool m_blankBefore = false;
    bool m_ended = false;
    std::int64_t m_endLine = 0;
    std::int64_t m_delimitersAt = 0; // a line of delimiters only, waiting for what follows
    std::int64_t m_rowsRead = 0;
    std::string m_ending;
};

// One column of a table as a sequence of values, for the counting stages.
class TableColumnSource final : public ValueSource {
public:
    TableColumnSource(const std::string& path, const TableLayout& layout, std::size_t column, bool skipEmpty);
    bool next(long double& value) override;
    std::size_t nextBlock(long double* out, std::size_t max) override;
    std::int64_t skippedEmpty() const { return m_reader.skippedEmpty(0); }
    std::int64_t fileOffset() const { return m_reader.fileOffset(); }
    std::int64_t fileSize() const { return m_reader.fileSize(); }

private:
    bool refill();
    TableReader m_reader;
    std::vector<std::vector<long double>> m_block;
    std::size_t m_position = 0;
};

// The number of values and their extremes, per chosen column.
struct ColumnStats {
    std::int64_t points = 0;
    long double highest = 0.0L;
    long double lowest = 0.0L;
    std::int64_t skippedEmpty = 0;
    bool strictlyIncreasing = true; // every value above the one before
    long double previous = 0.0L;
    std::int64_t rows = 0; // rows of the table read
    std::string ending;    // what ended the table before the end of the file, if anything
};

// One pass over the file for all of columns. Throws as readBlock does.
std::vector<ColumnStats> scanTableColumns(const std::string& path, const TableLayout& layout,
                                          const std::vector<std::size_t>& columns, bool skipEmpty);

} // namespace tessivo
