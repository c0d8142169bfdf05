#include "report/report_pane.h"

#include "report/report_html.h"
#include "report/rtf_writer.h"

#include <QAction>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextCursor>
#include <QVariantList>

ReportPane::ReportPane(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
}

void ReportPane::clear()
{
    QTextEdit::clear();
    m_hasLines = false;
}

QTextBlockFormat ReportPane::blockFormat() const
{
    QTextBlockFormat format;
    QList<QTextOption::Tab> tabs;
    QVariantList points;
    for (int point : m_tabStops) {
        tabs.append(QTextOption::Tab(point * kPixelsPerPoint, QTextOption::LeftTab));
        points.append(point);
    }
    format.setTabPositions(tabs);
    format.setProperty(kTabStopPointsProperty, points);
    return format;
}

void ReportPane::setTabStops(const std::vector<int>& points)
{
    m_tabStops = points;
    if (!m_hasLines && document()->isEmpty()) {
        QTextCursor cursor(document());
        cursor.setBlockFormat(blockFormat());
    }
}

void ReportPane::boldOn()
{
    m_bold = true;
}

void ReportPane::boldOff()
{
    m_bold = false;
}

void ReportPane::addLine(const std::string& text)
{
    QTextCursor cursor(document());
    const bool first = !m_hasLines && document()->isEmpty();
    m_hasLines = true;
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat chars;
    chars.setFontWeight(m_bold ? QFont::Bold : QFont::Normal);
    if (first)
        cursor.setBlockFormat(blockFormat());
    else
        cursor.insertBlock(blockFormat(), chars);
    cursor.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), chars);
}

void ReportPane::writeAtOnce(const std::function<void()>& write)
{
    QTextCursor edit(document());
    edit.beginEditBlock();
    try {
        write();
    } catch (...) {
        edit.endEditBlock();
        throw;
    }
    edit.endEditBlock();
}

// Every format is made now, in one plain QMimeData: the edit's own lazy
// data names only its own formats until one is read, so other programs would
// not see the RTF in the clipboard's list of targets.
QMimeData* ReportPane::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    const QTextDocumentFragment fragment = textCursor().selection();
    data->setText(fragment.toPlainText());
    QTextDocument selection;
    selection.setDefaultFont(document()->defaultFont());
    QTextCursor(&selection).insertFragment(fragment);
    data->setHtml(documentToHtml(selection));
    data->setData(QStringLiteral("text/rtf"), documentToRtf(selection));
    return data;
}

bool ReportPane::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : actions()) {
            for (const QKeySequence& shortcut : action->shortcuts()) {
                if (action->isEnabled() && shortcut.matches(key) == QKeySequence::ExactMatch) {
                    event->ignore(); // not the edit's: the shortcut takes it
                    return true;
                }
            }
        }
    }
    return QTextEdit::event(event);
}
