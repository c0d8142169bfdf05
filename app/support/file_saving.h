#pragma once
// Writing a whole file that the user named: the old file is replaced only
// once the new one is complete, so a failed save never leaves half a file.

#include <QByteArray>
#include <QString>

// "Cannot create file "<absolute path>". <reason>"
QString cannotCreateFileMessage(const QString& fileName, const QString& reason);

// Throws AppError: cannotCreateFileMessage when the file cannot be created,
// "Failed to Save Stream" when writing or replacing it fails.
void saveFileContent(const QString& fileName, const QByteArray& content);
