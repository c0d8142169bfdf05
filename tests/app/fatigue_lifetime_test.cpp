// A design life over many recordings in the fatigue window: the same digits
// as tessivo-count --design-life --lifetime with the same settings, the main
// window's counting parameters, the summary file, a result forgotten when
// its choices change, refusals that name the table's line, and Cancel.

#include "command_fixture.h"

#include "document/lifetime_count.h"
#include "fatigue/fatigue_window.h"
#include "fatigue/lifetime_panel.h"

#include "engine/run/errors.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <functional>
#include <map>
#include <random>

namespace {

QChar separator()
{
    return QLocale::system().decimalPoint().front();
}

// A number as the user types it.
QString typed(const char* text)
{
    return QString::fromLatin1(text).replace(u'.', separator());
}

QByteArray runCli(const QStringList& arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(TESSIVO_COUNT_BINARY), arguments);
    EXPECT_TRUE(cli.waitForFinished(120000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    return cli.readAllStandardOutput();
}

// What the lifetime report says: "label: \tvalue ..." by label (the value up
// to its first blank), the N_eq of the DELs, and the recordings' rows.
struct LifetimeReport {
    std::map<QString, QString> values;
    QString equivalentCycles;
    QString seconds;
    std::vector<QStringList> recordings; // file, hours per year, duration, cycles, damage
};

LifetimeReport lifetimeReport(const QByteArray& text)
{
    LifetimeReport report;
    bool recordings = false;
    for (const QString& line : QString::fromUtf8(text).split(u'\n')) {
        if (line.startsWith(QStringLiteral("File\t"))) {
            recordings = true;
            continue;
        }
        if (line.isEmpty())
            recordings = false;
        if (recordings) {
            report.recordings.push_back(line.split(u'\t'));
            continue;
        }
        static const QRegularExpression neq(QStringLiteral("\\(N_eq = ([^)]+)\\)"));
        if (const auto match = neq.match(line); match.hasMatch())
            report.equivalentCycles = match.captured(1);
        static const QRegularExpression seconds(QStringLiteral(" years, (\\S+) seconds"));
        if (const auto match = seconds.match(line); match.hasMatch())
            report.seconds = match.captured(1);
        const qsizetype tab = line.indexOf(QStringLiteral(": \t"));
        if (tab > 0)
            report.values[line.left(tab)] = line.mid(tab + 3).section(u' ', 0, 0);
    }
    return report;
}

// The number after `prefix` in the label's text, with a decimal point.
QString shownAfter(const QString& text, const QString& prefix)
{
    const qsizetype at = text.indexOf(prefix);
    if (at < 0)
        return QStringLiteral("missing: ") + prefix;
    return text.mid(at + prefix.size()).section(QRegularExpression(QStringLiteral("[ \\n]")), 0, 0).replace(u',', u'.');
}

QString cell(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item ? item->text().replace(separator(), u'.') : QStringLiteral("missing");
}

// "name,value" lines of the saved summary by name.
std::map<QString, QString> summaryValues(const QByteArray& csv)
{
    std::map<QString, QString> values;
    for (const QByteArray& line : csv.split('\n')) {
        const QString text = QString::fromUtf8(line);
        values[text.section(u',', 0, 0).remove(u'"')] = text.section(u',', 1).remove(u'"');
    }
    return values;
}

QByteArray randomWalk(unsigned seed, int length)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> step(-30.0, 30.0);
    QByteArray text;
    double load = 0.0;
    for (int i = 0; i < length; ++i) {
        load += step(random) - load * 0.05; // about zero: ranges with a part below it
        text += QByteArray::number(load, 'f', 3) + '\n';
    }
    return text;
}

struct LifetimeCase {
    const char* name;
    QString weights;
    QString cli; // the options beyond --design-life, --lifetime and the weights
    const char* designLife;
    std::function<void(TfrmMain&)> parameters;
    std::function<void(FatigueWindow&)> choose;
};

class FatigueLifetimeTest : public CommandTest {
protected:
    FatigueWindow& fatigueAfterCount(TfrmMain& window)
    {
        open(window, exampleFile("worked_example.txt"));
        window.btExecute->click();
        window.btFatigue->click();
        return *window.fatigueWindow();
    }

