#include "engine/tables/table_reader.h"

#include "engine/tables/cell_number.h"
#include "engine/tables/table_error.h"

#include <cstring>

namespace tessivo {
namespace {

constexpr std::size_t kReadBytes = 1 << 20;
constexpr std::size_t kMaxLineBytes = std::size_t{256} << 20;
constexpr std::size_t kBlockRows = 8192;

std::string shown(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string quoted(1, '"');
    quoted.append(text.substr(0, kShown));
    quoted.append(text.size() > kShown ? "...\"" : "\"");
    return quoted;
}

bool startsLikeNumber(char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == ',';
}

} // namespace

TableReader::TableReader(std::string path, TableLayout layout, std::vector<std::size_t> columns, bool skipEmpty)
    : m_path(std::move(path))
    , m_layout(std::move(layout))
    , m_columns(std::move(columns))
    , m_skipEmpty(skipEmpty)
    , m_skipped(m_columns.size(), 0)
    , m_input(m_path)
    , m_buffer(kReadBytes)
{
    m_body.delimiter = m_layout.delimiter;
    m_body.decimal = m_layout.decimal;
    m_body.width = m_layout.columns.size();
    for (const TableColumnInfo& c : m_layout.columns)
        m_body.numeric.push_back(c.numeric);
    m_slotOfField.assign(m_layout.columns.size(), -1);
    for (std::size_t k = 0; k < m_columns.size(); ++k) {
        m_slotOfField.at(m_columns[k]) = static_cast<int>(k);
    }
}

// Moves the unread bytes to the front and reads more behind them.
bool TableReader::fill()
{
    if (m_eof)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        if (m_zeroAt != SIZE_MAX)
            m_zeroAt -= m_begin;
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size()) {
        if (m_buffer.size() >= kMaxLineBytes)
            throw TableFormatError(m_path, m_line + 1, 0, "", "a line longer than 256 MiB");
        m_buffer.resize(m_buffer.size() * 2);
    }
    const std::size_t n = m_input.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (n == 0) {
        m_eof = true;
        return false;
    }
    if (m_zeroAt == SIZE_MAX) {
        if (const void* zero = std::memchr(m_buffer.data() + m_end, 0, n))
            m_zeroAt = static_cast<std::size_t>(static_cast<const char*>(zero) - m_buffer.data());
    }
    m_end += n;
    return true;
}

bool TableReader::nextLine(std::string_view& line)
{
    for (;;) {
        const char* const base = m_buffer.data();
        const void* nl = std::memchr(base + m_begin, m_layout.lineEnd, m_end - m_begin);
        if (nl || (m_eof && m_begin < m_end)) {
            const std::size_t stop = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) : m_end;
            ++m_line;
            if (m_zeroAt < stop)
                throw TableFormatError(m_path, m_line, 0, "", "a binary file, not a table of text");
            std::size_t start = m_begin;
            if (m_line == 1 && m_layout.byteOrderMark && stop - start >= 3)
                start += 3;
            std::size_t last = stop;
            if (m_layout.lineEnd == '\n' && last > start && base[last - 1] == '\r')
                --last;
            line = std::string_view(base + start, last - start);
            m_begin = nl ? stop + 1 : m_end;
            return true;
        }
        if (!fill() && m_begin == m_end)
            return false;
    }
}

void TableReader::cellError(std::size_t column, std::string_view text, const char* what) const
{
    throw TableFormatError(m_path, m_line, static_cast<std::int64_t>(column + 1), m_layout.columns[column].name,
                           shown(text) + what);
}

void TableReader::takeCell(std::size_t j, std::string_view text, std::vector<std::vector<long double>>& values)
{
    const auto slot = static_cast<std::size_t>(m_slotOfField[j]);
    long double v = 0.0L;
    switch (parseCell(text, m_layout.decimal, v)) {
    case CellStatus::Number:
        values[slot].push_back(v);
        break;
    case CellStatus::Empty:
        if (!m_skipEmpty)
            throw TableFormatError(m_path, m_line, static_cast<std::int64_t>(j + 1), m_layout.columns[j].name,
                                   "an empty cell");
        ++m_skipped[slot];
        break;
    case CellStatus::NotFinite:
        cellError(j, text, " is not a finite number");
    case CellStatus::NotNumber:
        cellError(j, text, " is not a number");
    }
}

