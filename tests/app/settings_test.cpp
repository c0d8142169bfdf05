#include "edit_float.h"
#include "main_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <functional>
#include <limits>

using morvane::RegistryKey;
using morvane::RegValue;

namespace {

QByteArray doubleBytes(double value)
{
    QByteArray bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8); // the test machine is little-endian, like the store
    return bytes;
}

TEST_F(MainWindowTest, FirstStartThenCloseWritesTheSixValues)
{
    auto window = start();
    ASSERT_TRUE(window->close());
    EXPECT_EQ(storedSettingNames(),
              (QStringList{"UserDir", "Filter", "Normalized", "LoadBin", "LoadBinSize", "ResDecomp"}));
    const RegistryKey key = settingsKey();
    EXPECT_EQ(*key.read(QStringLiteral("UserDir")), morvane::regString(QString()));
    EXPECT_EQ(*key.read(QStringLiteral("Filter")), morvane::regBinary(QByteArray(8, '\0')));
    EXPECT_EQ(key.readInteger(QStringLiteral("Normalized")), 0);
    EXPECT_EQ(key.readInteger(QStringLiteral("LoadBin")), 0);
    EXPECT_EQ(key.readInteger(QStringLiteral("LoadBinSize")), 32);
    EXPECT_EQ(key.readInteger(QStringLiteral("ResDecomp")), 1);
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

// One stored value, what the window shows for it, and what the close writes.
struct StoredSetting {
    const char* name;
    std::function<void(RegistryKey&)> store;
    std::function<void(TfrmMain&)> checkShown;
    std::function<void(const RegistryKey&, const TfrmMain&)> checkWritten;
};

void PrintTo(const StoredSetting& s, std::ostream* os)
{
    *os << s.name;
}

class StoredSettingTest : public MainWindowTest, public testing::WithParamInterface<StoredSetting> {};

TEST_P(StoredSettingTest, IsShownAndWrittenBack)
{
    {
        RegistryKey key = settingsKey();
        GetParam().store(key);
    }
    auto window = start();
    GetParam().checkShown(*window);
    ASSERT_TRUE(window->close());
    GetParam().checkWritten(settingsKey(), *window);
}

const QString kFilter = QStringLiteral("Filter");

void filterIgnored(TfrmMain& w)
{
    EXPECT_EQ(w.edFilter->text(), QStringLiteral("0.00"));
}
void filterWrittenAsZeroDouble(const RegistryKey& k, const TfrmMain&)
{
    EXPECT_EQ(*k.read(kFilter), morvane::regBinary(QByteArray(8, '\0')));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StoredSettingTest,
    testing::Values(
        StoredSetting{
            "LoadBinSize50", [](RegistryKey& k) { k.writeInteger(QStringLiteral("LoadBinSize"), 50); },
            [](TfrmMain& w) { EXPECT_EQ(w.cbLoadBinSize->currentIndex(), 0); },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.readInteger(QStringLiteral("LoadBinSize")), 32); }},
        StoredSetting{
            "LoadBinSize100", [](RegistryKey& k) { k.writeInteger(QStringLiteral("LoadBinSize"), 100); },
            [](TfrmMain& w) { EXPECT_EQ(w.cbLoadBinSize->currentText(), QStringLiteral("100 x 100 matrix")); },
            [](const RegistryKey& k, const TfrmMain&) {
                EXPECT_EQ(k.readInteger(QStringLiteral("LoadBinSize")), 100);
            }},
        StoredSetting{"FilterAsInteger", [](RegistryKey& k) { k.writeInteger(kFilter, 5); }, filterIgnored,
                      filterWrittenAsZeroDouble},
        StoredSetting{"FilterOfFourBytes", [](RegistryKey& k) { k.writeBinary(kFilter, QByteArray(4, '\x40')); },
                      filterIgnored, filterWrittenAsZeroDouble},
        StoredSetting{"FilterOfTenBytes", [](RegistryKey& k) { k.writeBinary(kFilter, doubleBytes(3.0) + "xx"); },
                      filterIgnored, filterWrittenAsZeroDouble},
        StoredSetting{
            "FilterTwelveAndAHalf", [](RegistryKey& k) { k.writeBinary(kFilter, doubleBytes(12.5)); },
            [](TfrmMain& w) { EXPECT_EQ(w.edFilter->text(), QStringLiteral("12.50")); },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.read(kFilter)->data, doubleBytes(12.5)); }},
        StoredSetting{"UserDirAsInteger", [](RegistryKey& k) { k.writeInteger(QStringLiteral("UserDir"), 1); },
                      [](TfrmMain& w) { EXPECT_EQ(w.UserDir(), w.WorkDir()); },
                      [](const RegistryKey& k, const TfrmMain& w) {
                          EXPECT_EQ(*k.read(QStringLiteral("UserDir")), morvane::regString(w.WorkDir()));
                      }},
        StoredSetting{"UserDirAsExpandString",
                      [](RegistryKey&) {
                          morvane::RegistryFile file(morvane::RegistryKey::defaultStorePath());
                          file.load();
                          file.setValue(QStringLiteral("HKEY_CURRENT_USER\\") + settingsKeyPath(),
                                        QStringLiteral("UserDir"),
                                        RegValue{2, morvane::regString(QStringLiteral("/data/%HOME%")).data});
                          ASSERT_TRUE(file.save());
                      },
                      [](TfrmMain& w) { EXPECT_EQ(w.UserDir(), QStringLiteral("/data/%HOME%")); },
                      [](const RegistryKey& k, const TfrmMain&) {
                          EXPECT_EQ(*k.read(QStringLiteral("UserDir")),
                                    morvane::regString(QStringLiteral("/data/%HOME%")));
                      }},
        StoredSetting{
            "NormalizedTwo", [](RegistryKey& k) { k.writeInteger(QStringLiteral("Normalized"), 2); },
            [](TfrmMain& w) { EXPECT_TRUE(w.cbNormalize->isChecked()); },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.readInteger(QStringLiteral("Normalized")), 1); }},
        StoredSetting{
            "LoadBinAsString", [](RegistryKey& k) { k.writeString(QStringLiteral("LoadBin"), QStringLiteral("1")); },
            [](TfrmMain& w) { EXPECT_FALSE(w.cbMatrix->isChecked()); },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.readInteger(QStringLiteral("LoadBin")), 0); }},
        StoredSetting{
            "ResidueUpward", [](RegistryKey& k) { k.writeInteger(QStringLiteral("ResDecomp"), 0); },
            [](TfrmMain& w) {
                EXPECT_TRUE(w.rbUpward->isChecked());
                EXPECT_FALSE(w.rbDecomposition->isChecked());
            },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.readInteger(QStringLiteral("ResDecomp")), 0); }},
        StoredSetting{"ResidueHalf",
                      [](RegistryKey& k) {
                          k.writeInteger(QStringLiteral("ResDecomp"), 0);
                          k.writeInteger(QStringLiteral("ResHalf"), 1);
                      },
                      [](TfrmMain& w) {
                          EXPECT_TRUE(w.rbHalf->isChecked());
                          EXPECT_FALSE(w.rbUpward->isChecked());
                      },
                      [](const RegistryKey& k, const TfrmMain&) {
                          EXPECT_EQ(k.readInteger(QStringLiteral("ResDecomp")), 0);
                          EXPECT_EQ(k.readInteger(QStringLiteral("ResHalf")), 1);
                      }},
        // Decomposition wins over a stored half residue, which is then written off.
        StoredSetting{
            "ResidueHalfUnderDecomposition", [](RegistryKey& k) { k.writeInteger(QStringLiteral("ResHalf"), 1); },
            [](TfrmMain& w) { EXPECT_TRUE(w.rbDecomposition->isChecked()); },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.readInteger(QStringLiteral("ResHalf")), 0); }},
        StoredSetting{
            "Unlimited", [](RegistryKey& k) { k.writeInteger(QStringLiteral("Unlimited"), 1); },
            [](TfrmMain& w) { EXPECT_TRUE(w.cbUnlimited->isChecked()); },
            [](const RegistryKey& k, const TfrmMain&) { EXPECT_EQ(k.readInteger(QStringLiteral("Unlimited")), 1); }}),
    [](const testing::TestParamInfo<StoredSetting>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, FilterTextThatIsNotANumberKeepsTheWindowOpenAndStoresNothing)
{
    auto window = start();
    window->cbNormalize->setChecked(true);
    window->move(300, 200);
    window->edFilter->selectAll();
    QTest::keyClick(window->edFilter, '-');
    ASSERT_EQ(window->edFilter->text(), QStringLiteral("-"));
    const QByteArray before = stored().serialize();

    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(notifier.generalErrors, QStringList{QStringLiteral("'-' is not a valid floating point value.")});
    EXPECT_EQ(stored().serialize(), before);

    QTest::keyClick(window->edFilter, '3');
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("Normalized")), 1);
    EXPECT_EQ(settingsKey().read(kFilter)->data, doubleBytes(-3.0));
}

