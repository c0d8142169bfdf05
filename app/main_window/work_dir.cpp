#include "main_window/work_dir.h"

#include "support/app_error.h"
#include "engine/run/errors.h"
#include "engine/run/work_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString withSeparator(QString dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

std::unique_ptr<tessivo::WorkFolderLock> tryLock(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return nullptr;
    try {
        return tessivo::WorkFolderLock::tryAcquire(QFile::encodeName(dir).toStdString());
    } catch (const tessivo::IoError&) {
        return nullptr;
    }
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

QString instanceFolderBase()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString resolveWorkDir()
{
    return chooseWorkDir(QCoreApplication::applicationDirPath(), instanceFolderBase());
}

ClaimedWorkFolder claimWorkFolder(const QString& preferred, const QString& instanceBase)
{
    const QString first = withSeparator(preferred);
    ClaimedWorkFolder claimed;
    claimed.dir = first;
    claimed.lock = tryLock(claimed.dir);
    for (int n = 2; !claimed.lock && n <= kMaxInstanceFolders + 1; ++n) {
        claimed.dir = withSeparator(instanceBase) + QStringLiteral("instance-%1/").arg(n);
        claimed.lock = tryLock(claimed.dir);
    }
    if (!claimed.lock)
        throw AppError(QString::fromStdString(tessivo::workFolderInUseMessage(first.toStdString())));
    return claimed;
}
