// The Import command of the main window: one column of a table as the
// sequence, exactly as Open makes a plain file the sequence.
#include "main_window/main_window.h"

#include "support/wait_cursor.h"

#include "engine/tables/table_error.h"
#include "import/import_settings.h"
#include "import/table_import_dialog.h"
#include "engine/run/errors.h"

#include <QApplication>
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
            imported = m_document->importColumn(fileName, *dialog.layout(), dialog.column());
        } catch (const tessivo::TableFormatError& e) {
            // A fault of the table is the user's to mend: its message names the place.
            m_notifier->error(QString::fromUtf8(e.what()));
            return;
        }
    }
    if (!imported) {
        m_notifier->error(QString::fromUtf8(tessivo::kIncorrectSequenceFile));
        return;
    }
    storeImportChoices(dialog.choices(), storePath());
}
