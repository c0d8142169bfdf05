// The report's outputs (print, copy, save as RTF) and the About window.
#include "main_window/main_window.h"

#include "about/about_window.h"
#include "fatigue/fatigue_window.h"
#include "report/report_with_header.h"
#include "support/file_dialogs.h"
#include "edit_float.h"
#include "support/file_saving.h"
#include "report/report_pane.h"
#include "report/report_printing.h"
#include "report/rtf_writer.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTextDocument>
#include <QPrintDialog>

namespace {

const QString kReportJobName = QStringLiteral("Report");
const QString kRtfFilter = QStringLiteral("Rich Text Format (*.rtf)");
const QString kConfirmSaveTitle = QStringLiteral("Confirm Save As");

QString replaceQuestion(const QString& fileName)
{
    return QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(fileName).fileName());
}

} // namespace

void TfrmMain::Print1Click()
{
    guarded([this] {
        if (!runModal(*dlgPrint))
            return;
        const QString footer =
            m_document->sourceName() + QStringLiteral(" - ") + now().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        printDocument(*reportWithHeader(), *m_printer, kReportJobName, footer);
    });
}

void TfrmMain::Copy1Click()
{
    guarded([this] {
        if (!reReport->textCursor().hasSelection())
            reReport->selectAll();
        reReport->copy();
    });
}

void TfrmMain::Save1Click()
{
    guarded([this] {
        dlgSave->setNameFilter(kRtfFilter);
        dlgSave->setDefaultSuffix(QStringLiteral("rtf"));
        dlgSave->setOption(QFileDialog::DontConfirmOverwrite);
        proposeSaveTarget(*dlgSave, m_document->sequenceLabel(), QStringLiteral("rtf"));
        if (!runModal(*dlgSave))
            return;
        const QString fileName = dlgSave->selectedFiles().value(0);
        if (fileName.isEmpty())
            return;
        // The dialog is told not to ask, so that the question is the same
        // with every platform's dialog and never asked twice.
        if (QFileInfo::exists(fileName) && !m_notifier->question(kConfirmSaveTitle, replaceQuestion(fileName)))
            return;
        saveReport(fileName);
    });
}

// Whatever the name's extension, the file holds RTF. The old file is
// replaced only once the new one is complete.
void TfrmMain::saveReport(const QString& fileName)
{
    saveFileContent(fileName, documentToRtf(*reportWithHeader()));
}

QDateTime TfrmMain::now() const
{
    return m_seams.clock ? m_seams.clock() : QDateTime::currentDateTime();
}

std::unique_ptr<QTextDocument> TfrmMain::reportWithHeader() const
{
    // The fatigue results go with the report they were worked out from.
    const QStringList fatigue = m_fatigueWindow ? m_fatigueWindow->reportLines() : QStringList();
    return documentWithHeader(*reReport->document(),
                              reportHeaderLines(m_document->header(), now(), edFilter->decimalSeparator()), fatigue);
}

void TfrmMain::lbAboutClick()
{
    guarded([this] {
        AboutSeams seams;
        seams.clock = m_seams.clock;
        seams.launcher = m_seams.shellLauncher;
        seams.reportError = [this](const QString& message) { m_notifier->error(message); };
        seams.programDir = m_seams.programDir;
        TfrmAbout about(this, seams);
        runModal(about);
    });
}