TEST_F(MainWindowTest, CommaLocaleShowsAndParsesTheFilterWithAComma)
{
    settingsKey().writeBinary(kFilter, doubleBytes(0.25));
    auto window = start(u',');
    EXPECT_EQ(window->edFilter->text(), QStringLiteral("0,25"));
    QTest::keyClick(window->edFilter, '5');
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settingsKey().read(kFilter)->data, doubleBytes(0.255));
}

TEST_F(MainWindowTest, AnInfiniteStoredFilterIsIgnoredAndNeverWritten)
{
    const QString defaultText = start()->edFilter->text();
    settingsKey().writeBinary(kFilter, doubleBytes(std::numeric_limits<double>::infinity()));
    auto window = start();
    EXPECT_EQ(window->edFilter->text(), defaultText);
    window->edFilter->setText(QStringLiteral("1e400")); // a long double, but no double
    EXPECT_FALSE(window->close());
    EXPECT_EQ(notifier.generalErrors, QStringList{QStringLiteral("'1e400' is not a valid floating point value.")});
    EXPECT_EQ(settingsKey().read(kFilter)->data, doubleBytes(std::numeric_limits<double>::infinity())); // untouched
}

TEST_F(MainWindowTest, TheOptInsAreOffByDefaultAndTurnedOffTheyAreWrittenOff)
{
    auto window = start();
    EXPECT_FALSE(window->cbUnlimited->isChecked());
    EXPECT_FALSE(window->rbHalf->isChecked());
    window->cbUnlimited->setChecked(true);
    window->rbHalf->setChecked(true);
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("Unlimited")), 1);
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("ResHalf")), 1);
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("ResDecomp")), 0);

    auto again = start();
    EXPECT_TRUE(again->cbUnlimited->isChecked());
    EXPECT_TRUE(again->rbHalf->isChecked());
    again->cbUnlimited->setChecked(false);
    again->rbUpward->setChecked(true);
    ASSERT_TRUE(again->close());
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("Unlimited")), 0);
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("ResHalf")), 0);
    EXPECT_FALSE(start()->rbHalf->isChecked());
}

