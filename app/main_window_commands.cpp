// The Open and Execute commands of the main window.
#include "main_window.h"

#include "edit_float.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/report_builder.h"
#include "import/table_import_command.h"
#include "message_details.h"
#include "report_pane.h"
#include "engine/run/count.h"
#include "engine/run/errors.h"
#include "run_progress.h"
#include "engine/run/loading.h"
#include "tab_stop_fitting.h"
#include "spectrum_plot_window.h"

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

// The hourglass over the application until the command ends, however it ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

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
    QDir().mkpath(m_workDir);
    // A rejected file leaves the sequence loaded before, its work file and
    // the totals untouched, so the label, the report and Execute still
    // describe what Execute would count.
    const auto outcome = tessivo::openSequence(*m_run, pathOf(fileName), pathOf(m_workDir), processPendingMessages);
    if (outcome != tessivo::OpenOutcome::Ok) {
        m_notifier->error(incorrectSequenceMessage(pathOf(fileName)), incorrectSequenceDetail(fileName));
        return;
    }
    showOpenedSequence(fileName, fileName);
}

void TfrmMain::showOpenedSequence(const QString& fileName, const QString& label)
{
    btExecute->setEnabled(true);
    m_importedTimes.reset(); // Import sets it again after this
    // The plots belong to the report that this Open replaces.
    btSpectrumPlot->setEnabled(false);
    btFatigue->setEnabled(false);
    reReport->clear();
    tessivo::WriteSpectrumCharacteristics(*reReport, *m_run, reportDecimalSeparator());
    fitTabStopsToText(*reReport->document());
    showSequenceFile(label);
    m_reportHeader = ReportHeader{};
    m_reportHeader.sequenceFile = label;
    m_lastDir = QFileInfo(fileName).absolutePath();
}

void TfrmMain::btExecuteClick()
{
    runCommand([this] {
        ControlsToRun();
        // A typed text that names none of the items would otherwise count
        // in 32 classes without a word.
        if (cbLoadBinSize->findText(cbLoadBinSize->currentText(), Qt::MatchExactly) < 0) {
            m_notifier->error(unknownBinSizeMessage(*cbLoadBinSize));
            return;
        }
        if (const auto message = tessivo::checkParameters(*m_run)) {
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
    });
}

// The count goes into a table of its own, which replaces the window's only
// when it is complete: the table, the report and the plots always belong
// together, whether a run is cancelled or fails.
void TfrmMain::countAndReport()
{
    RunProgress progress(this, m_seams.progressObserver, m_seams.progressClock);
    tessivo::CountHooks hooks;
    hooks.notice = [this, &progress](const std::string& text) {
        progress.close();
        m_notifier->information(QString::fromStdString(text), matrixAppliedDetail(m_run->SeqLength));
    };
    hooks.processMessages = processPendingMessages;
    hooks.progress = [&progress](std::int64_t done, std::int64_t total) { return progress.update(done, total); };
    const std::string decimalSeparator = reportDecimalSeparator();
    QDir().mkpath(m_workDir);
    // The request is the controls' parameters in the run record, counted from the work files.
    tessivo::CountRequest request = tessivo::requestOf(*m_run);
    request.workDir = pathOf(m_workDir);
    tessivo::CountResult counted = tessivo::count(request, tessivo::CountInputs::loadedSlots(*m_run), hooks);
    progress.close();
    const tessivo::RunResult result = counted.result();
    m_cycleCount = counted.cycleCount();
    m_table = counted.takeTable();
    reReport->writeAtOnce([&] {
        tessivo::WriteCountReport(*reReport, *m_run, *m_table, m_cycleCount, decimalSeparator);
        fitTabStopsToText(*reReport->document());
    });
    const bool usedLoadBins = m_run->UseLoadBins || result == tessivo::RunResult::MatrixApplied;
    m_reportHeader.counted = true;
    m_reportHeader.filterSize = m_run->FilterSize;
    m_reportHeader.normalize = m_run->Normalize;
    m_reportHeader.useLoadBins = m_run->UseLoadBins;
    m_reportHeader.switchedToBins = result == tessivo::RunResult::MatrixApplied;
    m_reportHeader.binCount = m_run->BinCount;
    m_reportHeader.decomposition = m_run->Decomposition;
    m_reportHeader.sequenceLength = m_run->SeqLength;
    m_plotData = buildSpectrumPlotData(*m_run, *m_table, m_cycleCount, usedLoadBins);
    m_signalSource = signalSourceOf(*m_run, pathOf(m_workDir), usedLoadBins);
    if (m_importedTimes && static_cast<std::int64_t>(m_importedTimes->size()) == m_run->SeqLength)
        m_signalSource.times = m_importedTimes;
    m_markedRow = 0;
    m_markCache = std::make_unique<CycleMarkCache>(m_signalSource);
    btSpectrumPlot->setEnabled(true);
    if (m_plotWindow) {
        m_plotWindow->setData(m_plotData, plotSource());
        m_plotWindow->setSignal(m_signalSource);
        m_plotWindow->setMatrixCycles([this] { return countedCycles(); });
        m_plotWindow->setDescription(reportSummary(m_reportHeader, edFilter->decimalSeparator()));
    }
    btFatigue->setEnabled(true);
    if (m_fatigueWindow)
        updateFatigueWindow();
}
