#pragma once
// The folder that receives the work files, with its trailing separator, and
// its lock: two running copies never share a work folder.

#include <QString>
#include <memory>

namespace tessivo {
class WorkFolderLock;
}

// The executable's folder when it is writable, else the per-user data
// folder (created when missing): a program installed under /usr still works.
QString resolveWorkDir();

// The choice itself: exeDir when writable, else fallback; both end in "/".
QString chooseWorkDir(const QString& exeDir, const QString& fallback);

// How many folders of their own further running copies may use.
inline constexpr int kMaxInstanceFolders = 99;

struct ClaimedWorkFolder {
    QString dir; // ends in "/"
    std::unique_ptr<tessivo::WorkFolderLock> lock;
};

// `preferred` (created when missing) when no other running copy holds its
// lock, else the first of instanceBase + "/instance-2", "/instance-3", ...
// whose lock can be taken; the lock is held until the result is destroyed.
// A folder whose lock file cannot be created counts as taken. Throws AppError
// with the "in use" message of `preferred` when no folder is left.
ClaimedWorkFolder claimWorkFolder(const QString& preferred, const QString& instanceBase);

// The per-user data folder, the base of the further copies' folders.
QString instanceFolderBase();
