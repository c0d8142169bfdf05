// The Open dialog driven from outside with real keys: a name typed with its
// completion list up and ended with Enter closes the dialog, and nothing of
// the dialog stays on screen.
#include "command_fixture.h"
#include "x_session.h"

#include <QAbstractItemView>
#include <QCompleter>
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
            xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("walk_")});
            popupWasShown = QTest::qWaitFor([&] { return popup->isVisible(); }, 5000);
            xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("a.txt")});
            xdotool({QStringLiteral("key"), QStringLiteral("Return")});
            QTimer::singleShot(5000, &files, &QDialog::reject); // never hang the suite
        });
        return files.exec() == QDialog::Accepted;
    };
    window->btOpenSeqFile->click();

    ASSERT_TRUE(popupWasShown) << "the completion list never came up";
    EXPECT_EQ(window->lbSeqFile->text(), folder + QStringLiteral("/walk_a.txt"));
    ASSERT_NE(popup, nullptr);
    QTest::qWait(300); // whatever the server does after the dialog closed
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(mappedOnTheServer(*popup));
}

} // namespace
