// Counting in pieces from the command line: partial counts saved piece by
// piece and merged give, byte for byte, what a count of the joined file
// gives; a large file counted on two cores gives what one pass gives.

#include "cli_runner.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using tessivo::test::CliRun;
using tessivo::test::readAll;
using tessivo::test::TempDir;

namespace {

const std::string kWisperx = std::string(TESSIVO_SHARED_EXAMPLES) + "/wisperx.txt";

struct Sandbox {
    TempDir cwd;
    TempDir capture;
    CliRun run(const std::vector<std::string>& args) const
    {
        return tessivo::test::runCli(args, cwd.str(), capture.str());
    }
};

std::vector<std::string> tokens(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> all;
    for (std::string t; in >> t;)
        all.push_back(t);
    return all;
}

// The values of `all` from..to as a sequence file, one line each.
std::string piece(const TempDir& dir, const std::string& name, const std::vector<std::string>& all, std::size_t from,
                  std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to; ++i)
        text += all[i] + "\n";
    return dir.write(name, text);
}

void expectSameRun(const CliRun& merged, const CliRun& whole)
{
    EXPECT_EQ(merged.status, whole.status);
    EXPECT_EQ(merged.err, whole.err);
    EXPECT_EQ(merged.out, whole.out);
}

} // namespace

// WISPERX cut in three at odd places (one piece a single value, the highest
// load with more digits than a work file keeps), then the whole of it once
// more as a fourth piece: 51327 values, past the switch to the matrix. Every
// format, with and without load bins and limits.
TEST(CliPartial, MergeOfPiecesEqualsTheCountOfTheJoinedFile)
{
    Sandbox box;
    std::vector<std::string> all = tokens(readAll(kWisperx));
    const std::size_t n = all.size();
    all[7001] = "64.00000000000000001";
    const std::vector<std::string> files = {piece(box.cwd, "p1.txt", all, 0, 7001),
                                            piece(box.cwd, "p2.txt", all, 7001, 7002),
                                            piece(box.cwd, "p3.txt", all, 7002, n), kWisperx};
    const std::string joined = box.cwd.write("joined.txt", readAll(files[0]) + readAll(files[1]) + readAll(files[2]));
    const std::string twice = box.cwd.write("twice.txt", readAll(joined) + readAll(kWisperx));

    const std::vector<std::vector<std::string>> settings = {
        {},
        {"--load-bins", "--bin-count", "64", "--residue", "upward"},
        {"--unlimited", "--filter", "0.05"},
        {"--residue", "upward", "--normalize"},
    };
    for (const auto& setting : settings) {
        for (const std::size_t pieces : {std::size_t{3}, std::size_t{4}}) {
            std::vector<std::string> merge = {"merge"};
            for (std::size_t i = 0; i < pieces; ++i) {
                std::vector<std::string> save = setting;
                std::string name = std::to_string(i + 1); // (a prefix literal trips a false -Wrestrict of g++ 12)
                name += ".part";
                const std::string part = box.cwd.file(name);
                save.insert(save.end(), {"--save-partial", part, "--piece", std::to_string(i + 1), files[i]});
                ASSERT_EQ(box.run(save).status, 0);
                merge.push_back(part);
            }
            for (const std::string format : {"report", "csv", "json"}) {
                SCOPED_TRACE(format + " of " + std::to_string(pieces) + " pieces, setting "
                             + (setting.empty() ? "" : setting[0]));
                std::vector<std::string> count = setting;
                count.insert(count.end(), {"--format", format, pieces == 3 ? joined : twice});
                std::vector<std::string> merged = merge;
                merged.insert(merged.begin() + 1, {"--format", format});
                if (std::find(setting.begin(), setting.end(), "--normalize") != setting.end())
                    merged.insert(merged.begin() + 1, "--normalize");
                expectSameRun(box.run(merged), box.run(count));
            }
        }
    }
}

TEST(CliPartial, PiecesCountedInLoadClassesFromTheStart)
{
    Sandbox box;
    const std::vector<std::string> all = tokens(readAll(kWisperx));
    const std::string a = piece(box.cwd, "a.txt", all, 0, 12345);
    const std::string b = piece(box.cwd, "b.txt", all, 12345, all.size());
    const std::vector<std::string> bins = {"--load-bins", "--bin-lowest", "-35", "--bin-highest", "64"};
    for (const auto& [file, number] : {std::pair{a, "1"}, std::pair{b, "2"}}) {
        std::vector<std::string> save = bins;
        save.insert(save.end(),
                    {"--save-partial", box.cwd.file(std::string(number) + ".part"), "--piece", number, file});
        ASSERT_EQ(box.run(save).status, 0);
    }
    const CliRun merged = box.run({"merge", "--format", "csv", box.cwd.file("1.part"), box.cwd.file("2.part")});
    // The classes must span the extremes of the whole sequence, which these do not.
    EXPECT_EQ(merged.status, 2);
    EXPECT_NE(merged.err.find("The load classes were laid from -35.000 to 64.000, but the sequence spans"),
              std::string::npos)
        << merged.err;
}

