// The window on the desktop: a file from the command line or a drop goes the
// Open command's way, the keyboard reaches the commands, and two running
// copies never share a work folder.
#include "command_fixture.h"
#include "main_window/start_arguments.h"
#include "main_window/work_dir.h"
#include "engine/files/work_folder_lock.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPrintDialog>
#include <QTextCursor>
#include <QUrl>

namespace {

const QString kThreeValues = QStringLiteral("Spectrum characteristics\nSequence length: \t3\n"
                                            "Highest Peak: \t20.000\nLowest Trough: \t-5.000");

struct ArgumentCase {
    const char* name;
    QStringList arguments; // after the program's name
    QString file;          // relative to the current folder, or empty
    bool help;
    bool version;
    bool error;
};

TEST(StartArguments, TakeOneFileAndTheUsualOptions)
{
    const QString here = QDir::currentPath();
    const ArgumentCase cases[] = {
        {"nothing", {}, {}, false, false, false},
        {"a relative path", {QStringLiteral("loads/a.txt")}, QStringLiteral("loads/a.txt"), false, false, false},
        {"an absolute path", {QStringLiteral("/tmp/b c.txt")}, QStringLiteral("/tmp/b c.txt"), false, false, false},
        {"a file URL", {QStringLiteral("file:///tmp/b%20c.txt")}, QStringLiteral("/tmp/b c.txt"), false, false, false},
        {"help", {QStringLiteral("--help")}, {}, true, false, false},
        {"help with the toolkit's options", {QStringLiteral("--help-all")}, {}, true, false, false},
        {"version", {QStringLiteral("-v")}, {}, false, true, false},
        {"two files", {QStringLiteral("a"), QStringLiteral("b")}, {}, false, false, true},
        {"an unknown option", {QStringLiteral("--frobnicate")}, {}, false, false, true},
    };
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(c.name);
        const StartArguments start = parseStartArguments(QStringList{QStringLiteral("tessivo")} + c.arguments);
        const QString expected = c.file.isEmpty() ? QString() : QDir(here).absoluteFilePath(c.file);
        EXPECT_EQ(start.sequenceFile, QDir::cleanPath(expected));
        EXPECT_EQ(start.help, c.help);
        EXPECT_EQ(start.version, c.version);
        EXPECT_EQ(!start.error.isEmpty(), c.error) << start.error.toStdString();
    }
    EXPECT_TRUE(startUsage().contains(QStringLiteral("[file]")));
}

