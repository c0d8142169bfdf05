// tessivo-count on columns of tables: a column counts exactly as a plain
// sequence file of the same values, in every output format; what is rejected.

#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <tuple>
#include <sstream>

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

std::vector<std::string> walk(std::mt19937_64& rng, std::size_t n)
{
    return tessivo::test::randomWalkText(rng, n);
}

std::string commas(std::string s)
{
    for (char& c : s)
        c = c == '.' ? ',' : c;
    return s;
}

std::string joined(const std::vector<std::string>& values)
{
    std::string text;
    for (const auto& v : values)
        text += v + "\n";
    return text;
}

// A semicolon table with decimal commas: time, force F, moment M, with units.
std::string table(const std::vector<std::string>& f, const std::vector<std::string>& m)
{
    std::string text = "\xEF\xBB\xBFtime;F;M\r\n(s);(kN);(kN m)\r\n";
    for (std::size_t i = 0; i < f.size(); ++i)
        text += std::to_string(i) + ",5;" + commas(f[i]) + ";" + commas(m[i]) + "\r\n";
    return text;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST(ColumnCount, ColumnCountsEqualPlainFileCounts)
{
    Box box;
    std::mt19937_64 rng(7);
    const auto f1 = walk(rng, 700), m1 = walk(rng, 700), f2 = walk(rng, 300), m2 = walk(rng, 300);
    const std::string t1 = box.cwd.write("a.csv", table(f1, m1));
    const std::string t2 = box.cwd.write("b.csv", table(f2, m2));
    const std::string p1 = box.cwd.write("f1.txt", joined(f1));
    const std::string p2 = box.cwd.write("f2.txt", joined(f2));
    const std::vector<std::vector<std::string>> parameterSets = {
        {},
        {"--filter", "3.5", "--normalize"},
        {"--load-bins", "--bin-count", "64", "--residue", "upward"},
    };
    for (const auto& parameters : parameterSets) {
        for (const std::string format : {"report", "csv", "json"}) {
            std::vector<std::string> common = parameters;
            common.insert(common.end(), {"--format", format});
            auto plainArgs = common;
            plainArgs.insert(plainArgs.end(), {"--repetitions", "2", p1, "--scale", "1.5", p2});
            auto tableArgs = common;
            tableArgs.insert(tableArgs.end(), {"--column", "F", "--repetitions", "2", t1, "--scale", "1.5", t2});
            const CliRun plain = box.run(plainArgs);
            const CliRun column = box.run(tableArgs);
            ASSERT_EQ(plain.status, 0) << plain.err;
            ASSERT_EQ(column.status, 0) << column.err;
            if (format == "report") {
                EXPECT_EQ(column.out, "F (kN)\n\n" + plain.out);
            } else if (format == "csv") {
                const auto p = lines(plain.out);
                const auto c = lines(column.out);
                ASSERT_EQ(c.size(), p.size());
                EXPECT_EQ(c[0], "channel," + p[0]);
                for (std::size_t i = 1; i < p.size(); ++i)
                    EXPECT_EQ(c[i], "F," + p[i]);
            } else {
                const auto p = lines(plain.out);
                EXPECT_NE(column.out.find("\"channel\": \"F\""), std::string::npos);
                for (std::size_t i = 1; i + 1 < p.size(); ++i)
                    EXPECT_NE(column.out.find("    " + p[i] + "\n"), std::string::npos) << p[i];
            }
        }
    }
}

// The listing of each column adds up to its table of cycles, and each
// cycle's positions in the column's joined sequence hold its two loads and
// the times of their rows.
TEST(ColumnCount, CycleListingAddsUpToEachColumnsTable)
{
    Box box;
    std::mt19937_64 rng(5);
    const auto f1 = walk(rng, 500), m1 = walk(rng, 500), f2 = walk(rng, 200), m2 = walk(rng, 200);
    const std::string t1 = box.cwd.write("a.csv", table(f1, m1));
    const std::string t2 = box.cwd.write("b.csv", table(f2, m2));
    std::map<std::string, std::vector<long double>> joinedLoads;
    for (const auto& [name, first, second] : {std::tuple{"F", &f1, &f2}, std::tuple{"M", &m1, &m2}}) {
        auto& loads = joinedLoads[name];
        for (int r = 0; r < 2; ++r)
            for (const std::string& v : *first)
                loads.push_back(std::strtold(v.c_str(), nullptr));
        for (const std::string& v : *second)
            loads.push_back(std::strtold(v.c_str(), nullptr));
    }
    for (const std::vector<std::string>& parameters :
         {std::vector<std::string>{"--filter", "2"}, {"--residue", "upward"}}) {
        std::vector<std::string> args = parameters;
        args.insert(args.end(), {"--column", "M", "--column", "F", "--repetitions", "2", t1, t2, "--format", "cycles"});
        const CliRun listing = box.run(args);
        ASSERT_EQ(listing.status, 0) << listing.err;
        args.back() = "csv";
        const CliRun csv = box.run(args);
        ASSERT_EQ(csv.status, 0) << csv.err;

        using Key = std::tuple<std::string, long double, long double>; // channel, upper, lower
        std::map<Key, long double> listed, counted;
        const auto rows = lines(listing.out);
        ASSERT_EQ(rows.at(0), "channel,range,upper,lower,count,start,end,start_time,end_time");
        // The table's time of row i is i + 0.5; the first file comes twice.
        const auto timeAt = [](long long p) { return (p < 1000 ? p % 500 : p - 1000) + 0.5L; };
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const std::string channel = rows[i].substr(0, rows[i].find(','));
            long double range, upper, lower, count, startTime, endTime;
            long long start, end;
            ASSERT_EQ(std::sscanf(rows[i].c_str() + channel.size() + 1, "%Lg,%Lg,%Lg,%Lg,%lld,%lld,%Lg,%Lg", &range,
                                  &upper, &lower, &count, &start, &end, &startTime, &endTime),
                      8)
                << rows[i];
            EXPECT_EQ(startTime, timeAt(start)) << rows[i];
            EXPECT_EQ(endTime, timeAt(end)) << rows[i];
            const auto& loads = joinedLoads.at(channel);
            ASSERT_LT(std::max(start, end), static_cast<long long>(loads.size())) << rows[i];
            EXPECT_EQ(std::max(loads[start], loads[end]), upper) << rows[i];
            EXPECT_EQ(std::min(loads[start], loads[end]), lower) << rows[i];
            listed[{channel, upper, lower}] += count;
        }
        EXPECT_LT(listing.out.find("\nM,"), listing.out.find("\nF,")); // in the order chosen
        const auto table = lines(csv.out);
        for (std::size_t i = 1; i < table.size(); ++i) {
            const std::string channel = table[i].substr(0, table[i].find(','));
            long double range, upper, lower, count;
            ASSERT_EQ(
                std::sscanf(table[i].c_str() + channel.size() + 1, "%Lg,%Lg,%Lg,%Lg", &range, &upper, &lower, &count),
                4);
            counted[{channel, upper, lower}] += count;
        }
        EXPECT_EQ(listed, counted);
    }
}

