#include "support/file_saving.h"

#include "support/app_error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString kSaveFailedMessage = QStringLiteral("Failed to Save Stream");
} // namespace

QString cannotCreateFileMessage(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QFileInfo(fileName).absoluteFilePath(), reason);
}

void saveFileContent(const QString& fileName, const QByteArray& content)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(cannotCreateFileMessage(fileName, file.errorString()));
    if (file.write(content) != content.size() || !file.commit())
        throw AppError(kSaveFailedMessage);
}