TEST_F(CommandTest, FileFromTheCommandLineIsOpened)
{
    const QString file = writeFile(QStringLiteral("three.txt"), "10 -5 20\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir()));
    const StartArguments start = parseStartArguments({QStringLiteral("tessivo"), QStringLiteral("three.txt")});
    QDir::setCurrent(previous);
    auto window = startWindow();
    window->queueOpenFile(start.sequenceFile);
    QTRY_COMPARE(window->lbSeqFile->text(), file);
    EXPECT_EQ(report(*window), kThreeValues);
    EXPECT_TRUE(window->btExecute->isEnabled());
    EXPECT_EQ(dialogsShown, 0);
}

TEST_F(CommandTest, FileFromTheCommandLineGivesTheOpenCommandsMessages)
{
    auto window = startWindow();
    window->openFile(writeFile(QStringLiteral("bad.txt"), "1 2 x"));
    window->openFile(dir() + QStringLiteral("/missing.txt"));
    EXPECT_EQ(notifier.errors, QStringList{QStringLiteral("Incorrect sequence file")});
    EXPECT_EQ(notifier.generalErrors, QStringList{QStringLiteral("File not found.")});
    EXPECT_FALSE(window->btExecute->isEnabled());
    EXPECT_TRUE(window->lbSeqFile->text().isEmpty());
}

class DropTest : public CommandTest {
protected:
    // Drags the data onto the widget and drops them there; true when the
    // widget took the drag.
    static bool drop(QWidget* target, const QMimeData& data)
    {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, enter.dropAction(), &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    }
    static std::unique_ptr<QMimeData> files(const QList<QUrl>& urls)
    {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
};

TEST_F(DropTest, DroppedFileIsOpenedWhereverItLands)
{
    const QString first = writeFile(QStringLiteral("first.txt"), "10 -5 20");
    const QString second = writeFile(QStringLiteral("second.txt"), "0 5 2 4 1 6");
    auto window = startWindow();
    // Onto the window, a web address first: the first local file counts.
    ASSERT_TRUE(drop(window.get(), *files({QUrl(QStringLiteral("https://example.org/x.txt")),
                                           QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)})));
    QTRY_COMPARE(window->lbSeqFile->text(), first);
    EXPECT_EQ(report(*window), kThreeValues);
    // Onto the report pane and onto the filter field, which take text drops
    // of their own: the file is opened, not pasted.
    ASSERT_TRUE(drop(window->reReport->viewport(), *files({QUrl::fromLocalFile(second)})));
    QTRY_COMPARE(window->lbSeqFile->text(), second);
    EXPECT_TRUE(report(*window).contains(QStringLiteral("Sequence length: \t6")));
    ASSERT_TRUE(drop(window->edFilter, *files({QUrl::fromLocalFile(first)})));
    QTRY_COMPARE(window->lbSeqFile->text(), first);
    EXPECT_EQ(window->edFilter->text(), QStringLiteral("0.00"));
    EXPECT_EQ(dialogsShown, 0);
}

TEST_F(DropTest, DragsWithoutAFileAreLeftAlone)
{
    auto window = startWindow();
    QMimeData text;
    text.setText(QStringLiteral("12.5"));
    EXPECT_FALSE(drop(window.get(), text));
    EXPECT_FALSE(drop(window.get(), *files({QUrl(QStringLiteral("https://example.org/x.txt"))})));
    // Text still drops into the pane as text.
    EXPECT_TRUE(drop(window->reReport->viewport(), text));
    EXPECT_TRUE(window->lbSeqFile->text().isEmpty());
}

TEST_F(DropTest, DropWhileACommandRunsIsRefused)
{
    const QString file = writeFile(QStringLiteral("three.txt"), "10 -5 20");
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    bool accepted = true;
    QMetaObject::invokeMethod(
        window.get(), [&] { accepted = drop(window.get(), *files({QUrl::fromLocalFile(file)})); },
        Qt::QueuedConnection);
    window->btExecute->click();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(window->lbSeqFile->text(), exampleFile("worked_example.txt"));
}

class ShortcutTest : public CommandTest {
protected:
    std::unique_ptr<TfrmMain> activeWindow()
    {
        auto window = startWindow();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
};

TEST_F(ShortcutTest, KeysRunTheWindowsCommands)
{
    auto window = activeWindow();
    window->edFilter->setFocus();
    chooseFile(exampleFile("worked_example.txt"));
    QTest::keyClick(window->edFilter, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window->lbSeqFile->text(), exampleFile("worked_example.txt"));

    const QString opened = report(*window);
    QTest::keyClick(window->edFilter, Qt::Key_F5);
    const QString counted = report(*window);
    EXPECT_NE(counted, opened);
    EXPECT_TRUE(counted.contains(QStringLiteral("Load cycles")));
    window->reReport->clear();
    QTest::keyClick(window->edFilter, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(report(*window), counted);
}

TEST_F(ShortcutTest, ExecuteKeysDoNothingBeforeAnOpen)
{
    auto window = activeWindow();
    window->edFilter->setFocus();
    QTest::keyClick(window->edFilter, Qt::Key_F5);
    QTest::keyClick(window->edFilter, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(report(*window).isEmpty());
    EXPECT_TRUE(notifier.errors.isEmpty() && notifier.generalErrors.isEmpty());
}

TEST_F(ShortcutTest, ReportPaneKeysPrintCopyAndSave)
{
    auto window = activeWindow();
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    window->reReport->setFocus();
    QStringList dialogs;
    answer = [&](QDialog& dialog) {
        dialogs << dialog.objectName();
        return false;
    };
    QTest::keyClick(window->reReport, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(window->reReport, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs, (QStringList{QStringLiteral("dlgPrint"), QStringLiteral("dlgSave")}));

    // Ctrl+C copies the selection, and the whole report without one.
    QTextCursor cursor(window->reReport->document());
    cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    window->reReport->setTextCursor(cursor);
    QTest::keyClick(window->reReport, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), cursor.selectedText());
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("text/rtf")));
    cursor.clearSelection();
    window->reReport->setTextCursor(cursor);
    QTest::keyClick(window->reReport, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), report(*window));

    // Outside the pane Ctrl+C copies the field's own text, while Print and
    // Save answer their keys anywhere in the window.
    window->edFilter->setFocus();
    window->edFilter->selectAll();
    QTest::keyClick(window->edFilter, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), window->edFilter->text());
    QTest::keyClick(window->edFilter, Qt::Key_S, Qt::ControlModifier);
    window->btExecute->setFocus();
    QTest::keyClick(window->btExecute, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialogs, (QStringList{QStringLiteral("dlgPrint"), QStringLiteral("dlgSave"), QStringLiteral("dlgSave"),
                                    QStringLiteral("dlgPrint")}));
}

