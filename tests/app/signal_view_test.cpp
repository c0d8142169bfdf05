// The load history tab: it shows the sequence that the last count read, with
// the reversals that the count kept, at the positions where they happened.
#include "command_fixture.h"
#include "engine/signal/work_file_range.h"
#include "charts/chart_view.h"
#include "spectrum/spectrum_plot_window.h"
#include "document/cycle_marks.h"
#include "signal/signal_view.h"
#include "fatigue/fatigue_window.h"
#include "engine/counting/reversal_extraction.h"
#include "engine/counting/load_classes.h"
#include "engine/files/work_files.h"

#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QWheelEvent>

namespace {

class SignalViewTest : public CommandTest {
protected:
    SignalView& signalAfterCount(TfrmMain& window, const char* file, const QString& filter, bool bins = false)
    {
        open(window, exampleFile(file));
        Parameters p;
        p.filter = filter;
        p.useBins = bins;
        setParameters(window, p);
        window.btExecute->click();
        window.btSpectrumPlot->click();
        window.plotWindow()->showChart(SpectrumPlotWindow::Chart::Signal);
        return *window.plotWindow()->vwSignal;
    }
};

TEST_F(SignalViewTest, MarksTheCountsReversalsWhereTheyHappened)
{
    auto window = startWindow();
    for (const char* filter : {"0.00", "25.00"}) {
        SCOPED_TRACE(filter);
        SignalView& view = signalAfterCount(*window, "random_walk.txt", QString::fromLatin1(filter));
        const SignalData& data = view.data();
        ASSERT_FALSE(data.empty());
        EXPECT_EQ(data.pyramid().size(), window->RainflowRun().SeqLength);

        // The same reversals as the count extracts, in order ...
        struct Collect final : tessivo::ValueSink {
            std::vector<double> values;
            void put(long double v) override { values.push_back(static_cast<double>(v)); }
        } counted;
        tessivo::WorkFileReader in(workDir().toStdString() + tessivo::kSequenceFile);
        tessivo::extractReversalsN(in, window->RainflowRun().SeqLength, window->RainflowRun().FilterSize, counted);
        const std::vector<double>& expected = counted.values;
        ASSERT_GT(expected.size(), 2u);
        ASSERT_TRUE(data.reversalsComplete());
        ASSERT_EQ(data.reversals().size(), expected.size());
        // ... each the load at its position in the sequence.
        tessivo::WorkFileRange sequence(workDir().toStdString() + tessivo::kSequenceFile);
        std::vector<double> at;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const SignalReversal& r = data.reversals()[i];
            ASSERT_EQ(r.load, expected[i]) << i;
            if (i > 0) {
                ASSERT_GT(r.position, data.reversals()[i - 1].position) << i;
            }
            sequence.read(r.position, 1, at);
            ASSERT_EQ(at[0], r.load) << i;
        }
    }
}

TEST_F(SignalViewTest, ZoomsByWheelAndDoubleClickShowsAll)
{
    auto window = startWindow();
    SignalView& view = signalAfterCount(*window, "random_walk.txt", QStringLiteral("0.00"));
    view.resize(800, 500);
    const double length = static_cast<double>(view.data().pyramid().size());
    EXPECT_EQ(view.window().first, 0.0);
    EXPECT_EQ(view.window().end, length);
    const QPointF middle(view.width() / 2.0, view.height() / 2.0);
    QWheelEvent wheel(middle, view.mapToGlobal(middle), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_NEAR(view.window().span(), length * 0.64, 1e-6);
    EXPECT_GT(view.window().first, 0.0);
    view.setWindow({-50.0, 3.0}); // clipped to the sequence, never narrower than a few values
    EXPECT_EQ(view.window().first, 0.0);
    EXPECT_GE(view.window().span(), 8.0);
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, middle.toPoint());
    EXPECT_EQ(view.window().span(), length);
}

std::vector<std::int64_t> positionsOf(const std::vector<CycleMark>& marks)
{
    std::vector<std::int64_t> out;
    for (const CycleMark& m : marks) {
        out.push_back(m.start);
        out.push_back(m.end);
    }
    return out;
}

