// Files that come from anywhere: each hostile input has one clear outcome, a
// number of values or an error the user can read, and never a crash, a hang,
// unbounded memory or a silently wrong count.
#include "reference_stages.h"
#include "engine/files/combined_sequence.h"
#include "engine/record/io_error.h"
#include "pipeline_support.h"
#include "rainflow_model.h"
#include "engine/run/run_control.h"
#include "run_control_support.h"
#include "engine/record/run_messages.h"
#include "engine/files/sequence_loading.h"
#include "engine/files/sequence_reader.h"
#include "test_support.h"
#include "engine/files/work_files.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessivo;
using tessivo::test::ReadSequenceFile;
using tessivo::test::TempDir;
using tessivo::test::workLines;

namespace {

// The peak resident memory of this process so far, in kB.
long peakMemoryKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long kb = 0;
        if (key == "VmHWM:" && status >> kb)
            return kb;
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

struct Loaded {
    std::int32_t points = -1;
    std::int32_t error = 0;
    long double peak = 0.0L;
    long double trough = 0.0L;
    std::vector<std::string> lines;
};

Loaded load(const std::string& content)
{
    TempDir dir;
    const std::string file = dir.write("seq.txt", content);
    Loaded r;
    long double scale = 0.0L, weight = 0.0L;
    ReadSequenceFile(file, 1, dir.str(), r.points, r.peak, r.trough, scale, weight, r.error);
    r.lines = workLines(dir.file("$Sequence_001.tmp"));
    return r;
}

std::string ioMessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& e) {
        return e.what();
    }
    return "no IoError";
}

// A tmpfs of `size` mounted on a fresh folder, where this process may mount.
class SmallDisk {
public:
    SmallDisk(const TempDir& parent, const std::string& options) : m_path(parent.file("disk"))
    {
        std::filesystem::create_directory(m_path);
        m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_path.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }
    const std::string& str() const { return m_path; }

private:
    std::string m_path;
    bool m_mounted = false;
};

std::string numbers(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i % 2 == 0 ? i : -i) + "\n";
    return text;
}

} // namespace

TEST(HostileInputs, ContentTable)
{
    struct Case {
        const char* what;
        std::string content;
        std::int32_t points;
        bool proper;
        std::vector<std::string> lines;
    };
    const std::string one = " 1.00000000000000E+0000";
    const std::vector<Case> cases = {
        {"an executable",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0",
                     10),
         0,
         false,
         {}},
        // Bytes above 32 belong to the token: "3\x89PNG" is no number.
        {"numbers, then an image", "1 2 3\x89PNG\r\n\x1a\n", 2, false, {one, " 2.00000000000000E+0000"}},
        {"UTF-16 text",
         std::string("\xff\xfe"
                     "1\0 \0"
                     "2\0",
                     8),
         0,
         false,
         {}},
        {"only Ctrl-Z", std::string(4096, '\x1a'), 0, false, {}},
        {"Ctrl-Z ends the values",
         "1 2\x1a"
         "3 4",
         2,
         true,
         {one, " 2.00000000000000E+0000"}},
        {"Ctrl-Z inside a number",
         "1\x1a"
         "2",
         1,
         true,
         {one}},
        {"NUL separates numbers",
         std::string("1\0"
                     "2",
                     3),
         2,
         true,
         {one, " 2.00000000000000E+0000"}},
        {"only NUL", std::string(100, '\0'), 0, false, {}},
        {"the largest long double",
         "1.18973149535723176502e+4932 -1.18973149535723176502e+4932",
         2,
         true,
         {" 1.18973149535723E+4932", "-1.18973149535723E+4932"}},
        {"beyond the largest long double", "1 1.1897314953572318e+4932", 1, false, {one}},
        {"an exponent of a billion digits' worth", "1e999999999999999999999 2", 0, false, {}},
        {"below the smallest subnormal",
         "1e-5000 -1e-99999999999",
         2,
         true,
         {" 0.00000000000000E+0000", "-0.00000000000000E+0000"}},
        {"digits beyond the 15th", "1.0000000000000001 1.0000000000000002", 2, true, {one, one}},
        {"nan and inf are no numbers", "1 nan", 1, false, {one}},
        {"inf", "inf 1", 0, false, {}},
    };
    for (const Case& c : cases) {
        const Loaded r = load(c.content);
        EXPECT_EQ(r.points, c.points) << c.what;
        EXPECT_EQ(r.error, c.proper ? 0 : SeqFileError) << c.what;
        EXPECT_EQ(r.lines, c.lines) << c.what;
    }
}

