#include "reference_stages.h"
#include "engine/record/input_too_large.h"
#include "engine/record/io_error.h"
#include "engine/record/run_record.h"
#include "engine/files/sequence_reader.h"
#include "test_support.h"
#include "engine/numbers/pad_left.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"
#include "engine/numbers/decimal_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>

using namespace tessivo;
using tessivo::test::ReadSequenceFile;
using tessivo::test::TempDir;
using tessivo::test::workLines;

namespace {

struct ReadResult {
    std::int32_t points = -1;
    long double peak = 0.0L, trough = 0.0L, scale = 0.0L, weight = 0.0L;
    std::int32_t error = 0;
    std::vector<std::string> lines;
};

ReadResult readContent(const std::string& content)
{
    TempDir dir;
    const std::string file = dir.write("seq.txt", content);
    ReadResult r;
    ReadSequenceFile(file, 1, dir.str(), r.points, r.peak, r.trough, r.scale, r.weight, r.error);
    r.lines = workLines(dir.file("$Sequence_001.tmp"));
    return r;
}

} // namespace

TEST(SequenceReader, ReadsEveryLayoutAlike)
{
    for (const char* content : {"10 -5 20", "10\r\n-5\r\n20\r\n", "10\t-5\n20\n", "\n\n  10  \t\t-5\r\n\r\n20   \n\n",
                                "10 -5 20\x1a", "10 -5 20 \x1a",
                                "10 -5 20\x1a"
                                "abc",
                                "10\f-5\v20\x01"}) {
        const ReadResult r = readContent(content);
        EXPECT_EQ(r.error, 0) << content;
        EXPECT_EQ(r.points, 3);
        EXPECT_EQ(r.peak, 20.0L);
        EXPECT_EQ(r.trough, -5.0L);
        EXPECT_EQ(r.scale, 1.0L);
        EXPECT_EQ(r.weight, 1.0L);
        EXPECT_EQ(r.lines, (std::vector<std::string>{" 1.00000000000000E+0001", "-5.00000000000000E+0000",
                                                     " 2.00000000000000E+0001"}));
    }
}

TEST(SequenceReader, RejectsFilesThatAreNotSequences)
{
    const struct {
        const char* content;
        std::int32_t points;
        std::size_t lines;
    } cases[] = {
        {"", 0, 0},
        {"  \r\n\r\n \t ", 0, 0},
        {"\x1a"
         "12",
         0, 0},
        {"1 2 x 4", 2, 2},
        {"1,5", 0, 0},
        {"1;2", 0, 0},
        {"3 nan", 1, 1},
        {"3 inf", 1, 1},
        {"0x1p3", 0, 0},
        {"7 1e99999", 1, 1},
    };
    for (const auto& c : cases) {
        const ReadResult r = readContent(c.content);
        EXPECT_EQ(r.error, SeqFileError) << c.content;
        EXPECT_EQ(r.points, c.points) << c.content;
        EXPECT_EQ(r.lines.size(), c.lines) << c.content;
    }
}

TEST(SequenceReader, EveryControlCharacterSeparatesNumbers)
{
    // Codes 0 to 32 are white space, the NUL byte included.
    const ReadResult r = readContent(std::string("1 2\0"
                                                 "3 4",
                                                 7));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.points, 4);
}

TEST(SequenceReader, ExtremesBeyondTheSentinelsAreKept)
{
    ReadResult r = readContent("5E40 7E40 6E40");
    EXPECT_EQ(r.peak, 7E40L);
    EXPECT_EQ(r.trough, 5E40L);
    r = readContent("-5E40 -7E40");
    EXPECT_EQ(r.peak, -5E40L);
    EXPECT_EQ(r.trough, -7E40L);
}

