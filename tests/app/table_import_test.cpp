// Import: a column of a table becomes the sequence exactly as Open makes a
// plain file of the same values the sequence; Open points to Import for a table.

#include "command_fixture.h"

#include "import/import_settings.h"
#include "import/table_import_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

const QByteArray kTable = "time;F;M\r\n(s);(kN);(kN m)\r\n0,0;10;1\r\n0,5;-5,5;2\r\n1,0;20;3\r\n1,5;-2,25;1\r\n";
const QByteArray kPlainF = "10 -5.5 20 -2.25\n";

TEST_F(CommandTest, ImportOpensAColumnAsOpenWouldAFileOfItsValues)
{
    auto window = startWindow();
    const QString table = writeFile(QStringLiteral("loads.csv"), kTable);
    QString layoutText;
    QString cellWithComma;
    QString cellUnderComma;
    answer = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(table);
            return true;
        }
        auto& import = static_cast<TableImportDialog&>(dialog);
        layoutText = import.lbLayout->text();
        cellWithComma = import.twPreview->item(1, 1)->text();
        import.cbDelimiter->setCurrentIndex(1); // comma: read again at once
        cellUnderComma = import.lbLayout->text().section(u',', 0, 0);
        import.cbDelimiter->setCurrentIndex(0);
        import.lwColumns->setCurrentRow(1);
        return true;
    };
    window->btImportTable->click();

    EXPECT_EQ(layoutText, QStringLiteral("semicolon-separated, decimal comma, names on line 1, units on line 2, "
                                         "numbers from line 3"));
    EXPECT_EQ(cellWithComma, QStringLiteral("-5,5"));
    EXPECT_EQ(cellUnderComma, QStringLiteral("comma-separated"));
    EXPECT_TRUE(notifier.errors.isEmpty()) << notifier.errors.join(u'|').toStdString();
    EXPECT_EQ(window->lbSeqFile->text(), table + QStringLiteral(" : F"));
    EXPECT_TRUE(window->btExecute->isEnabled());
    EXPECT_EQ(loadImportChoices(storePath()).column, QStringLiteral("F"));
    const QString importedSpectrum = report(*window);
    window->btExecute->click();
    const QString importedReport = report(*window);
    // The time column goes with the sequence to the load history, and a plain file's count has none.
    ASSERT_NE(window->signalSource().times, nullptr);
    EXPECT_EQ(*window->signalSource().times, (std::vector<long double>{0.0L, 0.5L, 1.0L, 1.5L}));

    open(*window, writeFile(QStringLiteral("f.txt"), kPlainF));
    EXPECT_EQ(report(*window), importedSpectrum);
    window->btExecute->click();
    EXPECT_EQ(report(*window), importedReport);
    EXPECT_EQ(window->signalSource().times, nullptr);
    EXPECT_EQ(importedReport, expectedReport(dir() + QStringLiteral("/f.txt"), Parameters{}, 32));
}