    static void countLifetime(FatigueWindow& fatigue)
    {
        fatigue.pgLifetime->btLifetimeCount->click();
        QTRY_VERIFY_WITH_TIMEOUT(!fatigue.pgLifetime->counting(), 120000);
    }

    // Three walks, one in a folder below the table and one with a blank in
    // its name (quoted), and a recording of 0 hours.
    QString walkWeights()
    {
        QDir(dir()).mkpath(QStringLiteral("below"));
        writeFile(QStringLiteral("walk1.txt"), randomWalk(1, 3000));
        writeFile(QStringLiteral("walk 2.txt"), randomWalk(2, 2000));
        writeFile(QStringLiteral("below/walk3.txt"), randomWalk(3, 2500));
        return writeFile(QStringLiteral("weights.csv"),
                         "file,hours_per_year\nwalk1.txt,100\n\"walk 2.txt\",250.5\nbelow/walk3.txt,12.25\n"
                         "walk1.txt,0\n");
    }
};

TEST_F(FatigueLifetimeTest, LifetimeAgreesWithTheCommandLineToEveryDigitShown)
{
    const QString walks = walkWeights();
    const LifetimeCase cases[] = {
        {"the manual's wind-turbine tower", exampleFile("wind_lifetime_weights.csv"),
         QStringLiteral("--column TwrBsMyt --sn-curve preset:DNV-D --stress-factor 0.00131 --scf 1.2 --thickness 27 "
                        "--dff 2 --del 3,4,5 --del-frequency 1"),
         "20", [](TfrmMain&) {},
         [](FatigueWindow& f) {
             f.cbCurve->setCurrentIndex(f.cbCurve->findData(QStringLiteral("DNV-D")));
             f.edLoadFactor->setText(typed("0.00131"));
             f.edScf->setText(typed("1.2"));
             f.edThickness->setText(QStringLiteral("27"));
             f.edDff->setText(QStringLiteral("2"));
             f.edDel->setText(QStringLiteral("3 4 5"));
             f.edDelFrequency->setText(QStringLiteral("1"));
             f.edNeq->clear(); // off beside a frequency, and not read
             f.pgLifetime->edLifetimeColumn->setText(QStringLiteral("TwrBsMyt"));
         }},
        {"walks with the main window's filter and half cycles, an own curve and every correction", walks,
         QStringLiteral("--filter 2 --residue half --sn-curve m=3,logA=12 --thickness 40 --thickness-ref 25 "
                        "--thickness-exponent 0.25 --size-factor 0.9 --compressive-share 0.6 --gamma-mf 1.15 --dff 3 "
                        "--del 3,5 --del-cycles 1e6 --duration 600"),
         "25.5",
         [](TfrmMain& w) {
             // Set after the last count: the lifetime takes the parameters on show.
             w.edFilter->setText(typed("2.00"));
             w.rbHalf->setChecked(true);
         },
         [](FatigueWindow& f) {
             f.cbCurve->setCurrentIndex(0);
             f.edOwnCurve->setText(QStringLiteral("m=3,logA=12"));
             f.edThickness->setText(QStringLiteral("40"));
             f.edThicknessRef->setText(QStringLiteral("25"));
             f.edThicknessExponent->setText(typed("0.25"));
             f.edSizeFactor->setText(typed("0.9"));
             f.edCompressiveShare->setText(typed("0.6"));
             f.edGammaMf->setText(typed("1.15"));
             f.edDff->setText(QStringLiteral("3"));
             f.edDel->setText(QStringLiteral("3;5"));
             f.edNeq->setText(QStringLiteral("1e6"));
             f.pgLifetime->edRecordingDuration->setText(QStringLiteral("600"));
         }},
    };
    for (const LifetimeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = startWindow(separator());
        FatigueWindow& fatigue = fatigueAfterCount(*window);
        fatigue.setChoices(FatigueChoices{}); // not those the case before kept
        c.parameters(*window);
        c.choose(fatigue);
        fatigue.pgLifetime->edWeights->setText(c.weights);
        fatigue.pgLifetime->edDesignLife->setText(typed(c.designLife));
        countLifetime(fatigue);
        ASSERT_TRUE(notifier.generalErrors.isEmpty()) << notifier.generalErrors.join(u'|').toStdString();
        ASSERT_TRUE(fatigue.pgLifetime->result().has_value());

        const QStringList arguments = QStringList{QStringLiteral("--design-life"), QString::fromLatin1(c.designLife),
                                                  QStringLiteral("--lifetime"), c.weights}
                                      + c.cli.split(u' ');
        const LifetimeReport cli = lifetimeReport(runCli(arguments));
        ASSERT_EQ(cli.values.count(QStringLiteral("Utilisation")), 1u);
        const QString shown = fatigue.pgLifetime->lbLifetime->text();
        EXPECT_EQ(shownAfter(shown, QStringLiteral("Check ")), cli.values.at(QStringLiteral("Check")));
        EXPECT_EQ(shownAfter(shown, QStringLiteral("Utilisation ")), cli.values.at(QStringLiteral("Utilisation")));
        EXPECT_EQ(shownAfter(shown, QStringLiteral("D x DFF = ")), cli.values.at(QStringLiteral("Design damage")));
        EXPECT_EQ(shownAfter(shown, QStringLiteral("Damage D = ")), cli.values.at(QStringLiteral("Damage (Miner)")));
        EXPECT_EQ(shownAfter(shown, QStringLiteral("Design life ")), cli.values.at(QStringLiteral("Design life")));
        EXPECT_EQ(shownAfter(shown, QStringLiteral("years, ")), cli.seconds);
        EXPECT_EQ(shownAfter(shown, QStringLiteral("N_eq = ")), cli.equivalentCycles);
        const QTableWidget& del = *fatigue.pgLifetime->twLifetimeDel;
        ASSERT_GE(del.rowCount(), 2);
        for (int row = 0; row < del.rowCount(); ++row)
            EXPECT_EQ(cell(del, row, 1), cli.values.at(QStringLiteral("m = ") + cell(del, row, 0))) << row;

        // The recordings: file, hours, duration, cycles and damage as the report
        // lists them; the repetitions Y x h x 3600 / T worked out here.
        const QTableWidget& rows = *fatigue.pgLifetime->twRecordings;
        ASSERT_GE(rows.rowCount(), 4);
        ASSERT_EQ(static_cast<std::size_t>(rows.rowCount()), cli.recordings.size());
        const double years = QString::fromLatin1(c.designLife).toDouble();
        for (int row = 0; row < rows.rowCount(); ++row) {
            const QStringList& r = cli.recordings[static_cast<std::size_t>(row)];
            ASSERT_EQ(r.size(), 5);
            EXPECT_EQ(rows.item(row, 0)->text(), r[0]);
            EXPECT_EQ(cell(rows, row, 1), r[1]);
            EXPECT_EQ(cell(rows, row, 2), r[2]);
            EXPECT_EQ(cell(rows, row, 4), r[3]);
            EXPECT_EQ(cell(rows, row, 5), r[4]);
            const double repetitions = years * r[1].toDouble() * 3600.0 / r[2].toDouble();
            EXPECT_NEAR(cell(rows, row, 3).toDouble(), repetitions, repetitions * 1e-5 + 1e-12) << row;
        }

        // The summary holds the lifetime to double precision: the command line's JSON.
        const QJsonObject json =
            QJsonDocument::fromJson(runCli(arguments + QStringList{QStringLiteral("--format"), QStringLiteral("json")}))
                .object()
                .value(QStringLiteral("lifetime"))
                .toObject();
        const std::map<QString, QString> summary = summaryValues(fatigue.summaryCsv());
        for (const char* name : {"damage", "utilisation", "designDamage"}) {
            const double expected = json.value(QLatin1String(name)).toDouble();
            const QString key = std::string_view(name) == "designDamage" ? QStringLiteral("lifetime design damage")
                                                                         : QStringLiteral("lifetime ") + name;
            ASSERT_EQ(summary.count(key), 1u) << key.toStdString();
            EXPECT_NEAR(summary.at(key).toDouble(), expected, expected * 1e-14) << name;
        }
        const QJsonArray dels = json.value(QStringLiteral("del")).toArray();
        ASSERT_EQ(dels.size(), del.rowCount());
        for (int k = 0; k < dels.size(); ++k) {
            const QJsonObject d = dels[k].toObject();
            const QString key =
                QStringLiteral("lifetime DEL m=") + QString::number(d.value(QStringLiteral("m")).toDouble());
            ASSERT_EQ(summary.count(key), 1u) << key.toStdString();
            const double expected = d.value(QStringLiteral("value")).toDouble();
            EXPECT_NEAR(summary.at(key).toDouble(), expected, expected * 1e-14) << k;
        }
        EXPECT_EQ(summary.at(QStringLiteral("lifetime check")),
                  json.value(QStringLiteral("check")).toBool() ? QStringLiteral("passes") : QStringLiteral("fails"));
        notifier.generalErrors.clear();
    }
}

class StandaloneLifetimeTest : public FatigueLifetimeTest {
protected:
    std::unique_ptr<FatigueWindow> fatigueWindow()
    {
        FatigueWindowSeams seams;
        seams.reportError = [this](const QString& text) { errors << text; };
        seams.storePath = storePath();
        seams.decimalSeparator = separator();
        auto fatigue = std::make_unique<FatigueWindow>(nullptr, seams);
        fatigue->setChoices(FatigueChoices{});
        return fatigue;
    }

