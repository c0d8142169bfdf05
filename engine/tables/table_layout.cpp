#include "engine/tables/table_layout.h"

#include "engine/tables/byte_input.h"
#include "engine/tables/cell_number.h"
#include "engine/tables/table_error.h"

#include <algorithm>
#include <cstring>

namespace tessivo {
namespace {

constexpr std::size_t kSampleBytes = 64 * 1024;
constexpr std::size_t kReferenceLines = 10;

struct Line {
    std::int64_t number = 0; // 1-based
    std::string_view text;   // without its line end
};

// Latin-1 text (the units of some loggers) becomes UTF-8; UTF-8 stays.
std::string toUtf8(std::string_view s)
{
    bool valid = true;
    for (std::size_t i = 0; i < s.size() && valid;) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            valid = false;
        for (std::size_t k = 1; valid && k < n; ++k)
            valid = (static_cast<unsigned char>(s[i + k]) >> 6) == 2;
        i += n == 0 ? 1 : n;
    }
    if (valid)
        return std::string(s);
    std::string out;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

std::vector<Line> splitLines(std::string_view sample, bool wholeFile, bool& crlf)
{
    std::vector<Line> lines;
    std::int64_t number = 0;
    crlf = false;
    while (!sample.empty()) {
        const std::size_t nl = sample.find('\n');
        if (nl == std::string_view::npos && !wholeFile)
            break; // cut by the sample's end
        std::string_view text = sample.substr(0, nl);
        const bool cr = !text.empty() && text.back() == '\r';
        if (cr)
            text.remove_suffix(1);
        if (number == 0)
            crlf = cr;
        lines.push_back(Line{++number, text});
        if (nl == std::string_view::npos)
            break;
        sample.remove_prefix(nl + 1);
    }
    return lines;
}

std::vector<std::size_t> fieldCounts(const std::vector<Line>& lines, Delimiter d)
{
    std::vector<Field> fields;
    std::vector<std::size_t> counts;
    for (const Line& line : lines) {
        splitFields(line.text, d, fields);
        counts.push_back(fields.size());
    }
    return counts;
}

// The rows at the end of the sample: the longest run of lines with the same
// number of fields that ends at the last line or (the last row may be cut)
// at the one before. Returns that number; `run` receives the run's length.
std::size_t rowWidth(const std::vector<std::size_t>& counts, std::size_t& run)
{
    run = 0;
    std::size_t width = 0;
    for (std::size_t skip = 0; skip < 2 && skip < counts.size(); ++skip) {
        const std::size_t last = counts.size() - 1 - skip;
        std::size_t n = 0;
        while (n <= last && counts[last - n] == counts[last])
            ++n;
        if (n > run) {
            run = n;
            width = counts[last];
        }
    }
    return width;
}

bool isNumberEitherWay(std::string_view cell)
{
    long double v = 0;
    return parseCell(cell, '.', v) == CellStatus::Number || parseCell(cell, ',', v) == CellStatus::Number;
}

// Of the delimiters that split most reference lines into the same number
// (more than one) of fields, the one that leaves the most cells that are
// numbers; on a tie the earlier in the order tab, semicolon, comma, blanks.
Delimiter detectDelimiter(const std::vector<Line>& reference, const TableOverrides& overrides)
{
    const bool decimalComma = overrides.decimal == ',';
    Delimiter best = decimalComma ? Delimiter::Semicolon : Delimiter::Comma;
    std::size_t bestScore = 0;
    std::vector<Field> fields;
    for (const Delimiter d : {Delimiter::Tab, Delimiter::Semicolon, Delimiter::Comma, Delimiter::Blanks}) {
        if (d == Delimiter::Comma && decimalComma)
            continue;
        std::size_t run = 0;
        const std::size_t mode = rowWidth(fieldCounts(reference, d), run);
        if (mode <= 1 || run < std::min<std::size_t>(2, reference.size()))
            continue;
        std::size_t score = 1; // any split beats none
        for (const Line& line : reference) {
            splitFields(line.text, d, fields);
            if (fields.size() == mode)
                score += static_cast<std::size_t>(std::count_if(fields.begin(), fields.end(),
                                                                [](const Field& f) { return isNumberEitherWay(f.text); }));
        }
        if (score > bestScore) {
            best = d;
            bestScore = score;
        }
    }
    return best;
}

bool hasNumberWith(std::string_view cell, char decimal)
{
    long double v = 0;
    return cell.find(decimal) != std::string_view::npos && parseCell(cell, decimal, v) == CellStatus::Number;
}

char detectDecimal(const std::vector<Line>& reference, Delimiter d)
{
    if (d == Delimiter::Comma)
        return '.';
    bool comma = false;
    bool point = false;
    std::vector<Field> fields;
    for (const Line& line : reference) {
        splitFields(line.text, d, fields);
        for (const Field& f : fields) {
            comma = comma || hasNumberWith(f.text, ',');
            point = point || hasNumberWith(f.text, '.');
        }
    }
    return comma && !point ? ',' : '.';
}

// A row of numbers: as many fields, a number or nothing in every column of
// numbers, and at least one number.
bool isDataRow(const std::vector<Field>& fields, const std::vector<TableColumnInfo>& columns, char decimal)
{
    if (fields.size() != columns.size())
        return false;
    bool any = false;
    long double v = 0;
    for (std::size_t j = 0; j < fields.size(); ++j) {
        if (!columns[j].numeric)
            continue;
        const CellStatus s = parseCell(fields[j].text, decimal, v);
        if (s == CellStatus::NotNumber)
            return false;
        any = any || s == CellStatus::Number;
    }
    return any;
}

// A column holds numbers when its lowest filled cell in the reference lines
// does (the lines of names and units of a short table are among them).
void markNumericColumns(TableLayout& layout, const std::vector<Line>& reference, std::size_t count)
{
    layout.columns.assign(count, TableColumnInfo{});
    std::vector<bool> decided(count, false);
    std::vector<Field> fields;
    long double v = 0;
    for (std::size_t i = reference.size(); i-- > 0;) {
        splitFields(reference[i].text, layout.delimiter, fields);
        if (fields.size() != count)
            continue;
        for (std::size_t j = 0; j < count; ++j) {
            const CellStatus s = parseCell(fields[j].text, layout.decimal, v);
            if (decided[j] || s == CellStatus::Empty)
                continue;
            decided[j] = true;
            layout.columns[j].numeric = s != CellStatus::NotNumber;
        }
    }
}

const Line* lineNumbered(const std::vector<Line>& lines, std::int64_t number)
{
    for (const Line& line : lines) {
        if (line.number == number)
            return &line;
    }
    return nullptr;
}

std::vector<std::string> cellsOf(const Line* line, Delimiter d, std::size_t count)
{
    std::vector<std::string> cells(count);
    if (!line)
        return cells;
    std::vector<Field> fields;
    splitFields(line->text, d, fields);
    for (std::size_t j = 0; j < count && j < fields.size(); ++j)
        cells[j] = toUtf8(unquoted(fields[j]));
    return cells;
}

// Finds the first data line and the lines of names and units above it.
void placeLines(TableLayout& layout, const std::vector<Line>& nonBlank, const TableOverrides& overrides,
                const std::string& path)
{
    const std::size_t count = layout.columns.size();
    std::vector<Field> fields;
    std::size_t first = nonBlank.size();
    for (std::size_t i = nonBlank.size(); i-- > 0;) {
        splitFields(nonBlank[i].text, layout.delimiter, fields);
        if (isDataRow(fields, layout.columns, layout.decimal))
            first = i;
        else if (first != nonBlank.size())
            break;
    }
    if (first == nonBlank.size())
        throw TableFormatError(path, 0, 0, "", "no rows of numbers found");
    layout.firstDataLine = nonBlank[first].number;

    // Names and units: the run of lines above the first row.
    std::vector<std::size_t> block;
    for (std::size_t i = first; i-- > 0;) {
        // With one column any line could be a name: only the lines right
        // above count then; with more, the number of fields tells.
        if (count == 1 && nonBlank[i].number != nonBlank[i + 1].number - 1)
            break;
        splitFields(nonBlank[i].text, layout.delimiter, fields);
        if (count > 1 && fields.size() != count)
            break;
        block.insert(block.begin(), i);
    }
    layout.headerLine = block.empty() ? 0 : nonBlank[block.size() >= 2 ? block[block.size() - 2] : block.back()].number;
    layout.unitsLine = block.size() >= 2 ? nonBlank[block.back()].number : 0;
    if (overrides.headerLine) {
        layout.headerLine = *overrides.headerLine;
        layout.unitsLine = overrides.unitsLine.value_or(0);
    } else if (overrides.unitsLine) {
        layout.unitsLine = *overrides.unitsLine;
    }
    const std::int64_t below = std::max(layout.headerLine, layout.unitsLine) + 1;
    if (below > layout.firstDataLine)
        layout.firstDataLine = below;
}

} // namespace

TableLayout layoutFromSample(std::string_view sample, bool wholeFile, const TableOverrides& overrides,
                             const std::string& path)
{
    TableLayout layout;
    if (sample.substr(0, 3) == "\xEF\xBB\xBF") {
        layout.byteOrderMark = true;
        sample.remove_prefix(3);
    }
    std::vector<Line> lines = splitLines(sample, wholeFile, layout.crlf);
    for (const Line& line : lines) {
        if (std::memchr(line.text.data(), 0, line.text.size()))
            throw TableFormatError(path, line.number, 0, "", "a binary file, not a table of text");
    }
    std::vector<Line> nonBlank;
    for (const Line& line : lines) {
        if (!isBlankLine(line.text))
            nonBlank.push_back(line);
    }
    if (nonBlank.empty())
        throw TableFormatError(path, 0, 0, "", "no rows of numbers found");
    const std::vector<Line> reference(nonBlank.end() - static_cast<std::ptrdiff_t>(std::min(nonBlank.size(), kReferenceLines)),
                                      nonBlank.end());
    layout.delimiter = overrides.delimiter ? *overrides.delimiter : detectDelimiter(reference, overrides);
    layout.decimal = overrides.decimal ? *overrides.decimal : detectDecimal(reference, layout.delimiter);
    if (layout.decimal == ',' && layout.delimiter == Delimiter::Comma)
        throw TableFormatError(path, 0, 0, "", "a comma cannot be both the delimiter and the decimal separator");
    std::size_t run = 0;
    markNumericColumns(layout, reference, rowWidth(fieldCounts(reference, layout.delimiter), run));
    if (std::none_of(layout.columns.begin(), layout.columns.end(), [](const auto& c) { return c.numeric; }))
        throw TableFormatError(path, 0, 0, "", "no column of numbers found");
    placeLines(layout, nonBlank, overrides, path);
    const auto names = cellsOf(lineNumbered(lines, layout.headerLine), layout.delimiter, layout.columns.size());
    const auto units = cellsOf(lineNumbered(lines, layout.unitsLine), layout.delimiter, layout.columns.size());
    for (std::size_t j = 0; j < layout.columns.size(); ++j) {
        layout.columns[j].name = names[j];
        layout.columns[j].unit = units[j];
    }
    return layout;
}

TableLayout detectTableLayout(const std::string& path, const TableOverrides& overrides)
{
    ByteInput input(path);
    std::string sample(kSampleBytes, '\0');
    std::size_t used = 0;
    while (used < sample.size()) {
        const std::size_t n = input.read(sample.data() + used, sample.size() - used);
        if (n == 0)
            break;
        used += n;
    }
    char extra = 0;
    const bool wholeFile = used < sample.size() || input.read(&extra, 1) == 0;
    sample.resize(used);
    TableLayout layout = layoutFromSample(sample, wholeFile, overrides, path);
    layout.compressed = input.compressed();
    return layout;
}

std::vector<std::vector<std::string>> previewRows(const std::string& path, const TableLayout& layout,
                                                  std::size_t maxRows)
{
    ByteInput input(path);
    std::string text;
    std::vector<std::vector<std::string>> rows;
    std::vector<Field> fields;
    char buffer[65536];
    std::int64_t number = 0;
    std::size_t start = 0;
    bool ended = false;
    while (rows.size() < maxRows) {
        const std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            if (ended)
                break;
            text.erase(0, start);
            start = 0;
            const std::size_t n = input.read(buffer, sizeof buffer);
            text.append(buffer, n);
            if (n == 0) {
                ended = true;
                text += '\n';
            }
            continue;
        }
        std::string_view line(text.data() + start, nl - start);
        start = nl + 1;
        if (++number == 1 && layout.byteOrderMark && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (number < layout.firstDataLine || isBlankLine(line))
            continue;
        splitFields(line, layout.delimiter, fields);
        std::vector<std::string> cells;
        for (const Field& f : fields)
            cells.push_back(toUtf8(unquoted(f)));
        rows.push_back(std::move(cells));
    }
    return rows;
}

bool readsAsTable(const std::string& path)
{
    try {
        const TableLayout layout = detectTableLayout(path);
        // Numbers between blanks are a plain sequence already, and one with a
        // word among them is no table for being split into columns.
        const bool split = layout.columns.size() > 1 && layout.delimiter != Delimiter::Blanks;
        return split || layout.headerLine > 0 || layout.decimal == ',';
    } catch (const std::exception&) {
        return false;
    }
}

std::string columnLabel(const TableLayout& layout, std::size_t index)
{
    if (index < layout.columns.size() && !layout.columns[index].name.empty())
        return layout.columns[index].name;
    return "column " + std::to_string(index + 1);
}

std::string columnHeading(const TableLayout& layout, std::size_t index)
{
    std::string heading = columnLabel(layout, index);
    if (index >= layout.columns.size() || layout.columns[index].unit.empty())
        return heading;
    const std::string& unit = layout.columns[index].unit;
    const bool bracketed = unit.front() == '(' || unit.front() == '[';
    return heading + (bracketed ? " " + unit : " (" + unit + ")");
}

std::string describeLayout(const TableLayout& layout)
{
    std::string text;
    switch (layout.delimiter) {
    case Delimiter::Comma: text = "comma-separated"; break;
    case Delimiter::Semicolon: text = "semicolon-separated"; break;
    case Delimiter::Tab: text = "tab-separated"; break;
    case Delimiter::Blanks: text = "blank-separated"; break;
    }
    text += layout.decimal == ',' ? ", decimal comma" : ", decimal point";
    if (layout.headerLine > 0)
        text += ", names on line " + std::to_string(layout.headerLine);
    if (layout.unitsLine > 0)
        text += ", units on line " + std::to_string(layout.unitsLine);
    text += ", numbers from line " + std::to_string(layout.firstDataLine);
    return text;
}

} // namespace tessivo
