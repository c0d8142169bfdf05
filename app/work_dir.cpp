#include "work_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString withSeparator(QString dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}
} // namespace

QString chooseWorkDir(const QString& exeDir, const QString& fallback)
{
    const QFileInfo info(exeDir);
    if (info.isDir() && info.isWritable())
        return withSeparator(exeDir);
    QDir().mkpath(fallback);
    return withSeparator(fallback);
}

QString resolveWorkDir()
{
    return chooseWorkDir(QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}
