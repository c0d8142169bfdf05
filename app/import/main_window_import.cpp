// The Import command of the main window: one column of a table as the
// sequence, exactly as Open makes a plain file the sequence.
#include "main_window.h"

#include "engine/tables/table_error.h"
#include "engine/tables/table_sequence.h"
#include "engine/tables/time_column.h"
#include "import/import_settings.h"
#include "import/table_import_command.h"
#include "import/table_import_dialog.h"
#include "engine/run/errors.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

const QString kTableFileFilter = QStringLiteral("Tables (*.csv *.txt *.dat *.out *.tsv *.gz);;All files (*)");

} // namespace

QString incorrectSequenceMessage(const std::string& path)
{
    QString message = QString::fromUtf8(tessivo::kIncorrectSequenceFile);
    if (tessivo::readsAsTable(path))
        message += QStringLiteral("\nThe file looks like a table of columns: Import... reads it.");
    return message;
}

QString importedLabel(const QString& fileName, const QString& column)
{
    return fileName + QStringLiteral(" : ") + column;
}

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
    QDir().mkpath(m_workDir);
    tessivo::TableColumnRef ref;
    ref.path = QFile::encodeName(fileName).toStdString();
    ref.layout = *dialog.layout();
    ref.column = static_cast<std::size_t>(dialog.column());
    // As with Open, a column that cannot be read leaves the sequence loaded before.
    tessivo::OpenOutcome outcome = tessivo::OpenOutcome::Incorrect;
    {
        const WaitCursor wait;
        try {
            outcome = tessivo::openTableColumn(*m_run, ref, QFile::encodeName(m_workDir).toStdString());
        } catch (const tessivo::TableFormatError& e) {
            // A fault of the table is the user's to mend: its message names the place.
            m_notifier->error(QString::fromUtf8(e.what()));
            return;
        }
    }
    if (outcome != tessivo::OpenOutcome::Ok) {
        m_notifier->error(QString::fromUtf8(tessivo::kIncorrectSequenceFile));
        return;
    }
    storeImportChoices(dialog.choices(), storePath());
    showOpenedSequence(fileName, importedLabel(fileName, dialog.columnName()));
    // A first column of rising numbers is time: the load history tells it for the marked cycles.
    if (ref.column != 0) {
        const WaitCursor wait;
        if (auto times = tessivo::readTimeColumn(ref.path, ref.layout);
            times && static_cast<std::int64_t>(times->size()) == m_run->Sequences[1].Points)
            m_importedTimes = std::make_shared<const std::vector<long double>>(std::move(*times));
    }
}
