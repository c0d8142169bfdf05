// The Open and Execute commands of the main window.
#include "main_window.h"

#include "edit_float.h"
#include "parameter_checks.h"
#include "report_builder.h"
#include "report_pane.h"
#include "run_control.h"
#include "run_messages.h"
#include "sequence_loading.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
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

std::string pathOf(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

} // namespace

std::string TfrmMain::reportDecimalSeparator() const
{
    return QString(edFilter->decimalSeparator()).toStdString();
}

void TfrmMain::btOpenSeqFileClick()
{
    runCommand([this] {
        dlgOpenSeq->setNameFilter(kSequenceFileFilter);
        if (!runModal(*dlgOpenSeq))
            return;
        const QString fileName = dlgOpenSeq->selectedFiles().value(0);
        if (fileName.isEmpty())
            return;
        QDir().mkpath(m_workDir);
        // A rejected file leaves the sequence loaded before, its work file and
        // the totals untouched, so the label, the report and Execute still
        // describe what Execute would count.
        const auto outcome = tessivo::openSequence(*m_run, pathOf(fileName), pathOf(m_workDir), processPendingMessages);
        if (outcome != tessivo::OpenOutcome::Ok) {
            m_notifier->error(QString::fromUtf8(tessivo::kIncorrectSequenceFile));
            return;
        }
        btExecute->setEnabled(true);
        reReport->clear();
        tessivo::WriteSpectrumCharacteristics(*reReport, *m_run, reportDecimalSeparator());
        lbSeqFile->setText(fileName);
    });
}

void TfrmMain::btExecuteClick()
{
    runCommand([this] {
        ControlsToRun();
        if (const auto message = tessivo::checkParameters(*m_run)) {
            m_notifier->error(QString::fromStdString(*message));
            return;
        }
        const WaitCursor wait;
        processPendingMessages();
        tessivo::ExecuteOptions options;
        options.notice = [this](const std::string& text) { m_notifier->information(QString::fromStdString(text)); };
        options.processMessages = processPendingMessages;
        options.decimalSeparator = reportDecimalSeparator();
        QDir().mkpath(m_workDir);
        tessivo::executeCount(*m_run, *m_table, m_cycleCount, pathOf(m_workDir), *reReport, options);
    });
}
