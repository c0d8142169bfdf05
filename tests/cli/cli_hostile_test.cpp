// tessivo-count against hostile files and a second running copy: a clear
// message and exit status, never a hang, and never a count of another
// copy's sequence.
#include "cli_runner.h"
#include "tests/engine/test_support.h"
#include "engine/files/work_folder_lock.h"
#include "engine/record/run_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <poll.h>
#include <random>
#include <sys/stat.h>

using tessivo::test::CliRun;
using tessivo::test::TempDir;

namespace {

// A random walk of `count` values, one per line.
std::string randomWalk(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> step(-1.0, 1.0);
    std::string text;
    double v = 0.0;
    char line[32];
    for (int i = 0; i < count; ++i) {
        v += step(rng);
        text.append(line, static_cast<std::size_t>(std::snprintf(line, sizeof line, "%.6f\n", v)));
    }
    return text;
}

// tessivo-count started in the background with its standard output on a
// pipe that nobody reads until drain(): once the pipe is full the program
// waits in the middle of writing its output, holding its work folder.
class BlockedCount {
public:
    BlockedCount(const std::vector<std::string>& args, const std::string& errPath)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> storage;
        std::vector<char*> argv = tessivo::test::countArgv(storage, args);
        if (posix_spawn(&m_pid, TESSIVO_COUNT_BINARY, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~BlockedCount()
    {
        if (m_out >= 0)
            ::close(m_out);
    }
    BlockedCount(const BlockedCount&) = delete;
    BlockedCount& operator=(const BlockedCount&) = delete;

    // True once the program has begun to write its output.
    bool writing()
    {
        pollfd p{m_out, POLLIN, 0};
        return ::poll(&p, 1, 60'000) == 1;
    }
    // Reads the whole output and returns the exit status.
    int drain(std::string& out)
    {
        char buffer[1 << 16];
        for (ssize_t n; (n = ::read(m_out, buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

} // namespace

TEST(CliHostile, ASecondCopyOnTheSameWorkFolderIsTurnedAway)
{
    TempDir box;
    const std::string work = box.file("work");
    std::filesystem::create_directory(work);
    // Enough distinct cycles that the CSV overfills the pipe.
    const std::string first = box.write("first.txt", randomWalk(100'000, 1));
    const std::string second = box.write("second.txt", randomWalk(50, 2));
    const std::vector<std::string> firstArgs = {"--workdir", work, "--unlimited", "--format", "csv", first};

    BlockedCount running(firstArgs, box.file("first.err"));
    ASSERT_TRUE(running.writing());
    const CliRun turnedAway = tessivo::test::runCli({"--workdir", work, second}, box.str(), box.str());
    EXPECT_EQ(turnedAway.status, 3);
    EXPECT_EQ(turnedAway.err, "tessivo-count: " + tessivo::workFolderInUseMessage(work) + "\n");
    EXPECT_EQ(turnedAway.out, "");

    std::string out;
    EXPECT_EQ(running.drain(out), 0);
    EXPECT_EQ(tessivo::test::readAll(box.file("first.err")), "");
    // The first copy counted its own sequence, untouched by the second.
    TempDir alone;
    const CliRun solo = tessivo::test::runCli({"--unlimited", "--format", "csv", first}, alone.str(), alone.str());
    EXPECT_EQ(solo.status, 0);
    EXPECT_GT(out.size(), std::size_t{1} << 17);
    EXPECT_TRUE(out == solo.out) << "output differs from a run alone";
    // Once the first has ended, the folder is free again.
    const CliRun after = tessivo::test::runCli({"--workdir", work, second}, box.str(), box.str());
    EXPECT_EQ(after.status, 0) << after.err;
}

TEST(CliHostile, FilesThatAreNotRegularGiveAnErrorAtOnce)
{
    TempDir box;
    const std::string fifo = box.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> paths = {fifo, box.str()};
    if (std::filesystem::exists("/dev/zero"))
        paths.push_back("/dev/zero");
    for (const std::string& path : paths) {
        for (const bool withWorkDir : {false, true}) {
            std::vector<std::string> args = {path};
            if (withWorkDir)
                args.insert(args.begin(), {"--workdir", box.str()});
            const CliRun r = tessivo::test::runCli(args, box.str(), box.str());
            EXPECT_EQ(r.status, 3) << path;
            EXPECT_EQ(r.err, "tessivo-count: " + path + ": File access denied\n");
            EXPECT_EQ(r.out, "");
        }
    }
}

// Loads at the edge of long double: their range is beyond it, and the report
// says so instead of printing a wrong finite number.
TEST(CliHostile, ARangeBeyondLongDoubleIsShownAsInfinite)
{
    TempDir box;
    const std::string seq = box.write("edge.txt", "-1e4932 1e4932 -1e4932 1e4932 -1e4932");
    const CliRun csv = tessivo::test::runCli({"--format", "csv", seq}, box.str(), box.str());
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, "range,upper,lower,count,cumulative\ninf,1e+4932,-1e+4932,2,2\n");
}

TEST(CliHostile, AFullStandardOutputIsAnError)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    TempDir box;
    const std::string seq = box.write("seq.txt", "0 5 1 4 2 6 0");
    const std::string err = box.file("err.txt");
    const std::string command =
        std::string("'") + TESSIVO_COUNT_BINARY + "' '" + seq + "' > /dev/full 2> '" + err + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(tessivo::test::readAll(err), "tessivo-count: standard output: Disk full\n");
}

// A 200 MB token of digits, counted under an address-space limit far below
// its size: the reader streams it and rejects it as no number.
TEST(CliHostileSlow, TwoHundredMegabytesWithoutWhiteSpaceUnderAMemoryLimit)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    TempDir box;
    const std::string file = box.file("huge.txt");
    {
        std::ofstream out(file, std::ios::binary);
        const std::string block(1 << 20, '9');
        for (int i = 0; i < 200; ++i)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    const std::string err = box.file("err.txt");
    const std::string command =
        std::string("ulimit -v 100000; '") + TESSIVO_COUNT_BINARY + "' '" + file + "' > /dev/null 2> '" + err + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(tessivo::test::readAll(err), "tessivo-count: " + file + ": Incorrect sequence file\n");
}

// More distinct cycles than the unlimited table keeps in memory: the rest go
// to unnamed files in the temporary folder, and a folder that cannot take
// them is an error that names it, never a partial table.
TEST(CliHostile, UnlimitedCountSpillsToTheTemporaryFolderOrSaysWhyNot)
{
    TempDir box;
    const std::string seq = box.write("walk.txt", randomWalk(300000, 11));
    const std::string tmp = box.file("tmp");
    std::filesystem::create_directory(tmp);
    const auto count = [&](const std::string& tmpdir) {
        const std::string command = "TMPDIR='" + tmpdir + "' '" + TESSIVO_COUNT_BINARY + "' --unlimited --format csv '"
                                    + seq + "' > '" + box.file("out.csv") + "' 2> '" + box.file("err.txt") + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    ASSERT_EQ(count(tmp), 0) << tessivo::test::readAll(box.file("err.txt"));
    const std::string csv = tessivo::test::readAll(box.file("out.csv"));
    EXPECT_GT(std::count(csv.begin(), csv.end(), '\n'), 65536 + 1) << "too few cycles to spill";
    EXPECT_TRUE(std::filesystem::is_empty(tmp)) << "nothing is left behind";

    const std::string missing = box.file("no-such-folder");
    EXPECT_EQ(count(missing), 3);
    const std::string err = tessivo::test::readAll(box.file("err.txt"));
    EXPECT_EQ(err.rfind("tessivo-count: " + missing + "/tessivo-cycles-", 0), 0u) << err;
    EXPECT_NE(err.find(": File not found\n"), std::string::npos) << err;
}
