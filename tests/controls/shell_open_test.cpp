#include "shell_open.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using morvane::ShellOpen;

struct Shown {
    int code;
    const char* message; // nullptr: nothing is shown
};

TEST(ShellOpen, ShowsTheMessageOfEachErrorCode)
{
    const Shown cases[] = {
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred."},
        {27, "The filename association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
        {31, "There is no application associated with the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {0, nullptr},
        {1, nullptr},
        {4, nullptr},
        {33, nullptr},
        {42, nullptr},
        {-1, nullptr},
    };
    for (const Shown& c : cases) {
        QStringList targets, messages;
        ShellOpen(
            QStringLiteral("https://example.org/page"),
            [&](const QString& target) {
                targets << target;
                return c.code;
            },
            [&](const QString& message) { messages << message; });
        EXPECT_EQ(targets, QStringList{QStringLiteral("https://example.org/page")}) << c.code;
        EXPECT_EQ(messages, c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList{}) << c.code;
    }
}

TEST(ShellOpen, LauncherThatThrowsEndsSilently)
{
    QStringList messages;
    ShellOpen(
        QStringLiteral("x"), [](const QString&) -> int { throw std::bad_alloc(); },
        [&](const QString& message) { messages << message; });
    EXPECT_TRUE(messages.isEmpty());
}

TEST(ShellOpen, LocalTargetsFailBeforeAnythingStarts)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("manual.html"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const struct {
        QString target;
        int code;
    } cases[] = {
        {file, morvane::kShellSuccess},
        {QUrl::fromLocalFile(file).toString(), morvane::kShellSuccess},
        {dir.filePath(QStringLiteral("missing.html")), 2},
        {QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.html"))).toString(), 2},
        {dir.filePath(QStringLiteral("nofolder/manual.html")), 3},
        {QStringLiteral("https://www.morvane-engineering.example/tessivo"), morvane::kShellSuccess},
        {QStringLiteral("mailto:support@morvane-engineering.example"), morvane::kShellSuccess},
    };
    for (const auto& c : cases)
        EXPECT_EQ(morvane::shellTargetCode(c.target), c.code) << c.target.toStdString();
}

TEST(ShellOpen, UnreadableFileIsDenied)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("secret.html"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(f.setPermissions(QFileDevice::WriteOwner));
    if (QFileInfo(file).isReadable())
        GTEST_SKIP() << "running with the right to read every file";
    EXPECT_EQ(morvane::shellTargetCode(file), 5);
}

// The desktop launcher runs xdg-open from PATH and reads its exit status:
// a fake xdg-open stands in for the desktop, so that no browser starts.
TEST(ShellOpen, DesktopLaunchMapsTheOpenersExitStatus)
{
    QTemporaryDir bin;
    const QByteArray oldPath = qgetenv("PATH");
    const QString opener = bin.filePath(QStringLiteral("xdg-open"));
    const QString argumentFile = bin.filePath(QStringLiteral("argument"));
    const struct {
        int exitStatus; // -1: no xdg-open at all
        const char* message;
    } cases[] = {
        {0, nullptr},
        {2, "The specified file was not found."},
        {3, "There is no application associated with the given filename extension."},
        {4, "There is no application associated with the given filename extension."},
        {-1, "There is no application associated with the given filename extension."},
    };
    for (const auto& c : cases) {
        QFile::remove(opener);
        if (c.exitStatus >= 0) {
            QFile script(opener);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\nprintf %s \"$1\" > '%1'\nexit %2\n")
                             .arg(argumentFile)
                             .arg(c.exitStatus)
                             .toUtf8());
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        qputenv("PATH", bin.path().toUtf8());
        QStringList messages;
        ShellOpen(QStringLiteral("https://example.org/page"), morvane::desktopLaunch,
                  [&](const QString& message) { messages << message; });
        qputenv("PATH", oldPath);
        EXPECT_EQ(messages, c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList{}) << c.exitStatus;
        if (c.exitStatus >= 0) {
            QFile argument(argumentFile);
            ASSERT_TRUE(argument.open(QIODevice::ReadOnly));
            EXPECT_EQ(argument.readAll(), QByteArray("https://example.org/page"));
        }
    }
}

TEST(ShellOpen, OpenerStillRunningAfterTheWaitCountsAsSuccess)
{
    QTemporaryDir bin;
    QFile script(bin.filePath(QStringLiteral("browser")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep 3\nexit 4\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(morvane::launchWithOpener(script.fileName(), QStringLiteral("https://example.org"), 100),
              morvane::kShellSuccess);
}

} // namespace
