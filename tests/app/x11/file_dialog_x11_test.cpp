// The Open dialog driven from outside with real keys: a name typed with its
// completion list up and ended with Enter closes the dialog, and nothing of
// the dialog stays on screen.
#include "command_fixture.h"
#include "x_session.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QCompleter>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

namespace {

class FileDialogX11Test : public CommandTest {
protected:
    // Types through the X server, as a keyboard does, while the program
    // keeps handling its events.
    static bool xdotool(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral("xdotool"), arguments);
        if (!process.waitForStarted(5000))
            return false;
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000)
               && process.exitCode() == 0;
    }

    static bool mappedOnTheServer(const QWidget& widget)
    {
        const std::string info = runX("xwininfo -id " + std::to_string(widget.winId()));
        return info.find("IsViewable") != std::string::npos;
    }
};

TEST_F(FileDialogX11Test, EnterOnACompletedNameLeavesNoPopupMapped)
{
    const QString folder = dir() + QStringLiteral("/loads");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"walk_a.txt", "walk_b.txt"})
        writeFile(QStringLiteral("loads/") + QLatin1String(name), "1 -1 2 -2\n");

    auto window = startWindow();
    QAbstractItemView* popup = nullptr;
    bool popupWasShown = false;
    // Whatever goes wrong, no dialog may hold the suite: past the deadline
    // every dialog still open is rejected, a box that the file dialog opened
    // over itself ("file not found") first.
    QDeadlineTimer deadline(40000);
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (!deadline.hasExpired())
            return;
        if (QWidget* modal = QApplication::activeModalWidget())
            if (auto* box = qobject_cast<QDialog*>(modal))
                box->reject();
    });
    guard.start(200);
    answer = [&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.setDirectory(folder);
        QTimer::singleShot(0, &dialog, [&] {
            if (!QTest::qWaitForWindowActive(&files))
                return files.reject();
            auto* edit = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit || !edit->completer())
                return files.reject();
            popup = edit->completer()->popup();
            // The dialog lists the folder in a thread of its own: a name typed
            // before the listing arrives has nothing to complete.
            auto* model = files.findChild<QFileSystemModel*>();
            if (model && !QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) >= 2; }, 10000))
                return files.reject();
            xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("walk_")});
            popupWasShown = QTest::qWaitFor([&] { return popup->isVisible(); }, 5000);
            // A busy machine can deliver the keys before the completer has
            // its list: one more key asks it again, as a user would.
            for (int retry = 0; retry < 3 && !popupWasShown; ++retry) {
                xdotool({QStringLiteral("key"), QStringLiteral("BackSpace")});
                xdotool({QStringLiteral("type"), QStringLiteral("_")});
                popupWasShown = QTest::qWaitFor([&] { return popup->isVisible(); }, 8000);
            }
            xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("a.txt")});
            // Enter only once the whole name has arrived, or the dialog would
            // complain about a file that does not exist.
            if (!QTest::qWaitFor([&] { return edit->text() == QStringLiteral("walk_a.txt"); }, 5000))
                return files.reject();
            xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        });
        return files.exec() == QDialog::Accepted;
    };
    window->btOpenSeqFile->click();
    guard.stop();

    ASSERT_TRUE(popupWasShown) << "the completion list never came up";
    EXPECT_EQ(window->lbSeqFile->text(), folder + QStringLiteral("/walk_a.txt"));
    ASSERT_NE(popup, nullptr);
    QTest::qWait(300); // whatever the server does after the dialog closed
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(mappedOnTheServer(*popup));
}

} // namespace
