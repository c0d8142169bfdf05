// The table commands of the main window: Import, one column of a table as
// the sequence, exactly as Open makes a plain file the sequence; Channels,
// every column counted at once, a channel opened from the list as Import
// would open it.
#include "main_window/main_window.h"

#include "support/wait_cursor.h"

#include "engine/tables/table_error.h"
#include "import/import_settings.h"
#include "import/table_import_dialog.h"
#include "engine/run/errors.h"
#include "main_window/run_progress.h"
#include "channels/channel_list_window.h"
#include "edit_float.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>

namespace {

const QString kTableFileFilter = QStringLiteral("Tables (*.csv *.txt *.dat *.out *.tsv *.gz);;All files (*)");

} // namespace

void TfrmMain::btImportTableClick()
{
    runCommand([this] {
        if (const QString fileName = chooseFileToOpen(kTableFileFilter); !fileName.isEmpty())
            importTableFile(fileName);
    });
}

void TfrmMain::importTableFile(const QString& fileName)
{
    TableImportDialog dialog(fileName, loadImportChoices(storePath()), this);
    if (!runModal(dialog) || !dialog.layout() || dialog.column() < 0)
        return;
    // As with Open, a column that cannot be read leaves the sequence loaded before.
    bool imported = false;
    {
        const WaitCursor wait;
        try {
            imported = readColumnWaiting(fileName, *dialog.layout(), dialog.column());
        } catch (const tessivo::TableFormatError& e) {
            // A fault of the table is the user's to mend: its message names the place.
            m_notifier->error(QString::fromUtf8(e.what()));
            return;
        } catch (const tessivo::RunCancelled&) {
            return; // the user's choice: the sequence before stays
        }
    }
    if (!imported) {
        m_notifier->error(QString::fromUtf8(tessivo::kIncorrectSequenceFile));
        return;
    }
    storeImportChoices(dialog.choices(), storePath());
}

// The window keeps painting while the table is read off its thread; the
// progress and Cancel are those of a count.
bool TfrmMain::readColumnWaiting(const QString& fileName, const tessivo::TableLayout& layout, int column)
{
    RunProgress progress(this, m_seams.progressObserver, m_seams.progressClock);
    progress.showReading();
    QEventLoop loop;
    const auto stepped =
        connect(m_document, &CountDocument::importProgress, this, [this, &progress](qint64 done, qint64 total) {
            if (!progress.step(done, total))
                m_document->cancelImport();
        });
    const auto finished = connect(m_document, &CountDocument::importFinished, &loop, &QEventLoop::quit);
    m_document->startImport(fileName, layout, column);
    loop.exec();
    disconnect(stepped);
    disconnect(finished);
    progress.close();
    return m_document->importResult();
}

void TfrmMain::btChannelsClick()
{
    runCommand([this] {
        const QString fileName = chooseFileToOpen(kTableFileFilter);
        if (fileName.isEmpty())
            return;
        ControlsToRun();
        if (!m_channelWindow) {
            m_channelWindow = new ChannelListWindow(
                this, [this](const QString& text) { m_notifier->generalError(text); }, edFilter->decimalSeparator());
            connect(m_channelWindow, &ChannelListWindow::channelChosen, this, &TfrmMain::openChannel);
        }
        m_channelWindow->show();
        m_channelWindow->raise();
        m_channelWindow->countFile(fileName, m_document->countRequest());
    });
}

void TfrmMain::openChannel(const ChannelFigures& channel)
{
    runCommand([this, ref = channel.ref] {
        const QString fileName = QFile::decodeName(QByteArray::fromStdString(ref.path));
        bool imported = false;
        try {
            imported = readColumnWaiting(fileName, ref.layout, static_cast<int>(ref.column));
        } catch (const tessivo::RunCancelled&) {
            return;
        }
        if (!imported) {
            m_notifier->error(QString::fromUtf8(tessivo::kIncorrectSequenceFile));
            return;
        }
        activateWindow();
        raise();
        // Counted as Execute counts, with the parameters the window shows.
        countWithControls();
    });
}
