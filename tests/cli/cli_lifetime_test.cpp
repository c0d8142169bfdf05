// tessivo-count --lifetime and --summary: one table of what is refused (usage
// errors, unreadable rows of the weights table with their line, recordings
// without a duration), and the lifetime's numbers against separate counts of
// each recording combined here from the definition.

#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

const std::string kWorked = std::string(TESSIVO_SHARED_EXAMPLES) + "/worked_example.txt"; // 0 5 2 4 1 6
const std::string kCurve = "m=3,logA=12";

CliRun runIn(const std::string& cwd, const TempDir& capture, const std::vector<std::string>& args)
{
    return tessivo::test::runCli(args, cwd, capture.str());
}

// The numbers after `"key": ` in JSON, in order.
std::vector<long double> jsonNumbers(const std::string& json, const std::string& key)
{
    std::vector<long double> values;
    const std::regex number("\"" + key + "\": (-?[0-9][0-9.e+-]*)");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), number); it != std::sregex_iterator(); ++it)
        values.push_back(std::strtold((*it)[1].str().c_str(), nullptr));
    return values;
}

// A table "time,load" of n rows, dt apart from t0, the loads a random walk.
std::string timedTable(std::mt19937_64& rng, std::size_t n, double t0, double dt)
{
    std::string text = "time,load\n";
    const std::vector<std::string> loads = tessivo::test::randomWalkText(rng, n);
    for (std::size_t i = 0; i < n; ++i)
        text += std::to_string(t0 + dt * static_cast<double>(i)) + "," + loads[i] + "\n";
    return text;
}

struct Refused {
    // "W" stands for the weights table of the row; "L" for a lifetime over it that is otherwise good
    // (--design-life 20 --lifetime W --del 3 --duration 6).
    std::vector<std::string> args;
    std::string weights; // the weights table's text ("" : the default good one), "R," naming the recording
    int status;
    std::string message; // a part of standard error
};

} // namespace

