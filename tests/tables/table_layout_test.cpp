// Detection of delimiter, decimal separator, names, units and the first row,
// each from a small file, and the overrides.

#include "engine/tables/column_choice.h"
#include "engine/tables/table_error.h"
#include "engine/tables/table_layout.h"

#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

namespace tessivo {
namespace {

struct LayoutCase {
    const char* what;
    std::string content;
    Delimiter delimiter;
    char decimal;
    std::int64_t header;
    std::int64_t units;
    std::int64_t firstData;
    std::size_t columns;
    std::string firstName;
};

TEST(TableLayout, DetectsEachFeatureFromASmallFile)
{
    const std::vector<LayoutCase> cases = {
        {"comma, names", "t,force\n0,1.5\n1,2.5\n", Delimiter::Comma, '.', 1, 0, 2, 2, "t"},
        {"semicolon, decimal comma", "t;F\n0;1,5\n1;-2,25\n", Delimiter::Semicolon, ',', 1, 0, 2, 2, "t"},
        {"semicolon, decimal point", "0;1.5\n1;2\n", Delimiter::Semicolon, '.', 0, 0, 1, 2, ""},
        {"tab, names and units", "time\tF\n(s)\t(kN)\n0\t1\n1\t2\n", Delimiter::Tab, '.', 1, 2, 3, 2, "time"},
        {"runs of blanks", "  a   b\n  1   2\n  3   4\n", Delimiter::Blanks, '.', 1, 0, 2, 2, "a"},
        {"CR LF and a byte-order mark", "\xEF\xBB\xBFx,y\r\n1,2\r\n3,4\r\n", Delimiter::Comma, '.', 1, 0, 2, 2, "x"},
        {"quoted names with delimiters", "\"a,1\",\"say \"\"hi\"\"\"\n1,2\n", Delimiter::Comma, '.', 1, 0, 2, 2, "a,1"},
        {"preamble above the names", "Logger 7\n\nrun of 3 May\n\na;b\n1;2\n", Delimiter::Semicolon, '.', 5, 0, 6, 2,
         "a"},
        {"one column with a name", "stress_max\r\n64.00000\r\n22.00000\r\n", Delimiter::Comma, '.', 1, 0, 2, 1,
         "stress_max"},
        {"a column of text", "when,F\nmorning,1\nnoon,2\n", Delimiter::Comma, '.', 1, 0, 2, 2, "when"},
        {"blank lines and an empty cell", "a,b\n\n1,\n\n3,4\n", Delimiter::Comma, '.', 1, 0, 3, 2, "a"},
    };
    test::TempDir dir;
    for (const LayoutCase& c : cases) {
        const TableLayout layout = detectTableLayout(dir.write("t.txt", c.content));
        EXPECT_EQ(layout.delimiter, c.delimiter) << c.what;
        EXPECT_EQ(layout.decimal, c.decimal) << c.what;
        EXPECT_EQ(layout.headerLine, c.header) << c.what;
        EXPECT_EQ(layout.unitsLine, c.units) << c.what;
        EXPECT_EQ(layout.firstDataLine, c.firstData) << c.what;
        ASSERT_EQ(layout.columns.size(), c.columns) << c.what;
        EXPECT_EQ(layout.columns[0].name, c.firstName) << c.what;
    }
}

TEST(TableLayout, KeepsUnitsAndMarksTextColumns)
{
    test::TempDir dir;
    // Latin-1 middle dot in the unit, as loggers write it.
    const TableLayout layout = detectTableLayout(dir.write("t.txt", "when\tM\n-\t(kN\xB7m)\nnoon\t2.5\nnight\t-1\n"));
    EXPECT_EQ(layout.columns[1].unit, "(kN\xC2\xB7m)");
    EXPECT_EQ(columnHeading(layout, 1), "M (kN\xC2\xB7m)");
    EXPECT_FALSE(layout.columns[0].numeric);
    EXPECT_TRUE(layout.columns[1].numeric);
    EXPECT_EQ(numericColumns(layout, false), (std::vector<std::size_t>{1}));
}

TEST(TableLayout, OverridesWinOverTheDetection)
{
    test::TempDir dir;
    const std::string path = dir.write("t.txt", "1,5;2,5\n3,5;4,5\n");
    TableOverrides o;
    o.delimiter = Delimiter::Comma;
    o.decimal = '.';
    TableLayout layout = detectTableLayout(path, o);
    EXPECT_EQ(layout.delimiter, Delimiter::Comma);
    EXPECT_EQ(layout.decimal, '.');
    ASSERT_EQ(layout.columns.size(), 3u);
    EXPECT_FALSE(layout.columns[1].numeric); // "5;2" is no number

    const std::string named = dir.write("n.txt", "a;b\nx;y\n1;2\n");
    TableOverrides header;
    header.headerLine = 2;
    layout = detectTableLayout(named, header);
    EXPECT_EQ(layout.columns[0].name, "x");
    EXPECT_EQ(layout.unitsLine, 0);
    EXPECT_EQ(layout.firstDataLine, 3);

    o = TableOverrides{};
    o.decimal = ',';
    o.delimiter = Delimiter::Comma;
    EXPECT_THROW(detectTableLayout(path, o), TableFormatError);
}

TEST(TableLayout, RefusesWhatIsNoTable)
{
    test::TempDir dir;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ": no row of numbers found: the file is empty"},
        {"\n  \n", ": no row of numbers found: every line is blank"},
        {"name\nother\n", ": no row of numbers found: none of the first 2 lines that are not blank holds a number"},
        {std::string("1,2\n3,\0"
                     "4\n",
                     9),
         ": line 2: a binary file, not a table of text"},
        // "F;G\n1;2\n" in UTF-16 without the byte-order mark that tells it, both byte orders.
        {std::string("F\0;\0G\0\n\0"
                     "1\0;\0"
                     "2\0\n\0",
                     16),
         ": UTF-16 text without a byte-order mark: save it as UTF-8, or as UTF-16 with its byte-order mark, and "
         "read it again"},
        {std::string("\0F\0;\0G\0\n\0"
                     "1\0;\0"
                     "2\0\n",
                     16),
         ": UTF-16 text without a byte-order mark: save it as UTF-8, or as UTF-16 with its byte-order mark, and "
         "read it again"},
    };
    for (const auto& [content, message] : cases) {
        const std::string path = dir.write("t.txt", content);
        try {
            detectTableLayout(path);
            ADD_FAILURE() << "no error for " << content;
        } catch (const TableFormatError& e) {
            EXPECT_EQ(std::string(e.what()), path + message);
        }
    }
}

