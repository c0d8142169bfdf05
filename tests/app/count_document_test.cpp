// The document alone, without a window: what it loads, counts and hands to
// the windows, and that a count replaces the last one whole or not at all.
#include "document/count_document.h"

#include "engine/run/plain_text_report.h"
#include "engine/run/run_control.h"
#include "engine/files/sequence_loading.h"
#include "engine/tables/table_layout.h"
#include "document/report_header.h"

#include "engine/run/errors.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <numeric>

namespace {

const QByteArray kTable = "time;F;M\r\n(s);(kN);[kN m]\r\n0,0;10;1\r\n0,5;-5,5;2\r\n1,0;20;3\r\n1,5;-2,25;1\r\n"
                          "2,0;12;4\r\n2,5;-8;0\r\n";
const QByteArray kPlain = "10 -5.5 20 -2.25 12 -8\n";

struct Params {
    long double filter = 0.0L;
    bool normalize = false;
    bool bins = false;
    bool decomposition = true;
};

class CountDocumentTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        doc.setWorkDir(m_dir.path() + QStringLiteral("/work/"));
        doc.resetRun();
    }
    QString writeFile(const QString& name, const QByteArray& content) const
    {
        const QString path = m_dir.path() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    tessivo::CountOutcome count(const Params& p)
    {
        doc.run().FilterSize = p.filter;
        doc.run().Normalize = p.normalize;
        doc.run().UseLoadBins = p.bins;
        doc.run().Decomposition = p.decomposition;
        EXPECT_FALSE(doc.checkParameters().has_value());
        return doc.count({});
    }
    QString reportText() const
    {
        tessivo::PlainTextReport text;
        doc.writeReport(text, ".");
        return QString::fromStdString(text.text());
    }
    // The report the run control writes for the same file and parameters.
    QString engineReport(const QString& file, const Params& p) const
    {
        QTemporaryDir work;
        tessivo::TRainflowRun run;
        tessivo::InitRainflowRun(run);
        EXPECT_EQ(tessivo::openSequence(run, file.toStdString(), work.path().toStdString() + '/'),
                  tessivo::OpenOutcome::Ok);
        run.FilterSize = p.filter;
        run.Normalize = p.normalize;
        run.UseLoadBins = p.bins;
        run.Decomposition = p.decomposition;
        tessivo::TCycleTable table;
        tessivo::PlainTextReport text;
        tessivo::executeCount(run, table, work.path().toStdString() + '/', text);
        return QString::fromStdString(text.text());
    }
    bool import(const QString& file, int column)
    {
        return doc.importColumn(file, tessivo::detectTableLayout(file.toStdString()), column);
    }

    // A table of `rows` rows: time, then a load that climbs and falls by
    // two between -3 and 3 (a cycle of range 6 every six rows; 6k + 1 rows
    // end where they began, so nothing but those cycles is left).
    QString writeLongTable(const QString& name, int rows) const
    {
        QByteArray content = "t,F\n(s),(kN)\n";
        content.reserve(rows * 12);
        for (int i = 0; i < rows; ++i) {
            const int phase = i % 6;
            content +=
                QByteArray::number(i) + ',' + QByteArray::number(phase <= 3 ? phase * 2 - 3 : 9 - phase * 2) + '\n';
        }
        return writeFile(name, content);
    }
    // Waits for the document's reading to end; false after a minute.
    bool waitForImport(QSignalSpy& finished)
    {
        return QTest::qWaitFor([&] { return finished.count() > 0; }, 60000);
    }

    QTemporaryDir m_dir;
    CountDocument doc;
};

