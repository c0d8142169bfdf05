// The main window's Fatigue... command: the fatigue window over the cycles of
// the last report.

#include "main_window/main_window.h"

#include "edit_float.h"
#include "fatigue/fatigue_window.h"

void TfrmMain::btFatigueClick()
{
    guarded([this] {
        if (!m_fatigueWindow) {
            FatigueWindowSeams seams;
            seams.runModal = m_seams.runModal;
            seams.reportError = [this](const QString& text) { m_notifier->generalError(text); };
            seams.storePath = storePath();
            seams.decimalSeparator = edFilter->decimalSeparator();
            // A lifetime counts its recordings with the parameters on show, as Channels... does.
            seams.countRequest = [this] {
                ControlsToRun();
                return m_document->countRequest();
            };
            m_fatigueWindow = new FatigueWindow(this, seams);
            m_fatigueWindow->observe(m_document);
            // Rows follow the report's table in order: row k marks the cycles of line k.
            connect(m_fatigueWindow, &FatigueWindow::cycleLineSelected, this, [this](int line) {
                markTableRow(line);
                m_fatigueWindow->activateWindow();
            });
        }
        m_fatigueWindow->show();
        m_fatigueWindow->raise();
        m_fatigueWindow->activateWindow();
    });
}
