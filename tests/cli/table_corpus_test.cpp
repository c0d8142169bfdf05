// The table corpus through tessivo-count: each column counts exactly as the
// plain sequence file of its values, each refusal names its line and column;
// and what the command line says about a table beyond the count.

#include "cli_runner.h"
#include "tests/engine/test_support.h"
#include "tests/tables/corpus_manifest.h"

#include <gtest/gtest.h>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

struct Box {
    TempDir cwd;
    TempDir capture;
    CliRun run(const std::vector<std::string>& args) const
    {
        return tessivo::test::runCli(args, cwd.str(), capture.str());
    }
};

std::vector<std::string> argsFor(const tessivo::test::CorpusEntry& entry)
{
    std::vector<std::string> args = {"--column", entry.column, "--format", "csv"};
    for (const std::string& word : tessivo::test::optionWords(entry.options))
        args.push_back(word);
    args.push_back(tessivo::test::corpusPath(entry.table));
    return args;
}

TEST(TableCorpusCli, EveryColumnCountsAsItsSequenceFileOrIsRefusedAtItsPlace)
{
    Box box;
    for (const tessivo::test::CorpusEntry& entry : tessivo::test::readCorpusManifest()) {
        SCOPED_TRACE(entry.table + " --column '" + entry.column + "' " + entry.options);
        const CliRun table = box.run(argsFor(entry));
        if (entry.refuses) {
            EXPECT_EQ(table.status, 2) << table.err;
            const std::string place = entry.line > 0 ? ": line " + std::to_string(entry.line) : "";
            EXPECT_NE(table.err.find(entry.table + (place.empty() ? ": " : place)), std::string::npos) << table.err;
            if (entry.refusedColumn > 0) {
                EXPECT_NE(table.err.find(place + ", column " + std::to_string(entry.refusedColumn)), std::string::npos)
                    << table.err;
            }
            continue;
        }
        const CliRun plain = box.run({"--format", "csv", tessivo::test::corpusPath(entry.expected)});
        ASSERT_EQ(table.status, 0) << table.err;
        ASSERT_EQ(plain.status, 0) << plain.err;
        const std::vector<std::string> counted = tessivo::test::splitOn(table.out, '\n');
        const std::vector<std::string> expected = tessivo::test::splitOn(plain.out, '\n');
        ASSERT_EQ(counted.size(), expected.size());
        for (std::size_t i = 0; i < counted.size(); ++i) {
            const std::string& rest = expected[i];
            ASSERT_GE(counted[i].size(), rest.size());
            EXPECT_EQ(counted[i].substr(counted[i].size() - rest.size()), rest) << "line " << i + 1;
        }
    }
}

TEST(TableCorpusCli, ConstantChannelsAndFootersAreToldNotCounted)
{
    Box box;
    const std::string t = box.cwd.write("t.csv", "t;F;Offset;M\n0;1;5;2\n1;-1;5;3\n2;2;5;-1\n3;0;5;1\n\nMax;2;5;3\n");
    const CliRun all = box.run({"--all-columns", "--format", "json", t});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.err, "tessivo-count: " + t
                           + ": 4 rows read; the table ends at a footer from line 7\n"
                             "tessivo-count: "
                           + t + ": Offset: every value is 5.000: there are no cycles to count; passed over\n");
    EXPECT_NE(all.out.find("\"channel\": \"M\""), std::string::npos);
    EXPECT_EQ(all.out.find("\"channel\": \"Offset\""), std::string::npos);
    EXPECT_NE(all.out.find("\"rowsRead\": 4,"), std::string::npos);
    EXPECT_NE(all.out.find("\"layout\": {\"delimiter\": \"semicolon\", \"decimal\": \".\", \"namesLine\": 1"),
              std::string::npos);

    const CliRun one = box.run({"--column", "Offset", t});
    EXPECT_EQ(one.status, 2);
    EXPECT_NE(one.err.find("Offset: every value is 5.000: there are no cycles to count\n"), std::string::npos)
        << one.err;
    EXPECT_EQ(one.err.find("Filter size"), std::string::npos);
}

TEST(TableCorpusCli, ShowsTheLayoutAndCountsNothing)
{
    Box box;
    const std::string t =
        box.cwd.write("t.csv", "Logger 7\nZeit;Kraft;Kraft;Status\ns;kN;kN\n0;1,5;2;OK\n1;-2,5;3;OK\n");
    const CliRun r = box.run({"--show-layout", t});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, t
                         + "\n"
                           "  delimiter:          semicolon\n"
                           "  decimal separator:  comma\n"
                           "  encoding:           UTF-8 or Latin-1\n"
                           "  line ends:          LF\n"
                           "  names:              line 2\n"
                           "  units:              line 3\n"
                           "  first row:          line 4\n"
                           "  columns:            4\n"
                           "  1. Zeit s: numbers\n"
                           "  2. Kraft kN: numbers\n"
                           "  3. Kraft (2) kN: numbers\n"
                           "  4. Status: text\n");
    const CliRun bad = box.run({"--show-layout", "--column", "1", t});
    EXPECT_EQ(bad.status, 1);
    // The delimiter and the decimal separator chosen are shown as they read the table.
    const CliRun point = box.run({"--show-layout", "--decimal-point", t});
    EXPECT_EQ(point.status, 0) << point.err;
    EXPECT_NE(point.out.find("  decimal separator:  point\n"), std::string::npos) << point.out;
    EXPECT_NE(point.out.find("  2. Kraft kN: text\n"), std::string::npos) << point.out;
    const CliRun comma = box.run({"--show-layout", "--delimiter", "comma", "--decimal-point", t});
    EXPECT_EQ(comma.status, 2) << comma.out;
    EXPECT_NE(comma.err.find("no row of numbers found"), std::string::npos) << comma.err;
    EXPECT_EQ(box.run({"--show-layout", "--skip-empty", t}).status, 1);
}