TEST(HostileInputs, ExtremesKeepTheDigitsTheWorkFileDrops)
{
    const Loaded r = load("1.0000000000000001 1.0000000000000002 1.0000000000000001");
    EXPECT_EQ(r.peak, 1.0000000000000002L);
    EXPECT_EQ(r.trough, 1.0000000000000001L);
    const Loaded tiny = load("3.64519953188247460253e-4951 0");
    EXPECT_EQ(tiny.peak, LDBL_TRUE_MIN);
}

TEST(HostileInputs, RandomBytesNeverBreakTheReader)
{
    std::mt19937 rng(20240607);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(1 + rng() % 3000, '\0');
        for (char& b : bytes)
            b = static_cast<char>(rng() % 4 == 0 ? "0123456789.-+eE \n\x1a"[rng() % 17] : rng());
        const Loaded r = load(bytes);
        EXPECT_EQ(static_cast<std::size_t>(r.points), r.lines.size()) << round;
        EXPECT_TRUE(r.error == 0 || r.error == SeqFileError) << round;
    }
}

// 200 MB of digits with no white space: one token, far too large a number.
// It is streamed through in bounded memory and rejected.
TEST(HostileInputs, TwoHundredMegabytesWithoutWhiteSpaceInBoundedMemory)
{
    TempDir dir;
    const std::string file = dir.file("huge.txt");
    {
        std::ofstream out(file, std::ios::binary);
        const std::string block(1 << 20, '7');
        for (int i = 0; i < 200; ++i)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        ASSERT_TRUE(out.good());
    }
    const long before = peakMemoryKb();
    ASSERT_GT(before, 0);
    std::int32_t points = -1, error = 0;
    long double hp = 0, lt = 0, sc = 0, w = 0;
    ReadSequenceFile(file, 1, dir.str(), points, hp, lt, sc, w, error);
    EXPECT_EQ(error, SeqFileError);
    EXPECT_EQ(points, 0);
    EXPECT_LT(peakMemoryKb() - before, 32 * 1024) << "kB more at the peak";
}

TEST(HostileInputs, FilesThatAreNotRegularAreRefusedAtOnce)
{
    TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(fifo, dir.file("link-to-fifo"));
    struct Case {
        std::string path;
        const char* message;
    };
    std::vector<Case> cases = {
        {dir.str(), "File access denied"},
        {fifo, "File access denied"}, // no writer: opening must not wait for one
        {dir.file("link-to-fifo"), "File access denied"},
        {dir.file("missing"), "File not found"},
    };
    for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"}) {
        if (std::filesystem::exists(device))
            cases.push_back({device, "File access denied"}); // /dev/zero would never end
    }
    auto run = test::freshRun();
    for (const Case& c : cases) {
        EXPECT_EQ(ioMessageOf([&] { openSequence(*run, c.path, dir.str()); }), c.message) << c.path;
        EXPECT_EQ(ioMessageOf([&] { scanSequenceFile(c.path); }), c.message) << c.path;
        EXPECT_FALSE(std::filesystem::exists(dir.file("$Sequence_001.tmp"))) << c.path;
        EXPECT_EQ(run->SeqCount, 0) << c.path;
    }
}

