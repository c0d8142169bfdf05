// What the fatigue window reads from its fields in each locale, what it
// keeps when one entry is bad, and what it carries from one count to the
// next; units and times from an imported table on their way to the report,
// the plots and the fatigue window.
#include "command_fixture.h"

#include "document/report_header.h"
#include "fatigue/fatigue_choices.h"
#include "fatigue/fatigue_window.h"
#include "rtf_reader.h"
#include "signal/signal_view.h"
#include "spectrum/spectrum_plot_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableWidget>

namespace {

struct ReadCase {
    const char* name;
    QChar separator;
    const char* del;      // the exponents typed
    const char* material; // Su, for Goodman
    const char* curve;    // the own curve
    std::vector<long double> exponents;
    long double su;
    long double pointS;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class FatigueFieldsTest : public testing::TestWithParam<ReadCase> {};

TEST_P(FatigueFieldsTest, ReadInTheUsersLocale)
{
    const ReadCase& c = GetParam();
    FatigueChoices choices;
    choices.preset.clear();
    choices.ownCurve = QString::fromUtf8(c.curve);
    choices.meanStress = QStringLiteral("goodman");
    choices.material = QString::fromUtf8(c.material);
    choices.delExponents = QString::fromUtf8(c.del);
    const FatigueSettingsRead read = readFatigueSettings(choices, c.separator);
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(u'|').toStdString();
    EXPECT_EQ(read.settings.delExponents, c.exponents);
    ASSERT_TRUE(read.settings.material.ultimate.has_value());
    EXPECT_EQ(*read.settings.material.ultimate, c.su);
    ASSERT_TRUE(read.settings.curve.has_value());
    EXPECT_EQ(read.settings.curve->pointS, c.pointS);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, FatigueFieldsTest,
    testing::Values(
        ReadCase{"PointCommaListsExponents", u'.', "3,4", "20,000", "m=3,S=71.5,N=2e6", {3.0L, 4.0L}, 20000.0L, 71.5L},
        ReadCase{"PointBlanksAndSemicolons",
                 u'.',
                 "3 4;5",
                 "355.5",
                 "m=3; S=71.5; N=2e6",
                 {3.0L, 4.0L, 5.0L},
                 355.5L,
                 71.5L},
        ReadCase{"PointCommaNotAGroupIsDecimal", u'.', "3", "2,5", "m=3,S=71,N=2e6", {3.0L}, 2.5L, 71.0L},
        ReadCase{"CommaDecimals", u',', "3,5 4", "355,5", "m=3,S=71,5,N=2e6", {3.5L, 4.0L}, 355.5L, 71.5L},
        ReadCase{"CommaTakesPointsToo", u',', "3.5;4", "355.5", "m=3,S=71.5,N=2e6", {3.5L, 4.0L}, 355.5L, 71.5L}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(FatigueFields, ABadEntryTakesAwayOnlyWhatNeedsIt)
{
    struct Case {
        const char* field;
        bool curve;
        bool del;
        bool duration;
    };
    const Case cases[] = {{"curve", false, true, true},
                          {"del", true, false, true},
                          {"duration", true, true, false},
                          {"factor", true, true, true}};
    for (const Case& c : cases) {
        FatigueChoices choices;
        choices.duration = QStringLiteral("600");
        const QString field = QLatin1String(c.field);
        if (field == u"curve") {
            choices.preset.clear();
            choices.ownCurve = QStringLiteral("m=3,S=x");
        }
        if (field == u"del")
            choices.delExponents = QStringLiteral("3 four");
        if (field == u"duration")
            choices.duration = QStringLiteral("ten minutes");
        if (field == u"factor")
            choices.loadFactor = QStringLiteral("-2");
        const FatigueSettingsRead read = readFatigueSettings(choices, u'.');
        EXPECT_EQ(read.problems.size(), 1) << c.field;
        EXPECT_EQ(read.settings.curve.has_value(), c.curve) << c.field;
        EXPECT_EQ(!read.settings.delExponents.empty(), c.del) << c.field;
        EXPECT_EQ(read.settings.duration.has_value(), c.duration) << c.field;
        EXPECT_EQ(read.settings.design.stressFactor, 1.0L) << c.field;
        EXPECT_EQ(read.designRead, field != u"factor") << c.field;
    }
}

const QByteArray kTable = "time;F\r\n(s);(kN)\r\n0,0;10\r\n0,5;-5,5\r\n1,0;20\r\n1,5;-2,25\r\n2,0;12\r\n2,5;-8\r\n";

class FatigueCountTest : public CommandTest {
protected:
    static QChar separator() { return QLocale::system().decimalPoint().front(); }
    void importTable(TfrmMain& window, const QString& file)
    {
        answer = [file](QDialog& dialog) {
            if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
                files->selectFile(file);
                return true;
            }
            return true; // the Import dialog with its own choice of column
        };
        window.btImportTable->click();
    }
};

TEST_F(FatigueCountTest, DurationAndUnitBelongToTheirSequence)
{
    auto window = startWindow(separator());
    importTable(*window, writeFile(QStringLiteral("loads.csv"), kTable));
    ASSERT_TRUE(notifier.errors.isEmpty()) << notifier.errors.join(u'|').toStdString();
    window->btExecute->click();
    window->btFatigue->click();
    FatigueWindow* fatigue = window->fatigueWindow();
    ASSERT_NE(fatigue, nullptr);
    // The time column gives the duration; the unit goes with the loads.
    EXPECT_EQ(fatigue->edDuration->text(), QString(QStringLiteral("2.5")).replace(u'.', separator()));
    EXPECT_TRUE(fatigue->lbLoads->text().contains(QStringLiteral("in kN"))) << fatigue->lbLoads->text().toStdString();
    fatigue->edDuration->setText(QStringLiteral("600"));
    window->btExecute->click(); // the same sequence again keeps what was typed
    EXPECT_EQ(fatigue->edDuration->text(), QStringLiteral("600"));

    open(*window, writeFile(QStringLiteral("other.txt"), "1 -4 3 -2 5\n"));
    window->btExecute->click();
    EXPECT_TRUE(fatigue->edDuration->text().isEmpty());
    EXPECT_FALSE(fatigue->lbLoads->text().contains(QStringLiteral("kN")));
}

TEST_F(FatigueCountTest, StressFactorMakesStressesOfTheLoads)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    window->btFatigue->click();
    FatigueWindow* fatigue = window->fatigueWindow();
    ASSERT_NE(fatigue, nullptr);
    fatigue->cbCurve->setCurrentIndex(0);
    fatigue->edOwnCurve->setText(QStringLiteral("m=3,logA=12"));
    fatigue->edDel->setText(QStringLiteral("3"));
    fatigue->edNeq->setText(QStringLiteral("10"));
    ASSERT_TRUE(fatigue->result().has_value());
    const long double damage = fatigue->result()->totals.damage;
    const long double del = fatigue->result()->totals.del.at(0).value;
    fatigue->edLoadFactor->setText(QStringLiteral("2"));
    ASSERT_TRUE(fatigue->result().has_value()) << fatigue->lbStatus->text().toStdString();
    // Twice the stress on a slope of 3: eight times the damage; the table keeps
    // the loads, S and the DELs are stresses (as tessivo-count --stress-factor gives them).
    EXPECT_NEAR(static_cast<double>(fatigue->result()->totals.damage / damage), 8.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(fatigue->result()->totals.del.at(0).value), 2.0 * static_cast<double>(del), 1e-12);
    EXPECT_EQ(fatigue->twDel->horizontalHeaderItem(1)->text(), QStringLiteral("Damage-equivalent stress"));
    EXPECT_EQ(fatigue->result()->rows.at(0).cycle.range, 6.0L);
    EXPECT_EQ(fatigue->result()->rows.at(0).load, 12.0L);
}

TEST_F(FatigueCountTest, ExportAndReportCarryTheSettingsAndTotals)
{
    auto window = startWindow();
    // Loads whose long-double sums leave noise beyond double precision.
    open(*window, writeFile(QStringLiteral("noise.txt"), "0 715.822 0.1 357.911 0.2 715.822\n"));
    window->btExecute->click();
    window->btFatigue->click();
    FatigueWindow* fatigue = window->fatigueWindow();
    ASSERT_NE(fatigue, nullptr);
    fatigue->edDel->setText(QStringLiteral("3 5"));
    const QString csv = QString::fromUtf8(fatigue->exportCsv());
    EXPECT_FALSE(csv.contains(QStringLiteral("99999999"))) << csv.toStdString();
    EXPECT_FALSE(csv.contains(QStringLiteral("00000001"))) << csv.toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral("\n\n\"S-N curve\",\""))) << csv.toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral("\ndamage,"))) << csv.toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral("\nDEL m=5,"))) << csv.toStdString();

    if (unrtfInstalled()) {
        const QString saved = dir() + QStringLiteral("/report.rtf");
        chooseFile(saved);
        window->Save1->trigger();
        const QString text = unrtfText(saved);
        const QStringList fatigueLines = fatigue->reportLines();
        ASSERT_FALSE(fatigueLines.isEmpty());
        for (const QString& line : fatigueLines)
            EXPECT_TRUE(text.contains(tabsFolded(line))) << line.toStdString();
    }
}