TEST(TableLayout, ReadsUtf16AsUtf8WithItsPairsAndMarksLoneHalves)
{
    // "F\U0001F600;M\xD800\n1;2\n3;4\n" in UTF-16, both byte orders.
    const std::vector<std::uint16_t> units = {'F', 0xD83D, 0xDE00, ';', 'M', 0xD800, '\n', '1',
                                              ';', '2',    '\n',   '3', ';', '4',    '\n'};
    test::TempDir dir;
    for (const bool big : {false, true}) {
        std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (const std::uint16_t u : units) {
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            bytes += big ? std::string{hi, lo} : std::string{lo, hi};
        }
        const TableLayout layout = detectTableLayout(dir.write("t.csv", bytes));
        EXPECT_TRUE(layout.utf16);
        ASSERT_EQ(layout.columns.size(), 2u);
        EXPECT_EQ(layout.columns[0].name, "F\xF0\x9F\x98\x80");
        EXPECT_EQ(layout.columns[1].name, "M\xEF\xBF\xBD");
        EXPECT_EQ(layout.firstDataLine, 2);
    }
}

TEST(TableLayout, ChoosesColumnsByNameOrNumberOnce)
{
    test::TempDir dir;
    const std::string path = dir.write("t.txt", "Time,Fx,fy,3\n0,1,2,3\n");
    const TableLayout layout = detectTableLayout(path);
    EXPECT_EQ(chooseColumns(layout, {"Fx", "2", "FY", "fy", "3", "4"}, path), (std::vector<std::size_t>{1, 2, 3}));
    try {
        chooseColumns(layout, {"Fz"}, "t.txt");
        ADD_FAILURE();
    } catch (const TableFormatError& e) {
        EXPECT_STREQ(e.what(), "t.txt: no column \"Fz\"; the columns are: Time, Fx, fy, 3");
    }
    EXPECT_THROW(chooseColumns(layout, {"5"}, path), TableFormatError);
}

} // namespace
} // namespace tessivo