TEST(SequenceReader, TallyCountsEachValueAndRefusesOneBeyondAnInt32)
{
    SequenceStats stats;
    tallyValue(stats, -5E40L, "a.txt"); // below the trough sentinel: still the peak too
    EXPECT_EQ(stats.Points, 1);
    EXPECT_EQ(stats.HighestPeak, -5E40L);
    EXPECT_EQ(stats.LowestTrough, -5E40L);
    tallyValue(stats, 3.0L, "a.txt");
    tallyValue(stats, -7.0L, "a.txt");
    EXPECT_EQ(stats.Points, 3);
    EXPECT_EQ(stats.HighestPeak, 3.0L);
    EXPECT_EQ(stats.LowestTrough, -5E40L);

    stats.Points = std::numeric_limits<std::int32_t>::max();
    EXPECT_THROW(tallyValue(stats, 1E50L, "a.txt"), InputTooLarge);
    EXPECT_EQ(stats.Points, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(stats.HighestPeak, 3.0L); // the refused value is not taken
}

TEST(SequenceReader, StatisticsKeepFullPrecisionWhileTheWorkFileHas15Digits)
{
    const ReadResult r = readContent("0.12345678901234567 0");
    EXPECT_EQ(r.peak, 0.12345678901234567L);
    EXPECT_EQ(r.lines.front(), " 1.23456789012346E-0001");
}

TEST(SequenceReader, LongTokenWithoutWhiteSpaceIsReadInBoundedMemory)
{
    // 20 MB of digits: too large a number, read through without holding it.
    const ReadResult r = readContent(std::string(20'000'000, '7'));
    EXPECT_EQ(r.error, SeqFileError);
    EXPECT_EQ(r.points, 0);
    const ReadResult tiny = readContent("0." + std::string(5'000'000, '0') + "1 4");
    EXPECT_EQ(tiny.error, 0);
    EXPECT_EQ(tiny.points, 2);
}

TEST(SequenceReader, FailuresToOpenAreIoErrorsAndTouchNoWorkFile)
{
    TempDir dir;
    std::int32_t points = 0, error = 0;
    long double hp = 0, lt = 0, sc = 0, w = 0;
    try {
        ReadSequenceFile(dir.file("missing.txt"), 1, dir.str(), points, hp, lt, sc, w, error);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "File not found");
        EXPECT_EQ(e.path(), dir.file("missing.txt"));
    }
    EXPECT_THROW(ReadSequenceFile(dir.str(), 1, dir.str(), points, hp, lt, sc, w, error), IoError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("$Sequence_001.tmp")));
    EXPECT_EQ(error, 0);
}

