#include "ini_file.h"
#include "store_error.h"
#include "store_fixture.h"
#include "win_restorer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

using namespace morvane;

class TfrmProbe : public QWidget {
    Q_OBJECT
};

class TfrmProbeWithAClassNameLongEnoughToRunPastTheEightyCharactersOfAnIniSectionName : public QWidget {
    Q_OBJECT
};

namespace {

const QString kPath = QStringLiteral("Software\\Morvane Engineering\\fMyApp");

class WinRestorerTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        form.move(100, 100);
        form.resize(300, 200);
    }
    RegistryKey probeKey() const { return RegistryKey(kPath + QStringLiteral("\\frmProbe")); }
    void store(const QString& name, int value) { probeKey().writeInteger(name, value); }

    TfrmProbe form;
    TWinRestorer restorer;
};

TEST_F(WinRestorerTest, StartsWithTheDocumentedProperties)
{
    EXPECT_TRUE(restorer.Active());
    EXPECT_FALSE(restorer.UseIni());
    EXPECT_EQ(restorer.RegistryPath(), kPath);
    EXPECT_EQ(restorer.DefaultWhat().bits(), 7);
    EXPECT_EQ(restorer.keyPath(&form), kPath + QStringLiteral("\\frmProbe"));
}

TEST_F(WinRestorerTest, NothingStoredLeavesTheWindowWhereItIs)
{
    restorer.Restore(&form, {TWhatSave::location});
    EXPECT_EQ(form.pos(), QPoint(100, 100));
    EXPECT_EQ(form.size(), QSize(300, 200));
}

TEST_F(WinRestorerTest, SaveStoresTheFiveValues)
{
    form.move(30, 40);
    restorer.Save(&form);
    const RegistryKey key = probeKey();
    EXPECT_EQ(key.readInteger(QStringLiteral("Width")), 300);
    EXPECT_EQ(key.readInteger(QStringLiteral("Height")), 200);
    EXPECT_EQ(key.readInteger(QStringLiteral("Top")), 40);
    EXPECT_EQ(key.readInteger(QStringLiteral("Left")), 30);
    EXPECT_EQ(key.readInteger(QStringLiteral("WindowState")), 2);
}

TEST_F(WinRestorerTest, LocationRestoresOnlyLeftAndTop)
{
    form.setGeometry(7, 9, 500, 400);
    restorer.Save(&form);
    form.setGeometry(100, 100, 300, 200);
    form.setWindowState(Qt::WindowMaximized);
    restorer.Restore(&form, {TWhatSave::location});
    EXPECT_EQ(form.pos(), QPoint(7, 9));
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
}

TEST_F(WinRestorerTest, SizeAndLocationTogether)
{
    store(QStringLiteral("Width"), 640);
    store(QStringLiteral("Left"), -5000); // far off the screen, applied unchanged
    restorer.Restore(&form, {TWhatSave::size, TWhatSave::location});
    EXPECT_EQ(form.geometry(), QRect(-5000, 100, 640, 200));
}

TEST_F(WinRestorerTest, StoredStateCodes)
{
    struct Case {
        int code;
        Qt::WindowStates before;
        Qt::WindowStates after;
    };
    const Case cases[] = {
        {2, Qt::WindowMaximized, Qt::WindowNoState},   {3, Qt::WindowNoState, Qt::WindowMaximized},
        {1, Qt::WindowNoState, Qt::WindowMinimized},   {0, Qt::WindowMaximized, Qt::WindowMaximized},
        {7, Qt::WindowMaximized, Qt::WindowMaximized},
    };
    for (const Case& c : cases) {
        store(QStringLiteral("WindowState"), c.code);
        form.setWindowState(c.before);
        restorer.Restore(&form, {TWhatSave::state});
        EXPECT_EQ(form.windowState(), c.after) << c.code;
        EXPECT_EQ(windowStateCode(c.after), c.after == Qt::WindowNoState ? 2 : c.after == Qt::WindowMinimized ? 1 : 3);
    }
}

TEST_F(WinRestorerTest, InactiveTouchesNeitherStoreNorWindow)
{
    store(QStringLiteral("Left"), 5);
    QFile::remove(storePath());
    restorer.setActive(false);
    restorer.Save(&form);
    EXPECT_FALSE(QFile::exists(storePath()));
    store(QStringLiteral("Left"), 5);
    restorer.Restore(&form, {TWhatSave::location});
    EXPECT_EQ(form.pos(), QPoint(100, 100));
}