TEST(ColumnCount, AllColumnsLeaveOutRisingTimeAndKeepTheOrderChosen)
{
    Box box;
    std::mt19937_64 rng(11);
    const auto f = walk(rng, 41000), m = walk(rng, 41000); // beyond 40000: the matrix notice
    const std::string t = box.cwd.write("t.csv", table(f, m));
    const std::string pm = box.cwd.write("m.txt", joined(m));
    const CliRun plain = box.run({"--format", "csv", pm});
    const CliRun all = box.run({"--all-columns", "--format", "csv", t});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.err, "F: "
                           + std::string("Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                                         "Markov matrix (32x32) has been applied.\n")
                           + "M: Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                             "Markov matrix (32x32) has been applied.\n");
    const auto a = lines(all.out);
    std::size_t fRows = 0, mRows = 0;
    for (const auto& line : a) {
        fRows += line.rfind("F,", 0) == 0 ? 1 : 0;
        mRows += line.rfind("M,", 0) == 0 ? 1 : 0;
        EXPECT_NE(line.rfind("time,", 0), 0u);
    }
    EXPECT_EQ(mRows, lines(plain.out).size() - 1);
    EXPECT_GT(fRows, 0u);
    EXPECT_LT(all.out.find("\nF,"), all.out.find("\nM,"));

    const CliRun kept = box.run({"--all-columns", "--keep-time", "--format", "json", t});
    EXPECT_NE(kept.out.find("\"channel\": \"time\""), std::string::npos);
    // Chosen twice, by name and by number: counted once; in the order chosen.
    const CliRun twice = box.run({"--column", "M", "--column", "3", "--column", "F", "--format", "json", t});
    ASSERT_EQ(twice.status, 0);
    const std::size_t mAt = twice.out.find("\"channel\": \"M\"");
    EXPECT_LT(mAt, twice.out.find("\"channel\": \"F\""));
    EXPECT_EQ(twice.out.find("\"channel\": \"M\"", mAt + 1), std::string::npos);
}

TEST(ColumnCount, RejectsBadTablesWithThePlaceAndBadOptionsWithUsage)
{
    Box box;
    const std::string t = box.cwd.write("t.csv", "a,b\n1,2\n3,x\n5,\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--column", "c", t}, 2, "tessivo-count: " + t + ": no column \"c\"; the columns are: a, b\n"},
        {{"--column", "b", t}, 2, "tessivo-count: " + t + ": line 3, column 2 (b): \"x\" is not a number\n"},
        // Text in another column of numbers is no row either.
        {{"--column", "a", "--skip-empty", t},
         2,
         "tessivo-count: " + t + ": line 3, column 2 (b): \"x\" is not a number\n"},
        {{"--delimiter", "tab", t},
         1,
         "tessivo-count: '--delimiter', '--decimal-comma', '--decimal-point', "
         "'--skip-empty' and '--keep-time' need '--column' or '--all-columns'\n"},
        {{"--column", "a", "--delimiter", "pipe", t},
         1,
         "tessivo-count: '--delimiter' must be comma, semicolon, tab or blanks, not 'pipe'\n"},
        {{"--column", "a", t + ".missing"}, 3, "tessivo-count: " + t + ".missing: File not found\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = box.run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), c.err);
    }
    const std::string empties = box.cwd.write("e.csv", "a;b\n1;\n2;3\n;4\n");
    const CliRun skipped = box.run({"--column", "b", "--skip-empty", "--format", "json", empties});
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.err, "tessivo-count: " + empties + ": b: 1 empty cell skipped\n");
    EXPECT_NE(skipped.out.find("\"emptyCellsSkipped\": 1,"), std::string::npos);
}