TEST_F(FatigueCountTest, TheImportedUnitReachesTheHeadersAndAxes)
{
    auto window = startWindow();
    importTable(*window, writeFile(QStringLiteral("loads.csv"), kTable));
    window->btExecute->click();
    const QStringList header = reportHeaderLines(window->document().header(), now, u'.');
    EXPECT_TRUE(header.contains(QStringLiteral("Load unit:\tkN")));
    EXPECT_EQ(window->PlotData().loadUnit, QStringLiteral("kN"));
    EXPECT_EQ(window->signalSource().loadUnit, "kN");
    EXPECT_EQ(window->signalSource().timeUnit, "s");
}

TEST_F(FatigueCountTest, AMarkOutsideTheZoomIsBroughtIntoView)
{
    auto window = startWindow();
    open(*window, exampleFile("random_walk.txt"));
    window->btExecute->click();
    window->btSpectrumPlot->click();
    SignalView& view = window->plotWindow()->signalView();
    const double span = 40.0;
    view.setWindow({0.0, span});
    std::vector<CycleMark> marks{{900, 920, 1.0, -1.0}};
    view.setMarks(marks);
    EXPECT_EQ(view.selectedMark(), 0);
    EXPECT_LE(view.window().first, 900.0);
    EXPECT_GE(view.window().end, 920.0);
    EXPECT_NEAR(view.window().span(), span, 1e-9); // the zoom the user chose
    // A mark already in view leaves the window where it is.
    view.setWindow({0.0, span});
    view.setMarks({{10, 20, 1.0, -1.0}});
    EXPECT_EQ(view.window().first, 0.0);
}