TEST_F(CountDocumentTest, CountsAndRecountsWhatWasOpenedAsTheEngineDoes)
{
    QSignalSpy opened(&doc, &CountDocument::opened);
    QSignalSpy counted(&doc, &CountDocument::counted);
    const QString file = writeFile(QStringLiteral("loads.txt"), kPlain);
    ASSERT_TRUE(doc.openSequence(file));
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(doc.sequenceLabel(), file);
    EXPECT_FALSE(doc.hasCount());

    const Params runs[] = {{},
                           {1.5L, false, false, false},
                           {0.0L, true, false, true},
                           {0.0L, false, true, true},
                           {0.0004L, false, false, true}};
    long double largest = 0.0L;
    for (const Params& p : runs) {
        const auto outcome = count(p);
        EXPECT_EQ(counted.count(), &p - runs + 1);
        EXPECT_EQ(reportText(), engineReport(file, p));
        const ReportHeader& h = doc.header();
        EXPECT_TRUE(h.counted);
        EXPECT_EQ(h.filterSize, p.filter);
        EXPECT_EQ(h.normalize, p.normalize);
        EXPECT_EQ(h.useLoadBins, p.bins);
        EXPECT_EQ(h.decomposition, p.decomposition);
        EXPECT_EQ(h.sequenceLength, 6);
        EXPECT_EQ(h.sequenceFile, file);
        EXPECT_EQ(doc.cycleCount(), outcome.cycleCount);
        EXPECT_EQ(static_cast<std::int32_t>(doc.plotData().steps.size()), doc.cycleCount());
        EXPECT_EQ(doc.plotData().hasMatrix(), p.bins);
        EXPECT_EQ(doc.signalSource().length, 6);
        EXPECT_EQ(doc.signalSource().filterSize, p.filter);
        EXPECT_EQ(doc.signalSource().times, nullptr);
        // The first line's cycles are found in the load history.
        EXPECT_FALSE(doc.marksOfRow(1).empty());
        EXPECT_TRUE(doc.marksOfRow(doc.cycleCount() + 1).empty());
        // Fatigue takes the loads as counted, whether or not the report normalised them.
        const auto cycles = doc.fatigueInputs().cycles;
        ASSERT_FALSE(cycles.empty());
        if (&p == runs)
            largest = cycles.front().range;
        if (!p.bins && p.decomposition) {
            EXPECT_EQ(cycles.front().range, largest);
        }
    }
    EXPECT_EQ(opened.count(), 1);
}

TEST_F(CountDocumentTest, ARejectedFileOrACancelledCountKeepsTheLastCount)
{
    // Long enough for the count to ask after its progress.
    QByteArray values;
    for (int i = 0; i < 70000; ++i)
        values += QByteArray::number(i % 7 - 3) + ' ';
    ASSERT_TRUE(doc.openSequence(writeFile(QStringLiteral("loads.txt"), values)));
    count({});
    const QString before = reportText();
    const QString label = doc.sequenceLabel();
    QSignalSpy opened(&doc, &CountDocument::opened);
    QSignalSpy counted(&doc, &CountDocument::counted);

    EXPECT_FALSE(doc.openSequence(writeFile(QStringLiteral("bad.txt"), "1 2 x\n")));
    EXPECT_EQ(doc.sequenceLabel(), label);
    CountHooks cancel;
    cancel.progress = [](std::int64_t, std::int64_t) { return false; };
    doc.run().FilterSize = 2.0L;
    EXPECT_THROW(doc.count(cancel), tessivo::RunCancelled);
    EXPECT_EQ(reportText(), before);
    EXPECT_EQ(doc.header().filterSize, 0.0L);
    EXPECT_EQ(opened.count(), 0);
    EXPECT_EQ(counted.count(), 0);
}

TEST_F(CountDocumentTest, AnImportedColumnCarriesItsUnitAndTimesThroughTheCount)
{
    const QString table = writeFile(QStringLiteral("loads.csv"), kTable);
    struct Case {
        int column;
        const char* label;
        const char* unit;
    };
    for (const Case& c : {Case{1, "F", "kN"}, Case{2, "M", "kN m"}}) {
        ASSERT_TRUE(import(table, c.column));
        EXPECT_EQ(doc.sequenceLabel(), table + QStringLiteral(" : ") + QLatin1String(c.label));
        EXPECT_EQ(doc.sourceName(), QStringLiteral("loads.csv : ") + QLatin1String(c.label));
        count({});
        EXPECT_EQ(doc.loadUnit(), QLatin1String(c.unit));
        EXPECT_EQ(doc.header().loadUnit, QLatin1String(c.unit));
        EXPECT_EQ(doc.plotData().loadUnit, QLatin1String(c.unit));
        EXPECT_EQ(doc.signalSource().loadUnit, c.unit);
        EXPECT_EQ(doc.signalSource().timeUnit, "s");
        ASSERT_NE(doc.signalSource().times, nullptr);
        EXPECT_EQ(doc.signalSource().times->size(), 6U);
        const FatigueInputs in = doc.fatigueInputs();
        EXPECT_EQ(in.loadUnit, QLatin1String(c.unit));
        EXPECT_EQ(in.duration, 2.5);
        EXPECT_TRUE(
            reportHeaderLines(doc.header(), {}, u'.').contains(QStringLiteral("Load unit:\t") + QLatin1String(c.unit)));
    }
    // The time column itself has no time beside it, and a plain file neither unit nor time.
    ASSERT_TRUE(import(table, 0));
    count({});
    EXPECT_EQ(doc.signalSource().times, nullptr);
    EXPECT_FALSE(doc.fatigueInputs().duration.has_value());
    ASSERT_TRUE(doc.openSequence(writeFile(QStringLiteral("loads.txt"), kPlain)));
    count({});
    EXPECT_TRUE(doc.loadUnit().isEmpty());
    EXPECT_TRUE(doc.header().loadUnit.isEmpty());
    EXPECT_EQ(doc.signalSource().times, nullptr);
}

