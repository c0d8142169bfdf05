// TfrmMain: a line of the report's table of load cycles and the places in
// the load history where its cycles happened.
#include "main_window.h"

#include "spectrum_plot_window.h"
#include "plots/cycle_marks.h"
#include "plots/signal_view.h"
#include "plots/wait_cursor.h"
#include "report_pane.h"

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
            return row >= 1 && row <= m_cycleCount ? row : 0;
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
    if (!m_table || !m_markCache || m_signalSource.sequenceFile.empty() || row < 1 || row > m_cycleCount)
        return;
    if (!m_plotWindow || !m_plotWindow->isVisible())
        btSpectrumPlotClick();
    if (row == m_markedRow || !m_plotWindow)
        return;
    guarded([&] {
        const tessivo::TCycle& line = (*m_table)[row];
        std::vector<CycleMark> marks;
        {
            // The first selection lists the whole count once.
            std::optional<PlotWaitCursor> wait;
            if (!m_markCache->listed())
                wait.emplace();
            marks = m_markCache->marks(line.Upper, line.Lower);
        }
        m_plotWindow->showChart(SpectrumPlotWindow::Chart::Signal);
        m_plotWindow->signalView().setMarks(std::move(marks));
        m_markedRow = row;
    });
}
