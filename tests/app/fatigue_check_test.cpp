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
#include <cmath>
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

struct CurveCorrectionCase {
    const char* name;
    const char* preset; // empty: the own curve m=3,logA=12
    const char* thickness;
    const char* thicknessRef;
    const char* thicknessExponent;
    const char* sizeFactor;
    const char* compressiveShare;
    double damageRatio; // against the same curve without them, worked out by hand
};

// Cycles from -4 to 6 (range 10, 4 of it below zero) on N = 1e12 / S^3,
// whose damage goes with the cube of S on the curve: the corrections' ratios
// follow from their definitions alone (a compressive share of 0.6 counts
// 6 + 0.6 x 4 = 8.4 of the range).
TEST_F(FatigueCheckTest, ThicknessSizeAndCompressiveShareCorrectTheCurve)
{
    const CurveCorrectionCase cases[] = {
        {"thickness on an own curve with both given", "", "40", "25", "0.25", "", "", std::pow(1.6, 0.75)},
        {"thinner than the reference", "", "20", "25", "0.25", "", "", 1.0},
        {"size factor", "", "", "", "", "0.8", "", std::pow(0.8, -3.0)},
        {"compressive share", "", "", "", "", "", "0.6", std::pow(8.4 / 10.0, 3.0)},
        {"all at once", "", "40", "25", "0.25", "0.8", "0.6",
         std::pow(1.6, 0.75) * std::pow(0.8, -3.0) * std::pow(0.84, 3.0)},
        // The exponent typed overrides the curve's own 0.2: no correction.
        {"a preset's exponent overridden", "DNV-D", "50", "", "0", "", "", 1.0},
    };
    FatigueWindow fatigue(nullptr, FatigueWindowSeams{{}, {}, storePath(), separator()});
    fatigue.setCycles({{10.0L, 6.0L, -4.0L, 3.0}}, false, QStringLiteral("cycles"));
    fatigue.edDel->clear();
    for (const CurveCorrectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString preset = QString::fromLatin1(c.preset);
        fatigue.cbCurve->setCurrentIndex(preset.isEmpty() ? 0 : fatigue.cbCurve->findData(preset));
        fatigue.edOwnCurve->setText(QStringLiteral("m=3,logA=12"));
        for (QLineEdit* edit : {fatigue.edThickness, fatigue.edThicknessRef, fatigue.edThicknessExponent,
                                fatigue.edSizeFactor, fatigue.edCompressiveShare})
            edit->clear();
        ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
        const double plain = static_cast<double>(fatigue.result()->totals.damage);
        ASSERT_GT(plain, 0.0);
        fatigue.edThickness->setText(typed(c.thickness));
        fatigue.edThicknessRef->setText(typed(c.thicknessRef));
        fatigue.edThicknessExponent->setText(typed(c.thicknessExponent));
        fatigue.edSizeFactor->setText(typed(c.sizeFactor));
        fatigue.edCompressiveShare->setText(typed(c.compressiveShare));
        ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
        EXPECT_NEAR(static_cast<double>(fatigue.result()->totals.damage) / plain, c.damageRatio, 1e-12);
    }
}

TEST_F(FatigueCheckTest, TheCurvesOwnThicknessValuesShowAndTheCompressiveShareGoesWithoutACorrection)
{
    FatigueWindow fatigue(nullptr, FatigueWindowSeams{{}, {}, storePath(), separator()});
    fatigue.setCycles({{10.0L, 6.0L, -4.0L, 3.0}}, false, QStringLiteral("cycles"));
    fatigue.cbCurve->setCurrentIndex(fatigue.cbCurve->findData(QStringLiteral("DNV-D")));
    // DNV-RP-C203, Table 2-1: curve D, t_ref 25 mm, k 0.20.
    EXPECT_EQ(fatigue.edThicknessRef->placeholderText(), QStringLiteral("curve: 25"));
    EXPECT_EQ(fatigue.edThicknessExponent->placeholderText(), QStringLiteral("curve: ") + typed("0.2"));
    // The summary states the values used.
    fatigue.edThickness->setText(QStringLiteral("40"));
    EXPECT_TRUE(fatigue.summaryCsv().contains("\"Reference thickness t_ref\",\"25\"\n\"Thickness exponent k\",\""
                                              + typed("0.2").toUtf8() + '"'))
        << fatigue.summaryCsv().toStdString();
    fatigue.edThickness->clear();
    fatigue.cbCurve->setCurrentIndex(fatigue.cbCurve->findData(QStringLiteral("EC3-71")));
    EXPECT_TRUE(fatigue.edThicknessRef->placeholderText().contains(QStringLiteral("gives none")));
    // The curve's own rule for compression, where it has one, in the share's tooltip.
    EXPECT_TRUE(fatigue.edCompressiveShare->toolTip().contains(QStringLiteral("may be reduced to 60 %")));
    EXPECT_TRUE(fatigue.edCompressiveShare->toolTip().contains(QStringLiteral("--compressive-share")));
    fatigue.cbCurve->setCurrentIndex(0);
    EXPECT_FALSE(fatigue.edCompressiveShare->toolTip().contains(QStringLiteral("may be reduced")));
    fatigue.cbCurve->setCurrentIndex(fatigue.cbCurve->findData(QStringLiteral("EC3-71")));

    // A mean-stress correction has its own rule for compression: the share
    // is off and kept, and back with "none".
    fatigue.edCompressiveShare->setText(typed("0.6"));
    const long double shared = fatigue.result()->totals.damage;
    fatigue.cbMeanStress->setCurrentIndex(fatigue.cbMeanStress->findData(QStringLiteral("swt")));
    EXPECT_FALSE(fatigue.edCompressiveShare->isEnabled());
    ASSERT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
    EXPECT_FALSE(fatigue.summaryCsv().contains("Compressive share"));
    fatigue.cbMeanStress->setCurrentIndex(0);
    EXPECT_TRUE(fatigue.edCompressiveShare->isEnabled());
    EXPECT_EQ(fatigue.result()->totals.damage, shared);

    // Values outside their range are named and show no result.
    const struct {
        QLineEdit* edit;
        const char* value;
        const char* named;
    } refused[] = {
        {fatigue.edSizeFactor, "1.5", "size factor k_s must be at most 1"},
        {fatigue.edCompressiveShare, "0", "compressive share must be a positive number"},
        {fatigue.edThicknessRef, "25", "need the thickness t"},
        {fatigue.edThicknessExponent, "x", "The thickness exponent k must be a number"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.named);
        r.edit->setText(typed(r.value));
        EXPECT_FALSE(fatigue.result().has_value());
        EXPECT_TRUE(fatigue.lbStatus->text().contains(QLatin1String(r.named)))
            << fatigue.lbStatus->text().toStdString();
        r.edit->clear();
        EXPECT_TRUE(fatigue.result().has_value()) << fatigue.lbStatus->text().toStdString();
    }
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
