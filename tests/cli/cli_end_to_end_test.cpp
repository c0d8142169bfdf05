#include "cli_options.h"
#include "cli_runner.h"
#include "tests/engine/test_support.h"
#include "engine/files/work_folder_lock.h"
#include "engine/record/run_messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

const std::string kExamples = TESSIVO_SHARED_EXAMPLES;
const std::string kWorked = kExamples + "/worked_example.txt";

const char* const kTableHead = "Load cycles\n"
                               "Load\tMaximum\tMinimum\tNumber of\tCumulative\n"
                               "Range\tLoad\tLoad\tCycles\tNumber\n";

const std::string kNotice32 = "Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                              "Markov matrix (32x32) has been applied.\n";

// A folder to run in and a separate one for the captured output, so a test
// can see that a run without --workdir writes nothing where it runs.
struct Sandbox {
    TempDir cwd;
    TempDir capture;
    CliRun run(const std::vector<std::string>& args) const
    {
        return tessivo::test::runCli(args, cwd.str(), capture.str());
    }
    std::vector<std::string> filesInCwd() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(cwd.str()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string spectrum(const char* length, const char* peak, const char* trough)
{
    return std::string("Spectrum characteristics\nSequence length: \t") + length + "\nHighest Peak: \t" + peak
           + "\nLowest Trough: \t" + trough + "\n\n";
}

} // namespace

TEST(CliEndToEnd, ReportOfTheWorkedExample)
{
    Sandbox box;
    const CliRun r = box.run({kWorked});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, spectrum("6", "6.000", "0.000") + kTableHead
                         + "6.000\t6.000\t0.000\t1\t1\n"
                           "4.000\t5.000\t1.000\t1\t2\n"
                           "2.000\t4.000\t2.000\t1\t3\n");
    EXPECT_TRUE(box.filesInCwd().empty()) << "no work files without --workdir";
}

TEST(CliEndToEnd, CsvAndJsonOfTheWorkedExample)
{
    Sandbox box;
    const CliRun csv = box.run({"--format", "csv", kWorked});
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, "range,upper,lower,count,cumulative\n6,6,0,1,1\n4,5,1,1,2\n2,4,2,1,3\n");
    const CliRun json = box.run({"--format=json", kWorked});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.err, "");
    EXPECT_EQ(json.out, "{\n"
                        "  \"spectrum\": {\n"
                        "    \"sequenceLength\": 6,\n"
                        "    \"highestPeak\": 6,\n"
                        "    \"lowestTrough\": 0\n"
                        "  },\n"
                        "  \"result\": 0,\n"
                        "  \"cycles\": [\n"
                        "    {\"range\": 6, \"upper\": 6, \"lower\": 0, \"count\": 1, \"cumulative\": 1},\n"
                        "    {\"range\": 4, \"upper\": 5, \"lower\": 1, \"count\": 1, \"cumulative\": 2},\n"
                        "    {\"range\": 2, \"upper\": 4, \"lower\": 2, \"count\": 1, \"cumulative\": 3}\n"
                        "  ]\n"
                        "}\n");
}

TEST(CliEndToEnd, BlockLoadingWithRepetitionsAndScale)
{
    Sandbox box;
    const std::string a = box.capture.write("a.txt", "0 4");
    const std::string b = box.capture.write("b.txt", "1\n3\n");
    // Combined: 0 4 0 4 2 6.
    const CliRun r = box.run({"--repetitions", "2", a, "--scale", "2", b});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, spectrum("6", "6.000", "0.000") + kTableHead
                         + "6.000\t6.000\t0.000\t1\t1\n"
                           "4.000\t4.000\t0.000\t1\t2\n"
                           "2.000\t4.000\t2.000\t1\t3\n");
}

TEST(CliEndToEnd, NormalisedReportAndCsv)
{
    Sandbox box;
    const std::string seq = box.capture.write("seq.txt", "10 -5 20");
    const CliRun r = box.run({"--normalize", seq});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, spectrum("3", "20.000", "-5.000") + kTableHead + "1.250\t1.000\t-0.250\t1\t1\n");
    const CliRun csv = box.run({"--normalize", "--format", "csv", seq});
    EXPECT_EQ(csv.out, "range,upper,lower,count,cumulative\n1.25,1,-0.25,1,1\n");
}

