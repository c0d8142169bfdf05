#include "cli_options.h"

#include <gtest/gtest.h>

using namespace tessivo::cli;
using tessivo::ResidueMethod;
using Action = ParsedCommandLine::Action;

TEST(CliOptions, DefaultsAreTheDesktopProgramsFirstStart)
{
    const ParsedCommandLine p = parseCommandLine({"seq.txt"});
    ASSERT_EQ(p.action, Action::Count);
    const CountOptions& o = p.options;
    EXPECT_EQ(o.request.filter, 0.0L);
    EXPECT_FALSE(o.request.normalize);
    EXPECT_FALSE(o.request.loadBins);
    EXPECT_EQ(o.request.binCount, 32);
    EXPECT_EQ(o.request.residue, ResidueMethod::Decomposition);
    EXPECT_FALSE(o.request.unlimited);
    EXPECT_EQ(o.output.format, OutputFormat::Report);
    EXPECT_FALSE(o.request.workDir.has_value());
    ASSERT_EQ(o.sequences.size(), 1u);
    EXPECT_EQ(o.sequences[0].repetitions, 1);
    EXPECT_EQ(o.sequences[0].scale, 1.0L);
}

TEST(CliOptions, RepetitionsAndScaleBelongToTheNextFile)
{
    const ParsedCommandLine p = parseCommandLine(
        {"--repetitions", "3", "a.txt", "--scale=-1.5", "b.txt", "c.txt", "--scale", "2", "--repetitions=7", "d.txt"});
    ASSERT_EQ(p.action, Action::Count) << p.error;
    const auto& s = p.options.sequences;
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].path, "a.txt");
    EXPECT_EQ(s[0].repetitions, 3);
    EXPECT_EQ(s[0].scale, 1.0L);
    EXPECT_EQ(s[1].repetitions, 1);
    EXPECT_EQ(s[1].scale, -1.5L);
    EXPECT_EQ(s[2].repetitions, 1);
    EXPECT_EQ(s[2].scale, 1.0L);
    EXPECT_EQ(s[3].repetitions, 7);
    EXPECT_EQ(s[3].scale, 2.0L);
}

TEST(CliOptions, EveryOptionTakesEffect)
{
    const ParsedCommandLine p =
        parseCommandLine({"--filter", "0.25", "--normalize", "--load-bins", "--bin-count", "100", "--residue", "upward",
                          "--unlimited", "--format", "json", "--workdir", "w", "--", "--odd-name"});
    ASSERT_EQ(p.action, Action::Count) << p.error;
    const CountOptions& o = p.options;
    EXPECT_EQ(o.request.filter, 0.25L);
    EXPECT_TRUE(o.request.normalize);
    EXPECT_TRUE(o.request.loadBins);
    EXPECT_EQ(o.request.binCount, 100);
    EXPECT_EQ(o.request.residue, ResidueMethod::Upward);
    EXPECT_TRUE(o.request.unlimited);
    EXPECT_EQ(o.output.format, OutputFormat::Json);
    EXPECT_EQ(o.request.workDir.value_or(""), "w");
    EXPECT_EQ(o.sequences.at(0).path, "--odd-name");
    EXPECT_EQ(parseCommandLine({"--filter", "-1", "a"}).options.request.filter, -1.0L)
        << "the check reports it, not the parser";
    EXPECT_EQ(parseCommandLine({"--format=csv", "a"}).options.output.format, OutputFormat::Csv);
    EXPECT_EQ(parseCommandLine({"--residue=decomposition", "a"}).options.request.residue, ResidueMethod::Decomposition);
    EXPECT_EQ(parseCommandLine({"--residue", "half", "a"}).options.request.residue, ResidueMethod::Half);
}

TEST(CliOptions, HelpAndVersionWinOverEverythingBefore)
{
    EXPECT_EQ(parseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"--bin-count", "50", "--help"}).action, Action::Error);
    EXPECT_EQ(parseCommandLine({"a.txt", "-h"}).action, Action::Help);
    EXPECT_EQ(parseCommandLine({"--version", "--bogus"}).action, Action::Version);
}

TEST(CliOptions, BadValuesSayWhichOption)
{
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--filter", "abc", "a"}, "'--filter' needs a number (with '.' as decimal point), not 'abc'"},
        {{"--filter", "1,5", "a"}, "'--filter' needs a number (with '.' as decimal point), not '1,5'"},
        {{"--filter", "1e5000", "a"}, "'--filter' needs a number (with '.' as decimal point), not '1e5000'"},
        {{"--filter=", "a"}, "'--filter' needs a number (with '.' as decimal point), not ''"},
        {{"--scale", "nan", "a"}, "'--scale' needs a number (with '.' as decimal point), not 'nan'"},
        {{"--bin-count", "50", "a"}, "'--bin-count' must be 32, 64 or 100, not '50'"},
        {{"--bin-edges", "0,2,1", "a"},
         "'--bin-edges': The edges of load classes must rise strictly, each above the one before"},
        {{"--bin-edges", "0,,1", "a"}, "'--bin-edges' needs a number (with '.' as decimal point), not ''"},
        {{"--bin-edges", "5", "a"}, "'--bin-edges': Load classes need at least two edges"},
        {{"merge", "--bin-edges", "0,1", "p"},
         "'merge' takes only the options of the output ('--format', '--normalize' and the fatigue options): the "
         "partial counts carry the rest"},
        {{"--repetitions", "0", "a"}, "'--repetitions' needs a whole number from 1 to 2147483647, not '0'"},
        // A fraction weights the cycles in the fatigue results, of one FILE alone.
        {{"--repetitions", "2.5", "a"},
         "a '--repetitions' that is not a whole number weights the cycles of one FILE counted alone, with "
         "'--sn-curve' or '--del': count other FILEs separately"},
        {{"--repetitions", "2147483648", "a"},
         "'--repetitions' needs a whole number from 1 to 2147483647, not '2147483648'"},
        {{"--residue", "sideways", "a"}, "'--residue' must be decomposition, upward or half, not 'sideways'"},
        {{"--format", "xml", "a"}, "'--format' must be report, csv, json or cycles, not 'xml'"},
        {{"--workdir=", "a"}, "'--workdir' needs a folder"},
        {{"--normalize=yes", "a"}, "'--normalize' takes no value"},
        {{"--bogus", "a"}, "unknown option '--bogus'"},
        {{"-x", "a"}, "unknown option '-x'"},
        {{"a", "--filter"}, "'--filter' needs a value"},
        {{"a", "--scale", "2"}, "'--scale' must be followed by the FILE it applies to"},
        {{"--unlimited"}, "no sequence FILE given"},
        {{}, "no sequence FILE given"},
    };
    for (const auto& c : cases) {
        const ParsedCommandLine p = parseCommandLine(c.args);
        EXPECT_EQ(p.action, Action::Error) << c.error;
        EXPECT_EQ(p.error, c.error);
    }
}

TEST(CliOptions, AtMostOneHundredFiles)
{
    std::vector<std::string> args(100, "a.txt");
    EXPECT_EQ(parseCommandLine(args).action, Action::Count);
    args.push_back("a.txt");
    const ParsedCommandLine p = parseCommandLine(args);
    EXPECT_EQ(p.action, Action::Error);
    EXPECT_EQ(p.error, "at most 100 sequence files can be counted together");
}