// Each column's fatigue output is that of its values in a file of their own.
TEST(ColumnCount, FatigueOfEachColumnAsOfItsOwnFile)
{
    Box box;
    const std::string table = box.cwd.write("t.csv", "a,b\n1,0\n5,3\n-2,-4\n4,6\n0,1\n");
    const std::string b = box.cwd.write("b.txt", "0\n3\n-4\n6\n1\n");
    const std::vector<std::string> fatigue = {"--sn-curve", "m=3,logA=12", "--mean-stress", "goodman",
                                              "--ultimate", "20",          "--residue",     "half"};
    const std::vector<std::string> del = {"--del", "3"}; // where the output shows damage-equivalent loads
    struct Case {
        std::vector<std::string> format;
        std::string skipped; // what the column's output has before the file's
    };
    const Case cases[] = {{{"--format", "report"}, "b\n\n"},
                          {{"--format", "csv"}, ""},
                          {{"--format", "json"}, ""},
                          {{"--matrix", "range-mean", "--matrix-edges", "0,4,12"}, ""}};
    for (const Case& c : cases) {
        // The matrix shows no damage: it is asked for alone.
        std::vector<std::string> args =
            c.format[0] == "--matrix" ? std::vector<std::string>{"--residue", "half"} : fatigue;
        if (c.format[1] == "report" || c.format[1] == "json")
            args.insert(args.end(), del.begin(), del.end());
        args.insert(args.end(), c.format.begin(), c.format.end());
        std::vector<std::string> columnArgs = args;
        columnArgs.insert(columnArgs.end(), {"--column", "b", table});
        args.push_back(b);
        const CliRun own = box.run(args);
        const CliRun column = box.run(columnArgs);
        ASSERT_EQ(own.status, 0) << own.err;
        ASSERT_EQ(column.status, 0) << column.err;
        std::string expected = c.skipped + own.out;
        if (c.format[1] != "report" && c.format[1] != "json") { // CSV: the channel first on every line
            std::string prefixed;
            std::istringstream lines(own.out);
            for (std::string line; std::getline(lines, line);)
                prefixed += (prefixed.empty() ? "channel," : "b,") + line + "\n";
            expected = prefixed;
        }
        if (c.format[1] == "json") { // indented deeper: its lines of rows and totals
            std::istringstream lines(own.out.substr(own.out.find("\"fatigue\"")));
            for (std::string line; std::getline(lines, line);)
                EXPECT_NE(column.out.find(line.substr(line.find_first_not_of(' '))), std::string::npos) << line;
        } else
            EXPECT_EQ(column.out, expected);
    }
    const CliRun beyond =
        box.run({"--column", "b", "--sn-curve", "m=3,logA=12", "--mean-stress", "goodman", "--ultimate", "1", table});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_EQ(beyond.err.rfind("tessivo-count: b: The cycle in row ", 0), 0u) << beyond.err;
    EXPECT_EQ(beyond.out, "");
}

} // namespace
