// The Open and Execute commands of the main window.
#include "main_window/main_window.h"

#include "support/wait_cursor.h"

#include "edit_float.h"
#include "main_window/message_details.h"
#include "report/report_pane.h"
#include "engine/run/errors.h"
#include "main_window/run_progress.h"
#include "report/tab_stop_fitting.h"
#include "spectrum/spectrum_plot_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kSequenceFileFilter = QStringLiteral("Sequence file (*)");

void processPendingMessages()
{
    QCoreApplication::processEvents();
}

QString unknownBinSizeMessage(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    const QString last = items.takeLast();
    return QStringLiteral("\"%1\" is not a load bin size. Choose %2 or %3.")
        .arg(box.currentText(), items.join(QStringLiteral(", ")), last);
}

std::string pathOf(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

} // namespace

std::string TfrmMain::reportDecimalSeparator() const
{
    return QString(edFilter->decimalSeparator()).toStdString();
}

QString TfrmMain::chooseFileToOpen(const QString& nameFilter)
{
    dlgOpenSeq->setNameFilter(nameFilter);
    if (!m_lastDir.isEmpty())
        dlgOpenSeq->setDirectory(m_lastDir);
    if (!runModal(*dlgOpenSeq))
        return {};
    return dlgOpenSeq->selectedFiles().value(0);
}

void TfrmMain::btOpenSeqFileClick()
{
    runCommand([this] {
        if (const QString fileName = chooseFileToOpen(kSequenceFileFilter); !fileName.isEmpty())
            openSequenceFile(fileName);
    });
}

void TfrmMain::openSequenceFile(const QString& fileName)
{
    // A rejected file leaves the sequence loaded before, its work file and
    // the totals untouched, so the label, the report and Execute still
    // describe what Execute would count.
    if (!m_document->openSequence(fileName, processPendingMessages))
        m_notifier->error(incorrectSequenceMessage(pathOf(fileName)), incorrectSequenceDetail(fileName));
}

void TfrmMain::showOpenedSequence()
{
    btExecute->setEnabled(true);
    // The plots belong to the report that this Open replaces.
    btSpectrumPlot->setEnabled(false);
    btFatigue->setEnabled(false);
    reReport->clear();
    m_document->writeCharacteristics(*reReport, reportDecimalSeparator());
    fitTabStopsToText(*reReport->document());
    showSequenceFile(m_document->sequenceLabel());
    m_lastDir = m_document->sequenceFolder();
}

void TfrmMain::btExecuteClick()
{
    runCommand([this] { countWithControls(); });
}

void TfrmMain::countWithControls()
{
    ControlsToRun();
    // A typed text that names none of the items would otherwise count
    // in 32 classes without a word.
    if (cbLoadBinSize->findText(cbLoadBinSize->currentText(), Qt::MatchExactly) < 0) {
        m_notifier->error(unknownBinSizeMessage(*cbLoadBinSize));
        return;
    }
    if (const auto message = m_document->checkParameters()) {
        m_notifier->error(QString::fromStdString(*message));
        return;
    }
    const WaitCursor wait;
    processPendingMessages();
    try {
        countAndReport();
    } catch (const tessivo::RunCancelled&) {
        // The user's choice: nothing to report, and the last report stays.
    }
}

// A cancelled or failed count leaves the document's last count, and so the
// report and the plots, as they were.
void TfrmMain::countAndReport()
{
    RunProgress progress(this, m_seams.progressObserver, m_seams.progressClock);
    CountHooks options;
    options.notice = [this, &progress](const std::string& text) {
        progress.close();
        m_notifier->information(QString::fromStdString(text), matrixAppliedDetail(m_document->run().SeqLength));
    };
    options.processMessages = processPendingMessages;
    options.progress = [&progress](std::int64_t done, std::int64_t total) { return progress.update(done, total); };
    m_document->count(options);
}

void TfrmMain::showCount()
{
    reReport->writeAtOnce([&] {
        m_document->writeReport(*reReport, reportDecimalSeparator());
        fitTabStopsToText(*reReport->document());
    });
    m_markedRow = 0;
    highlightReportLine(0);
    btSpectrumPlot->setEnabled(true);
    btFatigue->setEnabled(true);
}
