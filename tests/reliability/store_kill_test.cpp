// A process killed at any moment while it writes the per-user store or the
// ini file leaves the old file or the new one, whole, and never a mixture, a
// half-written file or nothing.
#include "ini_file.h"
#include "registry_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using morvane::IniFile;
using morvane::RegistryFile;

namespace {

const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Morvane Engineering\\Tessivo\\Settings");

// A store large enough that writing it takes a while: `values` strings, each
// naming the generation, and a binary value.
RegistryFile storeOfGeneration(const QString& path, int generation, int values)
{
    RegistryFile store(path);
    for (int i = 0; i < values; ++i)
        store.setValue(
            kKey, QStringLiteral("Value%1").arg(i),
            morvane::regString(QStringLiteral("generation %1, value %2 ").arg(generation).arg(i).repeated(32)));
    store.setValue(kKey, QStringLiteral("Filter"), morvane::regBinary(QByteArray(8, static_cast<char>(generation))));
    return store;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Runs write(generation) for generations 1, 0, 1, 0 ... in a child process
// until it is killed after a random time, `rounds` times; check() then sees
// the file. The times spread over about three writes, however long a write
// takes on this machine and build.
template <typename Write, typename Check>
void killWhileWriting(int rounds, Write write, Check check)
{
    const auto start = std::chrono::steady_clock::now();
    write(0);
    const auto once = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const auto span = static_cast<unsigned>(3 * once.count() + 1000);
    std::mt19937 rng(4711);
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int generation = 1;; generation ^= 1)
                write(generation);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % span));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended on its own in round " << round;
        check(round);
    }
}

} // namespace

TEST(StoreKill, TheSettingsStoreIsAlwaysTheOldOrTheNewOneWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Morvane Engineering/Tessivo.reg"));
    const int values = 500;
    const QByteArray generation[2] = {storeOfGeneration(path, 0, values).serialize(),
                                      storeOfGeneration(path, 1, values).serialize()};
    RegistryFile stores[2] = {storeOfGeneration(path, 0, values), storeOfGeneration(path, 1, values)};

    int seen[2] = {0, 0};
    killWhileWriting(
        100,
        [&](int g) {
            if (!stores[g].save())
                ::_exit(1);
        },
        [&](int round) {
            const QByteArray now = readFile(path);
            ASSERT_TRUE(now == generation[0] || now == generation[1])
                << "round " << round << ": " << now.size() << " bytes";
            ++seen[now == generation[1] ? 1 : 0];
            RegistryFile reread(path);
            reread.load();
            EXPECT_FALSE(reread.hadUnparsedLines());
        });
    EXPECT_GT(seen[1], 0) << "no write ever completed: the test saw nothing";
    // The half-written temporary files of killed writers never take the store's name.
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak")));
}

TEST(StoreKill, TheIniFileIsAlwaysTheOldOrTheNewOneWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("placement.ini"));
    {
        QFile seed(path);
        ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
        for (int i = 0; i < 20000; ++i)
            seed.write(QStringLiteral("[Form%1]\nLeft=%1\nTop=-%1\n").arg(i).toUtf8());
    }
    const QByteArray original = readFile(path);
    killWhileWriting(
        60, [&](int g) { IniFile(path).writeInteger(QStringLiteral("Form7"), QStringLiteral("Width"), g); },
        [&](int round) {
            const QByteArray now = readFile(path);
            const IniFile ini(path);
            const auto width = ini.readInteger(QStringLiteral("Form7"), QStringLiteral("Width"));
            // Before the first write ends the file is the original; after, it
            // holds the original's lines and one width.
            if (now != original) {
                ASSERT_TRUE(width == 0 || width == 1) << "round " << round;
                QByteArray without = now;
                without.replace(QByteArray("Width=") + QByteArray::number(*width) + '\n', QByteArray());
                ASSERT_EQ(without, original) << "round " << round;
            }
            EXPECT_EQ(ini.readInteger(QStringLiteral("Form19999"), QStringLiteral("Top")), -19999);
        });
}
