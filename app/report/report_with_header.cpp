#include "report/report_with_header.h"

#include "report/report_pane.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVariantList>

namespace {

QTextBlockFormat headerBlock()
{
    QTextBlockFormat block;
    QList<QTextOption::Tab> tabs;
    for (int point : {0, 135})
        tabs.append(QTextOption::Tab(point * ReportPane::kPixelsPerPoint, QTextOption::LeftTab));
    block.setTabPositions(tabs);
    block.setProperty(ReportPane::kTabStopPointsProperty, QVariantList{0, 135});
    return block;
}

// The lines at the cursor, the first in bold, each in a block of its own.
void insertLines(QTextCursor& cursor, const QStringList& lines, bool firstBlockOpen)
{
    const QTextBlockFormat block = headerBlock();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < lines.size(); ++i) {
        if (i == 0 && firstBlockOpen)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block, QTextCharFormat());
        cursor.insertText(lines[i], i == 0 ? bold : QTextCharFormat());
    }
}

} // namespace

std::unique_ptr<QTextDocument> documentWithHeader(const QTextDocument& report, const QStringList& headerLines,
                                                  const QStringList& trailerLines)
{
    auto out = std::make_unique<QTextDocument>();
    out->setDefaultFont(report.defaultFont());
    QTextCursor cursor(out.get());
    insertLines(cursor, headerLines, true);
    cursor.insertBlock(headerBlock(), QTextCharFormat());
    cursor.insertBlock();
    cursor.insertFragment(QTextDocumentFragment(&report));
    if (!trailerLines.isEmpty()) {
        cursor.insertBlock(headerBlock(), QTextCharFormat());
        insertLines(cursor, trailerLines, false);
    }
    return out;
}
