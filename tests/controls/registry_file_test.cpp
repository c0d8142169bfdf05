#include "registry_file.h"
#include "registry_key.h"
#include "store_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;

namespace {

class RegistryFileTest : public testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("sub/Store.reg")); }
    void writeRaw(const QByteArray& bytes) const
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("sub")));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readRaw(const QString& p) const
    {
        QFile file(p);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir m_dir;
};

const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Maker\\Product\\Settings");

TEST_F(RegistryFileTest, WritesTheExportLayoutWithEachType)
{
    RegistryFile file(path());
    file.load();
    file.setValue(kKey, QStringLiteral("UserDir"), regString(QStringLiteral("/home/anna/\"loads\"\\x")));
    file.setValue(kKey, QStringLiteral("Filter"), regBinary(QByteArray::fromHex("000000000000f03f")));
    file.setValue(kKey, QStringLiteral("Normalized"), regDWord(1));
    file.setValue(kKey, QStringLiteral("Negative"), regDWord(-2));
    file.setValue(kKey, QStringLiteral("Expand"), RegValue{2, QByteArray("a\0\0\0", 4)});
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readRaw(path()), "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Maker\\Product\\Settings]\n"
                               "\"UserDir\"=\"/home/anna/\\\"loads\\\"\\\\x\"\n"
                               "\"Filter\"=hex:00,00,00,00,00,00,f0,3f\n"
                               "\"Normalized\"=dword:00000001\n"
                               "\"Negative\"=dword:fffffffe\n"
                               "\"Expand\"=hex(2):61,00,00,00\n\n");
}

TEST_F(RegistryFileTest, ReadsBackWhatItWroteTypesIncluded)
{
    RegistryFile out(path());
    const RegValue values[] = {regString(QStringLiteral("Grüße\tand\nlines")), regDWord(-2), regBinary("\x01\x02"),
                               RegValue{7, QByteArray("x\0\0\0", 4)}, regString(QString())};
    for (int i = 0; i < 5; ++i)
        out.setValue(kKey, QStringLiteral("v%1").arg(i), values[i]);
    ASSERT_TRUE(out.save());
    RegistryFile in(path());
    in.load();
    EXPECT_FALSE(in.hadUnparsedLines());
    for (int i = 0; i < 5; ++i) {
        const RegValue* v = in.value(kKey, QStringLiteral("V%1").arg(i)); // names ignore case
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(*v, values[i]) << i;
    }
}

TEST_F(RegistryFileTest, KeepsUnknownKeysAndValuesAndReadsWrappedHex)
{
    writeRaw("Windows Registry Editor Version 5.00\r\n\r\n"
             "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=hex:01,02,\\\r\n  03\r\n@=\"default\"\r\n\r\n"
             "[hkey_current_user\\software\\maker\\product\\settings]\r\n\"Old\"=dword:0000000a\r\n");
    RegistryFile file(path());
    file.load();
    EXPECT_FALSE(file.hadUnparsedLines());
    ASSERT_NE(file.value(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"), QStringLiteral("Keep")), nullptr);
    EXPECT_EQ(file.value(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"), QStringLiteral("Keep"))->data,
              QByteArray("\x01\x02\x03"));
    file.setValue(kKey, QStringLiteral("New"), regDWord(3));
    ASSERT_TRUE(file.save());
    const QByteArray saved = readRaw(path());
    EXPECT_TRUE(saved.contains("\"Keep\"=hex:01,02,03\n@=\"default\"\n"));
    EXPECT_TRUE(saved.contains(
        "[hkey_current_user\\software\\maker\\product\\settings]\n\"Old\"=dword:0000000a\n\"New\"=dword:00000003\n"));
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral(".bak")));
}

TEST_F(RegistryFileTest, KeepsAnUnparsableFileAsBackupBeforeReplacingIt)
{
    const QByteArray broken = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n"
                              "\"Good\"=dword:00000001\n\"Bad\"=dword:xyz\ngarbage\n";
    writeRaw(broken);
    RegistryFile file(path());
    file.load();
    EXPECT_TRUE(file.hadUnparsedLines());
    ASSERT_NE(file.value(QStringLiteral("HKEY_CURRENT_USER\\A"), QStringLiteral("Good")), nullptr);
    EXPECT_EQ(file.value(QStringLiteral("HKEY_CURRENT_USER\\A"), QStringLiteral("Bad")), nullptr);
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readRaw(path() + QStringLiteral(".bak")), broken);
    EXPECT_FALSE(readRaw(path()).contains("garbage"));
}

TEST_F(RegistryFileTest, MissingFileIsAnEmptyStore)
{
    RegistryFile file(path());
    file.load();
    EXPECT_FALSE(file.hasKey(kKey));
    EXPECT_FALSE(file.hadUnparsedLines());
}

TEST_F(RegistryFileTest, KeyOpenCreatesTheKeyAndWritesAtOnce)
{
    RegistryKey key(QStringLiteral("Software\\Maker\\Product\\Settings\\"), path());
    RegistryFile created(path());
    created.load();
    EXPECT_TRUE(created.hasKey(kKey));
    key.writeInteger(QStringLiteral("Count"), 7);
    EXPECT_EQ(
        RegistryKey(QStringLiteral("software\\maker\\product\\settings"), path()).readInteger(QStringLiteral("count")),
        7);
}

TEST_F(RegistryFileTest, IntegerReadsOnlyAFourByteDWord)
{
    RegistryKey key(QStringLiteral("K"), path());
    key.writeString(QStringLiteral("S"), QStringLiteral("5"));
    key.writeBinary(QStringLiteral("B"), QByteArray(4, '\x05'));
    EXPECT_FALSE(key.readInteger(QStringLiteral("S")).has_value());
    EXPECT_FALSE(key.readInteger(QStringLiteral("B")).has_value());
    EXPECT_FALSE(key.readInteger(QStringLiteral("Missing")).has_value());
}

TEST_F(RegistryFileTest, AFailedWriteNamesTheValue)
{
    // A folder where the store file should be makes every write fail.
    QDir().mkpath(path());
    RegistryKey key(QStringLiteral("K"), path());
    try {
        key.writeInteger(QStringLiteral("Width"), 1);
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Width'");
    }
}

} // namespace