TEST(SequenceReader, KeepsPathsLongerThan255Characters)
{
    TempDir dir;
    std::string sub = dir.str();
    for (int i = 0; i < 6; ++i) {
        sub += "/" + std::string(60, static_cast<char>('a' + i));
        std::filesystem::create_directory(sub);
    }
    const std::string file = sub + "/seq.txt";
    std::ofstream(file) << "1 2 3";
    ASSERT_GT(file.size(), 255u);
    TRainflowRun* run = new TRainflowRun{};
    std::unique_ptr<TRainflowRun> owner(run);
    TSequence& s = run->Sequences[1];
    s.FileName = file;
    std::int32_t error = 0;
    ReadSequenceFile(s.FileName, 1, dir.str(), s.Points, s.HighestPeak, s.LowestTrough, s.Scale, s.Weight, error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(s.Points, 3);
    EXPECT_EQ(s.FileName, file);
}

TEST(SequenceReader, RefusesASymbolicLinkPlantedAsWorkFile)
{
    TempDir dir;
    const std::string target = dir.write("precious.txt", "keep me");
    std::error_code linkError;
    std::filesystem::create_symlink(target, dir.file("$Sequence_001.tmp"), linkError);
    if (linkError)
        GTEST_SKIP() << "no symbolic links here (Windows without the privilege): " << linkError.message();
    const std::string seq = dir.write("seq.txt", "1 2");
    std::int32_t points = 0, error = 0;
    long double hp = 0, lt = 0, sc = 0, w = 0;
    EXPECT_THROW(ReadSequenceFile(seq, 1, dir.str(), points, hp, lt, sc, w, error), IoError);
    EXPECT_EQ(tessivo::test::readAll(target), "keep me");
}

TEST(SequenceTotals, CombineTheActiveSlots)
{
    auto run = std::make_unique<TRainflowRun>();
    run->SeqCount = 3;
    run->Sequences[1] = TSequence{"a", true, 3, 3, 20.0L, -5.0L, 2.0L, 1.0L};
    run->Sequences[2] = TSequence{"b", false, 5, 100, 1000.0L, -1000.0L, 1.0L, 1.0L};
    run->Sequences[3] = TSequence{"c", true, 1, 4, 8.0L, 2.0L, -1.0L, 0.5L};
    run->Sequences[4] = TSequence{"d", true, 1, 4, 99.0L, -99.0L, 1.0L, 1.0L}; // beyond SeqCount
    UpdateSequenceTotals(*run);
    EXPECT_EQ(run->SeqLength, 13);
    EXPECT_EQ(run->HighestPeak, 40.0L);
    EXPECT_EQ(run->LowestTrough, -10.0L);
    EXPECT_EQ(run->TotalWeight, 3.5L);

    run->Sequences[1].Scale = -1.0L; // a negative scale swaps peaks and troughs
    UpdateSequenceTotals(*run);
    EXPECT_EQ(run->HighestPeak, 5.0L);
    EXPECT_EQ(run->LowestTrough, -20.0L);
}

TEST(SequenceTotals, NoActiveSlotGivesTheSentinels)
{
    auto run = std::make_unique<TRainflowRun>();
    run->SeqCount = 1;
    run->Sequences[1] = TSequence{"a", false, 1, 3, 20.0L, -5.0L, 1.0L, 1.0L};
    UpdateSequenceTotals(*run);
    EXPECT_EQ(run->SeqLength, 0);
    EXPECT_EQ(run->TotalWeight, 0.0L);
    EXPECT_EQ(run->HighestPeak, -1.0E32L);
    EXPECT_EQ(run->LowestTrough, 1.0E32L);

    run->Sequences[1] = TSequence{"a", true, 1, 2, -3E40L, -5E40L, 1.0L, 1.0L};
    UpdateSequenceTotals(*run);
    EXPECT_EQ(run->HighestPeak, -3E40L) << "loads beyond the sentinels";
    EXPECT_EQ(run->LowestTrough, -5E40L);
}

TEST(SequenceTotals, OverflowingLengthIsAnErrorNotAWrappedNumber)
{
    auto run = std::make_unique<TRainflowRun>();
    run->SeqCount = 2;
    run->Sequences[1] = TSequence{"a", true, 100000, 20000, 1.0L, 0.0L, 1.0L, 1.0L};
    run->Sequences[2] = TSequence{"b", true, 1000, 147484, 1.0L, 0.0L, 1.0L, 1.0L};
    EXPECT_THROW(UpdateSequenceTotals(*run), InputTooLarge);
}

TEST(WorkFiles, SlotNamesAndPadding)
{
    EXPECT_EQ(sequenceSlotFileName(1), "$Sequence_001.tmp");
    EXPECT_EQ(sequenceSlotFileName(100), "$Sequence_100.tmp");
    EXPECT_EQ(PadLeft("", 3, '0'), "000");
    EXPECT_EQ(PadLeft("7", 3, '0'), "007");
    EXPECT_EQ(PadLeft("12345", 3, '0'), "12345");
    EXPECT_EQ(PadLeft("1000", 3, '0'), "1000");
    EXPECT_EQ(PadLeft("ab", 0, '0'), "ab");
    EXPECT_EQ(workFilePath("/w/", "x"), "/w/x");
    EXPECT_EQ(workFilePath("/w", "x"), "/w/x");
}

TEST(WorkFiles, ReaderSkipsLinesThatDoNotConvert)
{
    TempDir dir;
    const std::string path = dir.write("w.tmp", " 1.00000000000000E+0000\r\nabc\r\n\r\n" + std::string(3 << 20, '9')
                                                    + "\r\n-2.50000000000000E+0002\r\n7");
    WorkFileReader reader(path);
    std::vector<long double> values;
    long double v = 0.0L;
    while (reader.next(v))
        values.push_back(v);
    EXPECT_EQ(values, (std::vector<long double>{1.0L, -250.0L, 7.0L}));
}

TEST(WorkFiles, WriterReportsAFullDisk)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    try {
        WorkFileWriter w("/dev/full");
        for (int i = 0; i < 100000; ++i)
            w.put(1.0L);
        w.close();
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Disk full");
    }
}

