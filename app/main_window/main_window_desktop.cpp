// How the main window meets the desktop: files given at start or dropped
// onto it, keyboard shortcuts, the work folder of this running copy and the
// spectrum plot window.
#include "main_window/main_window.h"

#include "support/app_identity.h"
#include "main_window/dropped_file.h"
#include "edit_float.h"
#include "support/file_dialogs.h"
#include "report/report_pane.h"
#include "spectrum/spectrum_plot_window.h"
#include "main_window/path_elision.h"
#include "main_window/work_dir.h"
#include "engine/run/work_folder.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>

void TfrmMain::claimWorkDir()
{
    const QString preferred = m_seams.workDir ? m_seams.workDir() : resolveWorkDir();
    m_workDirLock.reset(); // a second FormShow must not find its own lock taken
    ClaimedWorkFolder claimed = claimWorkFolder(preferred, instanceFolderBase());
    m_workDir = claimed.dir;
    m_workDirLock = std::move(claimed.lock);
}

void TfrmMain::openFile(const QString& fileName)
{
    runCommand([this, fileName] { openSequenceFile(fileName); });
}

void TfrmMain::queueOpenFile(const QString& fileName)
{
    QMetaObject::invokeMethod(
        this, [this, fileName] { openFile(fileName); }, Qt::QueuedConnection);
}

bool TfrmMain::acceptFileDrag(QDropEvent* event) const
{
    if (m_commandRunning || droppedSequenceFile(event->mimeData()).isEmpty())
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptFileDrag(event))
        event->ignore();
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptFileDrag(event))
        event->ignore();
}

// The drop returns at once, so that the file manager is not kept waiting
// while the file is read.
void TfrmMain::dropEvent(QDropEvent* event)
{
    if (!acceptFileDrag(event)) {
        event->ignore();
        return;
    }
    queueOpenFile(droppedSequenceFile(event->mimeData()));
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (droppedSequenceFile(drop->mimeData()).isEmpty())
            break; // text for the control itself
        if (event->type() == QEvent::Drop)
            dropEvent(drop);
        else if (!acceptFileDrag(drop))
            drop->ignore();
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::executeShortcut()
{
    if (btExecute->isEnabled())
        btExecuteClick();
}

void TfrmMain::showSequenceFile(const QString& fileName)
{
    lbSeqFile->setText(elidedPath(fileName, lbSeqFile->fontMetrics(), lbSeqFile->width()));
    lbSeqFile->setToolTip(fileName);
    setWindowTitle(fileName.isEmpty() ? kApplicationTitle
                                      : kApplicationTitle + QStringLiteral(" - ") + m_document->sourceName());
}

void TfrmMain::btSpectrumPlotClick()
{
    guarded([this] {
        if (!m_plotWindow) {
            PlotWindowSeams seams;
            seams.runModal = m_seams.runModal;
            seams.reportError = [this](const QString& text) { m_notifier->generalError(text); };
            seams.decimalSeparator = edFilter->decimalSeparator();
            m_plotWindow = new SpectrumPlotWindow(this, seams);
            prepareFileDialog(*m_plotWindow->dlgSavePlot);
            m_plotWindow->observe(m_document);
        }
        if (m_document->hasSequence())
            m_plotWindow->dlgSavePlot->setDirectory(m_document->sequenceFolder());
        m_plotWindow->show();
        m_plotWindow->raise();
        m_plotWindow->activateWindow();
    });
}