TEST_F(ShortcutTest, TooltipsNameTheCommandsKeys)
{
    auto window = activeWindow();
    EXPECT_EQ(window->btOpenSeqFile->toolTip(), QStringLiteral("Open a sequence file (Ctrl+O)"));
    EXPECT_EQ(window->btExecute->toolTip(), QStringLiteral("Count the load cycles (F5 or Ctrl+E)"));
    for (const QAction* action : {window->Print1, window->Copy1, window->Save1}) {
        const QString key = action->shortcut().toString(QKeySequence::NativeText);
        EXPECT_TRUE(action->toolTip().contains(QStringLiteral(" (") + key)) << action->toolTip().toStdString();
    }
}

TEST_F(CommandTest, SecondRunningCopyWorksInAFolderOfItsOwn)
{
    ASSERT_TRUE(QDir().mkpath(workDir()));
    const auto other = tessivo::WorkFolderLock::tryAcquire(workDir().toStdString());
    ASSERT_TRUE(other);
    auto window = startWindow();
    EXPECT_NE(window->WorkDir(), workDir());
    EXPECT_TRUE(window->WorkDir().startsWith(instanceFolderBase() + QStringLiteral("/instance-")));
    EXPECT_TRUE(window->WorkDir().endsWith(u'/'));
    EXPECT_FALSE(tessivo::WorkFolderLock::tryAcquire(window->WorkDir().toStdString()));

    // Its work files stay in its own folder.
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    EXPECT_TRUE(QFile::exists(window->WorkDir() + QStringLiteral("$Sequence.tmp")));
    EXPECT_FALSE(QFile::exists(workDir() + QStringLiteral("$Sequence.tmp")));

    // A third copy takes the next folder; a closed copy frees its own.
    auto third = startWindow();
    EXPECT_NE(third->WorkDir(), window->WorkDir());
    EXPECT_NE(third->WorkDir(), workDir());
    const QString freed = window->WorkDir();
    window.reset();
    EXPECT_TRUE(tessivo::WorkFolderLock::tryAcquire(freed.toStdString()));
}

TEST_F(CommandTest, FirstRunningCopyHoldsItsPreferredFolder)
{
    auto window = startWindow();
    EXPECT_EQ(window->WorkDir(), workDir());
    EXPECT_FALSE(tessivo::WorkFolderLock::tryAcquire(workDir().toStdString()));
}

TEST(WorkFolderClaim, EveryFolderTakenIsAnError)
{
    QTemporaryDir base;
    std::vector<std::unique_ptr<tessivo::WorkFolderLock>> held;
    ClaimedWorkFolder preferred = claimWorkFolder(base.path() + QStringLiteral("/exe"), base.path());
    for (int i = 0; i < kMaxInstanceFolders; ++i)
        held.push_back(claimWorkFolder(base.path() + QStringLiteral("/exe"), base.path()).lock);
    EXPECT_TRUE(QFileInfo::exists(base.path() + QStringLiteral("/instance-%1").arg(kMaxInstanceFolders + 1)));
    try {
        claimWorkFolder(base.path() + QStringLiteral("/exe"), base.path());
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(
            QString::fromUtf8(error.what()),
            QStringLiteral("The work folder %1/exe/ is in use by another running copy of Tessivo.").arg(base.path()));
    }
}

} // namespace