TEST_F(FatigueCountTest, AxesNameTimeAndUnitsAndTheColourBarItsLargestCount)
{
    // A pattern repeated, so that cells of the matrix fill up.
    QByteArray table = "time;F\r\n(s);(kN)\r\n";
    const char* loads[] = {"10", "-5", "8", "-3"};
    for (int i = 0; i < 200; ++i)
        table += QByteArray::number(i) + ",5;" + loads[i % 4] + "\r\n";
    auto window = startWindow();
    importTable(*window, writeFile(QStringLiteral("loads.csv"), table));
    window->cbMatrix->setChecked(true);
    window->btExecute->click();
    window->btSpectrumPlot->click();
    SpectrumPlotWindow* plot = window->plotWindow();
    ASSERT_NE(plot, nullptr);
    const auto svgOf = [&](SpectrumPlotWindow::Chart chart) {
        plot->showChart(chart);
        const QString file = dir() + QStringLiteral("/chart.svg");
        plot->saveSvg(file);
        QFile svg(file);
        EXPECT_TRUE(svg.open(QIODevice::ReadOnly));
        return QString::fromUtf8(svg.readAll());
    };
    const QString history = svgOf(SpectrumPlotWindow::Chart::Signal);
    EXPECT_TRUE(history.contains(QStringLiteral("Time (s)")));
    EXPECT_TRUE(history.contains(QStringLiteral("Load (kN)")));
    EXPECT_FALSE(history.contains(QStringLiteral("Position in the combined sequence")));
    EXPECT_TRUE(svgOf(SpectrumPlotWindow::Chart::LoadSpectrum).contains(QStringLiteral("Load range (kN)")));
    std::int32_t largest = 0;
    for (const std::int32_t n : plot->data().matrix)
        largest = std::max(largest, n);
    ASSERT_GT(largest, 1);
    const QString matrix = svgOf(SpectrumPlotWindow::Chart::FromToMatrix);
    EXPECT_TRUE(matrix.contains(QStringLiteral(">%1<").arg(largest))) << largest;
    EXPECT_TRUE(matrix.contains(QStringLiteral(">cycles<")));
}

TEST_F(FatigueCountTest, ResultsDoNotMoveTheTablesWhenAMessageComesAndGoes)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    window->btFatigue->click();
    FatigueWindow* fatigue = window->fatigueWindow();
    ASSERT_NE(fatigue, nullptr);
    QTest::qWait(50);
    const QRect del = fatigue->twDel->geometry();
    const QRect rows = fatigue->tabResults->geometry();
    for (const char* bad : {"3 four", "x; y; z and a long text that wraps over more than one line of the label", "3"}) {
        fatigue->edDel->setText(QString::fromLatin1(bad));
        QTest::qWait(20);
        EXPECT_EQ(fatigue->twDel->geometry(), del) << bad;
        EXPECT_EQ(fatigue->tabResults->geometry(), rows) << bad;
    }
}

} // namespace
