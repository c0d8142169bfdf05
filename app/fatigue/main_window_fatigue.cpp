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
        }
        updateFatigueWindow();
        m_fatigueWindow->show();
        m_fatigueWindow->raise();
        m_fatigueWindow->activateWindow();
    });
}

void TfrmMain::updateFatigueWindow()
{
    // Fatigue takes the loads as counted: a normalised table is scaled back
    // by the highest peak it was divided by.
    const long double factor = m_plotData.normalized ? m_run->HighestPeak : 1.0L;
    m_fatigueWindow->setCycles(tessivo::fatigue::tableCycles(*m_table, m_cycleCount, factor), m_plotData.hasMatrix(),
                               plotSource());
}
