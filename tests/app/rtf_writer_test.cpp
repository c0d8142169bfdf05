#include "report/report_pane.h"
#include "rtf_reader.h"
#include "report/rtf_writer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QFont tahoma()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    return font;
}

TEST(RtfWriter, WritesTheReportOperationsAsRtf)
{
    ReportPane pane;
    pane.setFont(tahoma());
    pane.setTabStops({0, 135});
    pane.boldOn();
    pane.addLine("Spectrum characteristics");
    pane.boldOff();
    pane.addLine("Peak: \t1.000");
    pane.addLine("");
    pane.setTabStops({0, 55});
    pane.addLine("{a}\\b\tZo\u00eb \u20ac \U0001F600");

    EXPECT_EQ(
        documentToRtf(*pane.document()).toStdString(),
        "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}\n"
        "\\fs20\n"
        "\\pard\\tx0\\tx2700{\\f0\\fs20\\b Spectrum characteristics}\\par\n"
        "\\pard\\tx0\\tx2700{\\f0\\fs20 Peak: \\tab 1.000}\\par\n"
        "\\pard\\tx0\\tx2700\\par\n"
        "\\pard\\tx0\\tx1100{\\f0\\fs20 \\{a\\}\\\\b\\tab Zo\\u235\\'3f \\u8364\\'3f \\u-10179\\'3f\\u-8704\\'3f}\n"
        "}\n");
}

TEST(RtfWriter, KeepsFontsStylesAlignmentAndUserTabs)
{
    QTextDocument doc;
    doc.setDefaultFont(tahoma());
    QTextCursor cursor(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab)}); // one inch
    cursor.setBlockFormat(centred);
    QTextCharFormat courier;
    courier.setFontFamilies({QStringLiteral("Courier New")});
    courier.setFontPointSize(12);
    courier.setFontItalic(true);
    courier.setFontUnderline(true);
    cursor.insertText(QStringLiteral("typed"), courier);
    cursor.insertText(QStringLiteral(" plain"), QTextCharFormat());

    const QByteArray rtf = documentToRtf(doc);
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 Courier New;}"));
    EXPECT_TRUE(rtf.contains("\\pard\\qc\\tx1440{\\f1\\fs24\\i\\ul typed}{\\f0\\fs20  plain}"));
}

TEST(RtfWriter, EmptyDocumentIsAValidEmptyFile)
{
    QTextDocument doc;
    const QByteArray rtf = documentToRtf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.endsWith("}\n"));
    EXPECT_EQ(rtf.count('{'), rtf.count('}'));
}

TEST(RtfWriter, UnrtfReadsTheTextBack)
{
    if (!unrtfInstalled())
        GTEST_SKIP() << "unrtf is not installed";
    ReportPane pane;
    pane.setFont(tahoma());
    pane.setTabStops({0, 55, 110});
    pane.boldOn();
    pane.addLine("Load cycles");
    pane.boldOff();
    pane.addLine("1.000\t2,500\t-3.000");
    pane.addLine("Gr\u00f6\u00dfe \u00e9t\u00e9 \u03c3 \u20ac {x} \\");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("r.rtf"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(documentToRtf(*pane.document()));
    out.close();
    EXPECT_EQ(unrtfText(file).toStdString(), tabsFolded(pane.toPlainText()).toStdString());
    EXPECT_TRUE(unrtfHtml(file).contains(QStringLiteral("<b>Load cycles</b>")));
}

} // namespace
