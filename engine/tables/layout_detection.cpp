#include "engine/tables/layout_detection.h"

#include "engine/tables/cell_number.h"
#include "engine/tables/table_error.h"
#include "engine/tables/table_layout.h"

#include <algorithm>
#include <optional>

namespace tessivo {
namespace {

enum class Kind : char { Empty, Number, Text };

struct LineKinds {
    std::vector<Kind> kinds;
    bool anyNumber = false;
};

Kind kindOf(std::string_view cell, char decimal)
{
    long double v = 0;
    switch (parseCell(cell, decimal, v)) {
    case CellStatus::Empty:
        return Kind::Empty;
    case CellStatus::Number:
        return Kind::Number;
    default:
        return Kind::Text;
    }
}

std::vector<LineKinds> classify(const std::vector<SampleLine>& lines, Delimiter d, char decimal)
{
    std::vector<LineKinds> out(lines.size());
    std::vector<Field> fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        splitFields(lines[i].text, d, fields);
        for (const Field& f : fields) {
            out[i].kinds.push_back(kindOf(f.text, decimal));
            out[i].anyNumber = out[i].anyNumber || out[i].kinds.back() == Kind::Number;
        }
    }
    return out;
}

bool conforms(const LineKinds& line, std::size_t width, const std::vector<bool>& numeric)
{
    if (line.kinds.size() < width)
        return false;
    for (std::size_t j = width; j < line.kinds.size(); ++j) {
        if (line.kinds[j] != Kind::Empty)
            return false;
    }
    bool any = false;
    for (std::size_t j = 0; j < width; ++j) {
        if (numeric[j] && line.kinds[j] == Kind::Text)
            return false;
        any = any || (numeric[j] && line.kinds[j] == Kind::Number);
    }
    return any;
}

struct Reading {
    TableBody body;
    std::int64_t score = 0;
    std::size_t misfits = 0; // lines below the first row that are no row
    std::size_t rows = 0;
    bool named = false; // the line above the first row has the table's width
    int rank = 0;
};

// A column holds numbers when more of the lines of this width have a number there than text.
std::vector<bool> numericColumns(const std::vector<LineKinds>& kinds, std::size_t width)
{
    std::vector<std::size_t> numbers(width, 0), texts(width, 0);
    for (const LineKinds& line : kinds) {
        if (!line.anyNumber || line.kinds.size() < width)
            continue;
        if (std::any_of(line.kinds.begin() + static_cast<std::ptrdiff_t>(width), line.kinds.end(),
                        [](Kind k) { return k != Kind::Empty; }))
            continue;
        for (std::size_t j = 0; j < width; ++j) {
            numbers[j] += line.kinds[j] == Kind::Number;
            texts[j] += line.kinds[j] == Kind::Text;
        }
    }
    std::vector<bool> numeric(width);
    for (std::size_t j = 0; j < width; ++j)
        numeric[j] = numbers[j] > 0 && numbers[j] >= texts[j];
    return numeric;
}

// A row's numbers in the columns of numbers, less its cells of text: a
// delimiter that cuts numbers apart ("-103,36;-610,89" at its commas) leaves
// text behind.
std::int64_t rowScore(const LineKinds& row, const TableBody& b)
{
    std::int64_t score = 0;
    for (std::size_t j = 0; j < b.width; ++j)
        score += row.kinds[j] == Kind::Number ? b.numeric[j] : -(row.kinds[j] == Kind::Text);
    return score;
}

// Walks the lines below the first row as the reader will: rows, end marks,
// a footer after a blank line; anything else is a misfit.
void scoreBody(Reading& r, const std::vector<SampleLine>& lines, const std::vector<LineKinds>& kinds)
{
    const TableBody& b = r.body;
    std::optional<std::size_t> delimitersAt;
    bool ended = false;
    std::size_t i = b.firstRow;
    for (; i < lines.size() && !ended; ++i) {
        const EndMark mark = endMarkOf(lines[i].text, b.delimiter);
        if (mark == EndMark::Delimiters) {
            delimitersAt = delimitersAt.value_or(i);
            continue;
        }
        if (delimitersAt) {
            ++r.misfits; // delimiters only, inside the table
            delimitersAt.reset();
        }
        if (mark != EndMark::None) {
            ended = true;
        } else if (conforms(kinds[i], b.width, b.numeric)) {
            ++r.rows;
            r.score += rowScore(kinds[i], b);
        } else if (i > b.firstRow && lines[i].number > lines[i - 1].number + 1) {
            ended = true; // a footer
        } else {
            ++r.misfits;
        }
    }
    r.body.reachesEnd = ended || delimitersAt || (i == lines.size() && conforms(kinds.back(), b.width, b.numeric));
    // Rows below an end are evidence too: a reading that ends early at a
    // line it cannot read must not win on the few rows above it.
    for (; ended && i < lines.size(); ++i) {
        if (conforms(kinds[i], b.width, b.numeric))
            r.score += rowScore(kinds[i], b);
    }
    // Lines of the table's width with numbers above the first row would be
    // lost: they count against it (a preamble of other widths does not).
    std::size_t above = 0;
    for (std::size_t k = 0; k < b.firstRow; ++k)
        above += kinds[k].anyNumber && kinds[k].kinds.size() == b.width;
    r.score -= static_cast<std::int64_t>(r.misfits + above);
}

// The widths worth trying: those of lines with a number, and the same
// without their trailing empty fields.
std::vector<std::size_t> widthsOf(const std::vector<LineKinds>& kinds)
{
    std::vector<std::size_t> widths;
    for (const LineKinds& line : kinds) {
        if (!line.anyNumber)
            continue;
        std::size_t trimmed = line.kinds.size();
        while (trimmed > 1 && line.kinds[trimmed - 1] == Kind::Empty)
            --trimmed;
        for (const std::size_t w : {line.kinds.size(), trimmed}) {
            if (std::find(widths.begin(), widths.end(), w) == widths.end())
                widths.push_back(w);
        }
        if (widths.size() >= 12)
            break;
    }
    return widths;
}

struct Candidate {
    Delimiter delimiter;
    char decimal;
};

std::vector<Candidate> candidatesFor(const std::vector<SampleLine>& lines, const TableOverrides& overrides)
{
    const bool quotes = std::any_of(lines.begin(), lines.end(),
                                    [](const SampleLine& l) { return l.text.find('"') != std::string_view::npos; });
    std::vector<Candidate> out;
    for (const Delimiter d : {Delimiter::Tab, Delimiter::Semicolon, Delimiter::Comma, Delimiter::Blanks}) {
        for (const char c : {'.', ','}) {
            // Decimal commas between comma delimiters only inside quotes.
            const bool fits = d != Delimiter::Comma || c == '.' || quotes;
            if ((!overrides.delimiter || *overrides.delimiter == d) && (!overrides.decimal || *overrides.decimal == c)
                && fits)
                out.push_back({d, c});
        }
    }
    return out;
}

int rankOf(const Candidate& c, std::size_t width)
{
    // One column: the delimiter says nothing; name it as before, comma first.
    static const Delimiter wide[] = {Delimiter::Tab, Delimiter::Semicolon, Delimiter::Comma, Delimiter::Blanks};
    static const Delimiter narrow[] = {Delimiter::Comma, Delimiter::Semicolon, Delimiter::Tab, Delimiter::Blanks};
    const Delimiter* order = width == 1 ? narrow : wide;
    const int at = static_cast<int>(std::find(order, order + 4, c.delimiter) - order);
    return at * 2 + (c.decimal == ',');
}

bool better(const Reading& a, const Reading& b)
{
    if (a.score != b.score)
        return a.score > b.score;
    if (a.body.firstRow != b.body.firstRow)
        return a.body.firstRow < b.body.firstRow;
    if (a.named != b.named)
        return a.named;
    if (a.body.width != b.body.width)
        return a.body.width < b.body.width;
    return a.rank < b.rank;
}

std::vector<Reading> readingsOf(const std::vector<SampleLine>& lines, const TableOverrides& overrides)
{
    std::vector<Reading> readings;
    for (const Candidate& c : candidatesFor(lines, overrides)) {
        const std::vector<LineKinds> kinds = classify(lines, c.delimiter, c.decimal);
        for (const std::size_t width : widthsOf(kinds)) {
            Reading r;
            r.body.delimiter = c.delimiter;
            r.body.decimal = c.decimal;
            r.body.width = width;
            r.body.numeric = numericColumns(kinds, width);
            r.rank = rankOf(c, width);
            const auto first = std::find_if(kinds.begin(), kinds.end(),
                                            [&](const LineKinds& k) { return conforms(k, width, r.body.numeric); });
            if (first == kinds.end())
                continue;
            r.body.firstRow = static_cast<std::size_t>(first - kinds.begin());
            r.named = r.body.firstRow > 0 && kinds[r.body.firstRow - 1].kinds.size() == width;
            scoreBody(r, lines, kinds);
            readings.push_back(std::move(r));
        }
    }
    std::sort(readings.begin(), readings.end(), better);
    return readings;
}

// Calls visit(line, text) for each cell of a column of numbers in the rows.
template <typename Visit>
void eachNumberCell(const std::vector<SampleLine>& lines, const TableBody& b, Visit visit)
{
    std::vector<Field> fields;
    for (std::size_t i = b.firstRow; i < lines.size(); ++i) {
        splitFields(lines[i].text, b.delimiter, fields);
        if (!isBodyRow(fields, b))
            continue;
        for (std::size_t j = 0; j < b.width; ++j) {
            if (b.numeric[j] && !fields[j].text.empty() && !visit(lines[i], j, fields[j].text))
                return;
        }
    }
}

bool isWhole(std::string_view cell)
{
    if (!cell.empty() && (cell[0] == '-' || cell[0] == '+'))
        cell.remove_prefix(1);
    return !cell.empty() && std::all_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// 1,067 or -12,500: a thousands separator as well as a decimal comma.
bool thousandsLike(std::string_view cell)
{
    if (!cell.empty() && (cell[0] == '-' || cell[0] == '+'))
        cell.remove_prefix(1);
    const std::size_t comma = cell.find(',');
    return comma >= 1 && comma <= 3 && cell[0] != '0' && cell.size() == comma + 4 && isWhole(cell.substr(0, comma))
           && isWhole(cell.substr(comma + 1));
}

void refuseThousands(const std::vector<SampleLine>& lines, const TableBody& b, const std::string& path)
{
    bool all = true;
    std::optional<std::pair<SampleLine, std::size_t>> example;
    std::string exampleText;
    eachNumberCell(lines, b, [&](const SampleLine& line, std::size_t j, std::string_view text) {
        if (text.find(',') == std::string_view::npos)
            return true;
        all = thousandsLike(text);
        if (!example) {
            example = std::make_pair(line, j);
            exampleText = std::string(text);
        }
        return all;
    });
    if (!all || !example)
        return;
    std::string whole = exampleText;
    whole.erase(whole.find(','), 1);
    std::string point = exampleText;
    point[point.find(',')] = '.';
    throw TableFormatError(path, example->first.number, static_cast<std::int64_t>(example->second + 1), "",
                           "\"" + exampleText + "\" reads as " + point + " with a decimal comma or as " + whole
                               + " with a thousands separator; give --decimal-comma for the first (thousands "
                                 "separators are not read)");
}

// Whole numbers split at commas may be numbers with decimal commas instead:
// a line of names above the rows tells which, else the user.
const Reading* settleCommaSplit(const std::vector<Reading>& readings, const std::vector<SampleLine>& lines,
                                const std::string& path)
{
    const Reading* best = &readings.front();
    const auto comma = std::find_if(readings.begin(), readings.end(), [](const Reading& r) {
        return r.body.delimiter == Delimiter::Comma && r.body.decimal == '.';
    });
    const auto decimal = std::find_if(readings.begin(), readings.end(), [](const Reading& r) {
        return r.body.delimiter != Delimiter::Comma && r.body.decimal == ',';
    });
    if (comma == readings.end() || decimal == readings.end() || (best != &*comma && best != &*decimal)
        || comma->body.width <= decimal->body.width
        || std::find(comma->body.numeric.begin(), comma->body.numeric.end(), false) != comma->body.numeric.end())
        return best;
    bool whole = true;
    eachNumberCell(lines, comma->body, [&](const SampleLine&, std::size_t, std::string_view text) {
        whole = isWhole(text);
        return whole;
    });
    if (!whole)
        return best;
    const std::size_t first = best->body.firstRow;
    if (first > 0) {
        std::vector<Field> fields;
        splitFields(lines[first - 1].text, Delimiter::Comma, fields);
        if (fields.size() == comma->body.width)
            return &*comma;
        splitFields(lines[first - 1].text, decimal->body.delimiter, fields);
        if (fields.size() == decimal->body.width)
            return &*decimal;
    }
    if (comma->misfits > 0 || decimal->misfits > 0)
        return best;
    const SampleLine& row = lines[first];
    throw TableFormatError(path, row.number, 0, "",
                           "\"" + std::string(row.text.substr(0, 40))
                               + "\" reads as columns split by commas or as numbers with a decimal comma; give "
                                 "--delimiter comma or --decimal-comma");
}

} // namespace

bool isBodyRow(const std::vector<Field>& fields, const TableBody& b)
{
    if (fields.size() < b.width)
        return false;
    for (std::size_t j = b.width; j < fields.size(); ++j) {
        if (!fields[j].text.empty())
            return false;
    }
    bool any = false;
    long double v = 0;
    for (std::size_t j = 0; j < b.width; ++j) {
        if (!b.numeric[j])
            continue;
        const CellStatus s = parseCell(fields[j].text, b.decimal, v);
        if (s == CellStatus::NotNumber || s == CellStatus::NotFinite)
            return false;
        any = any || s == CellStatus::Number;
    }
    return any;
}

EndMark endMarkOf(std::string_view line, Delimiter delimiter)
{
    if (!line.empty() && line.front() == '\x1a')
        return EndMark::CtrlZ;
    const char sep = static_cast<char>(delimiter);
    const auto isPad = [&](char c) { return c == ' ' || c == '\t' || c == sep; };
    while (!line.empty() && isPad(line.back()))
        line.remove_suffix(1);
    while (!line.empty() && isPad(line.front()))
        line.remove_prefix(1);
    if (line.size() == 3 && (line[0] | 0x20) == 'e' && (line[1] | 0x20) == 'n' && (line[2] | 0x20) == 'd')
        return EndMark::End;
    return line.empty() && delimiter != Delimiter::Blanks ? EndMark::Delimiters : EndMark::None;
}

namespace {

// A line of nothing but numbers above the first row is a short or long row
// of the table, not a title: passing over it would lose its values.
void refuseNumbersAbove(const std::vector<SampleLine>& lines, const TableBody& body, const std::string& path)
{
    std::vector<Field> fields;
    for (std::size_t k = 0; k < body.firstRow && k < lines.size(); ++k) {
        splitFields(lines[k].text, body.delimiter, fields);
        std::size_t numbers = 0;
        bool onlyNumbers = true;
        for (const Field& f : fields) {
            long double v = 0;
            const CellStatus status = parseCell(f.text, body.decimal, v);
            if (status == CellStatus::Number)
                ++numbers;
            else if (status != CellStatus::Empty)
                onlyNumbers = false;
        }
        if (onlyNumbers && numbers > 0)
            throw TableFormatError(path, lines[k].number, 0, "",
                                   std::to_string(numbers) + (numbers == 1 ? " number" : " numbers")
                                       + " above the table's first row (line "
                                       + std::to_string(lines[body.firstRow].number) + ", " + std::to_string(body.width)
                                       + " columns): a row of another width");
    }
}

} // namespace

TableBody detectTableBody(const std::vector<SampleLine>& lines, const TableOverrides& overrides,
                          const std::string& path)
{
    const std::vector<Reading> readings = readingsOf(lines, overrides);
    if (readings.empty() || readings.front().rows == 0)
        throw TableFormatError(path, 0, 0, "",
                               "no row of numbers found: none of the first " + std::to_string(lines.size())
                                   + " lines that are not blank holds a number"
                                   + (overrides.delimiter || overrides.decimal ? " as the options given read it" : ""));
    const Reading* chosen = &readings.front();
    if (!overrides.delimiter && !overrides.decimal)
        chosen = settleCommaSplit(readings, lines, path);
    if (chosen->body.decimal == ',' && !overrides.decimal)
        refuseThousands(lines, chosen->body, path);
    TableBody body = chosen->body;
    refuseNumbersAbove(lines, body, path);
    // More misfits than numbers: the table itself may lie further down.
    body.reachesEnd = body.reachesEnd && chosen->score > 0;
    return body;
}

} // namespace tessivo