TEST(CliLifetime, RefusalsNameTheOptionOrTheLine)
{
    const std::vector<Refused> table = {
        {{"--design-life", "20", "--sn-curve", kCurve, kWorked}, "", 1, "'--design-life' and '--lifetime' go together"},
        {{"--lifetime", "W", "--sn-curve", kCurve}, "", 1, "'--design-life' and '--lifetime' go together"},
        {{"--design-life", "0", "--lifetime", "W", "--sn-curve", kCurve},
         "",
         1,
         "'--design-life' needs a number above 0, not '0'"},
        {{"--design-life", "20", "--lifetime", "W", "--sn-curve", kCurve, kWorked}, "", 1, "give no FILE"},
        {{"--design-life", "20", "--lifetime", "W"}, "", 1, "'--lifetime' needs '--sn-curve' or '--del'"},
        {{"--design-life", "20", "--lifetime", "W", "--del", "3", "--format", "cycles"}, "", 1, "not every cycle"},
        {{"--design-life", "20", "--lifetime", "W", "--del", "3", "--bin-width", "2"}, "", 1, "go with '--weibull'"},
        {{"--weibull", "2,8", "--del", "3", kWorked}, "", 1, "'--weibull' gives the hours of the bins of '--lifetime'"},
        {{"--design-life", "20", "--lifetime", "W", "--del", "3", "--weibull", "2"}, "", 1, "the shape and the scale"},
        {{"--design-life", "20", "--lifetime", "W", "--del", "3", "--weibull", "2,-8"}, "", 1, "not '-8'"},
        {{"--summary", "--del", "3", kWorked}, "", 1, "'--summary' writes '--format csv' or '--format json'"},
        {{"--summary", "--format", "csv", "--matrix", "range-mean", kWorked},
         "",
         1,
         "'--matrix' does not go with '--summary'"},
        {{"--repetitions", "3.5", kWorked}, "", 1, "weights the cycles of one FILE counted alone"},
        {{"--repetitions", "3.5", kWorked, "--sn-curve", kCurve, kWorked}, "", 1, "one FILE counted alone"},
        {{"--save-partial", "p.part", "--repetitions", "2.5", "--sn-curve", kCurve, kWorked},
         "",
         1,
         "does not go with '--save-partial'"},
        {{"--repetitions", "-0.5", "--sn-curve", kCurve, kWorked}, "", 1, "not '-0.5'"},
        // The weights table, row by row.
        {{"L"},
         "file,hours_per_year\nR,x\n",
         2,
         "weights.csv: line 2: the hours per year 'x' are not a number of 0 or more"},
        {{"L"}, "file,hours_per_year\n\nR,1\nR,-1\n", 2, "weights.csv: line 4: the hours per year '-1'"},
        {{"L"}, "file,hours_per_year\nR,1,2\n", 2, "weights.csv: line 2: 3 fields, not 2 (file,hours_per_year)"},
        {{"L"}, "file,hours_per_year\n,1\n", 2, "weights.csv: line 2: no file named"},
        {{"L"}, "file,hours_per_year\n\"R,1\n", 2, "weights.csv: line 2: a quote is not closed"},
        {{"L"}, "file,hours_per_year\n", 2, "weights.csv: no recording"},
        {{"L"}, "R,1\nR,2\n", 2, "weights.csv: line 1: a line of names (file,hours_per_year) comes before the rows"},
        // Wind-speed bins: the table and the distribution go together; even bins or a width.
        {{"L"}, "file,wind_speed\nR,4\n", 2, "weights.csv: the wind speeds of the table need a Weibull distribution"},
        {{"L", "--weibull", "2,8"}, "", 2, "weights.csv: a Weibull distribution gives the hours of wind-speed bins"},
        {{"L", "--weibull", "2,8"},
         "file,wind_speed\nR,4\nR,6\nR,9\n",
         2,
         "weights.csv: The wind-speed bins are not evenly spaced (6 to 9 after a step of 2): give the bin width"},
        {{"L", "--weibull", "2,8"}, "file,wind_speed\nR,4\n", 2, "weights.csv: One wind-speed bin has no spacing"},
        {{"L", "--weibull", "2,8"}, "file,wind_speed\nR,fast\n", 2, "line 2: the wind speed 'fast' are not a number"},
        // A recording: no duration to take, a file that is not there.
        {{"--design-life", "20", "--lifetime", "W", "--del", "3"},
         "",
         2,
         "rec.txt: no time column to take the duration from: give it (--duration)"},
        {{"L"}, "file,hours_per_year\nmissing.txt,1\n", 3, "missing.txt"},
    };
    for (const Refused& row : table) {
        TempDir box;
        box.write("rec.txt", "0 5 2 4 1 6\n");
        const std::string weights = box.write(
            "weights.csv", row.weights.empty() ? "file,hours_per_year\nrec.txt,1\n"
                                               : std::regex_replace(row.weights, std::regex("R,"), "rec.txt,"));
        std::vector<std::string> args;
        for (const std::string& a : row.args) {
            if (a == "L")
                args.insert(args.end(),
                            {"--design-life", "20", "--lifetime", weights, "--del", "3", "--duration", "6"});
            else
                args.push_back(a == "W" ? weights : a);
        }
        const CliRun r = runIn(box.str(), box, args);
        EXPECT_EQ(r.status, row.status) << args.back() << "\n" << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(CliLifetime, DamageAndDelsCombineTheRecordingsCountedAlone)
{
    // Three recordings with time columns of their own (90 s, 59.9 s, 180 s),
    // the weights table in another folder than the working one, naming them
    // relative to its own folder. Each recording counted alone gives D_i and
    // its DELs for N_eq = 1; the lifetime is then, by definition,
    //   D = Y sum h_i 3600 / T_i D_i,  DEL_m = (sum f_i DEL1_i^m / (f Y sum h_i 3600))^(1/m).
    TempDir box;
    std::filesystem::create_directories(box.file("site/runs"));
    std::mt19937_64 rng(20240917);
    struct Recording {
        std::string name;
        double hours;
        double seconds;
        std::string text;
    };
    std::vector<Recording> recordings = {
        {"runs/a.csv", 1200.5, 90.0, timedTable(rng, 1801, 0.0, 0.05)},
        {"runs/b.csv", 3000.0, 59.9, timedTable(rng, 600, 30.0, 0.1)},
        {"runs/c.csv", 0.0, 180.0, timedTable(rng, 361, 10.0, 0.5)},
    };
    std::string weights = "file,hours_per_year\n";
    for (const Recording& r : recordings) {
        box.write("site/" + r.name, r.text);
        weights += "\"" + r.name + "\"," + std::to_string(r.hours) + "\n";
    }
    box.write("site/weights.csv", weights);
    const double years = 25.0;
    const double frequency = 0.5;
    const std::vector<std::string> fatigue = {"--column", "load",      "--sn-curve", kCurve,
                                              "--del",    "3,5,curve", "--dff",      "3"};

    std::vector<std::string> args = {"--design-life",   "25",  "--lifetime", "site/weights.csv",
                                     "--del-frequency", "0.5", "--format",   "json"};
    args.insert(args.end(), fatigue.begin(), fatigue.end());
    const CliRun life = runIn(box.str(), box, args);
    ASSERT_EQ(life.status, 0) << life.err;

    long double damage = 0.0L;
    long double hours = 0.0L;
    std::map<int, long double> powerSums; // sum f_i DEL1_i^m
    for (const Recording& r : recordings) {
        std::vector<std::string> alone = {"--del-cycles", "1", "--format", "json", box.file("site/" + r.name)};
        alone.insert(alone.begin(), fatigue.begin(), fatigue.end());
        const CliRun one = runIn(box.str(), box, alone);
        ASSERT_EQ(one.status, 0) << one.err;
        const long double repetitions = years * r.hours * 3600.0L / r.seconds;
        damage += repetitions * jsonNumbers(one.out, "damage").at(0);
        hours += r.hours;
        const std::vector<long double> dels = jsonNumbers(one.out, "value");
        powerSums[3] += repetitions * std::pow(dels.at(0), 3.0L);
        powerSums[5] += repetitions * std::pow(dels.at(1), 5.0L);
    }
    const long double nEq = frequency * years * hours * 3600.0L;
    const std::string lifetime = life.out.substr(life.out.find("\"lifetime\""));
    EXPECT_NEAR(jsonNumbers(lifetime, "damage").at(0) / damage, 1.0L, 1e-15L);
    EXPECT_NEAR(jsonNumbers(lifetime, "utilisation").at(0) / (3.0L * damage), 1.0L, 1e-15L);
    EXPECT_NEAR(jsonNumbers(lifetime, "seconds").at(0), years * hours * 3600.0L, 1e-6L);
    EXPECT_NEAR(jsonNumbers(lifetime, "equivalentCycles").at(0) / nEq, 1.0L, 1e-15L);
    const std::vector<long double> dels = jsonNumbers(lifetime, "value");
    ASSERT_EQ(dels.size(), 2U);
    EXPECT_NEAR(dels[0] / std::pow(powerSums[3] / nEq, 1.0L / 3.0L), 1.0L, 1e-14L);
    EXPECT_NEAR(dels[1] / std::pow(powerSums[5] / nEq, 1.0L / 5.0L), 1.0L, 1e-14L);
    // On a curve of one slope m = 3 the DEL on the curve is DEL_3.
    EXPECT_NEAR(jsonNumbers(lifetime, "curveDel").at(0) / dels[0], 1.0L, 1e-14L);
    EXPECT_NE(lifetime.find("\"check\": " + std::string(3.0L * damage <= 1.0L ? "true" : "false")), std::string::npos);
    // The durations taken from the time columns, in the recordings' rows.
    const std::vector<long double> durations = jsonNumbers(life.out, "duration");
    ASSERT_EQ(durations.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(durations[i], recordings[i].seconds, 1e-9L);

    // The summary: one row per recording and the lifetime's, with the same numbers.
    args[args.size() - fatigue.size() - 1] = "csv";
    args.push_back("--summary");
    const CliRun csv = runIn(box.str(), box, args);
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), "name,points,highest_peak,lowest_trough,cycles,hours_per_year,"
                                                     "duration,damage,life,utilisation,check,del_3,del_5,curve_del");
    const std::string last = csv.out.substr(csv.out.rfind("\nlifetime,") + 1);
    std::vector<std::string> fields;
    std::stringstream split(last.substr(0, last.size() - 1));
    for (std::string f; std::getline(split, f, ',');)
        fields.push_back(f);
    ASSERT_EQ(fields.size(), 14U) << last;
    EXPECT_NEAR(std::strtold(fields[7].c_str(), nullptr) / damage, 1.0L, 1e-15L);
    EXPECT_NEAR(std::strtold(fields[11].c_str(), nullptr), dels[0], dels[0] * 1e-15L);

    // The report has its lifetime section.
    args[args.size() - fatigue.size() - 2] = "report";
    args.pop_back();
    const CliRun report = runIn(box.str(), box, args);
    ASSERT_EQ(report.status, 0) << report.err;
    EXPECT_NE(report.out.find("\nLifetime\n"), std::string::npos) << report.out;
    EXPECT_NE(report.out.find("Design life: \t25 years"), std::string::npos) << report.out;
}

TEST(CliLifetime, SummaryRowsAndWeightedRepetitionsWithHandValues)
{
    // The worked example's cycles (ranges 6, 4, 2) on N = 1e12 / S^3: D =
    // 288e-12, DEL_3 over N_eq 1 = 288^(1/3); a recording standing for 3.5
    // of its lengths does 3.5 times the damage.
    TempDir box;
    const CliRun plain =
        runIn(box.str(), box,
              {"--summary", "--format", "csv", "--sn-curve", kCurve, "--del", "3", "--del-cycles", "1", kWorked});
    ASSERT_EQ(plain.status, 0) << plain.err;
    std::vector<std::string> fields;
    std::stringstream row(plain.out.substr(plain.out.find('\n') + 1));
    for (std::string f; std::getline(row, f, ',');)
        fields.push_back(f);
    ASSERT_EQ(fields.size(), 10U) << plain.out;
    EXPECT_EQ(fields[1], "6");    // points
    EXPECT_EQ(fields[2], "6");    // highest peak
    EXPECT_EQ(fields[3], "0");    // lowest trough
    EXPECT_EQ(fields[4], "3");    // cycles
    EXPECT_EQ(fields[8], "true"); // check
    EXPECT_NEAR(std::strtold(fields[5].c_str(), nullptr), 288e-12L, 1e-24L);
    EXPECT_NEAR(std::strtold(fields[9].c_str(), nullptr), std::cbrt(288.0L), 1e-15L);

    const CliRun weighted =
        runIn(box.str(), box, {"--format", "json", "--sn-curve", kCurve, "--repetitions", "3.5", kWorked});
    ASSERT_EQ(weighted.status, 0) << weighted.err;
    EXPECT_NEAR(jsonNumbers(weighted.out, "damage").at(0), 3.5L * 288e-12L, 1e-24L);
    EXPECT_NE(weighted.out.find("\"weight\": 3.5"), std::string::npos);
    // The count itself is that of one pass: 6 values, counts as counted.
    EXPECT_NE(weighted.out.find("\"sequenceLength\": 6"), std::string::npos) << weighted.out;
    // Per channel with --all-columns: each row is that channel's own count.
    const std::string table = std::string(TESSIVO_SHARED_EXAMPLES) + "/nrel5mw_dlc2.3_loads.out";
    const CliRun channels =
        runIn(box.str(), box, {"--summary", "--format", "json", "--all-columns", "--sn-curve", kCurve, table});
    ASSERT_EQ(channels.status, 0) << channels.err;
    const std::vector<long double> damages = jsonNumbers(channels.out, "damage");
    ASSERT_EQ(damages.size(), 5U) << channels.out;
    const CliRun alone =
        runIn(box.str(), box, {"--format", "json", "--column", "TwrBsMyt", "--sn-curve", kCurve, table});
    EXPECT_EQ(damages[4], jsonNumbers(alone.out, "damage").at(0));
    EXPECT_NE(channels.out.find("{\"name\": \"TwrBsMyt\", \"points\": 1201"), std::string::npos) << channels.out;
}

TEST(CliLifetime, ChannelsOverWindSpeedBinsAreEachTheSingleChannelLifetime)
{
    // Two recordings of the columns a, b and c (c holds one value in the
    // second), three rows of wind-speed bins 5 and 7 m/s. Each channel of the
    // lifetime over all columns is the lifetime of that one column over a
    // table of the hours computed here: H (F(v + 1) - F(v - 1)) with
    // F(v) = 1 - exp(-(v / A)^k), a bin's hours shared by its rows.
    TempDir box;
    std::mt19937_64 rng(77);
    const auto table = [&rng](std::size_t n, bool constantC) {
        const std::vector<std::string> a = tessivo::test::randomWalkText(rng, n);
        const std::vector<std::string> b = tessivo::test::randomWalkText(rng, n);
        const std::vector<std::string> c = tessivo::test::randomWalkText(rng, n);
        std::string text = "time,a,b,c\n";
        for (std::size_t i = 0; i < n; ++i)
            text += std::to_string(0.1 * static_cast<double>(i)) + "," + a[i] + "," + b[i] + ","
                    + (constantC ? std::string("7.5") : c[i]) + "\n";
        return text;
    };
    box.write("r1.csv", table(601, false));
    box.write("r2.csv", table(401, true));
    const std::string speeds = box.write("speeds.csv", "file,wind_speed\nr1.csv,5\nr2.csv,7\nr1.csv,7\n");
    const auto below = [](long double v) { return v <= 0 ? 0.0L : 1.0L - std::exp(-std::pow(v / 9.0L, 2.2L)); };
    const long double bin5 = 3000.0L * (below(6) - below(4));
    const long double bin7 = 3000.0L * (below(8) - below(6)) / 2.0L;
    const std::vector<std::string> fatigue = {"--sn-curve", kCurve,          "--del", "3,5",      "--del-cycles",
                                              "1e6",        "--design-life", "20",    "--format", "json"};
    std::vector<std::string> args = {"--lifetime",       speeds, "--all-columns", "--weibull", "2.2,9",
                                     "--hours-per-year", "3000"};
    args.insert(args.end(), fatigue.begin(), fatigue.end());
    const CliRun all = runIn(box.str(), box, args);
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.err, "tessivo-count: " + box.file("r2.csv")
                           + ": c: every value is 7.500: there are no cycles to "
                             "count; no damage from this recording\n");
    // The hours as computed, in the recordings' rows, and the distribution's hours a year after them.
    const std::vector<long double> hours = jsonNumbers(all.out, "hoursPerYear");
    ASSERT_EQ(hours.size(), 12U) << all.out;
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_NEAR(hours[i] / (i % 4 == 3 ? 3000.0L : i % 4 == 0 ? bin5 : bin7), 1.0L, 1e-15L) << i;

    std::ostringstream exact; // 21 digits give a long double back
    exact << std::setprecision(21) << "file,hours_per_year\nr1.csv," << bin5 << "\nr2.csv," << bin7 << "\nr1.csv,"
          << bin7 << "\n";
    const std::string byHours = box.write("hours.csv", exact.str());
    std::size_t at = 0;
    for (const std::string channel : {"a", "b", "c"}) {
        std::vector<std::string> one = {"--lifetime", byHours, "--column", channel};
        one.insert(one.end(), fatigue.begin(), fatigue.end());
        const CliRun alone = runIn(box.str(), box, one);
        ASSERT_EQ(alone.status, 0) << alone.err;
        const std::string own = alone.out.substr(alone.out.find("\"lifetime\""));
        at = all.out.find("\"lifetime\"", at + 1);
        ASSERT_NE(at, std::string::npos);
        const std::string part = all.out.substr(at, all.out.find("\"channel\"", at) - at);
        EXPECT_NEAR(jsonNumbers(part, "damage").at(0) / jsonNumbers(own, "damage").at(0), 1.0L, 1e-15L) << channel;
        for (std::size_t k = 0; k < 2; ++k)
            EXPECT_NEAR(jsonNumbers(part, "value").at(k) / jsonNumbers(own, "value").at(k), 1.0L, 1e-15L) << channel;
    }
    EXPECT_NE(all.out.find("{\n  \"channels\": [\n    {\n      \"channel\": \"a\""), std::string::npos) << all.out;
    // c does no damage in r2: its lifetime is that of r1's two rows alone.
    {
        const std::string rowsOfC = all.out.substr(all.out.find("\"channel\": \"c\""));
        const std::vector<long double> damages = jsonNumbers(rowsOfC, "damage");
        EXPECT_EQ(damages.at(1), 0.0L);
        const long double lifetimeC = damages.at(3);
        EXPECT_NEAR(lifetimeC / (20.0L * (bin5 + bin7) * 3600.0L / 60.0L * damages.at(0)), 1.0L, 1e-15L);
    }

    // The summary: a row per channel and recording, then each channel's lifetime row.
    args[args.size() - 1] = "csv";
    args.push_back("--summary");
    const CliRun csv = runIn(box.str(), box, args);
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::vector<std::string> lines;
    std::stringstream split(csv.out);
    for (std::string line; std::getline(split, line);)
        lines.push_back(line.substr(0, line.find(',', line.find(',') + 1)));
    std::vector<std::string> expected = {"name,channel"};
    for (const std::string channel : {"a", "b", "c"}) {
        for (const std::string recording : {"r1.csv", "r2.csv", "r1.csv"})
            expected.push_back(box.file(recording) + "," + channel);
        expected.push_back("lifetime," + channel);
    }
    EXPECT_EQ(lines, expected);

    // A table with other columns than the first recording's has no place in the lifetimes of its channels.
    box.write("r3.csv", "time,a,b\n0,1,2\n1,3,1\n");
    box.write("speeds.csv", "file,wind_speed\nr1.csv,5\nr3.csv,7\n");
    const CliRun other = runIn(box.str(), box, args);
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(
        other.err.find(box.file("r3.csv") + ": its channels (a, b) are not those of the first recording (a, b, c)"),
        std::string::npos)
        << other.err;
}