TEST(SequenceReader, CarriedDigitsGiveTheSameLinesAsConversion)
{
    // Short tokens are written from their own digits; every form must give
    // the line that converting the value gives.
    const char* tokens[] = {
        "-6.604",  "0.005",      "100", "-0", "+0.0",  "1e-27", "123456789012345", "1234567890123456", "0.000123",
        "9.99e26", "-12345.678", "5.",  ".5", "1.5E3", "7e+0"};
    std::string content;
    for (const char* t : tokens)
        content += std::string(t) + " ";
    const ReadResult r = readContent(content);
    ASSERT_EQ(r.lines.size(), std::size(tokens));
    for (std::size_t i = 0; i < std::size(tokens); ++i) {
        long double v = 0.0L;
        ASSERT_TRUE(parseDecimal(tokens[i], v));
        EXPECT_EQ(r.lines[i], formatWorkValue(v)) << tokens[i];
    }
}

TEST(SequenceReader, FastAndGeneralTokenPathsAgreeOnRandomTokens)
{
    std::mt19937_64 rng(5);
    std::vector<std::string> tokens;
    std::string content;
    for (int i = 0; i < 90000; ++i) { // more than the reader's 1 MB buffer holds
        std::string t = (rng() % 3 == 0) ? "-" : ((rng() % 5 == 0) ? "+" : "");
        const int digits = 1 + static_cast<int>(rng() % 24);
        const int point = static_cast<int>(rng() % (digits + 2)) - 1;
        for (int d = 0; d < digits; ++d) {
            if (d == point)
                t += '.';
            t += static_cast<char>('0' + (rng() % 4 == 0 ? 0 : rng() % 10));
        }
        if (rng() % 4 == 0) {
            t += 'e';
            t += std::to_string(static_cast<int>(rng() % 80) - 40);
        }
        tokens.push_back(t);
        content += t;
        content += (rng() & 1) ? "\n" : " \t";
    }
    const ReadResult r = readContent(content);
    ASSERT_EQ(r.error, 0);
    ASSERT_EQ(r.lines.size(), tokens.size());
    // The values themselves too, to the last bit: the statistics use them.
    TempDir dir;
    SequenceFileSource source(dir.write("seq.txt", content));
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        long double v = 0.0L;
        ASSERT_TRUE(parseDecimal(tokens[i], v)) << tokens[i];
        ASSERT_EQ(r.lines[i], formatWorkValue(v)) << tokens[i];
        long double read = 1.0L;
        ASSERT_TRUE(source.next(read)) << tokens[i];
        ASSERT_EQ(std::memcmp(&read, &v, 10), 0) << tokens[i]; // every significant byte
    }
    // Taken in blocks of any size, across the refills of the buffer: the same
    // values, and the same exactness of their digits as value by value.
    SequenceFileSource byValue(dir.write("seq.txt", content)), inBlocks(dir.write("seq.txt", content));
    long double block[97];
    bool exact[97];
    std::size_t seen = 0;
    for (std::size_t n; (n = inBlocks.nextValues(block, exact, 1 + rng() % 97)) > 0; seen += n) {
        for (std::size_t i = 0; i < n; ++i) {
            long double v = 0.0L;
            ASSERT_TRUE(byValue.next(v));
            ASSERT_EQ(std::memcmp(&block[i], &v, 10), 0) << tokens[seen + i];
            ASSERT_EQ(exact[i], byValue.lastDigits().exact) << tokens[seen + i];
        }
    }
    EXPECT_EQ(seen, tokens.size());
    EXPECT_FALSE(inBlocks.malformed());
}