    QStringList errors;
};

TEST_F(StandaloneLifetimeTest, ALifetimeIsSavedWithItsChoicesAndForgottenWhenTheyChange)
{
    auto fatigue = fatigueWindow();
    fatigue->cbCurve->setCurrentIndex(0);
    fatigue->edOwnCurve->setText(QStringLiteral("m=3,logA=12"));
    fatigue->pgLifetime->edWeights->setText(walkWeights());
    fatigue->pgLifetime->edDesignLife->setText(QStringLiteral("10"));
    fatigue->pgLifetime->edRecordingDuration->setText(QStringLiteral("600"));
    countLifetime(*fatigue);
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    ASSERT_TRUE(fatigue->pgLifetime->result().has_value());

    // 10 years of 100 hours of a recording of 600 s: 10 x 100 x 3600 / 600 = 6000 passes.
    const QByteArray summary = fatigue->summaryCsv();
    EXPECT_TRUE(summary.contains("\nfile,hours_per_year,duration,repetitions,cycles,damage\n"))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains("walk1.txt\",100,600,6000,")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("walk1.txt\",0,600,0,")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("\nlifetime utilisation,")) << summary.toStdString();

    // The sequence's own duration is no part of a lifetime; a factor is.
    fatigue->edDuration->setText(QStringLiteral("123"));
    EXPECT_TRUE(fatigue->pgLifetime->result().has_value());
    fatigue->edDff->setText(QStringLiteral("3"));
    EXPECT_FALSE(fatigue->pgLifetime->result().has_value());
    EXPECT_TRUE(fatigue->pgLifetime->lbLifetime->text().contains(QStringLiteral("count it again")));
    EXPECT_FALSE(fatigue->summaryCsv().contains("lifetime"));
    EXPECT_EQ(fatigue->pgLifetime->twRecordings->rowCount(), 0);