// The dialog lists what it read as `tessivo-count --show-layout` does: each
// item from the table written here, and again after a separator is chosen.
TEST(TableImportDialogLayout, ListsTheLayoutItReadAsTheCommandLineDoes)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return dir.filePath(name);
    };
    struct Case {
        const char* name;
        QString path;
        int decimal; // the separator box: 0 detected, 1 point, 2 comma
        QStringList listing;
    };
    const QString loads = write(QStringLiteral("loads.csv"), kTable);
    const QString blanks = write(QStringLiteral("log.txt"), "Logger 7\nt x label\n0 1.5 a\n1 -2 b\n2 3.25 c\n");
    const QString words = write(QStringLiteral("words.csv"), "a;b\nx;y\n");
    const std::vector<Case> cases = {
        {"names, units and decimal commas",
         loads,
         0,
         {loads, QStringLiteral("  delimiter:          semicolon"), QStringLiteral("  decimal separator:  comma"),
          QStringLiteral("  encoding:           UTF-8 or Latin-1"), QStringLiteral("  line ends:          CR LF"),
          QStringLiteral("  names:              line 1"), QStringLiteral("  units:              line 2"),
          QStringLiteral("  first row:          line 3"), QStringLiteral("  columns:            3"),
          QStringLiteral("  1. time (s): numbers"), QStringLiteral("  2. F (kN): numbers"),
          QStringLiteral("  3. M (kN m): numbers")}},
        // With a decimal point no time is a number, and half the forces are:
        // a column holds numbers when at least as many rows have one there as text.
        {"a decimal point chosen",
         loads,
         1,
         {loads, QStringLiteral("  delimiter:          semicolon"), QStringLiteral("  decimal separator:  point"),
          QStringLiteral("  encoding:           UTF-8 or Latin-1"), QStringLiteral("  line ends:          CR LF"),
          QStringLiteral("  names:              line 1"), QStringLiteral("  units:              line 2"),
          QStringLiteral("  first row:          line 3"), QStringLiteral("  columns:            3"),
          QStringLiteral("  1. time (s): text"), QStringLiteral("  2. F (kN): numbers"),
          QStringLiteral("  3. M (kN m): numbers")}},
        {"names below a title, a column of text",
         blanks,
         0,
         {blanks, QStringLiteral("  delimiter:          blanks"), QStringLiteral("  decimal separator:  point"),
          QStringLiteral("  encoding:           UTF-8 or Latin-1"), QStringLiteral("  line ends:          LF"),
          QStringLiteral("  names:              line 2"), QStringLiteral("  units:              none"),
          QStringLiteral("  first row:          line 3"), QStringLiteral("  columns:            3"),
          QStringLiteral("  1. t: numbers"), QStringLiteral("  2. x: numbers"), QStringLiteral("  3. label: text")}},
        {"no table: nothing listed", words, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TableImportDialog dialog(c.path, ImportChoices{0, c.decimal, {}});
        const QString shown = dialog.teLayout->toPlainText();
        EXPECT_EQ(shown.isEmpty() ? QStringList() : shown.split(u'\n'), c.listing) << shown.toStdString();
        EXPECT_EQ(dialog.layout().has_value(), !c.listing.isEmpty());
    }
    // Choosing another separator in the open dialog lists the table anew.
    TableImportDialog dialog(loads, ImportChoices{});
    dialog.cbDecimal->setCurrentIndex(1);
    EXPECT_TRUE(dialog.teLayout->toPlainText().contains(QStringLiteral("  1. time (s): text")));
    dialog.cbDecimal->setCurrentIndex(0);
    EXPECT_TRUE(dialog.teLayout->toPlainText().contains(QStringLiteral("  1. time (s): numbers")));
}

TEST_F(CommandTest, OpenPointsToImportOnlyForATable)
{
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("loads.csv"), kTable));
    open(*window, writeFile(QStringLiteral("bad.txt"), "1 2 x\n"));
    EXPECT_EQ(notifier.errors,
              (QStringList{QStringLiteral("Incorrect sequence file\n"
                                          "The file looks like a table of columns: Import... reads it."),
                           QStringLiteral("Incorrect sequence file")}));
}

TEST_F(CommandTest, ALargeTableIsReadWithTheProgressAndCancelOfACount)
{
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("f.txt"), kPlainF));
    const QString before = window->lbSeqFile->text();
    QByteArray rows = "t,F\n";
    for (int i = 0; i < 400000; ++i)
        rows += QByteArray::number(i) + ',' + QByteArray::number(i % 5) + '\n';
    const QString table = writeFile(QStringLiteral("long.csv"), rows);
    answer = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog))
            files->selectFile(table);
        return true; // the Import dialog with its own choice of column
    };
    struct Seen {
        int steps = 0;
        QString title;
        QString text;
    };
    const auto importWatching = [&](bool cancel) {
        Seen seen;
        onProgress = [&, cancel](QProgressDialog& dialog) {
            ++seen.steps;
            progressClockMs += 600; // the half second passes at the first step
            if (!dialog.isVisible())
                return;
            seen.title = dialog.windowTitle();
            seen.text = dialog.labelText();
            if (cancel)
                dialog.cancel();
        };
        window->btImportTable->click();
        onProgress = {};
        return seen;
    };

    const Seen cancelled = importWatching(true);
    EXPECT_GE(cancelled.steps, 2);
    EXPECT_EQ(cancelled.title, QStringLiteral("Import"));
    EXPECT_TRUE(cancelled.text.startsWith(QStringLiteral("Reading the table ...\n"))) << cancelled.text.toStdString();
    EXPECT_TRUE(notifier.errors.isEmpty()) << notifier.errors.join(u'|').toStdString();
    EXPECT_EQ(window->lbSeqFile->text(), before);
    EXPECT_FALSE(window->CommandRunning());

    const Seen read = importWatching(false);
    EXPECT_GE(read.steps, 1);
    EXPECT_EQ(window->lbSeqFile->text(), table + QStringLiteral(" : F"));
    EXPECT_EQ(window->RainflowRun().SeqLength, 400000);
    EXPECT_TRUE(notifier.errors.isEmpty()) << notifier.errors.join(u'|').toStdString();
}

} // namespace
