// TfrmMain: a line of the report's table of load cycles and the places in
// the load history where its cycles happened.
#include "main_window/main_window.h"

#include "spectrum/spectrum_plot_window.h"
#include "document/cycle_marks.h"
#include "signal/signal_view.h"
#include "support/wait_cursor.h"
#include "report/report_pane.h"

#include <QTextBlock>

namespace {
const QString kTableHead = QStringLiteral("Range\tLoad\tLoad\tCycles\tNumber");
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
    });
}
