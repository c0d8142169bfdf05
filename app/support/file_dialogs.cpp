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

namespace {

// Letters, digits, "-" and "." as they are; any other run of characters one "_".
QString fileNamePart(const QString& text)
{
    QString out;
    for (const QChar c : text.trimmed()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'.')
            out += c;
        else if (!out.endsWith(u'_'))
            out += u'_';
    }
    while (out.endsWith(u'_'))
        out.chop(1);
    return out;
}

} // namespace

QString proposedBaseName(const QString& sequenceLabel, const QString& what)
{
    // A table's column is labelled "FILE : COLUMN".
    const qsizetype column = sequenceLabel.lastIndexOf(QStringLiteral(" : "));
    const QString path = column < 0 ? sequenceLabel : sequenceLabel.left(column);
    QStringList parts{QFileInfo(path).completeBaseName()};
    if (column >= 0)
        parts << fileNamePart(sequenceLabel.mid(column + 3));
    if (!what.isEmpty())
        parts << fileNamePart(what.toLower());
    parts.removeAll(QString());
    return parts.isEmpty() ? QStringLiteral("report") : parts.join(u'_');
}

QString proposedFileName(const QString& sequenceLabel, const QString& suffix)
{
    return proposedBaseName(sequenceLabel, {}) + u'.' + suffix;
}

void proposeSaveTarget(QFileDialog& dialog, const QString& sequencePath, const QString& suffix)
{
    if (!sequencePath.isEmpty())
        dialog.setDirectory(QFileInfo(sequencePath).absolutePath());
    dialog.selectFile(proposedFileName(sequencePath, suffix));
}