TEST_F(MainWindowTest, TextTypedIntoTheLoadBinBoxIsStoredAs32)
{
    settingsKey().writeInteger(QStringLiteral("LoadBinSize"), 64);
    auto window = start();
    window->cbLoadBinSize->setEditText(QStringLiteral("48 x 48"));
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("LoadBinSize")), 32);
}

TEST_F(MainWindowTest, ParametersReachTheRunRecordInTheirOrder)
{
    auto window = start();
    window->cbMatrix->setChecked(true);
    window->cbLoadBinSize->setCurrentIndex(2);
    window->rbUpward->setChecked(true);
    window->edFilter->setText(QString());
    window->ControlsToRun();
    const tessivo::TRainflowRun& run = window->RainflowRun();
    EXPECT_TRUE(run.UseLoadBins);
    EXPECT_EQ(run.BinCount, 100);
    EXPECT_FALSE(run.Decomposition);
    EXPECT_EQ(run.FilterSize, 0.0L); // the emptied field shows "0"
}

TEST_F(MainWindowTest, EndingWithoutACloseStoresNoSettings)
{
    {
        auto window = start();
        window->cbNormalize->setChecked(true);
        window->hide();
    }
    EXPECT_TRUE(storedSettingNames().isEmpty());
}

} // namespace
