#pragma once
// Random well-formed tables with lines that are no rows put in below their
// first row, for the property of the layout detection under noise (the
// table tests and a fuzz target): the table reads as the rows it holds or is
// refused at one of those lines; never as other values.

#include "engine/numbers/decimal_parser.h"
#include "engine/tables/table_error.h"
#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tessivo::noise {

struct Table {
    std::vector<std::string> lines;                // without line ends
    std::vector<std::string> rows;                 // the rows alone, as written
    std::vector<std::vector<long double>> columns; // the values, per column
    std::string sep;
    std::size_t firstRow = 0; // index of the first row in lines
};

inline std::string cellOf(std::mt19937_64& rng, char decimal, long double& value)
{
    std::uniform_int_distribution<int> hundredths(-99999, 99999);
    const int h = hundredths(rng);
    const int cents = std::abs(h) % 100;
    char cell[32];
    std::snprintf(cell, sizeof cell, "%s%d%c%02d", h < 0 ? "-" : "", std::abs(h) / 100, decimal, cents);
    const std::string text = cell;
    std::string point = text;
    std::replace(point.begin(), point.end(), ',', '.');
    parseDecimal(point, value);
    return text;
}

inline Table randomTable(std::mt19937_64& rng)
{
    static const char* const kSeps[] = {",", ";", "\t", "   "};
    Table t;
    const std::size_t kind = rng() % 4;
    t.sep = kSeps[kind];
    const char decimal = kind == 0 || rng() % 2 ? '.' : ',';
    const std::size_t width = 1 + rng() % 5;
    const bool names = width == 1 && decimal == ',' ? true : rng() % 3 != 0;
    const auto join = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t j = 0; j < cells.size(); ++j)
            line += (j ? t.sep : "") + cells[j];
        return line;
    };
    if (rng() % 3 == 0)
        t.lines.push_back("Logger " + std::to_string(rng() % 100) + " export");
    if (names) {
        std::vector<std::string> cells;
        for (std::size_t j = 0; j < width; ++j)
            cells.push_back("ch" + std::to_string(j + 1));
        t.lines.push_back(join(cells));
        if (rng() % 3 == 0) {
            std::vector<std::string> units(width, "[kN]");
            t.lines.push_back(join(units));
        }
    }
    t.firstRow = t.lines.size();
    t.columns.assign(width, {});
    const std::size_t rows = 10 + rng() % 40;
    for (std::size_t r = 0; r < rows; ++r) {
        std::vector<std::string> cells;
        for (std::size_t j = 0; j < width; ++j) {
            long double v = 0;
            cells.push_back(cellOf(rng, decimal, v));
            t.columns[j].push_back(v);
        }
        t.lines.push_back(join(cells));
        t.rows.push_back(t.lines.back());
    }
    return t;
}

// Lines that are no row of the table (a footer comes after a blank line).
inline std::vector<std::string> noiseLines(std::mt19937_64& rng, const Table& t)
{
    const std::string& row = t.rows[rng() % t.rows.size()];
    const std::size_t width = t.columns.size();
    const std::size_t cut = row.find(t.sep);
    const std::string rest = cut == std::string::npos ? std::string() : row.substr(cut);
    switch (rng() % 10) {
    case 0:
        return {"OVL"};
    case 1:
        return {"#NV"};
    case 2:
        return {row + t.sep + "7"};
    case 3:
        return {t.sep == "   " ? "---" : std::string(width, t.sep[0])};
    case 4:
        return {t.firstRow > 0 ? t.lines[t.firstRow - 1] : "names"};
    case 5:
        return {std::string("x").append(rest)};
    case 6:
        return {"END"};
    case 7: // a row a field short
        return {cut == std::string::npos ? std::string("x") : row.substr(0, row.rfind(t.sep))};
    case 8: { // a lone CR inside a row of a file whose lines end in LF
        const std::size_t at = 1 + rng() % (row.size() - 1);
        return {row.substr(0, at) + "\r" + row.substr(at)};
    }
    default:
        return {"", std::string("Max").append(rest)};
    }
}

// A random table with one to three noise lines (or pairs) put in below its
// first row, as the text of a file.
struct NoisyTable {
    std::string text;
    std::vector<std::vector<long double>> columns; // the values the table holds, per column
    std::set<std::int64_t> noiseAt;                // 1-based lines of the noise
};

inline NoisyTable noisyTable(std::mt19937_64& rng)
{
    Table t = randomTable(rng);
    NoisyTable out;
    const std::size_t count = 1 + rng() % 3;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = t.firstRow + 1 + rng() % (t.lines.size() - t.firstRow);
        const std::vector<std::string> noise = noiseLines(rng, t);
        std::set<std::int64_t> moved;
        for (const std::int64_t n : out.noiseAt)
            moved.insert(n > static_cast<std::int64_t>(at) ? n + static_cast<std::int64_t>(noise.size()) : n);
        out.noiseAt = moved;
        t.lines.insert(t.lines.begin() + static_cast<std::ptrdiff_t>(at), noise.begin(), noise.end());
        out.noiseAt.insert(static_cast<std::int64_t>(at + noise.size())); // the last line put in
    }
    // Lines ending in CR alone cannot hold a lone CR: those files end theirs in LF.
    const bool loneCr = std::any_of(t.lines.begin(), t.lines.end(),
                                    [](const std::string& l) { return l.find('\r') != std::string::npos; });
    static const char* const kEnds[] = {"\n", "\r\n", "\r"};
    const std::string eol = loneCr ? "\n" : kEnds[rng() % 3];
    for (const std::string& line : t.lines)
        out.text += line + eol;
    out.columns = std::move(t.columns);
    return out;
}

// What the detection and the reader made of the file at `path`.
struct NoiseOutcome {
    bool refused = false;
    std::int64_t refusedLine = 0;
    std::string message;
    std::vector<std::vector<long double>> read; // every column, when not refused
};

inline NoiseOutcome readNoisyTable(const std::string& path)
{
    NoiseOutcome out;
    try {
        const TableLayout layout = detectTableLayout(path);
        std::vector<std::size_t> all(layout.columns.size());
        for (std::size_t j = 0; j < all.size(); ++j)
            all[j] = j;
        TableReader reader(path, layout, all, false);
        std::vector<std::vector<long double>> block;
        out.read.assign(all.size(), {});
        while (reader.readBlock(block, 7) > 0) {
            for (std::size_t j = 0; j < all.size(); ++j)
                out.read[j].insert(out.read[j].end(), block[j].begin(), block[j].end());
        }
    } catch (const TableFormatError& e) {
        out.refused = true;
        out.refusedLine = e.line();
        out.message = e.what();
    }
    return out;
}

// The property: the values the table holds, or a refusal at a noise line.
inline bool keepsTheProperty(const NoisyTable& table, const NoiseOutcome& outcome)
{
    return outcome.refused ? table.noiseAt.count(outcome.refusedLine) > 0 : outcome.read == table.columns;
}

} // namespace tessivo::noise
