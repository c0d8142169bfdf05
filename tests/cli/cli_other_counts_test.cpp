// tessivo-count --count level-crossing|range-pair|time-at-level: the counts
// of short sequences worked out by hand, the shared sequences against plain
// models written from the definitions, every route (one file, files joined,
// repetitions, a table's column) giving the same counts, and the settings
// that do not fit refused.

#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

const std::string kExamples = TESSIVO_SHARED_EXAMPLES;

struct Box {
    TempDir cwd;
    TempDir capture;
    CliRun run(const std::vector<std::string>& args) const
    {
        return tessivo::test::runCli(args, cwd.str(), capture.str());
    }
};

std::string lines(const std::vector<std::string>& values)
{
    std::string text;
    for (const std::string& v : values)
        text += v + "\n";
    return text;
}

struct HandCount {
    const char* what;
    std::vector<std::string> values;
    std::vector<std::string> args; // before the file; --format csv is added
    std::string csv;
    std::string notice = {}; // the first line on standard error
};

// Each expected line worked out by hand from the definitions:
//   level crossing: a rising stretch a->b crosses L when a < L <= b, a falling one
//     when b <= L < a; upward crossings count at and above the reference, downward below;
//   range pairs: a range is a pair once the next one is at least as large; the rest are halves;
//   time at level: values in [lower, upper) (the last class closed) times the interval.
const std::vector<HandCount>& handCounts()
{
    static const std::vector<HandCount> all = {
        // 0 5 2 4 1 6: stretches 0-5 up, 5-2 down, 2-4 up, 4-1 down, 1-6 up. Reference 3:
        // 1 is crossed by 4-1; 2 by 5-2 and 4-1; 3 and 4 by 0-5, 2-4, 1-6; 5 by 0-5 and 1-6.
        {"level crossings about a given reference",
         {"0", "5", "2", "4", "1", "6"},
         {"--count", "level-crossing", "--level-edges", "1,2,3,4,5", "--reference-level", "3"},
         "level,crossings\n1,1\n2,2\n3,3\n4,3\n5,2\n"},
        // Reference 0: every level counts upward crossings only: 2 by 0-5 and 1-6 (2-4 starts on
        // it, 5-2 falls); 4 by 0-5, 2-4 (ending on it) and 1-6.
        {"level crossings above the reference only upward",
         {"0", "5", "2", "4", "1", "6"},
         {"--count", "level-crossing", "--level-edges", "2,4", "--reference-level", "0"},
         "level,crossings\n2,2\n4,3\n"},
        // Reference 10: downward only: 2 by 5-2 and 4-1; 6 by none.
        {"level crossings below the reference only downward",
         {"0", "5", "2", "4", "1", "6"},
         {"--count", "level-crossing", "--level-edges", "2,6", "--reference-level", "10"},
         "level,crossings\n2,2\n6,0\n"},
        // The mean of 0 5 4 5 0 is 2.8; levels 0, 2.5, 5. 0 and 2.5 (below) by 5-0;
        // 5 (above) by 0-5 and 4-5.
        {"level crossings about the mean, equal levels",
         {"0", "5", "4", "5", "0"},
         {"--count", "level-crossing", "--levels", "3"},
         "level,crossings\n0,1\n2.5,1\n5,2\n"},
        // The dip 5-4 is 1: a hysteresis of 1 or more removes it, 0.5 keeps it.
        {"level crossings, a dip kept by a small hysteresis",
         {"0", "5", "4", "5", "0"},
         {"--count", "level-crossing", "--level-edges", "4.5", "--reference-level", "0", "--hysteresis", "0.5"},
         "level,crossings\n4.5,2\n"},
        {"level crossings, a dip as large as the hysteresis removed",
         {"0", "5", "4", "5", "0"},
         {"--count", "level-crossing", "--level-edges", "4.5", "--reference-level", "0", "--hysteresis", "1"},
         "level,crossings\n4.5,1\n"},
        // 0 0.7 -0.7 with hysteresis 1: the fall of 1.4 from the peak counts, though the rise to it
        // is less than 1; it crosses 0 (below the reference 1) downward.
        {"level crossings, the first reversal kept by the span before it",
         {"0", "0.7", "-0.7"},
         {"--count", "level-crossing", "--level-edges", "0", "--reference-level", "1", "--hysteresis", "1"},
         "level,crossings\n0,1\n"},
        // ASTM E1049's example -2 1 -3 5 -1 3 -4 4 -2: -2 1 -3 gives the pair 3 (1, -2);
        // 5 -1 3 -4 gives 4 (3, -1), then -3 5 -4 gives 8 (5, -3); -4 4 -2 is left: halves 8 and 6.
        {"range pairs of the standard's example",
         {"-2", "1", "-3", "5", "-1", "3", "-4", "4", "-2"},
         {"--count", "range-pair"},
         "range,upper,lower,count,cumulative\n8,5,-3,1,1\n8,4,-4,0.5,1.5\n6,4,-2,0.5,2\n4,3,-1,1,3\n3,1,-2,1,4\n"},
        // 0 5 4 5 0: 5 4 5 gives the pair 1 (5, 4), then 0 5 0 the pair 5 (5, 0).
        {"range pairs, the start no special point",
         {"0", "5", "4", "5", "0"},
         {"--count", "range-pair"},
         "range,upper,lower,count,cumulative\n5,5,0,1,1\n1,5,4,1,2\n"},
        // With hysteresis 1.5 only 0 5 0 is left: two halves of 5, gathered into one row.
        {"range pairs after the hysteresis",
         {"0", "5", "4", "5", "0"},
         {"--count", "range-pair", "--hysteresis", "1.5"},
         "range,upper,lower,count,cumulative\n5,5,0,1,1\n"},
        // [0,2): 0 1; [2,4): 2; [4,6]: 5 4 6 - at 0.5 s each.
        {"time at level in given classes",
         {"0", "5", "2", "4", "1", "6"},
         {"--count", "time-at-level", "--level-edges", "0,2,4,6", "--interval", "0.5"},
         "lower,upper,time\n0,2,1\n2,4,0.5\n4,6,1.5\n"},
        // 3 equal classes over 0..6 are those edges; without an interval the time is in values.
        {"time at level in equal classes, counted in values",
         {"0", "5", "2", "4", "1", "6"},
         {"--count", "time-at-level", "--levels", "3"},
         "lower,upper,time\n0,2,2\n2,4,1\n4,6,3\n"},
        // [1,3] holds 2 and 1 (4 s); 0 5 4 6 lie beyond: 8 s, said on standard error.
        {"time at level beyond the edges",
         {"0", "5", "2", "4", "1", "6"},
         {"--count", "time-at-level", "--level-edges", "1,3", "--interval", "2"},
         "lower,upper,time\n1,3,4\n",
         "tessivo-count: 8 of the time lies beyond the given edges"},
    };
    return all;
}