TEST(CliEndToEnd, RejectedInputAndErrors)
{
    Sandbox box;
    const std::string bad = box.capture.write("bad.txt", "1 2 x 4");
    const std::string empty = box.capture.write("empty.txt", "");
    const std::string flat = box.capture.write("flat.txt", "5 5 5");
    const std::string negative = box.capture.write("negative.txt", "-1 -2 -3");
    const std::string missing = box.capture.file("missing.txt");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{bad}, 2, "tessivo-count: " + bad + ": Incorrect sequence file\n"},
        {{kWorked, empty}, 2, "tessivo-count: " + empty + ": Incorrect sequence file\n"},
        {{flat},
         2,
         "tessivo-count: Filter size must be smaller than the difference between the highest and the smallest "
         "cycle\n"},
        {{"--filter", "-1", "--normalize", negative},
         2,
         "tessivo-count: Filter size must be equal to or larger than zero\n"},
        {{"--filter", "6", kWorked},
         2,
         "tessivo-count: Filter size must be smaller than the difference between the highest and the smallest "
         "cycle\n"},
        {{"--normalize", negative}, 2, "tessivo-count: All loads below zero, normalized spectrum not possible\n"},
        {{"--scale", "1e4000", box.capture.write("huge.txt", "1e4000 0")},
         2,
         "tessivo-count: A load of " + box.capture.file("huge.txt") + " times its scale is too large\n"},
        {{"--repetitions", "2147483647", kWorked},
         2,
         "tessivo-count: The combined sequence would hold more than 2147483647 values\n"},
        {{kWorked, missing}, 3, "tessivo-count: " + missing + ": File not found\n"},
        {{"--workdir", box.capture.file("nowhere"), kWorked},
         3,
         "tessivo-count: " + box.capture.file("nowhere") + ": File not found\n"},
        {{"--workdir", bad, kWorked}, 3, "tessivo-count: " + bad + ": File not found\n"},
        {{box.capture.str()}, 3, "tessivo-count: " + box.capture.str() + ": File access denied\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = box.run(c.args);
        EXPECT_EQ(r.status, c.status) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "") << c.err;
    }
    EXPECT_TRUE(box.filesInCwd().empty());
}

TEST(CliEndToEnd, UsageErrorsShowTheUsage)
{
    Sandbox box;
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--filter", "abc", kWorked}, "'--filter' needs a number (with '.' as decimal point), not 'abc'"},
        {{"--bin-count", "50", kWorked}, "'--bin-count' must be 32, 64 or 100, not '50'"},
        {{"--repetitions", "0", kWorked}, "'--repetitions' needs a whole number from 1 to 2147483647, not '0'"},
        {{}, "no sequence FILE given"},
        {{"--frobnicate", kWorked}, "unknown option '--frobnicate'"},
    };
    for (const auto& c : cases) {
        const CliRun r = box.run(c.args);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_EQ(r.err, "tessivo-count: " + std::string(c.message) + "\n\n" + tessivo::cli::usageText());
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliEndToEnd, HelpAndVersion)
{
    Sandbox box;
    const CliRun help = box.run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, tessivo::cli::usageText());
    EXPECT_EQ(help.out.rfind("Usage: tessivo-count ", 0), 0u);
    EXPECT_EQ(help.err, "");
    const CliRun version = box.run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tessivo-count ", 0), 0u);
    EXPECT_EQ(version.out.back(), '\n');
}

TEST(CliEndToEnd, MatrixNoticeGoesToStandardError)
{
    Sandbox box;
    const std::string block = kExamples + "/block_sequence.txt"; // 2500 values: 16 repetitions are 40000
    const CliRun r = box.run({"--bin-count", "64", "--repetitions", "16", block});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                     "Markov matrix (64x64) has been applied.\n");
    EXPECT_EQ(r.out.rfind(spectrum("40000", "140.000", "0.000"), 0), 0u);

    const CliRun below = box.run({"--repetitions", "15", "--format", "json", block});
    EXPECT_EQ(below.err, "");
    EXPECT_NE(below.out.find("\"result\": 0,"), std::string::npos);
    const CliRun json = box.run({"--repetitions", "16", "--format", "json", block});
    EXPECT_EQ(json.err, kNotice32);
    EXPECT_NE(json.out.find("\"result\": 769,"), std::string::npos);
    const CliRun unlimited = box.run({"--unlimited", "--repetitions", "16", "--format", "json", block});
    EXPECT_EQ(unlimited.err, "");
    EXPECT_NE(unlimited.out.find("\"result\": 0,"), std::string::npos);
}

