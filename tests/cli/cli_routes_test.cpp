// One truth on every route: the same request gives byte for byte the same
// output whichever way the values reach the count. One table of routes x
// output formats x options, each route's exit status, standard output and
// standard error against those of the plain count of one sequence file:
//   a single file counted in one pass, the same file past the two-core
//   threshold (TESSIVO_SPLIT_FROM moves it down to a few bytes), the work
//   files (--workdir), several files with repetitions, the values as a
//   column of a table (with and without --workdir; the channel field taken
//   out before comparing), and pieces saved as partial counts and merged.
// The Python module's side of the same table is tests/python/test_routes.py.

#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using tessivo::test::CliRun;
using tessivo::test::readAll;
using tessivo::test::TempDir;

namespace {

const std::string kWisperx = std::string(TESSIVO_SHARED_EXAMPLES) + "/wisperx.txt";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    return all;
}

std::string joined(const std::vector<std::string>& values, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i)
        text += values[i] + "\n";
    return text;
}

// A random walk of its own seed.
std::vector<std::string> walk(std::uint64_t seed, std::size_t n)
{
    std::mt19937_64 rng(seed);
    return tessivo::test::randomWalkText(rng, n);
}

// The sequence of every route: A, A again, then B.
struct Sequence {
    std::string a;     // A.txt
    std::string b;     // B.txt
    std::string whole; // AAB.txt, the reference
    std::string table; // the same values as the column "load" of a table
};

Sequence writeSequence(const TempDir& dir, const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    Sequence s;
    s.a = dir.write("A.txt", joined(a, 0, a.size()));
    s.b = dir.write("B.txt", joined(b, 0, b.size()));
    s.whole = dir.write("AAB.txt", readAll(s.a) + readAll(s.a) + readAll(s.b));
    std::string table = "load,other\n";
    for (const std::string& v : lines(readAll(s.whole)))
        table += v + ",1\n";
    s.table = dir.write("AAB.csv", table);
    return s;
}

struct Runner {
    TempDir cwd;
    TempDir capture;
    CliRun run(const std::vector<std::string>& args, const char* splitFrom = nullptr) const
    {
        if (splitFrom != nullptr)
            setenv("TESSIVO_SPLIT_FROM", splitFrom, 1);
        CliRun r = tessivo::test::runCli(args, cwd.str(), capture.str());
        unsetenv("TESSIVO_SPLIT_FROM");
        return r;
    }
};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// What a column's output holds without its channel: the heading of the
// report, the first field of csv and listing lines, the channel's members
// and the wrapping of json, the channel's name before each notice.
CliRun withoutChannel(CliRun r, const std::string& format, bool matrix)
{
    std::vector<std::string> out = lines(r.out);
    std::string text;
    if (format == "report" && !matrix) {
        for (std::size_t i = 2; i < out.size(); ++i) // "load", "", then the report
            text += out[i] + "\n";
    } else if (format == "json" && !matrix) {
        for (std::size_t i = 2; i + 2 < out.size(); ++i) { // inside {"channels": [ ... ]}
            const std::string line = out[i].substr(std::min<std::size_t>(4, out[i].size()));
            bool member = false;
            for (const char* name : {"channel", "unit", "emptyCellsSkipped", "rowsRead", "layout"})
                member = member || line.rfind("  \"" + std::string(name) + "\": ", 0) == 0;
            if (member)
                continue;
            text += line + "\n";
        }
    } else {
        for (const std::string& line : out) {
            const std::size_t comma = line.find(',');
            text += line.substr(comma + 1) + "\n";
        }
    }
    r.out = r.out.empty() ? "" : text;
    std::string err;
    for (const std::string& line : lines(r.err))
        err += (line.rfind("load: ", 0) == 0 ? line.substr(6) : line) + "\n";
    r.err = err;
    return r;
}

struct Option {
    const char* name;
    std::vector<std::string> args;
    bool matrix = false;
};

const std::vector<Option>& options()
{
    static const std::vector<Option> all = {
        {"none", {}},
        {"curve with DELs", {"--sn-curve", "preset:EC3-71", "--del", "3,5"}},
        {"mean-stress method", {"--sn-curve", "m=3,logA=12", "--mean-stress", "goodman", "--ultimate", "5000"}},
        {"matrix", {"--matrix", "range-mean", "--matrix-bins", "8"}, true},
        {"load bins", {"--load-bins", "--bin-count", "64"}},
        {"unlimited", {"--unlimited"}},
        {"filter", {"--filter", "2.5"}},
        {"normalise", {"--normalize", "--residue", "half"}},
    };
    return all;
}

// The options as this format takes them: the listing takes no fatigue, csv shows no DEL.
std::optional<std::vector<std::string>> optionArgs(const Option& option, const std::string& format)
{
    std::vector<std::string> args = option.args;
    const bool fatigue = !args.empty() && (args[0] == "--sn-curve" || args[0] == "--matrix");
    if (format == "cycles" && fatigue)
        return std::nullopt; // refused: see CliRefusals
    if (format == "csv" && args.size() > 2 && args[2] == "--del")
        args.resize(2);
    return args;
}