TEST(OtherCountsCli, ShortSequencesCountAsWorkedOutByHand)
{
    for (const HandCount& c : handCounts()) {
        SCOPED_TRACE(c.what);
        Box box;
        const std::string file = box.cwd.write("loads.txt", lines(c.values));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--format", "csv", file});
        const CliRun run = box.run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.csv);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.notice);
    }
}

// ---------------------------------------------------------------- shared data

std::vector<long double> readNumbers(const std::string& path)
{
    std::ifstream in(path);
    std::vector<long double> values;
    for (std::string token; in >> token;)
        values.push_back(std::stold(token));
    return values;
}

// Rows of a csv answer (after the header) as numbers.
std::vector<std::vector<long double>> csvRows(const std::string& csv)
{
    std::vector<std::vector<long double>> rows;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<long double> row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            row.push_back(std::stold(field));
        rows.push_back(row);
    }
    return rows;
}

TEST(OtherCountsCli, SharedSequencesMatchModelsFromTheDefinitions)
{
    Box box;
    const std::string wisperx = kExamples + "/wisperx.txt";
    const std::vector<long double> x = readNumbers(wisperx);
    ASSERT_GT(x.size(), 25000u);

    // Level crossings of the levels 1..64 about 25 (the sequence's zero load), step by step:
    // a monotone stretch is the sum of its steps.
    {
        std::map<int, int> model;
        for (int level = 1; level <= 64; ++level) {
            int n = 0;
            for (std::size_t i = 1; i < x.size(); ++i) {
                const bool up = x[i - 1] < level && level <= x[i];
                const bool down = x[i] <= level && level < x[i - 1];
                n += level >= 25 ? up : down;
            }
            model[level] = n;
        }
        const CliRun run = box.run(
            {"--count", "level-crossing", "--levels", "64", "--reference-level", "25", "--format", "csv", wisperx});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto rows = csvRows(run.out);
        ASSERT_EQ(rows.size(), 64u);
        for (const auto& row : rows)
            EXPECT_EQ(row[1], model[static_cast<int>(row[0])]) << "level " << static_cast<double>(row[0]);
    }
    // Time at level in four quarters, one second per value.
    {
        const std::vector<long double> edges = {0.5L, 16.5L, 32.5L, 48.5L, 64.5L};
        const CliRun run = box.run({"--count", "time-at-level", "--level-edges", "0.5,16.5,32.5,48.5,64.5",
                                    "--interval", "1", "--format", "csv", wisperx});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto rows = csvRows(run.out);
        ASSERT_EQ(rows.size(), 4u);
        for (std::size_t k = 0; k < 4; ++k) {
            long double inside = 0;
            for (long double v : x)
                inside += edges[k] <= v && v < edges[k + 1];
            EXPECT_EQ(rows[k][2], inside) << "class " << k;
        }
    }
    // Range pairs: each pair takes two turning points, each half of the rest one range
    // between two, so the counts add up to (turning points - 1) / 2.
    {
        std::size_t turning = 2;
        for (std::size_t i = 1; i + 1 < x.size(); ++i)
            turning += (x[i] - x[i - 1]) * (x[i + 1] - x[i]) < 0;
        const CliRun run = box.run({"--count", "range-pair", "--format", "csv", wisperx});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto rows = csvRows(run.out);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back()[4], (static_cast<long double>(turning) - 1) / 2);
        EXPECT_EQ(rows.front()[0], 63); // 64 to 1, the largest range there is
    }
}

