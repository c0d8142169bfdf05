#include "engine/tables/table_layout.h"

#include "engine/tables/byte_input.h"
#include "engine/tables/cell_number.h"
#include "engine/tables/layout_detection.h"
#include "engine/tables/table_error.h"
#include "engine/tables/header_lines.h"

#include <algorithm>
#include <cstring>

namespace tessivo {
namespace {

constexpr std::size_t kSampleBytes = 64 * 1024;
constexpr std::size_t kLargestSample = std::size_t{16} << 20;

using Line = SampleLine;

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

// CR alone ends the lines of a file that has a CR and no LF in its sample.
char lineEndOf(std::string_view sample)
{
    return sample.find('\n') == std::string_view::npos && sample.find('\r') != std::string_view::npos ? '\r' : '\n';
}

std::vector<Line> splitLines(std::string_view sample, bool wholeFile, char lineEnd, bool& crlf)
{
    std::vector<Line> lines;
    std::int64_t number = 0;
    crlf = false;
    while (!sample.empty()) {
        const std::size_t nl = sample.find(lineEnd);
        if (nl == std::string_view::npos && !wholeFile)
            break; // cut by the sample's end
        std::string_view text = sample.substr(0, nl);
        const bool cr = lineEnd == '\n' && !text.empty() && text.back() == '\r';
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

struct SampleOutcome {
    TableLayout layout;
    bool settled = true; // the sample told enough; else read more of the file
};

// UTF-16 text without a byte-order mark: a zero byte in nearly every other
// place (the high bytes of Latin letters and digits), none in the others.
bool looksLikeUtf16(std::string_view sample)
{
    const std::size_t n = std::min<std::size_t>(sample.size(), 4096) & ~std::size_t{1};
    std::size_t zeros[2] = {0, 0};
    for (std::size_t i = 0; i < n; ++i)
        zeros[i % 2] += sample[i] == '\0';
    const std::size_t pairs = n / 2;
    const auto most = [&](std::size_t count) { return count > 0 && count * 10 >= pairs * 9; };
    return pairs >= 2 && ((zeros[0] == 0 && most(zeros[1])) || (zeros[1] == 0 && most(zeros[0])));
}

void refuseOtherEncodings(std::string_view sample, const std::vector<Line>& lines, const std::string& path)
{
    if (sample.substr(0, 2) == "\xFF\xFE" || sample.substr(0, 2) == "\xFE\xFF")
        throw TableFormatError(path, 0, 0, "", "a UTF-16 text file: save it as UTF-8 (or ANSI) and read it again");
    if (looksLikeUtf16(sample))
        throw TableFormatError(path, 0, 0, "",
                               "UTF-16 text without a byte-order mark: save it as UTF-8, or as UTF-16 with its "
                               "byte-order mark, and read it again");
    for (const Line& line : lines) {
        if (std::memchr(line.text.data(), 0, line.text.size()))
            throw TableFormatError(path, line.number, 0, "", "a binary file, not a table of text");
    }
}

void placeColumns(TableLayout& layout, const std::vector<Line>& lines, const std::vector<Line>& nonBlank,
                  const TableBody& body, const TableOverrides& overrides)
{
    layout.delimiter = body.delimiter;
    layout.decimal = body.decimal;
    layout.columns.assign(body.width, TableColumnInfo{});
    for (std::size_t j = 0; j < body.width; ++j)
        layout.columns[j].numeric = body.numeric[j];
    layout.firstDataLine = nonBlank[body.firstRow].number;
    const HeaderLines header = findHeaderLines(nonBlank, body);
    layout.headerLine = overrides.headerLine.value_or(header.names);
    layout.unitsLine =
        overrides.headerLine ? overrides.unitsLine.value_or(0) : overrides.unitsLine.value_or(header.units);
    const std::int64_t below = std::max(layout.headerLine, layout.unitsLine) + 1;
    if (below > layout.firstDataLine)
        layout.firstDataLine = below;
    const auto names = cellsOf(lineNumbered(lines, layout.headerLine), layout.delimiter, body.width);
    const auto units = cellsOf(lineNumbered(lines, layout.unitsLine), layout.delimiter, body.width);
    for (std::size_t j = 0; j < body.width; ++j) {
        layout.columns[j].name = names[j];
        layout.columns[j].unit = units[j];
    }
    makeNamesUnique(layout.columns);
}

// final: the sample is all there is to read, so its doubts are refusals.
SampleOutcome layoutOfSample(std::string_view sample, bool wholeFile, bool final, const TableOverrides& overrides,
                             const std::string& path)
{
    SampleOutcome outcome;
    TableLayout& layout = outcome.layout;
    const std::string_view raw = sample;
    if (sample.substr(0, 3) == "\xEF\xBB\xBF") {
        layout.byteOrderMark = true;
        sample.remove_prefix(3);
    }
    layout.lineEnd = lineEndOf(sample);
    const std::vector<Line> lines = splitLines(sample, wholeFile, layout.lineEnd, layout.crlf);
    refuseOtherEncodings(raw, lines, path);
    std::vector<Line> nonBlank;
    for (const Line& line : lines) {
        if (!isBlankLine(line.text))
            nonBlank.push_back(line);
    }
    if (nonBlank.empty() && final)
        throw TableFormatError(path, 0, 0, "",
                               lines.empty() ? "no row of numbers found: the file is empty"
                                             : "no row of numbers found: every line is blank");
    TableBody body;
    try {
        // No digit yet: read on before trying every reading of the sample.
        if (nonBlank.empty() || (!final && sample.find_first_of("0123456789") == std::string_view::npos))
            return SampleOutcome{layout, false};
        body = detectTableBody(nonBlank, overrides, path);
    } catch (const TableFormatError&) {
        if (final)
            throw;
        return SampleOutcome{layout, false};
    }
    outcome.settled = final || body.reachesEnd;
    placeColumns(layout, lines, nonBlank, body, overrides);
    return outcome;
}

} // namespace

TableLayout layoutFromSample(std::string_view sample, bool wholeFile, const TableOverrides& overrides,
                             const std::string& path)
{
    return layoutOfSample(sample, wholeFile, true, overrides, path).layout;
}

TableLayout detectTableLayout(const std::string& path, const TableOverrides& overrides)
{
    // A preamble or rows longer than the first piece: read on, up to a limit.
    ByteInput input(path);
    std::string sample;
    std::size_t want = kSampleBytes;
    for (;;) {
        std::size_t have = sample.size();
        sample.resize(want + 1);
        while (have < sample.size()) {
            const std::size_t n = input.read(sample.data() + have, sample.size() - have);
            if (n == 0)
                break;
            have += n;
        }
        sample.resize(have);
        const bool wholeFile = have <= want;
        const bool final = wholeFile || want >= kLargestSample;
        SampleOutcome outcome =
            layoutOfSample(std::string_view(sample).substr(0, std::min(have, want)), wholeFile, final, overrides, path);
        if (outcome.settled) {
            outcome.layout.compressed = input.compressed();
            outcome.layout.utf16 = input.utf16();
            return outcome.layout;
        }
        want *= 2;
    }
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
        const std::size_t nl = text.find(layout.lineEnd, start);
        if (nl == std::string::npos) {
            if (ended)
                break;
            text.erase(0, start);
            start = 0;
            const std::size_t n = input.read(buffer, sizeof buffer);
            text.append(buffer, n);
            if (n == 0) {
                ended = true;
                text += layout.lineEnd;
            }
            continue;
        }
        std::string_view line(text.data() + start, nl - start);
        start = nl + 1;
        if (++number == 1 && layout.byteOrderMark && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        if (layout.lineEnd == '\n' && !line.empty() && line.back() == '\r')
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
    case Delimiter::Comma:
        text = "comma-separated";
        break;
    case Delimiter::Semicolon:
        text = "semicolon-separated";
        break;
    case Delimiter::Tab:
        text = "tab-separated";
        break;
    case Delimiter::Blanks:
        text = "blank-separated";
        break;
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
