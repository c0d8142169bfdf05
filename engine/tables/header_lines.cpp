#include "engine/tables/header_lines.h"

#include "engine/tables/cell_number.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tessivo {
namespace {

// Symbols that loggers write bare on a units line.
bool isUnitSymbol(std::string_view cell)
{
    static constexpr std::array<std::string_view, 52> kSymbols = {"s",
                                                                  "ms",
                                                                  "us",
                                                                  "min",
                                                                  "h",
                                                                  "N",
                                                                  "kN",
                                                                  "MN",
                                                                  "Nm",
                                                                  "N.m",
                                                                  "kNm",
                                                                  "kN.m",
                                                                  "N*m",
                                                                  "kN*m",
                                                                  "N m",
                                                                  "kN m",
                                                                  "N\xC2\xB7m",
                                                                  "kN\xC2\xB7m",
                                                                  "Pa",
                                                                  "kPa",
                                                                  "MPa",
                                                                  "GPa",
                                                                  "bar",
                                                                  "mbar",
                                                                  "psi",
                                                                  "ksi",
                                                                  "m",
                                                                  "mm",
                                                                  "cm",
                                                                  "um",
                                                                  "\xC2\xB5m",
                                                                  "m/s",
                                                                  "m/s^2",
                                                                  "m/s2",
                                                                  "m/s\xC2\xB2",
                                                                  "g",
                                                                  "deg",
                                                                  "\xC2\xB0",
                                                                  "rad",
                                                                  "rad/s",
                                                                  "rpm",
                                                                  "Hz",
                                                                  "V",
                                                                  "mV",
                                                                  "A",
                                                                  "W",
                                                                  "kW",
                                                                  "MW",
                                                                  "%",
                                                                  "-",
                                                                  "\xC2\xB0"
                                                                  "C",
                                                                  "ustrain"};
    return std::find(kSymbols.begin(), kSymbols.end(), cell) != kSymbols.end();
}

bool isUnitCell(std::string_view cell)
{
    if (cell.empty())
        return true;
    const bool bracketed = (cell.front() == '(' && cell.back() == ')') || (cell.front() == '[' && cell.back() == ']');
    return bracketed || isUnitSymbol(cell);
}

bool readsAsUnits(const std::vector<Field>& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const Field& f) { return isUnitCell(f.text); })
           && std::any_of(fields.begin(), fields.end(), [](const Field& f) { return !f.text.empty(); });
}

// A number or a date among the cells: metadata ("Rate;100", "Date;2024-05-03"), not names.
bool holdsNumbersOrDates(const std::vector<Field>& fields, char decimal)
{
    long double v = 0;
    return std::any_of(fields.begin(), fields.end(), [&](const Field& f) {
        return parseCell(f.text, decimal, v) == CellStatus::Number
               || (!f.text.empty() && f.text[0] >= '0' && f.text[0] <= '9');
    });
}

// As many fields as the rows, or more when the extra ones are empty.
bool hasWidth(const std::vector<Field>& fields, std::size_t width)
{
    if (fields.size() < width)
        return false;
    return std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(width), fields.end(),
                       [](const Field& f) { return f.text.empty(); });
}

} // namespace

HeaderLines findHeaderLines(const std::vector<SampleLine>& nonBlank, const TableBody& body)
{
    HeaderLines found;
    const std::size_t first = body.firstRow;
    if (first == 0)
        return found;
    std::vector<Field> fields;
    std::vector<std::size_t> block; // lines of the table's width right above the first row, lowest last
    for (std::size_t i = first; i-- > 0;) {
        // With one column any line could be a name: only the lines right above count then.
        if (body.width == 1 && nonBlank[i].number != nonBlank[i + 1].number - 1)
            break;
        splitFields(nonBlank[i].text, body.delimiter, fields);
        const bool shortUnits =
            i + 1 == first && fields.size() > 1 && fields.size() < body.width && readsAsUnits(fields);
        if (!hasWidth(fields, body.width) && !shortUnits)
            break;
        block.insert(block.begin(), i);
    }
    if (block.empty())
        return found;
    splitFields(nonBlank[block.back()].text, body.delimiter, fields);
    const bool lowestIsUnits = block.size() >= 2 && readsAsUnits(fields);
    if (!lowestIsUnits && !hasWidth(fields, body.width))
        return found; // a short line with no names above it
    if (lowestIsUnits) {
        found.units = nonBlank[block.back()].number;
        block.pop_back();
    }
    splitFields(nonBlank[block.back()].text, body.delimiter, fields);
    found.names = nonBlank[block.back()].number;
    // Two lines of names and no units: the upper is the names and the lower
    // the units, unless the upper holds numbers or dates.
    if (!lowestIsUnits && block.size() >= 2) {
        std::vector<Field> upper;
        splitFields(nonBlank[block[block.size() - 2]].text, body.delimiter, upper);
        if (!holdsNumbersOrDates(upper, body.decimal)) {
            found.units = found.names;
            found.names = nonBlank[block[block.size() - 2]].number;
        }
    }
    return found;
}

void makeNamesUnique(std::vector<TableColumnInfo>& columns)
{
    for (std::size_t j = 1; j < columns.size(); ++j) {
        const std::string base = columns[j].name;
        if (base.empty())
            continue;
        const auto taken = [&](const std::string& name) {
            return std::any_of(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(j),
                               [&](const TableColumnInfo& c) { return c.name == name; });
        };
        for (int n = 2; taken(columns[j].name); ++n)
            columns[j].name = base + " (" + std::to_string(n) + ")";
    }
}

} // namespace tessivo
