#include "engine/record/io_error.h"
#include "test_support.h"
#include "engine/files/work_folder_lock.h"
#include "engine/record/run_messages.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace tessivo;

TEST(WorkFolderLock, OneHolderAtATimeAndFreedOnRelease)
{
    test::TempDir dir;
    auto first = WorkFolderLock::tryAcquire(dir.str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(WorkFolderLock::tryAcquire(dir.str()), nullptr);

    // Another process is refused too, whatever it is.
    const pid_t child = fork();
    if (child == 0)
        _exit(WorkFolderLock::tryAcquire(dir.str()) == nullptr ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.reset();
    EXPECT_NE(WorkFolderLock::tryAcquire(dir.str()), nullptr);
    EXPECT_EQ(workFolderInUseMessage("/w"), "The work folder /w is in use by another running copy of Tessivo.");
}

TEST(WorkFolderLock, UnwritableFolderIsAnIoError)
{
    test::TempDir dir;
    EXPECT_THROW(WorkFolderLock::tryAcquire(dir.file("missing")), IoError);
}