TEST_F(CountDocumentTest, ATableReadOffTheInterfaceThreadReportsProgressWhileTheEventLoopRuns)
{
    const int rows = 600001;
    const QString table = writeLongTable(QStringLiteral("long.csv"), rows);
    QSignalSpy progress(&doc, &CountDocument::importProgress);
    QSignalSpy finished(&doc, &CountDocument::importFinished);
    QSignalSpy opened(&doc, &CountDocument::opened);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ticks += doc.importRunning() ? 1 : 0; });
    timer.start(0);

    doc.startImport(table, tessivo::detectTableLayout(table.toStdString()), 1);
    EXPECT_TRUE(doc.importRunning());
    EXPECT_THROW(doc.startImport(table, tessivo::detectTableLayout(table.toStdString()), 1), std::logic_error);
    ASSERT_TRUE(waitForImport(finished));
    EXPECT_GE(ticks, 1); // the interface thread went on while the table was read
    EXPECT_FALSE(doc.importRunning());
    ASSERT_TRUE(doc.importResult());
    EXPECT_EQ(opened.count(), 1);
    ASSERT_GE(progress.count(), 1);
    std::int64_t last = -1;
    for (const QList<QVariant>& step : progress) {
        const auto done = step.at(0).toLongLong();
        EXPECT_GE(done, last); // never backwards
        EXPECT_LE(done, step.at(1).toLongLong());
        last = done;
    }
    EXPECT_EQ(doc.sequenceLabel(), table + QStringLiteral(" : F"));
    EXPECT_EQ(doc.loadUnit(), QStringLiteral("kN"));
    EXPECT_EQ(doc.run().SeqLength, rows);
    EXPECT_EQ(doc.run().HighestPeak, 3.0L);
    EXPECT_EQ(doc.run().LowestTrough, -3.0L);
    ASSERT_NE(doc.times(), nullptr);
    EXPECT_EQ(doc.times()->size(), static_cast<std::size_t>(rows));
    EXPECT_EQ(doc.times()->back(), rows - 1);
    // Counted from the work file the reading wrote: every cycle has range 6.
    doc.setUnlimited(true);
    count({});
    ASSERT_EQ(doc.cycleCount(), 1);
    EXPECT_EQ(doc.table()[1].Range, 6.0L);
    EXPECT_EQ(doc.table()[1].Count, rows / 6);
}