struct Route {
    const char* name;
    // The run of this route for the options and the format (format args included).
    std::function<CliRun(const Runner&, const Sequence&, const std::vector<std::string>&, const std::string&)> run;
    bool column = false;
    bool listsCycles = true;
};

std::vector<Route> routes()
{
    const auto fmt = [](const std::string& format) { return std::vector<std::string>{"--format", format}; };
    return {
        {"two cores",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             return r.run(args + fmt(f) + std::vector<std::string>{s.whole}, "16");
         }},
        {"work files",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             TempDir work;
             return r.run(args + fmt(f) + std::vector<std::string>{"--workdir", work.str(), s.whole});
         }},
        {"several files and repetitions",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             return r.run(args + fmt(f) + std::vector<std::string>{"--repetitions", "2", s.a, s.b});
         }},
        {"several files past the two-core threshold",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             return r.run(args + fmt(f) + std::vector<std::string>{"--repetitions", "2", s.a, s.b}, "16");
         }},
        {"column of a table",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             return r.run(args + fmt(f) + std::vector<std::string>{"--column", "load", s.table});
         },
         true},
        {"column of a table with work files",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             TempDir work;
             return r.run(args + fmt(f)
                          + std::vector<std::string>{"--workdir", work.str(), "--column", "load", s.table});
         },
         true},
        {"pieces saved and merged",
         [=](const Runner& r, const Sequence& s, const auto& args, const std::string& f) {
             // The counting options go to the pieces, the output options to the merge.
             std::vector<std::string> counting, output;
             for (std::size_t i = 0; i < args.size(); ++i) {
                 const bool takesValue = args[i] == "--filter" || args[i] == "--bin-count" || args[i] == "--residue";
                 const bool counts = takesValue || args[i] == "--load-bins" || args[i] == "--unlimited";
                 (counts ? counting : output).push_back(args[i]);
                 if (takesValue || (!counts && i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0))
                     (counts ? counting : output).push_back(args[++i]);
             }
             std::vector<std::string> merge = {"merge"};
             const std::string files[] = {s.a, s.a, s.b};
             for (int piece = 1; piece <= 3; ++piece) {
                 const std::string part = r.cwd.file("piece" + std::to_string(piece) + ".part");
                 const CliRun saved = r.run(counting
                                            + std::vector<std::string>{"--save-partial", part, "--piece",
                                                                       std::to_string(piece), files[piece - 1]});
                 if (saved.status != 0)
                     return saved;
                 merge.push_back(part);
             }
             std::vector<std::string> mergeArgs = {"merge"};
             mergeArgs = mergeArgs + output + fmt(f);
             mergeArgs.insert(mergeArgs.end(), merge.begin() + 1, merge.end());
             return r.run(mergeArgs);
         },
         false, false},
    };
}

void expectEveryRouteAsTheFile(const Sequence& s)
{
    Runner runner;
    const std::vector<Route> all = routes();
    for (const std::string format : {"report", "csv", "json", "cycles"}) {
        for (const Option& option : options()) {
            const auto args = optionArgs(option, format);
            if (!args)
                continue;
            const CliRun reference = runner.run(*args + std::vector<std::string>{"--format", format, s.whole});
            ASSERT_EQ(reference.status, 0) << option.name << ", " << format << ": " << reference.err;
            ASSERT_FALSE(reference.out.empty());
            for (const Route& route : all) {
                if (format == "cycles" && !route.listsCycles)
                    continue; // merge refuses it: partial counts keep no positions (CliRefusals)
                SCOPED_TRACE(std::string(route.name) + ", " + format + ", " + option.name);
                CliRun got = route.run(runner, s, *args, format);
                if (route.column)
                    got = withoutChannel(got, format, option.matrix);
                EXPECT_EQ(got.status, reference.status) << got.err;
                EXPECT_EQ(got.err, reference.err);
                EXPECT_EQ(got.out, reference.out);
            }
        }
    }
}

} // namespace

// 2 x 700 + 1500 values: the fixed table of exact loads.
TEST(CliRoutes, EveryRouteGivesTheSameBytesForAShortSequence)
{
    TempDir dir;
    const std::vector<std::string> a = walk(1, 700);
    const std::vector<std::string> b = walk(2, 1500);
    expectEveryRouteAsTheFile(writeSequence(dir, a, b));
}

// 2 x 5000 values of WISPERX, then the whole of it: past the switch to the matrix at 40000 values.
TEST(CliRoutes, EveryRouteGivesTheSameBytesPastTheSwitchToTheMatrix)
{
    TempDir dir;
    const std::vector<std::string> all = lines(readAll(kWisperx));
    std::vector<std::string> values;
    for (const std::string& line : all) {
        std::istringstream tokens(line);
        for (std::string t; tokens >> t;)
            values.push_back(t);
    }
    const std::vector<std::string> a(values.begin(), values.begin() + 5000);
    expectEveryRouteAsTheFile(writeSequence(dir, a, values));
}
