#include "command_fixture.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QTextBlock>

namespace {

QString characteristics(int length, const char* peak, const char* trough)
{
    return QStringLiteral("Spectrum characteristics\nSequence length: \t%1\nHighest Peak: \t%2\nLowest Trough: \t%3\n")
        .arg(length)
        .arg(QLatin1String(peak), QLatin1String(trough));
}

const QString kTableHead = QStringLiteral("\nLoad cycles\n"
                                          "Load\tMaximum\tMinimum\tNumber of\tCumulative\n"
                                          "Range\tLoad\tLoad\tCycles\tNumber");

// Reports worked out by hand from the four-point rule.
struct HandCounted {
    const char* name;
    QByteArray sequence;
    Parameters parameters;
    QString report;
};

TEST_F(CommandTest, ExecuteWritesTheWholeReport)
{
    const QString worked = characteristics(6, "6.000", "0.000") + kTableHead;
    const QString sixZeroFive = characteristics(3, "6.000", "0.000") + kTableHead;
    Parameters normalized;
    normalized.normalize = true;
    Parameters filtered;
    filtered.filter = QStringLiteral("2.5");
    Parameters upward;
    upward.decomposition = false;
    const HandCounted cases[] = {
        {"worked example",
         "0 5 2 4 1 6",
         {},
         worked + "\n6.000\t6.000\t0.000\t1\t1\n4.000\t5.000\t1.000\t1\t2\n2.000\t4.000\t2.000\t1\t3"},
        {"normalised by the highest peak", "0 5 2 4 1 6", normalized,
         worked + "\n1.000\t1.000\t0.000\t1\t1\n0.667\t0.833\t0.167\t1\t2\n0.333\t0.667\t0.333\t1\t3"},
        {"filter absorbs the small excursion", "0 5 2 4 1 6", filtered,
         worked + "\n6.000\t6.000\t0.000\t1\t1\n4.000\t5.000\t1.000\t1\t2"},
        {"residue decomposed", "6 0 5", {}, sixZeroFive + "\n6.000\t6.000\t0.000\t1\t1"},
        {"residue as upward half cycles", "6 0 5", upward, sixZeroFive + "\n5.000\t5.000\t0.000\t1\t1"},
        {"repeated cycles add up",
         "0 4 1 4 1 4 1 9",
         {},
         characteristics(8, "9.000", "0.000") + kTableHead + "\n9.000\t9.000\t0.000\t1\t1\n3.000\t4.000\t1.000\t3\t4"},
    };
    for (const HandCounted& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = startWindow();
        open(*window, writeFile(QStringLiteral("sequence.txt"), c.sequence));
        setParameters(*window, c.parameters);
        window->btExecute->click();
        EXPECT_EQ(report(*window), c.report);
        EXPECT_TRUE(notifier.errors.isEmpty() && notifier.generalErrors.isEmpty() && notifier.informations.isEmpty());
    }
}

TEST_F(CommandTest, ExecuteReportIsFormatted)
{
    auto window = startWindow(u',');
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    const QTextDocument* doc = window->reReport->document();
    const QStringList lines = report(*window).split(u'\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[2], QStringLiteral("Highest Peak: \t6,000"));
    EXPECT_EQ(lines[8], QStringLiteral("6,000\t6,000\t0,000\t1\t1"));
    for (int i = 0; i < lines.size(); ++i) {
        const QTextBlock block = doc->findBlockByNumber(i);
        const bool heading = i == 0 || i == 5;
        if (!lines[i].isEmpty()) {
            EXPECT_EQ(block.begin().fragment().charFormat().fontWeight() == QFont::Bold, heading) << i;
        }
        const QVariantList stops = i < 5 ? QVariantList{0, 135} : QVariantList{0, 55, 110, 165, 220, 275};
        EXPECT_EQ(block.blockFormat().property(ReportPane::kTabStopPointsProperty).toList(), stops) << i;
    }
}

// The count through load bins is the run control's; the window must hand it
// exactly the parameters the user set.
struct Combination {
    const char* file;
    Parameters parameters;
    int binCount;
};

TEST_F(CommandTest, ExecuteCountsWithTheWindowsParameters)
{
    const Combination cases[] = {
        {"random_walk.txt", {QStringLiteral("0.00"), false, true, QStringLiteral("32 x 32 matrix"), true}, 32},
        {"random_walk.txt", {QStringLiteral("0.00"), false, true, QStringLiteral("64 x 64 matrix"), true}, 64},
        {"random_walk.txt", {QStringLiteral("0.00"), false, true, QStringLiteral("100 x 100 matrix"), false}, 100},
        {"random_walk.txt", {QStringLiteral("12.5"), true, false, QStringLiteral("64 x 64 matrix"), false}, 64},
        {"block_sequence.txt", {QStringLiteral("1"), false, false, QStringLiteral("32 x 32 matrix"), true}, 32},
        {"wisperx.txt", {QStringLiteral("0"), true, false, QStringLiteral("32 x 32 matrix"), false}, 32},
    };
    for (const Combination& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.parameters.binItem.toStdString());
        auto window = startWindow();
        open(*window, exampleFile(c.file));
        setParameters(*window, c.parameters);
        window->btExecute->click();
        EXPECT_EQ(report(*window), expectedReport(exampleFile(c.file), c.parameters, c.binCount));
        EXPECT_EQ(window->RainflowRun().BinCount, c.binCount);
        EXPECT_TRUE(notifier.errors.isEmpty() && notifier.generalErrors.isEmpty() && notifier.informations.isEmpty());
    }
}

struct Check {
    QByteArray sequence;
    QString filter;
    bool normalize;
    const char* message;
};

TEST_F(CommandTest, FailedCheckShowsItsMessageAndTouchesNothing)
{
    const Check cases[] = {
        {"10 -5 20", QStringLiteral("-1"), true, "Filter size must be equal to or larger than zero"},
        {"10 -5 20", QStringLiteral("25"), false,
         "Filter size must be smaller than the difference between the highest and the smallest cycle"},
        {"5 5 5", QStringLiteral("0"), false,
         "Filter size must be smaller than the difference between the highest and the smallest cycle"},
        {"-1 -2 -3", QStringLiteral("0"), true, "All loads below zero, normalized spectrum not possible"},
        {"0 -3", QStringLiteral("0"), true, "All loads below zero, normalized spectrum not possible"},
    };
    for (const Check& c : cases) {
        SCOPED_TRACE(c.message);
        notifier = RecordingNotifier();
        auto window = startWindow();
        open(*window, writeFile(QStringLiteral("s.txt"), c.sequence));
        const QString before = report(*window);
        QFile::remove(workDir() + QStringLiteral("$Sequence.tmp"));
        window->edFilter->setText(c.filter);
        window->cbNormalize->setChecked(c.normalize);
        window->btExecute->click();
        EXPECT_EQ(notifier.errors, QStringList{QLatin1String(c.message)});
        EXPECT_EQ(report(*window), before);
        EXPECT_FALSE(QFileInfo::exists(workDir() + QStringLiteral("$Sequence.tmp")));
        EXPECT_EQ(window->RainflowRun().Normalize, c.normalize); // the parameters stay taken
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST_F(CommandTest, FilterThatIsNotANumberEndsTheCommand)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    const QString before = report(*window);
    // The field lets a lone minus sign stand; every other text parses, but
    // 1e400 has no finite double for the settings to keep.
    for (const QString& text : {QStringLiteral("-"), QStringLiteral("1e400")}) {
        notifier.generalErrors.clear();
        window->edFilter->setText(text);
        window->cbNormalize->setChecked(true);
        window->btExecute->click();
        EXPECT_EQ(notifier.generalErrors,
                  QStringList{QStringLiteral("'%1' is not a valid floating point value.").arg(text)});
        EXPECT_EQ(report(*window), before);
        EXPECT_TRUE(window->RainflowRun().Normalize);
    }
}

TEST_F(CommandTest, BinSizeTextNamingNoItemIsRefusedAndNothingCounted)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    const QString before = report(*window);
    window->cbMatrix->setChecked(true);
    window->cbLoadBinSize->setCurrentText(QStringLiteral("48 x 48 matrix"));
    window->btExecute->click();
    EXPECT_EQ(
        notifier.errors,
        QStringList{QStringLiteral(
            "\"48 x 48 matrix\" is not a load bin size. Choose 32 x 32 matrix, 64 x 64 matrix or 100 x 100 matrix.")});
    EXPECT_EQ(report(*window), before);
    EXPECT_FALSE(window->btSpectrumPlot->isEnabled());
}

TEST_F(CommandTest, LongSequenceIsCountedInLoadBinsWithANotice)
{
    QByteArray values;
    for (int i = 0; i < 40000; ++i)
        values += QByteArray::number((i * 7919) % 1000 - 500) + '\n';
    const QString file = writeFile(QStringLiteral("long.txt"), values);
    auto window = startWindow();
    open(*window, file);
    Parameters p;
    p.binItem = QStringLiteral("64 x 64 matrix");
    setParameters(*window, p);
    window->btExecute->click();
    EXPECT_EQ(notifier.informations,
              QStringList{QStringLiteral("Number of counted cycles exceeds maximum allowed number of load cycles.\n"
                                         "Markov matrix (64x64) has been applied.")});
    EXPECT_EQ(notifier.details, QStringList{QStringLiteral("The sequence has 40000 values; from 40000 values on, "
                                                           "the count is made in load bins.")});
    EXPECT_TRUE(notifier.errors.isEmpty());
    EXPECT_EQ(report(*window), expectedReport(file, p, 64));
    EXPECT_TRUE(report(*window).startsWith(QStringLiteral("Spectrum characteristics\nSequence length: \t40000\n")));

    // The saved report's header says that the count went to load bins, and why.
    const QString saved = dir() + QStringLiteral("/long.rtf");
    chooseFile(saved);
    window->Save1->trigger();
    QFile rtf(saved);
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(rtf.readAll().contains(
        "Load bins:\\tab yes, 64 x 64 classes (switched on: 40000 values, load bins from 40000 values on)"));
}

TEST_F(CommandTest, SecondExecuteGivesTheSameReport)
{
    auto window = startWindow();
    open(*window, exampleFile("random_walk.txt"));
    window->cbNormalize->setChecked(true);
    window->btExecute->click();
    const QString first = report(*window);
    window->btExecute->click();
    EXPECT_EQ(report(*window), first);
    EXPECT_TRUE(first.contains(QStringLiteral("Load cycles")));
}

TEST_F(CommandTest, ExecuteShowsTheHourglassAndLetsMessagesThroughOnce)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    int seen = 0;
    Qt::CursorShape shape = Qt::ArrowCursor;
    QMetaObject::invokeMethod(
        window.get(),
        [&] {
            ++seen;
            shape = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        },
        Qt::QueuedConnection);
    window->btExecute->click();
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(shape, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CommandTest, FailedRunPutsTheCursorBackAndKeepsTheReport)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    const QString before = report(*window);
    ASSERT_TRUE(QDir().mkpath(workDir() + QStringLiteral("$Sequence.tmp"))); // cannot be created as a file
    window->btExecute->click();
    ASSERT_EQ(notifier.generalErrors.size(), 1);
    EXPECT_TRUE(notifier.generalErrors[0].endsWith(u'.'));
    EXPECT_EQ(report(*window), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(window->CommandRunning());
}

// While a command lets messages through, clicks on Open and Execute are
// ignored and a close waits for the end of the run; the parameters the user
// changes meanwhile are not those of the run.
TEST_F(CommandTest, CommandsDoNotNestAndCloseWaitsForTheRun)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    const int dialogsBefore = dialogsShown;
    bool stillOpenDuringRun = false;
    QMetaObject::invokeMethod(
        window.get(),
        [&] {
            window->cbNormalize->setChecked(true);
            window->btOpenSeqFile->click();
            window->btExecute->click();
            window->close();
            stillOpenDuringRun = window->isVisible();
        },
        Qt::QueuedConnection);
    window->btExecute->click();

    EXPECT_TRUE(stillOpenDuringRun);
    EXPECT_EQ(dialogsShown, dialogsBefore);
    EXPECT_TRUE(report(*window).contains(QStringLiteral("\n6.000\t6.000\t0.000\t1\t1\n"))); // not normalised
    EXPECT_TRUE(window->isVisible());
    QTRY_VERIFY(!window->isVisible());
    EXPECT_EQ(settingsKey().readInteger(QStringLiteral("Normalized")), 1);
}

TEST_F(CommandTest, CloseDuringOpenWaitsForTheOpen)
{
    auto window = startWindow();
    QMetaObject::invokeMethod(
        window.get(), [&] { window->close(); }, Qt::QueuedConnection);
    open(*window, exampleFile("worked_example.txt"));
    EXPECT_TRUE(window->btExecute->isEnabled());
    QTRY_VERIFY(!window->isVisible());
}

} // namespace
