#include "support/app_identity.h"
#include "command_fixture.h"

#include <QFileInfo>
#include <QLabel>
#include <QTextBlock>

namespace {

const QString kTenMinusFiveTwenty = QStringLiteral("Spectrum characteristics\n"
                                                   "Sequence length: \t3\n"
                                                   "Highest Peak: \t20.000\n"
                                                   "Lowest Trough: \t-5.000");

QByteArray workFile(const QString& dir)
{
    QFile file(dir + QStringLiteral("$Sequence_001.tmp"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(CommandTest, OpenShowsTheSpectrumCharacteristics)
{
    auto window = startWindow();
    QStringList filters;
    answer = [&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        filters = files.nameFilters();
        files.selectFile(writeFile(QStringLiteral("three.txt"), "10 -5 20\n"));
        return true;
    };
    window->btOpenSeqFile->click();

    EXPECT_EQ(filters, QStringList{QStringLiteral("Sequence file (*)")});
    EXPECT_EQ(report(*window), kTenMinusFiveTwenty);
    const QTextBlock heading = window->reReport->document()->firstBlock();
    EXPECT_EQ(heading.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.next().begin().fragment().charFormat().fontWeight(), QFont::Normal);
    EXPECT_EQ(heading.blockFormat().property(ReportPane::kTabStopPointsProperty).toList(), (QVariantList{0, 135}));
    EXPECT_EQ(window->lbSeqFile->text(), dir() + QStringLiteral("/three.txt"));
    EXPECT_TRUE(window->btExecute->isEnabled());
    EXPECT_EQ(window->RainflowRun().SeqCount, 1);
    EXPECT_TRUE(notifier.errors.isEmpty());
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

TEST_F(CommandTest, OpenWritesLoadsWithTheUsersDecimalSeparator)
{
    auto window = startWindow(u',');
    open(*window, writeFile(QStringLiteral("big.txt"), "123456789 0.0004\n"));
    EXPECT_EQ(report(*window), QStringLiteral("Spectrum characteristics\nSequence length: \t2\n"
                                              "Highest Peak: \t1,2345679E008\nLowest Trough: \t0,000"));
}

TEST_F(CommandTest, CancellingTheDialogChangesNothing)
{
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("three.txt"), "10 -5 20"));
    answer = [](QDialog&) { return false; };
    window->btOpenSeqFile->click();
    EXPECT_EQ(report(*window), kTenMinusFiveTwenty);
    EXPECT_EQ(window->lbSeqFile->text(), dir() + QStringLiteral("/three.txt"));
    EXPECT_EQ(dialogsShown, 2);
}

TEST_F(CommandTest, LongPathIsOpenedAndShownShortenedWithTheNameInView)
{
    const QString deep = dir() + u'/' + QString(120, u'd') + u'/' + QString(120, u'e');
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString file = QString(deep + u'/' + QString(40, u'f')).mid(dir().size() + 1);
    ASSERT_GT(dir().size() + 1 + file.size(), 255);
    auto window = startWindow();
    open(*window, writeFile(file, "10 -5 20"));
    EXPECT_EQ(report(*window), kTenMinusFiveTwenty);
    const QString path = dir() + u'/' + file;
    const QString shown = window->lbSeqFile->text();
    EXPECT_EQ(window->lbSeqFile->toolTip(), path);
    EXPECT_LE(window->lbSeqFile->fontMetrics().horizontalAdvance(shown), window->lbSeqFile->width());
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/") + QString(40, u'f'))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(path.left(4))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_EQ(window->windowTitle(), kApplicationTitle + QStringLiteral(" - ") + QString(40, u'f'));
}

// A rejected Open leaves everything as the last good Open left it, and
// Execute still counts that sequence.
struct Rejected {
    const char* name;
    QByteArray content;
    bool removeBeforeReading;
    const char* error;        // message box "Error"
    const char* generalError; // the application's error box
};

TEST_F(CommandTest, RejectedFileLeavesThePreviousSequenceUsable)
{
    const Rejected cases[] = {
        {"empty", "", false, "Incorrect sequence file", nullptr},
        {"only line breaks", "\n\r\n\n", false, "Incorrect sequence file", nullptr},
        {"not a number", "1 2 x 4", false, "Incorrect sequence file", nullptr},
        {"number then garbage", "7 8 9 1e", false, "Incorrect sequence file", nullptr},
        {"vanished", "1 2 3", true, nullptr, "File not found."},
    };
    for (const Rejected& c : cases) {
        SCOPED_TRACE(c.name);
        notifier = RecordingNotifier();
        auto window = startWindow();
        const QString good = exampleFile("worked_example.txt");
        open(*window, good);
        window->btExecute->click();
        const QString counted = report(*window);
        const QByteArray goodWork = workFile(workDir());
        ASSERT_TRUE(counted.contains(QStringLiteral("Load cycles")));

        const QString bad = writeFile(QStringLiteral("bad.txt"), c.content);
        answer = [&](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(bad);
            if (c.removeBeforeReading)
                QFile::remove(bad);
            return true;
        };
        window->btOpenSeqFile->click();

        EXPECT_EQ(notifier.errors, c.error ? QStringList{QLatin1String(c.error)} : QStringList{});
        EXPECT_EQ(notifier.generalErrors, c.generalError ? QStringList{QLatin1String(c.generalError)} : QStringList{});
        EXPECT_EQ(window->lbSeqFile->text(), good);
        EXPECT_EQ(report(*window), counted);
        EXPECT_TRUE(window->btExecute->isEnabled());
        EXPECT_EQ(workFile(workDir()), goodWork);
        EXPECT_FALSE(window->CommandRunning());

        window->reReport->clear();
        window->btExecute->click();
        EXPECT_EQ(report(*window), counted);
        EXPECT_EQ(window->RainflowRun().SeqLength, 6);
    }
}

TEST_F(CommandTest, OpenStartsInTheLastSequencesFolderAlsoAfterARestart)
{
    QString startFolder;
    auto seeFolder = [&](QDialog& dialog) {
        startFolder = static_cast<QFileDialog&>(dialog).directory().absolutePath();
        return false;
    };
    {
        auto window = startWindow();
        open(*window, exampleFile("worked_example.txt"));
        answer = seeFolder;
        window->btOpenSeqFile->click();
        EXPECT_EQ(startFolder, QFileInfo(exampleFile("worked_example.txt")).absolutePath());
        ASSERT_TRUE(window->close());
    }
    startFolder.clear();
    auto window = startWindow();
    answer = seeFolder;
    window->btOpenSeqFile->click();
    EXPECT_EQ(startFolder, QFileInfo(exampleFile("worked_example.txt")).absolutePath());
    EXPECT_TRUE(window->UserDir().isEmpty()); // UserDir stays as stored
}

TEST_F(CommandTest, RejectedFirstOpenLeavesExecuteDisabled)
{
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("bad.txt"), "x"));
    EXPECT_EQ(notifier.errors, QStringList{QStringLiteral("Incorrect sequence file")});
    EXPECT_FALSE(window->btExecute->isEnabled());
    EXPECT_TRUE(window->lbSeqFile->text().isEmpty());
    EXPECT_TRUE(report(*window).isEmpty());
    EXPECT_EQ(window->RainflowRun().SeqCount, 0);
}

} // namespace
