// The report on the clipboard as other programs see it: xclip reads the
// clipboard from outside the process, right after Copy, before anything in
// the program has read a format.
#include "command_fixture.h"

#include <QProcess>

namespace {

class ClipboardX11Test : public CommandTest {
protected:
    // xclip's output; the program must keep serving the clipboard while
    // xclip waits for it, so the event loop runs until xclip has ended.
    QByteArray xclip(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral("xclip"), QStringList{QStringLiteral("-selection"), QStringLiteral("clipboard")} + arguments);
        EXPECT_TRUE(process.waitForStarted(5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput();
    }
};

TEST_F(ClipboardX11Test, CopyOffersTextHtmlAndRtfAtOnce)
{
    auto window = startWindow();
    open(*window, exampleFile("worked_example.txt"));
    window->btExecute->click();
    window->Copy1->trigger();

    const QList<QByteArray> targets = xclip({QStringLiteral("-t"), QStringLiteral("TARGETS"), QStringLiteral("-o")}).split('\n');
    for (const char* format : {"text/plain", "text/html", "text/rtf"})
        EXPECT_TRUE(targets.contains(format)) << format;

    const QByteArray rtf = xclip({QStringLiteral("-t"), QStringLiteral("text/rtf"), QStringLiteral("-o")});
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("Load cycles")) << rtf.left(400).toStdString();
    const QByteArray plain = xclip({QStringLiteral("-t"), QStringLiteral("UTF8_STRING"), QStringLiteral("-o")});
    EXPECT_EQ(QString::fromUtf8(plain), report(*window));
}

} // namespace
