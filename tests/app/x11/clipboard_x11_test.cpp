// The report on the clipboard as other programs see it: xclip reads the
// clipboard from outside the process, right after Copy, before anything in
// the program has read a format.
#include "command_fixture.h"

#include "spectrum/spectrum_plot_window.h"

#include <QImage>
#include <QProcess>
#include <QPushButton>

namespace {

class ClipboardX11Test : public CommandTest {
protected:
    // xclip's output; the program must keep serving the clipboard while
    // xclip waits for it, so the event loop runs until xclip has ended.
    QByteArray xclip(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral("xclip"),
                      QStringList{QStringLiteral("-selection"), QStringLiteral("clipboard")} + arguments);
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

    const QList<QByteArray> targets =
        xclip({QStringLiteral("-t"), QStringLiteral("TARGETS"), QStringLiteral("-o")}).split('\n');
    for (const char* format : {"text/plain", "text/html", "text/rtf"})
        EXPECT_TRUE(targets.contains(format)) << format;

    const QByteArray rtf = xclip({QStringLiteral("-t"), QStringLiteral("text/rtf"), QStringLiteral("-o")});
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("Load cycles")) << rtf.left(400).toStdString();
    const QByteArray plain = xclip({QStringLiteral("-t"), QStringLiteral("UTF8_STRING"), QStringLiteral("-o")});
    EXPECT_EQ(QString::fromUtf8(plain), report(*window));
}

// A matrix goes to a spreadsheet as numbers and to a drawing as a picture.
TEST_F(ClipboardX11Test, CopiedMatrixOffersItsCellsAndItsPicture)
{
    auto window = startWindow();
    open(*window, exampleFile("random_walk.txt"));
    Parameters p;
    p.useBins = true;
    setParameters(*window, p);
    window->btExecute->click();
    window->btSpectrumPlot->click();
    SpectrumPlotWindow* plot = window->plotWindow();
    ASSERT_NE(plot, nullptr);
    plot->showChart(SpectrumPlotWindow::Chart::FromToMatrix);
    plot->btCopy->click();

    const QList<QByteArray> targets =
        xclip({QStringLiteral("-t"), QStringLiteral("TARGETS"), QStringLiteral("-o")}).split('\n');
    for (const char* format : {"text/plain", "text/csv", "image/png"})
        EXPECT_TRUE(targets.contains(format)) << format;
    const QList<QByteArray> rows =
        xclip({QStringLiteral("-t"), QStringLiteral("text/csv"), QStringLiteral("-o")}).trimmed().split('\n');
    ASSERT_EQ(rows.size(), 33);
    std::int64_t total = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> cells = rows[r].split(',');
        ASSERT_EQ(cells.size(), 33) << r;
        for (qsizetype c = 1; c < cells.size(); ++c)
            total += cells[c].toLongLong();
    }
    std::int64_t expected = 0;
    for (const std::int32_t n : plot->data().matrix)
        expected += n;
    EXPECT_EQ(total, expected);
    const QImage picture =
        QImage::fromData(xclip({QStringLiteral("-t"), QStringLiteral("image/png"), QStringLiteral("-o")}), "PNG");
    EXPECT_EQ(picture.size(), kChartExportSize);
}

} // namespace