TEST(OtherCountsCli, TableColumnTakesItsTimeStepFromTheTimeColumn)
{
    // The simulation output: 1201 rows 0.05 s apart; RootMyc1 is the fourth column.
    Box box;
    const std::string table = kExamples + "/nrel5mw_dlc2.3_loads.out";
    std::ifstream in(table);
    std::vector<long double> column;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (n < 9 || line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::istringstream fields(line);
        std::string field;
        for (int c = 0; c < 4; ++c)
            fields >> field;
        column.push_back(std::stold(field));
    }
    ASSERT_EQ(column.size(), 1201u);
    const CliRun run = box.run({"--count", "time-at-level", "--level-edges", "-6000,0,4000,9000", "--column",
                                "RootMyc1", "--format", "csv", table});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "channel,lower,upper,time");
    const std::vector<long double> edges = {-6000, 0, 4000, 9000};
    std::istringstream out(run.out);
    std::getline(out, line);
    for (std::size_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(std::getline(out, line));
        long double values = 0;
        for (long double v : column)
            values += edges[k] <= v && (v < edges[k + 1] || (k == 2 && v == edges[k + 1]));
        const long double seconds = std::stold(line.substr(line.rfind(',') + 1));
        EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(values * 0.05L), 1e-9) << line;
    }
    const CliRun json = box.run({"--count", "time-at-level", "--column", "RootMyc1", "--format", "json", table});
    EXPECT_NE(json.out.find("\"intervalFrom\": \"time column\""), std::string::npos) << json.out;
}

// ---------------------------------------------------------------- routes

TEST(OtherCountsCli, EveryRouteGivesTheSameCounts)
{
    // A walk of 400 values: one file; its halves joined; a table's column; and the first
    // half twice as --repetitions 2 against that half written out twice.
    Box box;
    std::mt19937_64 rng(24);
    const std::vector<std::string> walk = tessivo::test::randomWalkText(rng, 400);
    const std::vector<std::string> first(walk.begin(), walk.begin() + 200), second(walk.begin() + 200, walk.end());
    const std::string whole = box.cwd.write("whole.txt", lines(walk));
    const std::string a = box.cwd.write("a.txt", lines(first));
    const std::string b = box.cwd.write("b.txt", lines(second));
    std::string tableText = "time,load\n";
    for (std::size_t i = 0; i < walk.size(); ++i)
        tableText += std::to_string(i) + "," + walk[i] + "\n";
    const std::string table = box.cwd.write("table.csv", tableText);
    const std::string twice = box.cwd.write("twice.txt", lines(first) + lines(first));

    const std::vector<std::vector<std::string>> counts = {
        {"--count", "level-crossing", "--levels", "20", "--hysteresis", "5"},
        {"--count", "level-crossing", "--level-edges", "-50,0,50", "--reference-level", "0"},
        {"--count", "range-pair"},
        {"--count", "range-pair", "--hysteresis", "12.5"},
        {"--count", "time-at-level", "--levels", "10", "--interval", "1"},
    };
    for (const auto& count : counts) {
        for (const char* format : {"csv", "json", "report"}) {
            SCOPED_TRACE(count[1] + " " + format);
            const auto with = [&](std::vector<std::string> files) {
                std::vector<std::string> args = count;
                args.insert(args.end(), {"--format", format});
                args.insert(args.end(), files.begin(), files.end());
                const CliRun run = box.run(args);
                EXPECT_EQ(run.status, 0) << run.err;
                return run.out;
            };
            const std::string one = with({whole});
            EXPECT_EQ(with({a, b}), one);
            EXPECT_EQ(with({"--repetitions", "2", a}), with({twice}));
            const std::string column = with({"--column", "load", table});
            if (std::string(format) == "csv") {
                std::string stripped;
                std::istringstream rows(column);
                for (std::string line; std::getline(rows, line);)
                    stripped += line.substr(line.find(',') + 1) + "\n";
                EXPECT_EQ(stripped, one);
            } else if (std::string(format) == "report") {
                EXPECT_EQ(column, "load\n\n" + one);
            }
        }
    }
}

