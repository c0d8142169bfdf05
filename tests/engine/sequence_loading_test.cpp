#include "engine/record/io_error.h"
#include "engine/run/plain_text_report.h"
#include "engine/run/report_builder.h"
#include "run_control_support.h"
#include "engine/files/sequence_loading.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tessivo;
using tessivo::test::readAll;
using tessivo::test::TempDir;

namespace {

// Everything of the loaded state that a failed Open must leave alone.
struct LoadedState {
    std::int32_t seqCount, seqLength, points;
    long double peak, trough, totalWeight;
    std::string fileName, workFile;
    bool operator==(const LoadedState&) const = default;
};

LoadedState stateOf(const TRainflowRun& run, const TempDir& dir)
{
    const TSequence& s = run.Sequences[1];
    return {run.SeqCount,     run.SeqLength,   s.Points,   run.HighestPeak,
            run.LowestTrough, run.TotalWeight, s.FileName, readAll(dir.file("$Sequence_001.tmp"))};
}

bool onlyWorkFileIn(const TempDir& dir, const std::vector<std::string>& inputs)
{
    std::size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.str())) {
        const std::string name = e.path().filename().string();
        if (name != "$Sequence_001.tmp" && std::find(inputs.begin(), inputs.end(), name) == inputs.end())
            return false;
        ++n;
    }
    return n == inputs.size() + 1;
}

} // namespace

TEST(OpenSequence, LoadsSlotOneAndTheTotals)
{
    TempDir dir;
    auto run = test::freshRun();
    int calls = 0;
    ASSERT_EQ(openSequence(*run, dir.write("seq.txt", "10 -5 20"), dir.str(), [&] { ++calls; }), OpenOutcome::Ok);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(run->SeqCount, 1);
    EXPECT_EQ(run->SeqLength, 3);
    EXPECT_EQ(run->HighestPeak, 20.0L);
    EXPECT_EQ(run->LowestTrough, -5.0L);
    EXPECT_EQ(run->TotalWeight, 1.0L);
    const TSequence& s = run->Sequences[1];
    EXPECT_TRUE(s.Active);
    EXPECT_EQ(s.Repetitions, 1);
    EXPECT_EQ(s.Scale, 1.0L);
    EXPECT_EQ(s.FileName, dir.file("seq.txt"));
    EXPECT_EQ(readAll(dir.file("$Sequence_001.tmp")),
              " 1.00000000000000E+0001\r\n-5.00000000000000E+0000\r\n 2.00000000000000E+0001\r\n");
    EXPECT_TRUE(onlyWorkFileIn(dir, {"seq.txt"}));

    PlainTextReport report;
    WriteSpectrumCharacteristics(report, *run);
    EXPECT_EQ(report.text(), "Spectrum characteristics\nSequence length: \t3\nHighest Peak: \t20.000\n"
                             "Lowest Trough: \t-5.000\n");
}

TEST(OpenSequence, AFailedOpenKeepsThePreviousSequence)
{
    const struct {
        const char* name;
        const char* content; // nullptr: the file does not exist
        bool incorrect;
    } cases[] = {
        {"token that is no number", "1 2 x 4", true}, {"comma", "1,5", true},           {"zero bytes", "", true},
        {"only line breaks", "\r\n\r\n  \n", true},   {"missing file", nullptr, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto run = test::freshRun();
        ASSERT_EQ(openSequence(*run, dir.write("good.txt", "0 5 2 4 1 6"), dir.str()), OpenOutcome::Ok);
        const LoadedState before = stateOf(*run, dir);
        const std::string bad = c.content ? dir.write("bad.txt", c.content) : dir.file("bad.txt");
        if (c.incorrect)
            EXPECT_EQ(openSequence(*run, bad, dir.str()), OpenOutcome::Incorrect) << c.name;
        else
            EXPECT_THROW(openSequence(*run, bad, dir.str()), IoError) << c.name;
        EXPECT_TRUE(stateOf(*run, dir) == before) << c.name;
        std::vector<std::string> inputs = {"good.txt"};
        if (c.content)
            inputs.push_back("bad.txt");
        EXPECT_TRUE(onlyWorkFileIn(dir, inputs)) << c.name << ": a temporary file was left behind";
    }
}

TEST(OpenSequence, IncorrectFirstOpenLeavesNothingLoaded)
{
    TempDir dir;
    auto run = test::freshRun();
    EXPECT_EQ(openSequence(*run, dir.write("bad.txt", "1 2 x 4"), dir.str()), OpenOutcome::Incorrect);
    EXPECT_EQ(run->SeqCount, 0);
    EXPECT_EQ(run->Sequences[1].Points, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("$Sequence_001.tmp")));
}

TEST(OpenSequence, CanOpenItsOwnWorkFile)
{
    TempDir dir;
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, dir.write("seq.txt", "1.5 -250"), dir.str()), OpenOutcome::Ok);
    const std::string work = readAll(dir.file("$Sequence_001.tmp"));
    ASSERT_EQ(openSequence(*run, dir.file("$Sequence_001.tmp"), dir.str()), OpenOutcome::Ok);
    EXPECT_EQ(run->SeqLength, 2);
    EXPECT_EQ(readAll(dir.file("$Sequence_001.tmp")), work);
}

TEST(OpenSequence, WorkFolderThatCannotBeWrittenIsAnIoError)
{
    TempDir dir;
    auto run = test::freshRun();
    const std::string seq = dir.write("seq.txt", "1 2 3");
    EXPECT_THROW(openSequence(*run, seq, dir.file("no-such-folder")), IoError);
    EXPECT_EQ(run->SeqCount, 0);
}

TEST(ScanSequence, SameStatisticsAsTheReaderWithoutWorkFile)
{
    TempDir dir;
    auto scanned = test::freshRun();
    auto loaded = test::freshRun();
    const std::string seq = dir.write("seq.txt", "  3e2 -7.25\t1e-3\r\n42\x1a"
                                                 "junk");
    ASSERT_EQ(scanSequenceSlot(*scanned, 2, seq), OpenOutcome::Ok);
    EXPECT_FALSE(std::filesystem::exists(dir.file("$Sequence_002.tmp")));
    ASSERT_EQ(loadSequenceSlot(*loaded, 2, seq, dir.str()), OpenOutcome::Ok);
    const TSequence& a = scanned->Sequences[2];
    const TSequence& b = loaded->Sequences[2];
    EXPECT_EQ(a.Points, 4);
    EXPECT_EQ(a.Points, b.Points);
    EXPECT_EQ(a.HighestPeak, b.HighestPeak);
    EXPECT_EQ(a.LowestTrough, b.LowestTrough);
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(scanSequenceSlot(*scanned, 3, dir.write("bad.txt", "1 2 x")), OpenOutcome::Incorrect);
    EXPECT_FALSE(scanned->Sequences[3].Active);
    EXPECT_THROW(scanSequenceSlot(*scanned, 101, seq), std::out_of_range);
}
