#include "engine/files/work_folder_lock.h"

#include "engine/record/io_error.h"
#include "engine/files/work_files.h"
#include "engine/record/run_messages.h"
#include "engine/system/file_system.h"

#include <cerrno>

namespace tessivo {

std::unique_ptr<WorkFolderLock> WorkFolderLock::tryAcquire(const std::string& dir)
{
    const std::string path = workFilePath(dir, kWorkFolderLockFile);
    const int fd = os::openLocked(path);
    if (fd < 0) {
        if (errno == EWOULDBLOCK)
            return nullptr;
        throwIoError(errno, path);
    }
    return std::unique_ptr<WorkFolderLock>(new WorkFolderLock(fd));
}

WorkFolderLock::~WorkFolderLock()
{
    os::closeFile(m_fd); // closing releases the lock
}

} // namespace tessivo