// A recording split over several files: the later ones without names take
// the first one's columns by number.
TEST(TableCorpusCli, LaterFilesWithoutNamesContinueTheFirst)
{
    Box box;
    const std::string first = box.cwd.write("a.csv", "t;F\n0;1\n1;3\n2;-2\n");
    const std::string later = box.cwd.write("b.csv", "3;4\n4;-1\n5;2\n");
    const std::string plain = box.cwd.write("ab.txt", "1 3 -2 4 -1 2\n");
    const CliRun joined = box.run({"--column", "F", "--format", "csv", first, later});
    const CliRun whole = box.run({"--format", "csv", plain});
    ASSERT_EQ(joined.status, 0) << joined.err;
    std::string expected;
    for (const std::string& line : tessivo::test::splitOn(whole.out.substr(whole.out.find('\n') + 1), '\n'))
        expected += "F," + line + "\n";
    EXPECT_EQ(joined.out.substr(joined.out.find('\n') + 1), expected);
}

// How a later file finds the first file's column: by its name (a name of
// digits too, which as a number would be another column), by number when the
// later file has no names and as many columns, else refused naming the file.
TEST(TableCorpusCli, LaterFilesFindTheFirstFilesColumns)
{
    Box box;
    struct Case {
        const char* what;
        std::string first;
        std::string later;
        std::string column;
        std::string values; // joined in order; empty: the later file is refused
    };
    const std::vector<Case> cases = {
        {"names in another order", "t;F;M\n0;1;9\n1;3;8\n", "t;M;F\n2;7;-2\n3;6;4\n", "F", "1 3 -2 4"},
        {"names of digits", "t;2;1\n0;1;9\n1;3;8\n", "t;1;2\n2;7;-2\n3;6;4\n", "name:2", "1 3 -2 4"},
        {"no names, as many columns", "t;F;M\n0;1;9\n1;3;8\n", "2;-2;7\n3;4;6\n", "M", "9 8 7 6"},
        {"no names, fewer columns", "t;F;M\n0;1;9\n1;3;8\n", "2;-2\n3;4\n", "M", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string first = box.cwd.write("a.csv", c.first);
        const std::string later = box.cwd.write("b.csv", c.later);
        const CliRun joined = box.run({"--column", c.column, "--format", "csv", first, later});
        if (c.values.empty()) {
            EXPECT_EQ(joined.status, 2);
            EXPECT_EQ(joined.err.rfind("tessivo-count: " + later + ": ", 0), 0u) << joined.err;
            EXPECT_EQ(joined.out, "");
            continue;
        }
        ASSERT_EQ(joined.status, 0) << joined.err;
        const CliRun whole = box.run({"--format", "csv", box.cwd.write("ab.txt", c.values + "\n")});
        ASSERT_EQ(whole.status, 0) << whole.err;
        const std::string body = joined.out.substr(joined.out.find('\n') + 1);
        const std::string channel = body.substr(0, body.find(',') + 1); // as the first file names it
        std::string expected;
        for (const std::string& line : tessivo::test::splitOn(whole.out.substr(whole.out.find('\n') + 1), '\n'))
            expected += channel + line + "\n";
        EXPECT_EQ(body, expected);
    }
}

// A channel of one value in every file has no cycles: passed over where every
// column was asked for, refused where it was named, and one value in one file
// and another in the next is no such channel.
TEST(TableCorpusCli, ChannelsOfOneValuePassedOverOrRefused)
{
    Box box;
    const std::string t = box.cwd.write("t.csv", "t;A;B\n0;5;-1\n1;5;-1\n2;5;-1\n");
    const std::string u = box.cwd.write("u.csv", "t;A;B\n3;6;-1\n4;6;-1\n");
    const std::string one = "every value is 5.000: there are no cycles to count";
    const std::string minusOne = "every value is -1.000: there are no cycles to count";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
        std::string outStart; // empty: nothing written
    };
    const std::vector<Case> cases = {
        {{"--all-columns", t},
         2,
         "tessivo-count: " + t + ": A: " + one + "; passed over\n" + "tessivo-count: " + t + ": B: " + minusOne
             + "; passed over\n" + "tessivo-count: " + t
             + ": no column of loads to count: every column of numbers is time or holds one value throughout\n",
         ""},
        {{"--column", "B", "--column", "A", t}, 2, "tessivo-count: " + t + ": B: " + minusOne + "\n", ""},
        {{"--all-columns", "--format", "cycles", t, u},
         0,
         "tessivo-count: " + t + ": B: " + minusOne + "; passed over\n",
         "channel,range,upper,lower,count,start,end"},
        {{"--column", "A", "--format", "csv", t, u}, 0, "", "channel,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        const CliRun r = box.run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        if (c.outStart.empty())
            EXPECT_EQ(r.out, "");
        else
            EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
        EXPECT_EQ(r.out.find("\nB,"), std::string::npos);
    }
}

} // namespace
