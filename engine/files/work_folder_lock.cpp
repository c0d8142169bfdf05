#include "engine/files/work_folder_lock.h"

#include "engine/record/io_error.h"
#include "engine/files/work_files.h"
#include "engine/record/run_messages.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tessivo {

std::unique_ptr<WorkFolderLock> WorkFolderLock::tryAcquire(const std::string& dir)
{
    const std::string path = workFilePath(dir, kWorkFolderLockFile);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        throwIoError(errno, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK)
            return nullptr;
        throwIoError(code, path);
    }
    return std::unique_ptr<WorkFolderLock>(new WorkFolderLock(fd));
}

WorkFolderLock::~WorkFolderLock()
{
    ::close(m_fd); // closing releases the lock
}

} // namespace tessivo