    // Counted again, the lifetime is there; its own entries forget it as well.
    countLifetime(*fatigue);
    ASSERT_TRUE(fatigue->pgLifetime->result().has_value());
    fatigue->pgLifetime->edDesignLife->setText(QStringLiteral("11"));
    EXPECT_FALSE(fatigue->pgLifetime->result().has_value());
}

TEST_F(StandaloneLifetimeTest, WhatStopsALifetimeIsNamed)
{
    const QString weights = walkWeights();
    struct Refusal {
        const char* name;
        std::function<void(FatigueWindow&)> set;
        QString named;
    } refusals[] = {
        {"hours below zero",
         [&](FatigueWindow& f) {
             f.pgLifetime->edWeights->setText(
                 writeFile(QStringLiteral("bad.csv"), "file,hours_per_year\nwalk1.txt,5\nwalk1.txt,-3\n"));
         },
         QStringLiteral("bad.csv: line 3: the hours per year '-3' are not a number of 0 or more.")},
        {"a recording that is not there",
         [&](FatigueWindow& f) {
             f.pgLifetime->edWeights->setText(
                 writeFile(QStringLiteral("gone.csv"), "file,hours_per_year\nnot_there.txt,5\n"));
         },
         QStringLiteral("not_there.txt")},
        {"no design life", [](FatigueWindow& f) { f.pgLifetime->edDesignLife->clear(); },
         QStringLiteral("Give the design life in years.")},
        {"a design life of 0", [](FatigueWindow& f) { f.pgLifetime->edDesignLife->setText(QStringLiteral("0")); },
         QStringLiteral("The design life must be a positive number of years, not '0'")},
        {"a recording without a duration", [](FatigueWindow& f) { f.pgLifetime->edRecordingDuration->clear(); },
         QStringLiteral("walk1.txt: no time column to take the duration from")},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        auto fatigue = fatigueWindow();
        fatigue->pgLifetime->edWeights->setText(weights);
        fatigue->pgLifetime->edDesignLife->setText(QStringLiteral("20"));
        fatigue->pgLifetime->edRecordingDuration->setText(QStringLiteral("600"));
        r.set(*fatigue);
        errors.clear();
        countLifetime(*fatigue);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.front().contains(r.named)) << errors.front().toStdString();
        EXPECT_FALSE(fatigue->pgLifetime->result().has_value());
        EXPECT_TRUE(fatigue->pgLifetime->btLifetimeCount->isEnabled());
    }
}

