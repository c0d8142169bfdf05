// The operating system layer on the platform at hand: the same calls must
// behave alike on POSIX and Windows (run there under Wine).

#include "engine/system/file_system.h"

#include "test_support.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>

namespace tessivo {
namespace {

using test::TempDir;

#ifdef _WIN32
constexpr const char* kDevice = "NUL";
#else
constexpr const char* kDevice = "/dev/null";
#endif

std::string readThrough(int fd)
{
    std::string all;
    char block[7]; // small, so that reads continue from a kept position
    for (std::ptrdiff_t n; (n = os::readSome(fd, block, sizeof block)) > 0;)
        all.append(block, static_cast<std::size_t>(n));
    return all;
}

TEST(FileSystem, KindsOfWhatAPathNames)
{
    TempDir dir;
    const std::string file = dir.str() + "/values \xc3\xa4\xe2\x82\xac.txt"; // a non-ASCII name, in UTF-8
    const int out = os::createForWriting(file);
    ASSERT_GE(out, 0);
    ASSERT_EQ(os::writeSome(out, "1\r\n2\r\n", 6), 6);
    ASSERT_EQ(os::closeFile(out), 0);
    struct Case {
        std::string path;
        int error; // 0: opens
        os::FileKind kind;
    };
    const Case cases[] = {
        {file, 0, os::FileKind::Regular},
        {dir.str(), 0, os::FileKind::Folder},
        {kDevice, 0, os::FileKind::Other},
        {dir.file("missing.txt"), ENOENT, os::FileKind::Other},
        {dir.file("missing") + "/below.txt", ENOENT, os::FileKind::Other},
    };
    for (const Case& c : cases) {
        const int fd = os::openForReading(c.path, os::kNoWait);
        if (c.error != 0) {
            EXPECT_LT(fd, 0) << c.path;
            EXPECT_EQ(errno, c.error) << c.path;
            continue;
        }
        ASSERT_GE(fd, 0) << c.path;
        os::FileStatus st;
        ASSERT_EQ(os::statusOf(fd, st), 0) << c.path;
        EXPECT_EQ(st.kind, c.kind) << c.path;
        if (c.kind == os::FileKind::Regular) {
            EXPECT_EQ(st.size, 6u);
            EXPECT_EQ(readThrough(fd), "1\r\n2\r\n"); // bytes as they are: no text mode
        }
        EXPECT_EQ(os::closeFile(fd), 0);
    }
    os::FileStatus st;
    ASSERT_EQ(os::statusOfPath(file, st), 0);
    EXPECT_EQ(st.kind, os::FileKind::Regular);
}

TEST(FileSystem, ReadAtLeavesThePositionOfSequentialReads)
{
    TempDir dir;
    const int fd = os::openForReading(dir.write("a.txt", "0123456789abcdef"), 0);
    ASSERT_GE(fd, 0);
    char two[2];
    ASSERT_EQ(os::readSome(fd, two, 2), 2);
    char at[3];
    ASSERT_EQ(os::readAt(fd, at, 3, 10), 3);
    EXPECT_EQ(std::string(at, 3), "abc");
    EXPECT_EQ(readThrough(fd), "23456789abcdef");
    ASSERT_EQ(os::seekTo(fd, 14), 0);
    EXPECT_EQ(readThrough(fd), "ef");
    EXPECT_EQ(os::readAt(fd, at, 3, 100), 0);
    os::closeFile(fd);
}

TEST(FileSystem, WritingReplacingAndRemoving)
{
    TempDir dir;
    const std::string target = dir.write("target.tmp", "old contents");
    const std::string part = dir.file("target.part");
    const int fd = os::createForWriting(part);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(os::writeSome(fd, "new\r\n", 5), 5);
    ASSERT_EQ(os::closeFile(fd), 0);
    ASSERT_EQ(os::replaceFile(part, target), 0); // over an existing file
    EXPECT_EQ(test::readAll(target), "new\r\n");
    EXPECT_LT(os::replaceFile(part, target), 0);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(os::removeFile(target), 0);
    EXPECT_LT(os::removeFile(target), 0);
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileSystem, TheLockIsHeldUntilItsHolderCloses)
{
    TempDir dir;
    const std::string path = dir.file(".lock");
    const int first = os::openLocked(path);
    ASSERT_GE(first, 0);
    EXPECT_LT(os::openLocked(path), 0);
    EXPECT_EQ(errno, EWOULDBLOCK);
    ASSERT_EQ(os::closeFile(first), 0);
    const int again = os::openLocked(path);
    EXPECT_GE(again, 0);
    os::closeFile(again);
}

TEST(FileSystem, ScratchFilesLeaveNothingBehind)
{
    std::string path;
    const int fd = os::openScratchFile("tessivo-test-", path);
    ASSERT_GE(fd, 0) << path;
    EXPECT_NE(path.find("tessivo-test-"), std::string::npos);
    ASSERT_EQ(os::writeSome(fd, "12345", 5), 5);
    char back[5];
    ASSERT_EQ(os::readAt(fd, back, 5, 0), 5);
    EXPECT_EQ(std::string(back, 5), "12345");
    os::closeFile(fd);
    os::FileStatus st;
    EXPECT_LT(os::statusOfPath(path, st), 0);
}

} // namespace
} // namespace tessivo