void TableReader::tooFewFields(std::size_t found) const
{
    throw TableFormatError(m_path, m_line, static_cast<std::int64_t>(found + 1), "",
                           std::to_string(found) + (found == 1 ? " field" : " fields") + " where the table has "
                               + std::to_string(m_layout.columns.size()));
}

// The common row: one delimiter character and no quotes. A byte loop finds
// the short fields faster than a search call per field, and no field list
// is built.
bool TableReader::takeSimpleRow(std::string_view line, std::vector<std::vector<long double>>& values)
{
    if (m_layout.delimiter == Delimiter::Blanks || std::memchr(line.data(), '"', line.size()))
        return false;
    const char sep = static_cast<char>(m_layout.delimiter);
    const char* p = line.data();
    const char* const end = p + line.size();
    const std::size_t chosen = m_slotOfField.size();
    std::size_t j = 0;
    for (;;) {
        const char* const start = p;
        const bool wanted = j < chosen && m_slotOfField[j] >= 0;
        long double v = 0.0L;
        const char* const number = wanted ? parseShortNumber(p, end, m_layout.decimal, v) : nullptr;
        if (number && (number == end || *number == sep)) {
            values[static_cast<std::size_t>(m_slotOfField[j])].push_back(v);
            p = number;
        } else {
            while (p < end && *p != sep)
                ++p;
            const std::string_view cell(start, static_cast<std::size_t>(p - start));
            if (wanted)
                takeCell(j, cell, values);
            else if (p > start && (j >= chosen || !startsLikeNumber(*start)))
                checkOtherCell(j, cell);
        }
        ++j;
        if (p == end)
            break;
        ++p;
    }
    if (j < m_layout.columns.size())
        tooFewFields(j);
    return true;
}

void TableReader::takeRow(std::string_view line, std::vector<std::vector<long double>>& values)
{
    if (takeSimpleRow(line, values))
        return;
    splitFields(line, m_layout.delimiter, m_fields);
    if (m_fields.size() < m_layout.columns.size())
        tooFewFields(m_fields.size());
    for (std::size_t j = 0; j < m_fields.size(); ++j) {
        if (j < m_slotOfField.size() && m_slotOfField[j] >= 0)
            takeCell(j, m_fields[j].text, values);
        else
            checkOtherCell(j, m_fields[j].text);
    }
}

// A cell of a column not chosen: a field beyond the table's width must be
// empty, and a column of numbers must not hold text (a footer's "Max", a
// logger's "OVL"); a quick look at its first character, read in full only
// when that is no part of a number.
void TableReader::checkOtherCell(std::size_t j, std::string_view text) const
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    if (at == text.size())
        return;
    const std::size_t width = m_layout.columns.size();
    if (j >= width)
        throw TableFormatError(m_path, m_line, static_cast<std::int64_t>(j + 1), "",
                               "more fields than the " + std::to_string(width) + " of the table");
    const char c = text[at];
    if (!m_layout.columns[j].numeric || (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == ',')
        return;
    long double v = 0.0L;
    if (parseCell(text, m_layout.decimal, v) == CellStatus::NotNumber)
        cellError(j, text, " is not a number");
}

std::size_t TableReader::readBlock(std::vector<std::vector<long double>>& values, std::size_t maxRows)
{
    values.resize(m_columns.size());
    for (auto& v : values)
        v.clear();
    std::string_view line;
    if (!m_started) {
        m_started = true;
        while (m_line + 1 < m_layout.firstDataLine) {
            if (!nextLine(line))
                return 0;
        }
    }
    std::size_t rows = 0;
    while (rows < maxRows && !m_ended && nextLine(line)) {
        if (isBlankLine(line)) {
            m_blankBefore = true;
            continue;
        }
        if (takeLine(line, values))
            ++rows;
    }
    if (m_delimitersAt > 0 && !m_ended && rows == 0)
        m_ending = "delimiters only from line " + std::to_string(m_delimitersAt);
    m_rowsRead += static_cast<std::int64_t>(rows);
    return rows;
}