// ---------------------------------------------------------------- refusals

TEST(OtherCountsCli, SettingsThatDoNotFitAreRefused)
{
    const std::string worked = kExamples + "/worked_example.txt";
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{"--count", "level-crossing", "--sn-curve", "preset:EC3-71"},
         "'--sn-curve' does not go with '--count level-crossing': the fatigue options evaluate rainflow cycles; "
         "count once for each"},
        {{"--count", "range-pair", "--matrix", "range-mean"},
         "'--matrix' does not go with '--count range-pair': the fatigue options evaluate rainflow cycles; count "
         "once for each"},
        {{"--count", "time-at-level", "--del", "3"},
         "'--del' does not go with '--count time-at-level': the fatigue options evaluate rainflow cycles; count "
         "once for each"},
        {{"--count", "range-pair", "--filter", "1"},
         "'--filter' does not go with '--count range-pair': it is the rainflow count's; the other counts take "
         "'--hysteresis'"},
        {{"--count", "level-crossing", "--normalize"},
         "'--normalize' does not go with '--count level-crossing': it is a setting of the rainflow count"},
        {{"--count", "level-crossing", "--load-bins"},
         "'--load-bins' does not go with '--count level-crossing': it is a setting of the rainflow count"},
        {{"--count", "range-pair", "--format", "cycles"},
         "'--format cycles' does not go with '--count range-pair': it lists rainflow cycles; the other counts "
         "write report, csv or json"},
        {{"--count", "range-pair", "--show-layout"}, "'--show-layout' counts nothing: give it without '--count'"},
        {{"--levels", "4"}, "'--levels' needs '--count level-crossing' or '--count time-at-level'"},
        {{"--count", "range-pair", "--level-edges", "1,2"},
         "'--level-edges' needs '--count level-crossing' or '--count time-at-level'"},
        {{"--count", "time-at-level", "--reference-level", "1"}, "'--reference-level' needs '--count level-crossing'"},
        {{"--count", "time-at-level", "--hysteresis", "1"},
         "'--hysteresis' needs '--count level-crossing' or '--count range-pair'"},
        {{"--count", "level-crossing", "--interval", "1"}, "'--interval' needs '--count time-at-level'"},
        {{"--count", "level-crossing", "--levels", "4", "--level-edges", "1,2"},
         "give '--levels' or '--level-edges', not both"},
        {{"--count", "level-crossing", "--levels", "1"},
         "'--levels' needs a whole number from 2 for level crossings, not '1'"},
        {{"--count", "time-at-level", "--level-edges", "3"},
         "'--level-edges' of time at level needs 2 edges or more, the bounds of its classes"},
        {{"--count", "level-crossing", "--level-edges", "1,3,2"}, "'--level-edges' must ascend: 2 follows 3"},
        {{"--count", "level-crossing", "--hysteresis", "-1"}, "'--hysteresis' must be 0 or more, not '-1'"},
        {{"--count", "time-at-level", "--interval", "0"}, "'--interval' must be a positive number of seconds, not '0'"},
        {{"--count", "peaks"}, "'--count' must be rainflow, level-crossing, range-pair or time-at-level, not 'peaks'"},
    };
    for (const auto& [options, message] : refusals) {
        SCOPED_TRACE(message);
        Box box;
        std::vector<std::string> args = options;
        args.push_back(worked);
        const CliRun run = box.run(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "tessivo-count: " + message);
        EXPECT_EQ(run.out, "");
    }
    // Counted, a sequence of one value has no span for equal levels: rejected input.
    Box box;
    const CliRun flat = box.run({"--count", "level-crossing", box.cwd.write("flat.txt", "3\n3\n3\n")});
    EXPECT_EQ(flat.status, 2);
    EXPECT_EQ(flat.out, "");
}

} // namespace
