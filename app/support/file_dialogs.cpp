#include "support/file_dialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

constexpr int kDialogWidth = 820;
constexpr int kDialogHeight = 520;

void hideCompletionLists(const QFileDialog& dialog)
{
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (QCompleter* completer = edit->completer(); completer && completer->popup())
            completer->popup()->hide();
    }
}

} // namespace

void prepareFileDialog(QFileDialog& dialog)
{
    dialog.resize(dialog.size().expandedTo(QSize(kDialogWidth, kDialogHeight)));
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&dialog] { hideCompletionLists(dialog); });
}

QString proposedFileName(const QString& sequencePath, const QString& suffix)
{
    const QString base = QFileInfo(sequencePath).completeBaseName();
    return (base.isEmpty() ? QStringLiteral("report") : base) + u'.' + suffix;
}

void proposeSaveTarget(QFileDialog& dialog, const QString& sequencePath, const QString& suffix)
{
    if (!sequencePath.isEmpty())
        dialog.setDirectory(QFileInfo(sequencePath).absolutePath());
    dialog.selectFile(proposedFileName(sequencePath, suffix));
}
