// The reader: every error with its place, skipped empty cells, and a property
// over generated tables that a column reads back exactly as written.

#include "engine/tables/table_error.h"
#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"

#include "engine/numbers/decimal_parser.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace tessivo {
namespace {

std::vector<long double> readColumn(const std::string& path, std::size_t column, bool skipEmpty = false,
                                    const TableOverrides& o = {})
{
    TableColumnSource source(path, detectTableLayout(path, o), column, skipEmpty);
    std::vector<long double> values;
    long double block[5];
    while (const std::size_t n = source.nextBlock(block, 5))
        values.insert(values.end(), block, block + n);
    return values;
}

void writeGzip(const std::string& path, const std::string& content)
{
    gzFile gz = gzopen(path.c_str(), "wb");
    ASSERT_NE(gz, nullptr);
    ASSERT_EQ(gzwrite(gz, content.data(), static_cast<unsigned>(content.size())), static_cast<int>(content.size()));
    gzclose(gz);
}

TEST(TableReader, NamesTheLineAndColumnOfEachFault)
{
    struct Case {
        std::string content;
        std::size_t column;
        std::string message; // after the file name
    };
    const std::vector<Case> cases = {
        {"a,b\n1,2\n3\n", 0, ": line 3, column 2: 1 field where the table has 2"},
        {"a,b\n1,2\n3,x\n", 1, ": line 3, column 2 (b): \"x\" is not a number"},
        {"a,b\n1,2\n3,\n", 1, ": line 3, column 2 (b): an empty cell"},
        {"a;b\n1;2\n3;NaN\n", 1, ": line 3, column 2 (b): \"NaN\" is not a finite number"},
        {"a;b\n1;2\n3;-inf\n", 1, ": line 3, column 2 (b): \"-inf\" is not a finite number"},
        {"a;b\n1;2,5\n2;-0,5\n3;1.000,5\n4;0,25\n", 1, ": line 4, column 2 (b): \"1.000,5\" is not a number"},
        {"a,b\n1,2\n3,1e99999\n", 1, ": line 3, column 2 (b): \"1e99999\" is not a number"},
        {std::string("a,b\n1,2\n3,4\n\0\0\0", 15), 1, ": line 4: a binary file, not a table of text"},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.write("t.csv", c.content);
        try {
            readColumn(path, c.column);
            ADD_FAILURE() << "no error for " << c.content;
        } catch (const TableFormatError& e) {
            EXPECT_EQ(std::string(e.what()), path + c.message);
        }
    }
    // A text column that is never chosen does no harm.
    EXPECT_EQ(readColumn(dir.write("t.csv", "when,F\nnoon,1\nnight,2\n"), 1), (std::vector<long double>{1, 2}));
}

TEST(TableReader, SkipsEmptyCellsOnlyWhenAskedAndCountsThem)
{
    test::TempDir dir;
    const std::string path = dir.write("t.csv", "a,b\n1,\n,2\n3,\n4,5\n");
    const TableLayout layout = detectTableLayout(path);
    const auto stats = scanTableColumns(path, layout, {0, 1}, true);
    EXPECT_EQ(stats[0].points, 3);
    EXPECT_EQ(stats[0].skippedEmpty, 1);
    EXPECT_EQ(stats[1].points, 2);
    EXPECT_EQ(stats[1].skippedEmpty, 2);
    EXPECT_EQ(stats[1].highest, 5);
    EXPECT_EQ(stats[1].lowest, 2);
    EXPECT_EQ(readColumn(path, 1, true), (std::vector<long double>{2, 5}));
    EXPECT_THROW(readColumn(path, 1, false), TableFormatError);
}

// The model: what a plain sequence file with the same text would give.
long double asWritten(std::string text, char decimal)
{
    for (char& c : text)
        c = c == decimal ? '.' : c;
    long double v = 0;
    EXPECT_TRUE(parseDecimal(text, v)) << text;
    return v;
}

std::string numberText(std::mt19937_64& rng, char decimal)
{
    std::uniform_int_distribution<int> form(0, 5);
    const long long m = std::uniform_int_distribution<long long>(-99999999999LL, 99999999999LL)(rng);
    std::string digits = std::to_string(m < 0 ? -m : m);
    std::string text = m < 0 ? "-" : (form(rng) == 0 ? "+" : "");
    const int point = std::uniform_int_distribution<int>(0, static_cast<int>(digits.size()))(rng);
    switch (form(rng)) {
    case 0:
        text += digits;
        break;
    case 1:
        text += digits.substr(0, digits.size() - point) + decimal + digits.substr(digits.size() - point);
        break;
    case 2:
        text += digits.substr(0, 1) + decimal + digits.substr(1) + "E" + std::to_string(form(rng) * 7 - 20);
        break;
    case 3:
        text += "0" + std::string(1, decimal) + "000" + digits + "e-" + std::to_string(form(rng) * 900);
        break;
    case 4:
        text += digits + std::string(25, '7') + decimal + "5";
        break; // beyond 19 digits
    default:
        text += digits + "e+" + std::to_string(form(rng) * 50);
        break;
    }
    return text;
}

TEST(TableReader, GeneratedTablesReadBackExactlyAsWritten)
{
    test::TempDir dir;
    std::mt19937_64 rng(20260512);
    const Delimiter delimiters[] = {Delimiter::Comma, Delimiter::Semicolon, Delimiter::Tab, Delimiter::Blanks};
    int tables = 0;
    for (const Delimiter d : delimiters) {
        for (const char decimal : {'.', ','}) {
            if (d == Delimiter::Comma && decimal == ',')
                continue;                                       // a comma cannot be both
            for (int heading = 0; heading < 3; ++heading) {     // none, names, names and units
                for (int flavour = 0; flavour < 8; ++flavour) { // bit 0 quotes, 1 CR LF, 2 BOM; gzip on odd tables
                    const bool quotes = (flavour & 1) != 0 && d != Delimiter::Blanks;
                    const std::string eol = (flavour & 2) != 0 ? "\r\n" : "\n";
                    const std::size_t columns = 1 + rng() % 4;
                    const std::size_t rows = 1 + rng() % 40;
                    const std::string sep = d == Delimiter::Blanks ? "   " : std::string(1, static_cast<char>(d));
                    std::string text = (flavour & 4) != 0 ? "\xEF\xBB\xBF" : "";
                    const auto line = [&](auto cell) {
                        for (std::size_t j = 0; j < columns; ++j)
                            text += (j ? sep : "") + cell(j);
                        text += eol;
                    };
                    if (heading >= 1)
                        line([&](std::size_t j) {
                            return quotes ? "\"ch " + sep + std::to_string(j) + "\"" : "ch" + std::to_string(j);
                        });
                    if (heading == 2)
                        line([&](std::size_t) { return std::string("(kN)"); });
                    std::vector<std::vector<long double>> expected(columns);
                    for (std::size_t r = 0; r < rows; ++r) {
                        line([&](std::size_t j) {
                            const std::string cell = numberText(rng, decimal);
                            expected[j].push_back(asWritten(cell, decimal));
                            return quotes && r % 2 == 0 ? "\"" + cell + "\"" : cell;
                        });
                    }
                    const bool gz = ++tables % 2 == 1;
                    const std::string path = dir.file(gz ? "t.csv.gz" : "t.csv");
                    if (gz)
                        writeGzip(path, text);
                    else
                        dir.write("t.csv", text);
                    // Tiny tables are ambiguous; the user states what detection cannot know.
                    TableOverrides o;
                    o.delimiter = d;
                    o.decimal = decimal;
                    const bool ambiguous = rows < 3 || (columns == 1 && decimal == ',');
                    const TableOverrides given = ambiguous ? o : TableOverrides{};
                    const TableLayout layout = detectTableLayout(path, given);
                    ASSERT_EQ(layout.columns.size(), columns) << text;
                    EXPECT_EQ(layout.headerLine, heading >= 1 ? 1 : 0) << text;
                    EXPECT_EQ(layout.unitsLine, heading == 2 ? 2 : 0) << text;
                    EXPECT_EQ(layout.compressed, gz);
                    for (std::size_t j = 0; j < columns; ++j)
                        EXPECT_EQ(readColumn(path, j, false, given), expected[j]) << text;
                }
            }
        }
    }
}

TEST(TableReader, RefusesDamagedCompressedData)
{
    test::TempDir dir;
    std::string rows = "a,b\n";
    for (int i = 0; i < 20000; ++i)
        rows += std::to_string(i) + "," + std::to_string(i % 7) + "\n";
    const std::string path = dir.file("t.csv.gz");
    writeGzip(path, rows);
    EXPECT_EQ(readColumn(path, 1).size(), 20000u);
    const std::string whole = test::readAll(path);
    dir.write("t.csv.gz", whole.substr(0, whole.size() / 2));
    try {
        readColumn(path, 1);
        ADD_FAILURE() << "a cut gzip file was read";
    } catch (const TableFormatError& e) {
        // The file by its name, not zlib's name of a descriptor.
        EXPECT_EQ(std::string(e.what()), path + ": the compressed data is damaged (unexpected end of file)");
    }
}

TEST(TableReader, ReadsTheOpenFastExample)
{
    const std::string path = std::string(TESSIVO_SHARED_EXAMPLES) + "/nrel5mw_dlc2.3_loads.out";
    const TableLayout layout = detectTableLayout(path);
    EXPECT_EQ(layout.delimiter, Delimiter::Tab);
    EXPECT_TRUE(layout.crlf);
    EXPECT_EQ(layout.headerLine, 7);
    EXPECT_EQ(layout.unitsLine, 8);
    EXPECT_EQ(layout.columns[0].name, "Time");
    const auto stats = scanTableColumns(path, layout, {0}, false);
    EXPECT_EQ(stats[0].points, 1201);
    EXPECT_TRUE(stats[0].strictlyIncreasing);
    EXPECT_EQ(stats[0].lowest, 30);
    EXPECT_EQ(stats[0].highest, 90);
}

} // namespace
} // namespace tessivo