// Putting the cursor on a line of the table marks as many cycles as the line
// counts, each between loads that give the line's, and selecting the same
// row of the fatigue window's table marks the same places; a double click on
// one zooms onto it.
TEST_F(SignalViewTest, SelectedReportLineMarksItsCycles)
{
    auto window = startWindow();
    for (const bool bins : {false, true}) {
        SCOPED_TRACE(bins ? "bins" : "exact");
        SignalView& view = signalAfterCount(*window, "random_walk.txt", QStringLiteral("1.00"), bins);
        auto* pane = window->findChild<QTextEdit*>(QStringLiteral("reReport"));
        ASSERT_NE(pane, nullptr);
        const QString head = QStringLiteral("Range\tLoad\tLoad\tCycles\tNumber");
        QTextBlock row = pane->document()->begin();
        while (row.isValid() && row.text() != head)
            row = row.next();
        ASSERT_TRUE(row.isValid());
        std::vector<std::vector<std::int64_t>> fromReport;
        for (int line = 1; line <= 3; ++line) {
            row = row.next();
            const QStringList cells = row.text().split(u'\t');
            QTextCursor cursor(row);
            pane->setTextCursor(cursor);
            ASSERT_EQ(window->reportRowAtCursor(), line);
            const auto& marks = view.data().marks();
            EXPECT_EQ(QString::number(marks.size()), cells[3]) << line;
            fromReport.push_back(positionsOf(marks));
            const tessivo::TCycle& entry = window->CycleTable()[line];
            const tessivo::LoadClasses classes(window->RainflowRun().LowestTrough, window->RainflowRun().HighestPeak,
                                               window->RainflowRun().BinCount);
            for (const CycleMark& m : marks) {
                const double upper = std::max(m.from, m.to), lower = std::min(m.from, m.to);
                if (!bins) {
                    ASSERT_EQ(upper, static_cast<double>(entry.Upper));
                    ASSERT_EQ(lower, static_cast<double>(entry.Lower));
                } else {
                    ASSERT_LE(upper, static_cast<double>(entry.Upper) + 1e-9);
                    ASSERT_GE(lower, static_cast<double>(entry.Lower) - 1e-9);
                }
            }
        }
        window->btFatigue->click();
        QTableView* rows = window->fatigueWindow()->tvRows;
        for (int line = 1; line <= 3; ++line) {
            rows->setCurrentIndex(rows->model()->index(line - 1, 0));
            EXPECT_EQ(positionsOf(view.data().marks()), fromReport[line - 1]) << line;
            // The report shows which of its lines is marked.
            const auto highlighted = pane->extraSelections();
            ASSERT_EQ(highlighted.size(), 1) << line;
            EXPECT_EQ(highlighted.front().cursor.block().text(),
                      pane->document()->findBlockByNumber(pane->document()->find(head).blockNumber() + line).text())
                << line;
        }
        ASSERT_FALSE(view.data().marks().empty());
        view.resize(800, 500);
        view.zoomToMark(0);
        const CycleMark& m = view.data().marks()[0];
        EXPECT_LE(view.window().first, static_cast<double>(std::min(m.start, m.end)));
        EXPECT_GE(view.window().end, static_cast<double>(std::max(m.start, m.end)));
        EXPECT_EQ(view.selectedMark(), 0);
    }
}

// The marks kept for every line from one listing are those that a fresh
// listing of the line finds, also when the bounds drop marks.
TEST_F(SignalViewTest, CachedMarksEqualAFreshListing)
{
    auto window = startWindow();
    for (const bool bins : {false, true}) {
        signalAfterCount(*window, "random_walk.txt", QStringLiteral("1.00"), bins);
        const SignalSource source = signalSourceOf(window->RainflowRun(), workDir().toStdString(), bins);
        for (const auto& [perLine, bytes] :
             {std::pair<std::size_t, std::size_t>{100000, 64u << 20}, {3, 4000}, {1, 1}}) {
            SCOPED_TRACE(testing::Message() << bins << " " << perLine << " " << bytes);
            CycleMarkCache cache(source, perLine, bytes);
            EXPECT_FALSE(cache.listed());
            for (std::int32_t line = 1; line <= window->CycleCount(); ++line) {
                const tessivo::TCycle& entry = window->CycleTable()[line];
                ASSERT_EQ(positionsOf(cache.marks(entry.Upper, entry.Lower)),
                          positionsOf(findCycleMarks(source, entry.Upper, entry.Lower, perLine)))
                    << line;
            }
            EXPECT_EQ(cache.complete(), bytes > 4000);
        }
    }
}

// Past 40000 values the count switches to load classes by itself; the marks
// of a line are then the cycles of its cell, as many as the report counts.
TEST_F(SignalViewTest, MarksOfACountSwitchedToClassesAreItsLinesCycles)
{
    QByteArray walk;
    std::uint32_t state = 12345;
    double load = 0.0;
    for (int i = 0; i < 45000; ++i) {
        state = state * 1664525u + 1013904223u;
        load += static_cast<double>(state >> 8) / (1u << 24) - 0.5;
        walk += QByteArray::number(load, 'f', 4) + '\n';
    }
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("long.txt"), walk));
    window->btExecute->click();
    ASSERT_GT(window->CycleCount(), 3);
    CountDocument& document = window->document();
    for (std::int32_t line = 1; line <= 3; ++line) {
        const tessivo::TCycle& entry = window->CycleTable()[line];
        const std::vector<CycleMark> marks = document.marksOfRow(line);
        EXPECT_EQ(static_cast<std::int64_t>(marks.size()), static_cast<std::int64_t>(entry.Count)) << line;
        for (const CycleMark& m : marks) {
            EXPECT_LE(std::max(m.from, m.to), static_cast<double>(entry.Upper) + 1e-9) << line;
            EXPECT_GE(std::min(m.from, m.to), static_cast<double>(entry.Lower) - 1e-9) << line;
        }
    }
}

// A long sequence's narrow window is read back from the work file; the next
// count rewrites that file, and a repaint meanwhile must not throw.
TEST(SignalChart, NarrowWindowReadsTheWorkFileAndSurvivesItsRewriting)
{
    QTemporaryDir dir;
    SignalSource source;
    source.sequenceFile = (dir.path() + QStringLiteral("/seq.tmp")).toStdString();
    source.length = 5000;
    {
        tessivo::WorkFileWriter out(source.sequenceFile);
        for (int i = 0; i < source.length; ++i)
            out.put((i * 37 % 101) - 50);
        out.close();
    }
    const SignalData data = SignalData::load(source, 64);
    ASSERT_GT(data.pyramid().blockSize(), 1);
    const auto columns = data.reduce(1000, 1010, 400); // fewer values than columns: each its own
    ASSERT_EQ(columns.size(), 10u);
    EXPECT_EQ(columns[3].low, (1003 * 37 % 101) - 50);

    QImage image(kChartExportSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    tessivo::WorkFileWriter(source.sequenceFile).close(); // emptied, as a new count starts
    EXPECT_NO_THROW(paintSignal(painter, QRectF(image.rect()), data, SignalWindow{1000.0, 1010.0}, -1, u'.'));
}

} // namespace
