// A filter size below the two decimals that the field shows by default must
// survive every way it is shown: the field across a restart, the headers of
// paper, RTF and the plots' pictures. Runs in the user's own locale, so the
// de_DE run checks the decimal comma.
#include "command_fixture.h"
#include "document/report_header.h"
#include "float_text.h"
#include "pdf_text.h"
#include "rtf_reader.h"
#include "spectrum/spectrum_plot_window.h"

#include <QPrintDialog>
#include <QPrinter>

#include <QLocale>
#include <cstring>

namespace {

QByteArray doubleBytes(double value)
{
    QByteArray bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8);
    return bytes;
}

class SmallFilterTest : public CommandTest {
protected:
    static QChar separator() { return QLocale::system().decimalPoint().front(); }
    static QString local(QString text) { return text.replace(u'.', separator()); }
};

TEST_F(SmallFilterTest, SurvivesARestartAndCountsWithItsValue)
{
    for (const char* typed : {"0.0004", "0.125", "12.5", "0.00000003"}) {
        const long double stored = static_cast<double>(QByteArray(typed).toDouble());
        {
            auto window = startWindow(separator());
            window->edFilter->setText(local(QString::fromLatin1(typed)));
            ASSERT_TRUE(window->close()) << typed;
        }
        EXPECT_EQ(settingsKey().read(QStringLiteral("Filter"))->data, doubleBytes(static_cast<double>(stored)));
        auto window = startWindow(separator());
        const QString shown = window->edFilter->text();
        EXPECT_EQ(shown, local(filterSizeText(stored, u'.'))) << typed;
        window->ControlsToRun();
        EXPECT_EQ(window->RainflowRun().FilterSize, *morvane::parseFloat(shown, separator())) << typed;
        EXPECT_NE(window->RainflowRun().FilterSize, 0.0L) << typed;
        ASSERT_TRUE(window->close());
    }
}

TEST_F(SmallFilterTest, ExecuteCountsWithTheFilterAndTheHeadersNameIt)
{
    // Peaks of 0.01 with wiggles of 0.0001 that a filter of 0.0004 takes out.
    QByteArray values;
    for (int i = 0; i < 20; ++i)
        values += i % 2 ? "-0.01 -0.0098 -0.0099 " : "0.01 0.0098 0.0099 ";
    const QString file = writeFile(QStringLiteral("small.txt"), values + "0\n");
    auto window = startWindow(separator());
    open(*window, file);
    Parameters p;
    p.filter = QStringLiteral("0.0004");
    setParameters(*window, Parameters{local(p.filter)});
    window->btExecute->click();
    ASSERT_TRUE(notifier.errors.isEmpty());
    EXPECT_EQ(report(*window), local(expectedReport(file, p, 32)));
    EXPECT_NE(report(*window).toStdString(), expectedReport(file, Parameters{}, 32).toStdString());

    const QString line = QStringLiteral("Filter size:\t") + local(QStringLiteral("0.0004"));
    const QString pdf = dir() + QStringLiteral("/printed.pdf");
    answer = [&](QDialog& dialog) {
        auto& print = static_cast<QPrintDialog&>(dialog);
        print.printer()->setOutputFormat(QPrinter::PdfFormat);
        print.printer()->setOutputFileName(pdf);
        return true;
    };
    window->Print1->trigger();
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    const QString paper = pdf_text::textOf(printed.readAll()).remove(u' ').remove(u'\t');
    EXPECT_TRUE(paper.contains(QStringLiteral("Filtersize:") + local(QStringLiteral("0.0004"))))
        << paper.left(300).toStdString();
    if (unrtfInstalled()) {
        const QString saved = dir() + QStringLiteral("/report.rtf");
        chooseFile(saved);
        window->Save1->trigger();
        EXPECT_TRUE(unrtfText(saved).contains(tabsFolded(line)));
    }
    window->btSpectrumPlot->click();
    ASSERT_NE(window->plotWindow(), nullptr);
    EXPECT_TRUE(
        window->plotWindow()->description().contains(QStringLiteral("filter size ") + local(QStringLiteral("0.0004"))));
    EXPECT_TRUE(notifier.generalErrors.isEmpty());
}

} // namespace
