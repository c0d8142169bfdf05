// How the main window meets the desktop: files given at start or dropped
// onto it, keyboard shortcuts, the work folder of this running copy and the
// spectrum plot window.
#include "main_window.h"

#include "app_identity.h"
#include "dropped_file.h"
#include "edit_float.h"
#include "file_dialogs.h"
#include "report_pane.h"
#include "spectrum_plot_window.h"
#include "path_elision.h"
#include "work_dir.h"
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
    QMetaObject::invokeMethod(this, [this, fileName] { openFile(fileName); }, Qt::QueuedConnection);
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

QString TfrmMain::plotSource() const
{
    return QFileInfo(m_sequenceFile).fileName();
}

void TfrmMain::showSequenceFile(const QString& fileName)
{
    m_sequenceFile = fileName;
    lbSeqFile->setText(elidedPath(fileName, lbSeqFile->fontMetrics(), lbSeqFile->width()));
    lbSeqFile->setToolTip(fileName);
    setWindowTitle(fileName.isEmpty() ? kApplicationTitle : kApplicationTitle + QStringLiteral(" - ") + plotSource());
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
            m_plotWindow->setSignal(m_signalSource);
            m_plotWindow->setMatrixCycles([this] { return countedCycles(); });
            prepareFileDialog(*m_plotWindow->dlgSavePlot);
        }
        if (!m_sequenceFile.isEmpty())
            m_plotWindow->dlgSavePlot->setDirectory(QFileInfo(m_sequenceFile).absolutePath());
        m_plotWindow->setData(m_plotData, plotSource());
        m_plotWindow->setDescription(reportSummary(m_reportHeader, edFilter->decimalSeparator()));
        m_plotWindow->show();
        m_plotWindow->raise();
        m_plotWindow->activateWindow();
    });
}
