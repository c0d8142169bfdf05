#include "command_fixture.h"
#include "report/report_html.h"
#include "report/rtf_writer.h"
#include "report/tab_stop_fitting.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// Where each tab-separated field of the block starts, in points from the
// block's left edge, as the pane lays it out.
QList<double> fieldStarts(const QTextBlock& block)
{
    block.document()->documentLayout()->blockBoundingRect(block); // lays the block out
    const QTextLayout* layout = block.layout();
    QList<double> starts{0.0};
    const QString text = block.text();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'\t')
            starts << layout->lineForTextPosition(i + 1).cursorToX(i + 1) / ReportPane::kPixelsPerPoint;
    }
    return starts;
}

QList<int> stopsOf(const QTextBlock& block)
{
    QList<int> stops;
    for (const QVariant& p : block.blockFormat().property(ReportPane::kTabStopPointsProperty).toList())
        stops << p.toInt();
    return stops;
}

class ReportColumnsTest : public CommandTest {};

// Forces in newtons: values of seven and more digits overran the 55 point
// columns and landed under the next heading.
TEST_F(ReportColumnsTest, LargeLoadsStayUnderTheirHeadingsInEveryOutput)
{
    auto window = startWindow();
    open(*window, writeFile(QStringLiteral("forces.txt"), "-412345.678 987654.321 -399999.5 876543.25 0 950000\n"));
    window->btExecute->click();
    const QTextDocument& doc = *window->reReport->document();

    QTextBlock heading = doc.begin();
    while (heading.isValid() && !heading.text().startsWith(QStringLiteral("Load\t")))
        heading = heading.next();
    ASSERT_TRUE(heading.isValid());
    const QList<int> stops = stopsOf(heading);
    ASSERT_EQ(stops.size(), 6);
    EXPECT_GT(stops[1], 55) << "the widest range needs more than the least column";
    for (int i = 1; i < 6; ++i)
        EXPECT_GE(stops[i] - stops[i - 1], 55) << "the least column width is kept";

    int rows = 0;
    for (QTextBlock b = heading; b.isValid(); b = b.next(), ++rows) {
        EXPECT_EQ(stopsOf(b), stops);
        const QList<double> starts = fieldStarts(b);
        ASSERT_EQ(starts.size(), 5) << b.text().toStdString();
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(starts[i], stops[i], 0.75) << "field " << i << " of " << b.text().toStdString();
    }
    EXPECT_GT(rows, 3);

    // The RTF and the clipboard's HTML carry the same columns.
    const QByteArray rtf = documentToRtf(doc);
    QByteArray twips;
    for (int stop : stops)
        twips += "\\tx" + QByteArray::number(stop * 20);
    EXPECT_TRUE(rtf.contains("\\pard" + twips)) << rtf.left(600).toStdString();
    const QString html = documentToHtml(doc);
    const QString table = html.mid(html.lastIndexOf(QStringLiteral("<table")));
    static const QRegularExpression colWidth(QStringLiteral("<col style=\"width:(\\d+)pt\""));
    QList<int> htmlStops{0};
    for (auto it = colWidth.globalMatch(table); it.hasNext();)
        htmlStops << htmlStops.last() + it.next().captured(1).toInt();
    EXPECT_EQ(htmlStops, stops);
}

TEST(TabStopFitting, KeepsTheLeastStopsAndMovesTheRestByTheOverrun)
{
    const QList<int> least{0, 55, 110, 165};
    EXPECT_EQ(fittedStops(least, {40.0, 50.0, 10.0, 99.0}, 3.0), least) << "fields that fit change nothing";
    EXPECT_EQ(fittedStops(least, {60.0, 50.0, 10.0}, 3.0), (QList<int>{0, 63, 118, 173}));
    EXPECT_EQ(fittedStops(least, {60.0, 70.0, 10.0}, 3.0), (QList<int>{0, 63, 136, 191}));
    EXPECT_EQ(fittedStops(least, {52.0}, 3.0), least) << "exactly filled, with the gap";
    EXPECT_EQ(fittedStops(least, {52.5}, 3.0), (QList<int>{0, 56, 111, 166})) << "whole points, rounded up";
}

} // namespace