TEST_F(StandaloneLifetimeTest, CancelStopsBetweenRecordingsAndKeepsTheResultBefore)
{
    LifetimeCountInput input;
    input.fatigue.settings.delExponents = {4.0L};
    input.lifetime.weights = walkWeights().toStdString();
    input.lifetime.settings.designLife = 1.0L;
    input.lifetime.duration = 600.0L;
    std::vector<std::size_t> seen;
    const tessivo::LifetimeResult whole =
        countLifetimeRecordings(input, [&](std::size_t done, std::size_t total, const std::string&) {
            EXPECT_EQ(total, 4u);
            seen.push_back(done);
            return true;
        });
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(whole.recordings.size(), 4u);
    EXPECT_THROW(
        countLifetimeRecordings(input, [](std::size_t done, std::size_t, const std::string&) { return done < 2; }),
        tessivo::RunCancelled);

    // Many recordings, cancelled at once from the window: nothing is shown, no error.
    QByteArray many = "file,hours_per_year\n";
    for (int k = 0; k < 400; ++k)
        many += "walk1.txt,1\n";
    auto fatigue = fatigueWindow();
    LifetimePanel& panel = *fatigue->pgLifetime;
    panel.edWeights->setText(writeFile(QStringLiteral("many.csv"), many));
    panel.edDesignLife->setText(QStringLiteral("1"));
    panel.edRecordingDuration->setText(QStringLiteral("600"));
    const auto countAndCancel = [&panel] {
        panel.btLifetimeCount->click();
        EXPECT_TRUE(panel.counting());
        EXPECT_FALSE(panel.btLifetimeCancel->isHidden());
        EXPECT_FALSE(panel.btLifetimeCount->isEnabled());
        panel.btLifetimeCancel->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel.counting(), 120000);
        EXPECT_TRUE(panel.btLifetimeCount->isEnabled());
        EXPECT_TRUE(panel.pbLifetime->isHidden());
        EXPECT_TRUE(panel.btLifetimeCancel->isHidden());
    };
    countAndCancel();
    EXPECT_FALSE(panel.result().has_value());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    // The result before stays when a count of the same choices is cancelled.
    countLifetime(*fatigue);
    ASSERT_TRUE(panel.result().has_value());
    countAndCancel();
    ASSERT_TRUE(panel.result().has_value());
    EXPECT_EQ(panel.result()->recordings.size(), 400u);
    EXPECT_EQ(panel.twRecordings->rowCount(), 400);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
}

} // namespace