TEST_F(CountDocumentTest, ACancelledOrFailedReadingKeepsTheSequenceItsWorkFileAndTheLastCount)
{
    ASSERT_TRUE(doc.openSequence(writeFile(QStringLiteral("loads.txt"), kPlain)));
    count({});
    const QString before = reportText();
    const QString label = doc.sequenceLabel();
    QSignalSpy opened(&doc, &CountDocument::opened);
    QSignalSpy finished(&doc, &CountDocument::importFinished);

    const QString table = writeLongTable(QStringLiteral("long.csv"), 600000);
    const tessivo::TableLayout layout = tessivo::detectTableLayout(table.toStdString());
    QObject::connect(&doc, &CountDocument::importProgress, &doc, &CountDocument::cancelImport);
    doc.startImport(table, layout, 1);
    ASSERT_TRUE(waitForImport(finished));
    EXPECT_THROW(doc.importResult(), tessivo::RunCancelled);

    // A table whose last row breaks off fails after the time column was read.
    QByteArray broken = "t,F\n0,1\n1,3\n2,x\n";
    doc.disconnect(&doc);
    doc.startImport(writeFile(QStringLiteral("broken.csv"), broken),
                    tessivo::detectTableLayout(writeFile(QStringLiteral("good.csv"), "t,F\n0,1\n1,3\n").toStdString()),
                    1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 60000));
    EXPECT_ANY_THROW(doc.importResult());

    EXPECT_EQ(opened.count(), 0);
    EXPECT_EQ(doc.sequenceLabel(), label);
    EXPECT_EQ(doc.run().SeqLength, 6);
    EXPECT_EQ(reportText(), before);
    // The work file is still the plain file's: a count gives its report again.
    count({});
    EXPECT_EQ(reportText(), before);
}

TEST_F(CountDocumentTest, TheOptInsCountAsTheCommandLineWouldAndReachTheHeader)
{
    // Half cycles: 10 -5.5 20 -2.25 12 -8 closes (12, -2.25) whole and leaves
    // the residue 10 -5.5 20 -8, whose three half cycles count 0.5 each.
    ASSERT_TRUE(doc.openSequence(writeFile(QStringLiteral("loads.txt"), kPlain)));
    doc.run().HalfCycles = true;
    count({0.0L, false, false, false});
    const auto cycles = doc.fatigueInputs().cycles;
    const double total =
        std::accumulate(cycles.begin(), cycles.end(), 0.0, [](double sum, const auto& c) { return sum + c.count; });
    EXPECT_EQ(total, 2.5);
    EXPECT_EQ(doc.plotData().totalCycles(), 2.5); // the exceedance plot's cycles too
    EXPECT_TRUE(doc.header().halfCycles);
    EXPECT_TRUE(reportHeaderLines(doc.header(), {}, u'.')
                    .contains(QStringLiteral("Residue handling:\tCount half cycles as 0.5")));
    EXPECT_EQ(doc.countRequest().residue, tessivo::ResidueMethod::Half);

    // Beyond 40,000 values the count switches to load bins unless exact loads are asked for.
    doc.run().HalfCycles = false;
    ASSERT_TRUE(import(writeLongTable(QStringLiteral("long.csv"), 48001), 1));
    EXPECT_EQ(count({}).result, tessivo::RunResult::MatrixApplied);
    EXPECT_TRUE(doc.header().switchedToBins);
    doc.setUnlimited(true);
    EXPECT_EQ(count({}).result, tessivo::RunResult::Normal);
    EXPECT_FALSE(doc.header().switchedToBins);
    EXPECT_TRUE(doc.header().unlimited);
    EXPECT_FALSE(doc.plotData().hasMatrix());
    EXPECT_TRUE(reportHeaderLines(doc.header(), {}, u'.')
                    .contains(QStringLiteral("Load bins:\tno, exact loads at any length")));
    ASSERT_EQ(doc.cycleCount(), 1);
    EXPECT_EQ(doc.table()[1].Count, 8000); // a cycle every six rows

    // 0 1 0 2 ... 0 n closes (k, 0) for k below n, and the residue 0 n the
    // last: n lines, more than the table holds in memory.
    const int n = 70000;
    QByteArray values;
    for (int k = 1; k <= n; ++k)
        values += "0 " + QByteArray::number(k) + '\n';
    ASSERT_TRUE(doc.openSequence(writeFile(QStringLiteral("many.txt"), values)));
    EXPECT_EQ(count({}).result, tessivo::RunResult::Normal);
    ASSERT_EQ(doc.cycleCount(), n);
    EXPECT_TRUE(doc.table().spilled());
    ASSERT_EQ(doc.plotData().steps.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(doc.plotData().totalCycles(), n);
    EXPECT_EQ(doc.plotData().steps.front().range, n);
    EXPECT_EQ(doc.plotData().steps.back().range, 1);
    const std::vector<CycleMark> last = doc.marksOfRow(n);
    ASSERT_EQ(last.size(), 1U);
    EXPECT_EQ(doc.fatigueInputs().cycles.size(), static_cast<std::size_t>(n));
}

} // namespace
