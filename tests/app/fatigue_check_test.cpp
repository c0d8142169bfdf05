// The code check in the fatigue window: the same digits as tessivo-count's
// report for the same settings, the check at a glance with the factors'
// effect worked out by hand, the summary file, the entries read in the
// user's locale, and the counts beside rainflow over the counted sequence.
#include "command_fixture.h"

#include "fatigue/fatigue_window.h"

#include "engine/fatigue/damage_equivalent_load.h"
#include "engine/fatigue/sn_presets.h"
#include "engine/run/count.h"
#include "engine/run/outputs/fatigue_output.h"
#include "engine/run/plain_text_report.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <map>
#include <random>

namespace {

class FatigueCheckTest : public CommandTest {
protected:
    static QChar separator() { return QLocale::system().decimalPoint().front(); }
    // A number as the user types it.
    static QString typed(const char* text) { return QString::fromLatin1(text).replace(u'.', separator()); }

    FatigueWindow& fatigueAfterCount(TfrmMain& window, const QString& file)
    {
        open(window, file);
        window.btExecute->click();
        window.btFatigue->click();
        return *window.fatigueWindow();
    }
};

// The report's "label: \tvalue ..." lines by label, the value up to its first blank.
std::map<std::string, std::string> reportValues(const std::string& report)
{
    std::map<std::string, std::string> values;
    std::size_t start = 0;
    while (start < report.size()) {
        const std::size_t end = report.find('\n', start);
        const std::string line = report.substr(start, end - start);
        const std::size_t tab = line.find(": \t");
        if (tab != std::string::npos) {
            const std::string value = line.substr(tab + 3);
            values[line.substr(0, tab)] = value.substr(0, value.find(' '));
        }
        start = end == std::string::npos ? report.size() : end + 1;
    }
    return values;
}

// The number after `prefix` in a label's text, with a decimal point.
std::string shownAfter(const QString& text, const QString& prefix)
{
    const qsizetype at = text.indexOf(prefix);
    if (at < 0)
        return "missing: " + prefix.toStdString();
    const QString rest = text.mid(at + prefix.size());
    return rest.section(QRegularExpression(QStringLiteral("[ \\n]")), 0, 0).replace(u',', u'.').toStdString();
}

TEST_F(FatigueCheckTest, WindowShowsTheDigitsOfTheCommandLinesReport)
{
    // Loads with decimals, as a measured channel gives them.
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> step(-40.0, 40.0);
    QByteArray text;
    double load = 0.0;
    for (int i = 0; i < 600; ++i) {
        load += step(random);
        text += QByteArray::number(load, 'f', 3) + '\n';
    }
    const QString file = writeFile(QStringLiteral("channel.txt"), text);

    auto window = startWindow(separator());
    FatigueWindow& fatigue = fatigueAfterCount(*window, file);
    fatigue.cbCurve->setCurrentIndex(fatigue.cbCurve->findData(QStringLiteral("DNV-D")));
    fatigue.edDel->setText(QStringLiteral("3;4"));
    fatigue.edDuration->setText(QStringLiteral("600"));
    fatigue.edDelFrequency->setText(typed("0.5"));
    fatigue.edLoadFactor->setText(typed("1.5"));
    fatigue.edScf->setText(typed("1.2"));
    fatigue.edGammaFf->setText(typed("1.35"));
    fatigue.edGammaMf->setText(typed("1.15"));
    fatigue.edDff->setText(QStringLiteral("3"));
    fatigue.edThickness->setText(QStringLiteral("40"));
    ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
    ASSERT_TRUE(fatigue.lbStatus->text().isEmpty()) << fatigue.lbStatus->text().toStdString();

    // tessivo-count channel.txt --sn-curve preset:DNV-D --del 3,4 --duration 600 --del-frequency 0.5
    //   --stress-factor 1.5 --scf 1.2 --gamma-ff 1.35 --gamma-mf 1.15 --dff 3 --thickness 40
    tessivo::FatigueRequest request;
    tessivo::fatigue::FatigueSettings& s = request.settings;
    s.curve = tessivo::fatigue::findSnPreset("DNV-D")->definition;
    request.curveText = "preset:DNV-D";
    s.delExponents = {3.0L, 4.0L};
    s.duration = 600.0L;
    s.equivalentCycles = tessivo::fatigue::equivalentCycles(0.5L, 600.0L);
    s.design.stressFactor = 1.5L;
    s.design.scf = 1.2L;
    s.design.gammaFf = 1.35L;
    s.design.gammaMf = 1.15L;
    s.design.dff = 3.0L;
    s.design.thickness = 40.0L;
    tessivo::CountResult counted =
        tessivo::count(tessivo::CountRequest{}, tessivo::CountInputs::files({{file.toStdString()}}));
    const tessivo::FatigueContext context{request, counted.table(), counted.cycleCount(), counted.binned()};
    tessivo::PlainTextReport report;
    tessivo::writeFatigueReport(report, context, tessivo::fatigueTotals(context));
    const std::map<std::string, std::string> cli = reportValues(report.text());
    ASSERT_EQ(cli.count("Utilisation"), 1u) << report.text();

    const QString totals = fatigue.lbTotals->text();
    const QString check = fatigue.lbCheck->text();
    EXPECT_EQ(shownAfter(totals, QStringLiteral("Damage D = ")), cli.at("Damage (Miner)"));
    EXPECT_EQ(shownAfter(totals, QStringLiteral("Life = ")), cli.at("Life"));
    EXPECT_EQ(shownAfter(check, QStringLiteral("Utilisation ")), cli.at("Utilisation"));
    EXPECT_EQ(shownAfter(check, QStringLiteral("D x DFF = ")), cli.at("Design damage"));
    EXPECT_EQ(shownAfter(check, QStringLiteral("Check ")), cli.at("Check"));
    ASSERT_EQ(fatigue.twDel->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const std::string m = fatigue.twDel->item(row, 0)->text().toStdString();
        EXPECT_EQ(fatigue.twDel->item(row, 1)->text().replace(u',', u'.').toStdString(), cli.at("m = " + m)) << m;
    }
}

TEST_F(FatigueCheckTest, CheckAtAGlanceAndItsSummary)
{
    auto window = startWindow(separator());
    FatigueWindow& fatigue = fatigueAfterCount(*window, exampleFile("worked_example.txt"));
    fatigue.cbCurve->setCurrentIndex(0);
    fatigue.edOwnCurve->setText(QStringLiteral("m=3,logA=12"));
    // Ranges 6, 4, 2 on N = 1e12 / S^3 give D = 288e-12; the stress factor 2
    // and gamma_Ff 1.5 put three times each range on the curve: D x 27.
    fatigue.edLoadFactor->setText(QStringLiteral("2"));
    fatigue.edGammaFf->setText(typed("1.5"));
    fatigue.edDff->setText(QStringLiteral("10"));
    ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
    const double damage = 288e-12 * 27.0;
    EXPECT_NEAR(static_cast<double>(fatigue.result()->totals.damage), damage, damage * 1e-14);
    EXPECT_TRUE(fatigue.lbCheck->text().startsWith(QStringLiteral("Check passes")))
        << fatigue.lbCheck->text().toStdString();

    const QString file = dir() + QStringLiteral("/summary.csv");
    chooseFile(file);
    fatigue.btSaveSummary->click();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    std::map<QString, QString> summary;
    for (const QByteArray& line : saved.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        summary[text.section(u',', 0, 0).remove(u'"')] = text.section(u',', 1).remove(u'"');
    }
    EXPECT_EQ(summary[QStringLiteral("name")], QStringLiteral("value"));
    EXPECT_NEAR(summary[QStringLiteral("damage")].toDouble(), damage, damage * 1e-14);
    EXPECT_NEAR(summary[QStringLiteral("utilisation")].toDouble(), 10.0 * damage, damage * 1e-13);
    EXPECT_EQ(summary[QStringLiteral("check")], QStringLiteral("passes"));
    EXPECT_EQ(summary[QStringLiteral("DFF")], QStringLiteral("10"));
    EXPECT_EQ(summary[QStringLiteral("Stress factor")], QStringLiteral("2"));

    // A DFF that takes the design damage past 1 fails the check.
    fatigue.edDff->setText(QStringLiteral("1e9"));
    EXPECT_TRUE(fatigue.lbCheck->text().startsWith(QStringLiteral("Check fails")))
        << fatigue.lbCheck->text().toStdString();
    // A bad factor shows no result at all rather than one off by that factor.
    fatigue.edGammaMf->setText(QStringLiteral("-1"));
    EXPECT_FALSE(fatigue.result().has_value());
    EXPECT_TRUE(fatigue.lbStatus->text().contains(QStringLiteral("gamma_Mf")))
        << fatigue.lbStatus->text().toStdString();
    EXPECT_EQ(fatigue.lbCheck->text(), QStringLiteral("Check: no result"));
    // A thickness on an own curve without a reference thickness is named.
    fatigue.edGammaMf->setText(QStringLiteral("1"));
    fatigue.edThickness->setText(QStringLiteral("40"));
    EXPECT_TRUE(fatigue.lbStatus->text().contains(QStringLiteral("reference thickness")))
        << fatigue.lbStatus->text().toStdString();
}

// "3,4" lists two exponents where the decimal separator is a point (the
// command line's syntax) and is 3.4 where it is a comma; both read decimal
// factors in the user's own notation.
TEST_F(FatigueCheckTest, EntriesFollowTheUsersLocale)
{
    auto window = startWindow(separator());
    FatigueWindow& fatigue = fatigueAfterCount(*window, exampleFile("worked_example.txt"));
    fatigue.edDel->setText(QStringLiteral("3,4"));
    fatigue.edLoadFactor->setText(typed("2.5"));
    ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
    EXPECT_EQ(fatigue.result()->rows.at(0).load, 15.0L); // 6 x 2.5
    if (separator() == u',') {
        ASSERT_EQ(fatigue.twDel->rowCount(), 1);
        EXPECT_EQ(fatigue.twDel->item(0, 0)->text(), QStringLiteral("3,4"));
    } else {
        ASSERT_EQ(fatigue.twDel->rowCount(), 2);
        EXPECT_EQ(fatigue.twDel->item(1, 0)->text(), QStringLiteral("4"));
    }
    // N_eq from the frequency: 0.5 Hz over 600 s is 300 cycles, which the summary states.
    fatigue.edDuration->setText(QStringLiteral("600"));
    fatigue.edDelFrequency->setText(typed("0.5"));
    EXPECT_FALSE(fatigue.edNeq->isEnabled());
    ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
    EXPECT_TRUE(fatigue.summaryCsv().contains("\"DEL cycles N_eq\",\"300\"")) << fatigue.summaryCsv().toStdString();
    fatigue.edDuration->clear();
    EXPECT_TRUE(fatigue.lbStatus->text().contains(QStringLiteral("needs the sequence duration")));
}

TEST_F(FatigueCheckTest, OtherCountsOfTheCountedSequence)
{
    auto window = startWindow(separator());
    FatigueWindow& fatigue = fatigueAfterCount(*window, writeFile(QStringLiteral("two.txt"), "0 10 0 10 0\n"));
    fatigue.tabResults->setCurrentWidget(fatigue.pgOtherCounts);

    // The reference is the mean 4; each level from 0 to 10 lies on two rises
    // (counted upwards from 4) or two falls (downwards below it).
    fatigue.cbOtherCount->setCurrentIndex(fatigue.cbOtherCount->findData(static_cast<int>(OtherCount::LevelCrossings)));
    const OtherCountData& crossings = fatigue.otherCount();
    ASSERT_EQ(crossings.bars.size(), 33u);
    EXPECT_DOUBLE_EQ(crossings.reference, 4.0);
    for (const OtherCountBar& bar : crossings.bars)
        EXPECT_EQ(bar.amount, 2.0) << bar.low;

    // Five values of 0.5 s each (2 s between the first and the last): three
    // at 0 and two at 10.
    fatigue.edDuration->setText(QStringLiteral("2"));
    fatigue.cbOtherCount->setCurrentIndex(fatigue.cbOtherCount->findData(static_cast<int>(OtherCount::TimeAtLevel)));
    const OtherCountData& time = fatigue.otherCount();
    ASSERT_EQ(time.bars.size(), 32u);
    EXPECT_TRUE(time.seconds);
    EXPECT_EQ(time.bars.front().amount, 1.5);
    EXPECT_EQ(time.bars.back().amount, 1.0);
    double total = 0.0;
    for (const OtherCountBar& bar : time.bars)
        total += bar.amount;
    EXPECT_EQ(total, 2.5);

    // Range pairs: the two rises and falls of 10 make their cycles in the top class.
    fatigue.cbOtherCount->setCurrentIndex(fatigue.cbOtherCount->findData(static_cast<int>(OtherCount::RangePairs)));
    const OtherCountData& pairs = fatigue.otherCount();
    ASSERT_EQ(pairs.bars.size(), 32u);
    EXPECT_EQ(pairs.bars.back().amount, 2.0);
    EXPECT_DOUBLE_EQ(pairs.bars.back().high, 10.0);
}

// The sequence's work file gone (a second copy of the program, a cleaner):
// the tab says so once and stays empty, not a message at every keystroke.
TEST_F(FatigueCheckTest, OtherCountsReportAMissingSequenceOnce)
{
    auto window = startWindow(separator());
    FatigueWindow& fatigue = fatigueAfterCount(*window, writeFile(QStringLiteral("two.txt"), "0 10 0 10 0\n"));
    ASSERT_TRUE(QFile::remove(workDir() + QStringLiteral("$Sequence.tmp")));
    fatigue.tabResults->setCurrentWidget(fatigue.pgOtherCounts);
    EXPECT_EQ(notifier.generalErrors.size(), 1);
    EXPECT_TRUE(fatigue.otherCount().bars.empty());
    fatigue.edDuration->setText(QStringLiteral("2"));
    fatigue.cbOtherCount->setCurrentIndex(2);
    EXPECT_EQ(notifier.generalErrors.size(), 1);
    EXPECT_TRUE(fatigue.result().has_value()); // the rest of the window works on
}

} // namespace