TEST(CliEndToEnd, SameOutputWithAndWithoutWorkFiles)
{
    const std::string walk = kExamples + "/random_walk.txt";
    const std::string block = kExamples + "/block_sequence.txt";
    const std::string wisper = kExamples + "/wisperx.txt";
    // Seventeen significant digits: every value is rounded on its way through the work files.
    TempDir inputs;
    std::string digits;
    for (int i = 0; i < 400; ++i)
        digits += std::to_string(i % 7 == 0 ? -1 : 1) + "." + std::to_string(1234567890123456LL + i * 7919LL) + "\n";
    const std::string fine = inputs.write("fine.txt", digits);
    const std::vector<std::vector<std::string>> cases = {
        {walk},
        {"--filter", "2.5", "--residue", "upward", "--format", "csv", walk},
        {"--load-bins", "--bin-count", "100", "--format", "json", walk, "--scale", "0.5", block},
        {"--repetitions", "2", wisper},                                   // 51326 values: the matrix
        {"--unlimited", "--format", "csv", "--repetitions", "2", wisper}, // 51326 values, exact loads
        {"--format", "csv", "--scale", "0.3", fine, "--repetitions", "2", "--scale", "-7.1", fine},
        {"--normalize", "--repetitions", "3", block, "--scale", "-1.25", walk, kExamples + "/astm_e1049_example.txt"},
    };
    for (const auto& args : cases) {
        Sandbox box;
        const CliRun without = box.run(args);
        EXPECT_TRUE(box.filesInCwd().empty());
        std::vector<std::string> withArgs = {"--workdir", "work"};
        withArgs.insert(withArgs.end(), args.begin(), args.end());
        std::filesystem::create_directory(box.cwd.file("work"));
        const CliRun with = box.run(withArgs);
        const std::string what = args.front() + " " + args.back();
        EXPECT_EQ(without.status, 0) << what << without.err;
        EXPECT_EQ(with.status, without.status) << what;
        EXPECT_EQ(with.err, without.err) << what;
        EXPECT_EQ(with.out, without.out) << what;
        EXPECT_GT(without.out.size(), 100u) << what;
        for (const char* name : {"$Sequence_001.tmp", "$Sequence.tmp", "$Reversals.tmp", "$RedRev.tmp"})
            EXPECT_TRUE(std::filesystem::exists(box.cwd.file(std::string("work/") + name))) << what << name;
    }
}

TEST(CliEndToEnd, WorkFolderInUseByAnotherCopy)
{
    Sandbox box;
    const auto lock = tessivo::WorkFolderLock::tryAcquire(box.capture.str());
    ASSERT_TRUE(lock);
    const CliRun r = box.run({"--workdir", box.capture.str(), kWorked});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "tessivo-count: " + tessivo::workFolderInUseMessage(box.capture.str()) + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(box.capture.file("$Sequence_001.tmp")));
}

// Every listed cycle has the loads of the combined sequence at its positions,
// counted through the repetitions, and the listing adds up to the table.
TEST(CliEndToEnd, CycleListingOfJoinedFilesWithRepetitions)
{
    Sandbox box;
    std::vector<long double> combined;
    std::vector<std::string> files;
    unsigned seed = 18;
    for (int f = 0; f < 2; ++f) {
        std::string text;
        std::vector<long double> values;
        long double v = 0;
        for (int i = 0; i < 300; ++i) {
            seed = seed * 1103515245u + 12345u;
            v += static_cast<int>((seed >> 16) % 13) - 6;
            values.push_back(v);
            text += std::to_string(static_cast<int>(v)) + "\n";
        }
        files.push_back(box.capture.write("walk" + std::to_string(f) + ".txt", text));
        const int repetitions = f == 0 ? 3 : 1;
        const long double scale = f == 0 ? 1 : 2;
        for (int r = 0; r < repetitions; ++r)
            for (const long double x : values)
                combined.push_back(x * scale);
    }
    for (const char* filter : {"0", "3.5"})
        for (const char* method : {"decomposition", "upward", "half"}) {
            SCOPED_TRACE(std::string(filter) + method);
            const std::vector<std::string> common{"--filter", filter,   "--residue", method, "--repetitions",
                                                  "3",        files[0], "--scale",   "2",    files[1]};
            std::vector<std::string> args{"--format", "cycles"};
            args.insert(args.end(), common.begin(), common.end());
            const CliRun listing = box.run(args);
            ASSERT_EQ(listing.status, 0) << listing.err;
            args[1] = "csv";
            const CliRun table = box.run(args);
            ASSERT_EQ(table.status, 0) << table.err;

            std::map<std::pair<long double, long double>, long double> listed; // (upper, lower) -> count
            std::istringstream lines(listing.out);
            std::string line;
            std::getline(lines, line);
            ASSERT_EQ(line, "range,upper,lower,count,start,end");
            while (std::getline(lines, line)) {
                long double range, upper, lower, count;
                long long start, end;
                ASSERT_EQ(std::sscanf(line.c_str(), "%Lg,%Lg,%Lg,%Lg,%lld,%lld", &range, &upper, &lower, &count, &start,
                                      &end),
                          6)
                    << line;
                ASSERT_TRUE(start >= 0 && end >= 0 && start < static_cast<long long>(combined.size())
                            && end < static_cast<long long>(combined.size()))
                    << line;
                const long double a = combined[static_cast<std::size_t>(start)];
                const long double b = combined[static_cast<std::size_t>(end)];
                ASSERT_EQ(std::max(a, b), upper) << line;
                ASSERT_EQ(std::min(a, b), lower) << line;
                listed[{upper, lower}] += count;
            }
            std::map<std::pair<long double, long double>, long double> counted;
            std::istringstream rows(table.out);
            std::getline(rows, line);
            while (std::getline(rows, line)) {
                long double range, upper, lower, count;
                ASSERT_EQ(std::sscanf(line.c_str(), "%Lg,%Lg,%Lg,%Lg", &range, &upper, &lower, &count), 4);
                counted[{upper, lower}] += count;
            }
            EXPECT_EQ(listed, counted);
        }
}