TEST(CliPartial, PartialCountsThatDoNotFitAreRefused)
{
    Sandbox box;
    const std::string seq = box.cwd.write("s.txt", "0 5 2 4 1 6 3\n");
    for (const auto& [name, extra] :
         {std::pair{"1.part", std::vector<std::string>{"--piece", "1"}},
          std::pair{"2.part", std::vector<std::string>{"--piece", "2"}},
          std::pair{"2f.part", std::vector<std::string>{"--piece", "2", "--filter", "1"}}}) {
        std::vector<std::string> save = {"--save-partial", box.cwd.file(name)};
        save.insert(save.end(), extra.begin(), extra.end());
        save.push_back(seq);
        ASSERT_EQ(box.run(save).status, 0);
    }
    const auto refusal = [&box](const std::vector<std::string>& files) {
        std::vector<std::string> args = {"merge"};
        for (const auto& f : files)
            args.push_back(box.cwd.file(f));
        const CliRun r = box.run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        return r.err;
    };
    EXPECT_EQ(refusal({"2.part", "1.part"}),
              "tessivo-count: Partial counts out of order: piece 1 cannot follow piece 2\n");
    EXPECT_EQ(refusal({"2.part"}),
              "tessivo-count: The first piece of the sequence is missing: the counts start at piece 2\n");
    EXPECT_EQ(refusal({"1.part", "2.part", "2.part"}),
              "tessivo-count: Partial counts out of order: piece 2 cannot follow pieces 1 to 2\n");
    EXPECT_EQ(refusal({"1.part", "2f.part"}),
              "tessivo-count: The partial counts differ in their filter size: piece 1 and piece 2 cannot be merged\n");
    std::string bytes = readAll(box.cwd.file("2.part"));
    bytes[bytes.size() / 2] ^= 1;
    box.cwd.write("bad.part", bytes);
    EXPECT_EQ(refusal({"1.part", "bad.part"}), "tessivo-count: " + box.cwd.file("bad.part")
                                                   + ": partial count is corrupt (its checksum does not match)\n");
    EXPECT_EQ(refusal({"1.part", "s.txt"}), "tessivo-count: " + box.cwd.file("s.txt") + ": not a partial count\n");
    EXPECT_EQ(box.run({"merge", "--filter", "1", box.cwd.file("1.part")}).status, 1);
}

// Pieces saved without --piece merge in the order given; numbered ones among
// them are still checked where their numbers meet.
TEST(CliPartial, UnnumberedPiecesMergeInTheOrderGiven)
{
    Sandbox box;
    const std::vector<std::string> all = tokens(readAll(kWisperx));
    const std::map<std::string, std::string> files = {{"a", piece(box.cwd, "a.txt", all, 0, 20000)},
                                                      {"b", piece(box.cwd, "b.txt", all, 20000, 20001)},
                                                      {"c", piece(box.cwd, "c.txt", all, 20001, all.size())}};
    // A part is a file's letter and its number, or '-' for none.
    const auto part = [&](const std::string& name) {
        const std::string path = box.cwd.file(name + ".part");
        std::vector<std::string> save = {"--save-partial", path};
        if (name[1] != '-')
            save.insert(save.end(), {"--piece", name.substr(1)});
        save.push_back(files.at(name.substr(0, 1)));
        EXPECT_EQ(box.run(save).status, 0) << name;
        return path;
    };
    struct Case {
        std::vector<std::string> parts;
        std::string refusal; // empty: the count of the files joined in the order of the parts
    };
    const std::vector<Case> cases = {
        {{"a-", "b-", "c-"}, ""},
        {{"c-", "a-", "b-"}, ""},
        {{"a1", "b-", "c-"}, ""},
        {{"a-", "b2", "c3"}, ""},
        {{"c-"}, ""},
        {{"a-", "b1"}, "Partial counts out of order: piece 1 cannot follow unnumbered pieces"},
        {{"a-", "b3", "c2"}, "Partial counts out of order: piece 2 cannot follow the pieces up to piece 3"},
        {{"a2", "b-", "c2"}, "Partial counts out of order: piece 2 cannot follow the pieces from piece 2"},
        {{"a2", "b-"}, "The first piece of the sequence is missing: the counts start at piece 2"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> merge = {"merge", "--format", "json"};
        std::string joined;
        for (const std::string& name : c.parts) {
            merge.push_back(part(name));
            joined += readAll(files.at(name.substr(0, 1)));
        }
        std::string label;
        for (const std::string& name : c.parts)
            label += name + " ";
        SCOPED_TRACE(label);
        const CliRun merged = box.run(merge);
        if (c.refusal.empty()) {
            expectSameRun(merged, box.run({"--format", "json", box.cwd.write("joined.txt", joined)}));
        } else {
            EXPECT_EQ(merged.status, 2);
            EXPECT_EQ(merged.err, "tessivo-count: " + c.refusal + "\n");
        }
    }
}

// A file of 8 MB or more is counted as two pieces at once; with work files it
// is counted in one pass. Both must say the same.
TEST(CliPartial, LargeFileCountedOnTwoCoresAsInOnePass)
{
    Sandbox box;
    std::mt19937_64 rng(9);
    std::string text;
    long double walk = 0;
    for (int i = 0; i < 900000; ++i) {
        walk += std::uniform_int_distribution<int>(-500, 500)(rng) / 100.0L;
        text += std::to_string(static_cast<double>(walk)).substr(0, 9) + (i % 7 == 0 ? "\n" : " ");
    }
    const std::string big = box.cwd.write("big.txt", text);
    ASSERT_GE(text.size(), 8u << 20);
    TempDir work;
    for (const auto& setting :
         {std::vector<std::string>{"--load-bins"}, std::vector<std::string>{"--unlimited", "--residue", "upward"},
          std::vector<std::string>{"--filter", "2"}}) {
        std::vector<std::string> split = setting;
        split.insert(split.end(), {"--format", "csv", big});
        std::vector<std::string> onePass = setting;
        onePass.insert(onePass.end(), {"--workdir", work.str(), "--format", "csv", big});
        expectSameRun(box.run(split), box.run(onePass));
    }
    // Without the scan, a token that is not a number still makes the file incorrect.
    const std::string broken = box.cwd.write("broken.txt", text + " 1,5\n");
    const CliRun r = box.run({"--unlimited", broken});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tessivo-count: " + broken + ": Incorrect sequence file\n");
}
