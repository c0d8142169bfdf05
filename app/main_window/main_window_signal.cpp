// TfrmMain: a line of the report's table of load cycles and the places in
// the load history where its cycles happened.
#include "main_window/main_window.h"

#include "spectrum/spectrum_plot_window.h"
#include "document/cycle_marks.h"
#include "signal/signal_view.h"
#include "support/wait_cursor.h"
#include "report/report_pane.h"

#include <QScrollBar>
#include <QTextBlock>

namespace {

const QString kTableHead = QStringLiteral("Range\tLoad\tLoad\tCycles\tNumber");

// The block of table line `row` (1-based), or an invalid block.
QTextBlock tableLine(const QTextDocument& report, std::int32_t row)
{
    for (QTextBlock b = report.begin(); b.isValid(); b = b.next()) {
        if (b.text() == kTableHead)
            return report.findBlockByNumber(b.blockNumber() + row);
    }
    return {};
}

} // namespace

void TfrmMain::highlightReportLine(std::int32_t row)
{
    QList<QTextEdit::ExtraSelection> selections;
    if (const QTextBlock line = tableLine(*reReport->document(), row); row > 0 && line.isValid()) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(line);
        selection.format.setBackground(QColor(0xcc, 0xe8, 0xd4));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections << selection;
        // Scrolled into view without moving the cursor, which would mark a line of its own.
        const QRect at = reReport->cursorRect(QTextCursor(line));
        if (!reReport->viewport()->rect().contains(at)) {
            QScrollBar* bar = reReport->verticalScrollBar();
            bar->setValue(bar->value() + at.center().y() - reReport->viewport()->height() / 2);
        }
    }
    reReport->setExtraSelections(selections);
}

std::int32_t TfrmMain::reportRowAtCursor() const
{
    const QTextBlock here = reReport->textCursor().block();
    for (QTextBlock b = here; b.isValid(); b = b.previous()) {
        if (b.text() == kTableHead) {
            const int row = here.blockNumber() - b.blockNumber();
            return row >= 1 && row <= m_document->cycleCount() ? row : 0;
        }
    }
    return 0;
}

void TfrmMain::reReportCursorMoved()
{
    if (!m_plotWindow || !m_plotWindow->isVisible())
        return;
    const std::int32_t row = reportRowAtCursor();
    if (row != 0)
        markTableRow(row);
}

void TfrmMain::markTableRow(std::int32_t row)
{
    if (!m_document->hasCount() || row < 1 || row > m_document->cycleCount())
        return;
    if (!m_plotWindow || !m_plotWindow->isVisible())
        btSpectrumPlotClick();
    if (row == m_markedRow || !m_plotWindow)
        return;
    guarded([&] {
        std::vector<CycleMark> marks;
        {
            // The first selection lists the whole count once.
            std::optional<WaitCursor> wait;
            if (!m_document->marksListed())
                wait.emplace();
            marks = m_document->marksOfRow(row);
        }
        m_plotWindow->showChart(SpectrumPlotWindow::Chart::Signal);
        m_plotWindow->signalView().setMarks(std::move(marks));
        m_markedRow = row;
        highlightReportLine(row);
    });
}