// The slot's work file is what Execute counts; the sequence file itself may go.
TEST(HostileInputs, WorkFileDeletedOrCutBetweenOpenAndExecute)
{
    const std::string content = "0 5 1 4 2 6 0";
    enum class Harm { DeleteSequenceFile, DeleteWorkFile, DropLines, CutInsideALine, CutTheLastLineBreak };
    struct Case {
        Harm harm;
        const char* message; // nullptr: the count goes through
    };
    const Case cases[] = {
        {Harm::DeleteSequenceFile, nullptr},
        {Harm::DeleteWorkFile, "File not found"},
        {Harm::DropLines, "File holds fewer values than when it was loaded"},
        {Harm::CutInsideALine, "File holds fewer values than when it was loaded"},
        {Harm::CutTheLastLineBreak, "File holds fewer values than when it was loaded"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string seq = dir.write("seq.txt", content);
        auto run = test::freshRun();
        ASSERT_EQ(openSequence(*run, seq, dir.str()), OpenOutcome::Ok);
        const std::string work = dir.file("$Sequence_001.tmp");
        const auto size = std::filesystem::file_size(work);
        switch (c.harm) {
        case Harm::DeleteSequenceFile:
            std::filesystem::remove(seq);
            break;
        case Harm::DeleteWorkFile:
            std::filesystem::remove(work);
            break;
        case Harm::DropLines:
            std::filesystem::resize_file(work, size / 2 - size / 2 % 25);
            break;
        // " 6.00000000000000E+0000" cut to " 6.0000": a plausible but wrong load.
        case Harm::CutInsideALine:
            std::filesystem::resize_file(work, size - 25 - 18);
            break;
        case Harm::CutTheLastLineBreak:
            std::filesystem::resize_file(work, size - 2);
            break;
        }
        TCycleTable table;
        test::RecordingReport report;
        const std::string got = ioMessageOf([&] { executeCount(*run, table, dir.str(), report); });
        EXPECT_EQ(got, c.message ? c.message : "no IoError") << static_cast<int>(c.harm);
        if (c.message) {
            EXPECT_TRUE(report.ops.empty()) << "no report after a failed count";
        }
    }
}

TEST(HostileInputs, SymbolicLinksPlantedAsWorkFilesAreRefused)
{
    // The slot's ".part" file is written by Open, the others by Execute.
    for (const char* name :
         {"$Sequence_001.tmp.part", "$Sequence_001.tmp", "$Sequence.tmp", "$Reversals.tmp", "$RedRev.tmp"}) {
        TempDir dir;
        const std::string seq = dir.write("seq.txt", "0 5 1 4 2 6 0");
        auto run = test::freshRun();
        const bool atOpen = std::string(name).ends_with(".part");
        if (!atOpen) {
            ASSERT_EQ(openSequence(*run, seq, dir.str()), OpenOutcome::Ok);
        }
        const std::string precious = dir.write("precious.txt", " 1.00000000000000E+0000\r\n");
        std::filesystem::remove(dir.file(name));
        std::filesystem::create_symlink(precious, dir.file(name));
        TCycleTable table;
        test::RecordingReport report;
        const std::string message = atOpen ? ioMessageOf([&] { openSequence(*run, seq, dir.str()); })
                                           : ioMessageOf([&] { executeCount(*run, table, dir.str(), report); });
        EXPECT_EQ(message, "File access denied") << name;
        EXPECT_EQ(test::readAll(precious), " 1.00000000000000E+0000\r\n") << name;
    }
}

TEST(HostileInputs, ReadOnlyWorkFolder)
{
    TempDir dir;
    const std::string seq = dir.write("seq.txt", "1 2 3");
    std::string folder = dir.file("ro");
    std::filesystem::create_directory(folder);
    std::unique_ptr<SmallDisk> disk;
    if (::geteuid() == 0) {
        // Permissions do not stop root: a read-only file system does.
        disk = std::make_unique<SmallDisk>(dir, "ro,size=64k");
        if (!disk->mounted())
            GTEST_SKIP() << "running as root where tmpfs cannot be mounted";
        folder = disk->str();
    } else {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    auto run = test::freshRun();
    EXPECT_EQ(ioMessageOf([&] { openSequence(*run, seq, folder); }), "File access denied");
    EXPECT_EQ(run->SeqCount, 0);
}

TEST(HostileInputs, DiskFillingUpDuringOpenAndExecute)
{
    TempDir dir;
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small disk needs root";
    // 10000 values: 240 kB per work file. The disk holds the slot's work file
    // but not "$Sequence.tmp" as well.
    const std::string seq = dir.write("seq.txt", numbers(10000));
    SmallDisk tooSmall(dir, "size=128k");
    if (!tooSmall.mounted())
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    auto run = test::freshRun();
    EXPECT_EQ(ioMessageOf([&] { openSequence(*run, seq, tooSmall.str()); }), "Disk full");
    EXPECT_EQ(run->SeqCount, 0);
    EXPECT_TRUE(std::filesystem::is_empty(tooSmall.str())) << "the partial work file is removed";

    TempDir other;
    SmallDisk halfEnough(other, "size=360k");
    ASSERT_TRUE(halfEnough.mounted());
    ASSERT_EQ(openSequence(*run, seq, halfEnough.str()), OpenOutcome::Ok);
    const std::string slot = test::readAll(workFilePath(halfEnough.str(), "$Sequence_001.tmp"));
    TCycleTable table;
    test::RecordingReport report;
    EXPECT_EQ(ioMessageOf([&] { executeCount(*run, table, halfEnough.str(), report); }), "Disk full");
    EXPECT_TRUE(report.ops.empty());
    EXPECT_EQ(test::readAll(workFilePath(halfEnough.str(), "$Sequence_001.tmp")), slot);
}

// Ranges that only grow: no cycle ever closes in the first pass, so the
// residue holds every reversal. A million of them count like the model, in
// memory that the residue alone explains.
TEST(HostileInputsSlow, AResidueOfAMillionReversalsThatNeverCloses)
{
    // The residue (16 MB, with its copy when the vector grows) and half a
    // million table entries with their index came to about 110 MB; the
    // address sanitizer's redzones and quarantine about triple that.
#if defined(__SANITIZE_ADDRESS__)
    const long kResidueMemoryKb = 480 * 1024;
#else
    const long kResidueMemoryKb = 192 * 1024;
#endif
    const int n = 1'000'000;
    std::vector<long double> loads(n);
    for (int i = 0; i < n; ++i)
        loads[static_cast<std::size_t>(i)] = i % 2 == 0 ? -(i / 2) : i / 2 + 1;
    for (const bool decomposition : {false, true}) {
        test::Parameters p;
        p.decomposition = decomposition;
        auto run = test::makeRun(loads, p);
        const long before = peakMemoryKb();
        const test::Outcome got = test::runInMemory(*run, loads, RunLimits{true});
        EXPECT_LT(peakMemoryKb() - before, kResidueMemoryKb) << "kB more at the peak";
        const std::vector<test::Entry> expected = test::model::count(loads, p);
        ASSERT_EQ(got.entries.size(), expected.size()) << decomposition;
        EXPECT_TRUE(got.entries == expected) << decomposition;
        // Upward half cycles: -k to k+1 for every k.
        if (!decomposition) {
            EXPECT_EQ(got.entries.size(), static_cast<std::size_t>(n / 2));
        }
    }
}

// With 15 digits in the work files, loads that differ beyond them are equal:
// no reversal, no cycle, with and without work files alike.
TEST(HostileInputs, LoadsThatDifferOnlyBeyondTheFifteenthDigit)
{
    TempDir dir;
    const std::string seq = dir.write(
        "seq.txt", "1.0000000000000001 1.0000000000000003 1.0000000000000001 1.0000000000000004 1.0000000000000002");
    auto run = test::freshRun();
    ASSERT_EQ(openSequence(*run, seq, dir.str()), OpenOutcome::Ok);
    TCycleTable table;
    test::RecordingReport report;
    EXPECT_EQ(executeCount(*run, table, dir.str(), report).cycleCount, 0);

    auto streamed = test::freshRun();
    ASSERT_EQ(scanSequenceSlot(*streamed, 1, seq), OpenOutcome::Ok);
    streamed->SeqCount = 1;
    UpdateSequenceTotals(*streamed);
    CombinedSequence source = test::sequenceFilesOf(*streamed);
    test::RecordingReport report2;
    EXPECT_EQ(executeCount(*streamed, table, source, report2).cycleCount, 0);
    EXPECT_EQ(report.ops, report2.ops);
}
