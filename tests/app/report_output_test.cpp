#include "command_fixture.h"
#include "pdf_text.h"
#include "rtf_reader.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>

namespace {

QString withoutBlanks(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.remove(blanks);
}

class ReportOutputTest : public CommandTest {
protected:
    // A window with a counted report and a line the user typed.
    std::unique_ptr<TfrmMain> withReport()
    {
        auto window = startWindow();
        open(*window, exampleFile("worked_example.txt"));
        window->btExecute->click();
        QTextCursor cursor(window->reReport->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\nChecked by Zo\u00eb \u2013 \u20ac 12 {ok} \\"));
        return window;
    }

    void saveAs(TfrmMain& window, const QString& typedName)
    {
        answer = [&, typedName](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            filters = files.nameFilters();
            files.selectFile(typedName);
            return true;
        };
        window.Save1->trigger();
    }

    // The header that paper and RTF carry above the report of withReport().
    static QString header()
    {
        return QStringLiteral("Tessivo rainflow counting report\nSequence file:\t") + exampleFile("worked_example.txt")
               + QStringLiteral("\nDate:\t2024-12-31 23:59\nFilter size:\t0.00\nNormalize Spectrum:\tno\n"
                                "Load bins:\tno\nResidue handling:\tDecomposition into cycles\n\n");
    }

    static QByteArray contentOf(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList filters;
};

TEST_F(ReportOutputTest, SaveWritesRtfThatReadsBackAsTheReport)
{
    if (!unrtfInstalled())
        GTEST_SKIP() << "unrtf is not installed";
    auto window = withReport();
    const QString typed = dir() + QStringLiteral("/report");
    saveAs(*window, typed);
    EXPECT_EQ(filters, QStringList{QStringLiteral("Rich Text Format (*.rtf)")});
    const QString saved = typed + QStringLiteral(".rtf");
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(unrtfText(saved), tabsFolded(header() + report(*window)));
    const QString html = unrtfHtml(saved);
    EXPECT_TRUE(html.contains(QStringLiteral("<b>Spectrum characteristics</b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<b>Load cycles</b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("face=\"Tahoma\"")));
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

TEST_F(ReportOutputTest, SaveWritesRtfUnderAnyName)
{
    auto window = withReport();
    notifier.answerYes = true;
    const QString other = writeFile(QStringLiteral("old.txt"), "old content");
    const int dialogsBefore = dialogsShown;
    saveAs(*window, other);
    const QByteArray rtf = contentOf(other);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\tx2700"));
    EXPECT_TRUE(rtf.contains("Zo\\u235\\'3f"));
    EXPECT_TRUE(static_cast<QFileDialog*>(window->dlgSave)->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(window->dlgSave->defaultSuffix(), QStringLiteral("rtf"));
    EXPECT_EQ(dialogsShown, dialogsBefore + 1); // the dialog itself does not ask a second time
    EXPECT_EQ(notifier.questions.size(), 1);
}

TEST_F(ReportOutputTest, SaveProposesTheSequencesNameInItsFolder)
{
    auto window = withReport();
    QStringList proposed;
    answer = [&](QDialog& dialog) {
        proposed = static_cast<QFileDialog&>(dialog).selectedFiles();
        return false;
    };
    window->Save1->trigger();
    EXPECT_EQ(proposed, QStringList{exampleFile("worked_example.rtf")});
}

TEST_F(ReportOutputTest, CancelledSaveWritesNothing)
{
    auto window = withReport();
    answer = [&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(dir() + QStringLiteral("/never.rtf"));
        return false;
    };
    window->Save1->trigger();
    EXPECT_FALSE(QFileInfo::exists(dir() + QStringLiteral("/never.rtf")));
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

TEST_F(ReportOutputTest, SaveIntoAMissingFolderSaysWhichFileCannotBeCreated)
{
    auto window = withReport();
    const QString before = report(*window);
    const QString target = dir() + QStringLiteral("/missing/report.rtf");
    answer = [&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(target);
        QDir(dir()).rmdir(QStringLiteral("missing")); // gone after the choice
        return true;
    };
    ASSERT_TRUE(QDir(dir()).mkdir(QStringLiteral("missing")));
    window->Save1->trigger();
    ASSERT_EQ(notifier.generalErrors.size(), 1);
    const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(target);
    EXPECT_TRUE(notifier.generalErrors[0].startsWith(prefix)) << notifier.generalErrors[0].toStdString();
    EXPECT_GT(notifier.generalErrors[0].size(), prefix.size() + 1);
    EXPECT_TRUE(notifier.generalErrors[0].endsWith(u'.'));
    EXPECT_EQ(report(*window), before);
}

TEST_F(ReportOutputTest, SaveOverAnExistingFileAsksAndKeepsItUnlessTold)
{
    auto window = withReport();
    const QString target = writeFile(QStringLiteral("old.rtf"), "kept");
    saveAs(*window, target);
    ASSERT_EQ(notifier.questions.size(), 1);
    EXPECT_EQ(notifier.questions[0], QStringLiteral("old.rtf already exists.\nDo you want to replace it?"));
    EXPECT_EQ(contentOf(target), QByteArray("kept"));

    notifier.answerYes = true;
    saveAs(*window, target);
    EXPECT_EQ(notifier.questions.size(), 2);
    EXPECT_TRUE(contentOf(target).startsWith("{\\rtf1"));

    saveAs(*window, dir() + QStringLiteral("/new.rtf")); // nothing to replace: no question
    EXPECT_EQ(notifier.questions.size(), 2);
}

TEST_F(ReportOutputTest, CopyWithoutSelectionCopiesAndSelectsTheWholeReport)
{
    auto window = withReport();
    window->Copy1->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), report(*window));
    EXPECT_TRUE(copied->hasHtml());
    EXPECT_TRUE(copied->html().contains(QStringLiteral("Load cycles")));
    const QByteArray rtf = copied->data(QStringLiteral("text/rtf"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\tx2700") && rtf.contains("\\tx5500"));
    EXPECT_EQ(window->reReport->textCursor().selectedText().size(), report(*window).size());
}

TEST_F(ReportOutputTest, CopyWithASelectionCopiesOnlyIt)
{
    auto window = withReport();
    QTextCursor cursor(window->reReport->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    window->reReport->setTextCursor(cursor);
    window->Copy1->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), QStringLiteral("Highest Peak: \t6.000"));
    const QByteArray rtf = copied->data(QStringLiteral("text/rtf"));
    EXPECT_TRUE(rtf.contains("Highest Peak: \\tab 6.000"));
    EXPECT_FALSE(rtf.contains("Lowest"));
    EXPECT_EQ(window->reReport->textCursor().selectedText(), QStringLiteral("Highest Peak: \t6.000"));
}

TEST_F(ReportOutputTest, PrintSendsOneJobNamedReport)
{
    auto window = withReport();
    const QString pdf = dir() + QStringLiteral("/printed.pdf");
    QAbstractPrintDialog::PrintDialogOptions options;
    answer = [&](QDialog& dialog) {
        auto& print = static_cast<QPrintDialog&>(dialog);
        options = print.options();
        print.printer()->setOutputFormat(QPrinter::PdfFormat);
        print.printer()->setOutputFileName(pdf);
        return true;
    };
    window->Print1->trigger();
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
    EXPECT_FALSE(options.testFlag(QAbstractPrintDialog::PrintPageRange));
    EXPECT_FALSE(options.testFlag(QAbstractPrintDialog::PrintSelection));
    EXPECT_EQ(window->dlgPrint->printer()->docName(), QStringLiteral("Report"));
    const QByteArray printed = contentOf(pdf);
    EXPECT_TRUE(printed.startsWith("%PDF"));
    EXPECT_EQ(pdf_text::title(printed), QStringLiteral("Report"));
    EXPECT_EQ(pdf_text::pageCount(printed), 1);
    EXPECT_EQ(
        withoutBlanks(pdf_text::textOf(printed)).toStdString(),
        withoutBlanks(header() + report(*window) + QStringLiteral("worked_example.txt - 2024-12-31 23:59 Page 1 of 1"))
            .toStdString());
}

TEST_F(ReportOutputTest, LongReportIsPrintedOverSeveralPagesInOrder)
{
    auto window = startWindow();
    open(*window, exampleFile("random_walk.txt"));
    window->btExecute->click();
    const QString pdf = dir() + QStringLiteral("/long.pdf");
    answer = [&](QDialog& dialog) {
        auto* printer = static_cast<QPrintDialog&>(dialog).printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return true;
    };
    window->Print1->trigger();
    const QByteArray printed = contentOf(pdf);
    const int lines = window->reReport->document()->blockCount();
    const int pages = pdf_text::pageCount(printed);
    EXPECT_GT(pages, lines / 80);
    // Each page after the first starts with the table's headings and every
    // page ends with its number; without them the pages read as the report.
    QString text = withoutBlanks(pdf_text::textOf(printed));
    const QString headings = QStringLiteral("LoadMaximumMinimumNumberofCumulativeRangeLoadLoadCyclesNumber");
    EXPECT_EQ(text.count(headings), pages);
    for (int page = pages; page >= 1; --page) {
        const QString footer = QStringLiteral("random_walk.txt-2024-12-3123:59Page%1of%2").arg(page).arg(pages);
        const qsizetype at = text.indexOf(footer);
        ASSERT_GE(at, 0) << "page " << page;
        text.remove(at, footer.size());
        if (page < pages) { // the next page's repeated headings
            EXPECT_EQ(text.mid(at, headings.size()), headings) << "page " << page + 1;
            text.remove(at, headings.size());
        }
    }
    const QString expected = withoutBlanks(report(*window));
    EXPECT_EQ(text.mid(text.size() - expected.size()).toStdString(), expected.toStdString());
    EXPECT_TRUE(text.startsWith(QStringLiteral("TessivorainflowcountingreportSequencefile:")));
}

// The printout keeps to the page setup's margins: nothing is drawn in them.
TEST_F(ReportOutputTest, PrintKeepsToThePageSetupsMargins)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    auto window = withReport();
    const QString pdf = dir() + QStringLiteral("/margins.pdf");
    answer = [&](QDialog& dialog) {
        auto* printer = static_cast<QPrintDialog&>(dialog).printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageMargins(QMarginsF(40, 30, 20, 25), QPageLayout::Millimeter);
        return true;
    };
    window->Print1->trigger();
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("50"),
                                              QStringLiteral("-singlefile"), pdf, dir() + QStringLiteral("/page")});
    ASSERT_TRUE(render.waitForFinished(30000));
    QImage page(dir() + QStringLiteral("/page.pgm"));
    ASSERT_FALSE(page.isNull());
    const double perMm = page.width() / 210.0;
    QRect inked;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 160)
                inked |= QRect(x, y, 1, 1);
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_GE(inked.left(), 40 * perMm - 1);
    EXPECT_GE(inked.top(), 30 * perMm - 1);
    EXPECT_LE(inked.right(), page.width() - 20 * perMm + 1);
    EXPECT_LE(inked.bottom(), page.height() - 25 * perMm + 1);
    EXPECT_LT(inked.left(), 45 * perMm) << "the text starts at the margin";
}

TEST_F(ReportOutputTest, CancelledPrintPrintsNothing)
{
    auto window = withReport();
    const QString pdf = dir() + QStringLiteral("/never.pdf");
    answer = [&](QDialog& dialog) {
        auto& print = static_cast<QPrintDialog&>(dialog);
        print.printer()->setOutputFormat(QPrinter::PdfFormat);
        print.printer()->setOutputFileName(pdf);
        return false;
    };
    window->Print1->trigger();
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

} // namespace