// One line below the first row: a row (true), or an end of the table.
bool TableReader::takeLine(std::string_view line, std::vector<std::vector<long double>>& values)
{
    // The common row starts with a number: no end mark and no footer can.
    const char c = line.front();
    if (!m_blankBefore && m_delimitersAt == 0 && ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.')) {
        takeRow(line, values);
        return true;
    }
    const EndMark mark = endMarkOf(line, m_layout.delimiter);
    if (mark == EndMark::Delimiters) {
        if (m_delimitersAt == 0)
            m_delimitersAt = m_line;
        return false;
    }
    if (m_delimitersAt > 0)
        throw TableFormatError(m_path, m_delimitersAt, 0, "", "a line of delimiters only, inside the table");
    const std::string where = std::to_string(m_line);
    if (mark == EndMark::CtrlZ) {
        m_ended = true;
        m_ending = "Ctrl-Z on line " + where;
        return false;
    }
    if (mark == EndMark::End || m_blankBefore) {
        splitFields(line, m_layout.delimiter, m_fields);
        if (mark == EndMark::End || !isBodyRow(m_fields, m_body)) {
            m_ended = true;
            m_endLine = m_line;
            m_ending = mark == EndMark::End ? "END on line " + where : "a footer from line " + where;
            checkRest();
            return false;
        }
    }
    m_blankBefore = false;
    takeRow(line, values);
    return true;
}

// Below a footer or END: a row of the table there means the line above was
// no end but a fault, and nothing below it may be left out unsaid.
void TableReader::checkRest()
{
    std::string_view line;
    while (nextLine(line)) {
        if (isBlankLine(line))
            continue;
        splitFields(line, m_layout.delimiter, m_fields);
        if (isBodyRow(m_fields, m_body))
            throw TableFormatError(m_path, m_endLine, 0, "",
                                   "this line is no row of the table, but rows follow it (line "
                                       + std::to_string(m_line) + ")");
    }
}

TableColumnSource::TableColumnSource(const std::string& path, const TableLayout& layout, std::size_t column,
                                     bool skipEmpty)
    : m_reader(path, layout, {column}, skipEmpty)
{
}

bool TableColumnSource::refill()
{
    m_position = 0;
    m_block.resize(1);
    m_block[0].clear();
    // A block of rows may hold no values when every cell was skipped.
    while (m_block[0].empty()) {
        if (m_reader.readBlock(m_block, kBlockRows) == 0)
            return false;
    }
    return true;
}

bool TableColumnSource::next(long double& value)
{
    if ((m_block.empty() || m_position == m_block[0].size()) && !refill())
        return false;
    value = m_block[0][m_position++];
    return true;
}

std::size_t TableColumnSource::nextBlock(long double* out, std::size_t max)
{
    if ((m_block.empty() || m_position == m_block[0].size()) && !refill())
        return 0;
    const std::size_t n = std::min(max, m_block[0].size() - m_position);
    std::memcpy(out, m_block[0].data() + m_position, n * sizeof(long double));
    m_position += n;
    return n;
}

std::vector<ColumnStats> scanTableColumns(const std::string& path, const TableLayout& layout,
                                          const std::vector<std::size_t>& columns, bool skipEmpty)
{
    TableReader reader(path, layout, columns, skipEmpty);
    std::vector<ColumnStats> stats(columns.size());
    std::vector<std::vector<long double>> block;
    while (reader.readBlock(block, kBlockRows) > 0) {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            ColumnStats& s = stats[k];
            for (const long double v : block[k]) {
                if (s.points == 0) {
                    s.highest = s.lowest = v;
                } else {
                    s.strictlyIncreasing = s.strictlyIncreasing && v > s.previous;
                    s.highest = std::max(s.highest, v);
                    s.lowest = std::min(s.lowest, v);
                }
                s.previous = v;
                ++s.points;
            }
        }
    }
    for (std::size_t k = 0; k < columns.size(); ++k) {
        stats[k].skippedEmpty = reader.skippedEmpty(k);
        stats[k].rows = reader.rowsRead();
        stats[k].ending = reader.ending();
    }
    return stats;
}

} // namespace tessivo
