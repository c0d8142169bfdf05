// The main window's Fatigue... command: the fatigue window over the cycles of
// the last report.

#include "main_window.h"

#include "edit_float.h"
#include "fatigue/fatigue_window.h"

#include "engine/fatigue/table_cycles.h"

void TfrmMain::btFatigueClick()
{
    guarded([this] {
        if (!m_fatigueWindow) {
            FatigueWindowSeams seams;
            seams.runModal = m_seams.runModal;
            seams.reportError = [this](const QString& text) { m_notifier->generalError(text); };
            seams.storePath = storePath();
            seams.decimalSeparator = edFilter->decimalSeparator();
            m_fatigueWindow = new FatigueWindow(this, seams);
            // Rows follow the report's table in order: row k marks the cycles of line k.
            connect(m_fatigueWindow, &FatigueWindow::cycleLineSelected, this, [this](int line) {
                markTableRow(line);
                m_fatigueWindow->activateWindow();
            });
        }
        updateFatigueWindow();
        m_fatigueWindow->show();
        m_fatigueWindow->raise();
        m_fatigueWindow->activateWindow();
    });
}

std::vector<tessivo::fatigue::FatigueCycle> TfrmMain::countedCycles() const
{
    // Fatigue takes the loads as counted: a normalised table is scaled back
    // by the highest peak it was divided by.
    const long double factor = m_plotData.normalized ? m_run->HighestPeak : 1.0L;
    return tessivo::fatigue::tableCycles(*m_table, m_cycleCount, factor);
}

void TfrmMain::updateFatigueWindow()
{
    m_fatigueWindow->setCycles(countedCycles(), m_plotData.hasMatrix(), plotSource());
}