TEST_F(WinRestorerTest, KeyPathsWithAndWithoutTrailingBackslashMeet)
{
    TWinRestorer other;
    other.setRegistryPath(kPath + u'\\');
    EXPECT_EQ(other.keyPath(&form), restorer.keyPath(&form));
}

TEST_F(WinRestorerTest, KeyPathIsCutAtEightyCharacters)
{
    const QString longPath = QStringLiteral("Software\\") + QString(90, u'a');
    restorer.setRegistryPath(longPath);
    restorer.Save(&form);
    const QString cut = (longPath + QStringLiteral("\\frmProbe")).left(80);
    EXPECT_EQ(restorer.keyPath(&form), cut);
    EXPECT_EQ(RegistryKey(cut).readInteger(QStringLiteral("Width")), 300);
}

TEST_F(WinRestorerTest, IniWithoutPathStoresAndFindsNothing)
{
    restorer.setUseIni(true);
    restorer.Save(&form);
    EXPECT_TRUE(QDir(dir()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    form.move(11, 12);
    restorer.Restore(&form, {TWhatSave::size, TWhatSave::location, TWhatSave::state});
    EXPECT_EQ(form.geometry(), QRect(11, 12, 300, 200));
}

TEST_F(WinRestorerTest, IniSectionKeepsOtherSectionsAndReadsHexadecimal)
{
    const QString ini = dir() + QStringLiteral("/place.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Other]\nLeft=1\n");
    file.close();
    restorer.setUseIni(true);
    restorer.setIniPath(ini);
    restorer.Save(&form);
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QString section = exe + QStringLiteral(" - frmProbe");
    EXPECT_EQ(restorer.sectionName(&form), section);
    IniFile written(ini);
    EXPECT_EQ(written.readInteger(QStringLiteral("Other"), QStringLiteral("Left")), 1);
    EXPECT_EQ(written.readString(section, QStringLiteral("Width")), QStringLiteral("300"));
    EXPECT_EQ(written.readInteger(section, QStringLiteral("WindowState")), 2);

    QFile edit(ini);
    ASSERT_TRUE(edit.open(QIODevice::ReadOnly));
    QByteArray text = edit.readAll().replace("Left=100", "Left=$20").replace("Top=100", "Top=0x10");
    edit.close();
    ASSERT_TRUE(edit.open(QIODevice::WriteOnly | QIODevice::Truncate));
    edit.write(text);
    edit.close();
    restorer.Restore(&form, {TWhatSave::location});
    EXPECT_EQ(form.pos(), QPoint(32, 16));
}

TEST_F(WinRestorerTest, IniSectionIsCutAtEightyCharacters)
{
    TfrmProbeWithAClassNameLongEnoughToRunPastTheEightyCharactersOfAnIniSectionName longForm;
    const QString section = restorer.sectionName(&longForm);
    EXPECT_EQ(section.size(), 80);
    EXPECT_TRUE(section.contains(QStringLiteral(" - frmProbeWithAClassName")));
}

TEST_F(WinRestorerTest, IniWriteFailureNamesTheFile)
{
    const QString ini = dir() + QStringLiteral("/folder.ini");
    QDir().mkpath(ini);
    restorer.setUseIni(true);
    restorer.setIniPath(ini);
    try {
        restorer.Save(&form);
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), QStringLiteral("Unable to write to ") + ini);
    }
}

TEST(IniFile, IntegerNotations)
{
    QTemporaryDir tmp;
    const QString ini = tmp.filePath(QStringLiteral("n.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[s]\na=12\nb=-3\nc=0x1F\nd=$ff\ne=1.5\nf=abc\ng=$FFFFFFFF\nh=\n");
    file.close();
    const IniFile read(ini);
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"a", 12},  {"b", -3},           {"c", 31},
        {"d", 255}, {"e", std::nullopt}, {"f", std::nullopt},
        {"g", -1},  {"h", std::nullopt}, {"missing", std::nullopt},
        {"A", 12},
    };
    for (const auto& [name, value] : cases)
        EXPECT_EQ(read.readInteger(QStringLiteral("S"), QString::fromLatin1(name)), value) << name;
}

} // namespace

#include "win_restorer_test.moc"
