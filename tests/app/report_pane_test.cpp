#include "report/report_pane.h"

#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QList<qreal> tabsOf(const QTextBlock& block)
{
    QList<qreal> out;
    for (const QTextOption::Tab& tab : block.blockFormat().tabPositions())
        out << tab.position;
    return out;
}

bool boldAt(const QTextBlock& block)
{
    return block.begin().fragment().charFormat().fontWeight() == QFont::Bold;
}

TEST(ReportPane, WritesTheReportOperations)
{
    ReportPane pane;
    tessivo::ReportWriter& writer = pane;
    writer.setTabStops({0, 135});
    writer.boldOn();
    writer.addLine("Spectrum characteristics");
    writer.boldOff();
    writer.addLine("Sequence length: \t3");
    writer.addLine("");
    writer.setTabStops({0, 55, 110});
    writer.addLine("Load\tMaximum\tM\u00e9nimum");

    const QTextDocument* doc = pane.document();
    ASSERT_EQ(doc->blockCount(), 4);
    EXPECT_EQ(doc->toPlainText(),
              QStringLiteral("Spectrum characteristics\nSequence length: \t3\n\nLoad\tMaximum\tM\u00e9nimum"));
    EXPECT_TRUE(boldAt(doc->findBlockByNumber(0)));
    EXPECT_FALSE(boldAt(doc->findBlockByNumber(1)));
    const QList<qreal> two{0.0, 135 * ReportPane::kPixelsPerPoint};
    EXPECT_EQ(tabsOf(doc->findBlockByNumber(0)), two);
    EXPECT_EQ(tabsOf(doc->findBlockByNumber(2)), two);
    EXPECT_EQ(tabsOf(doc->findBlockByNumber(3)).size(), 3);
    EXPECT_EQ(doc->findBlockByNumber(3).blockFormat().property(ReportPane::kTabStopPointsProperty).toList(),
              (QVariantList{0, 55, 110}));
}

TEST(ReportPane, ClearStartsAgainAtTheFirstParagraph)
{
    ReportPane pane;
    pane.addLine("old");
    pane.addLine("lines");
    pane.clear();
    EXPECT_TRUE(pane.toPlainText().isEmpty());
    pane.addLine("");
    pane.addLine("second");
    EXPECT_EQ(pane.document()->blockCount(), 2); // an empty first line is still a line
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("\nsecond"));
}

// The same operations, line by line or as one edit, give the same document.
TEST(ReportPane, WritingAtOnceGivesTheSameDocument)
{
    const auto report = [](tessivo::ReportWriter& writer) {
        writer.clear();
        writer.setTabStops({0, 135});
        writer.boldOn();
        writer.addLine("Load cycles");
        writer.boldOff();
        for (int i = 0; i < 50; ++i)
            writer.addLine(std::to_string(i) + "\t" + std::to_string(i * i));
    };
    ReportPane lineByLine;
    lineByLine.addLine("old");
    report(lineByLine);
    ReportPane atOnce;
    atOnce.addLine("old");
    atOnce.writeAtOnce([&] { report(atOnce); });
    EXPECT_EQ(atOnce.document()->toHtml(), lineByLine.document()->toHtml());
    EXPECT_EQ(atOnce.document()->blockCount(), 51);

    // A write that fails still ends the edit: the pane goes on taking lines.
    EXPECT_THROW(atOnce.writeAtOnce([&] {
        atOnce.addLine("half");
        throw std::runtime_error("disk full");
    }),
                 std::runtime_error);
    int changes = 0;
    QObject::connect(atOnce.document(), &QTextDocument::contentsChange, [&] { ++changes; });
    atOnce.addLine("after");
    EXPECT_GT(changes, 0); // reported (and laid out) at once again
    EXPECT_TRUE(atOnce.toPlainText().endsWith(QStringLiteral("half\nafter")));
}

} // namespace
