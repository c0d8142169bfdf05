#pragma once
// Keeps a work folder to one running copy of the program: two copies that
// shared one would count each other's sequences and overwrite each other's
// work files. The lock is an advisory lock on a file in the folder, released
// when the holder ends, however it ends.

#include <memory>
#include <string>

namespace tessivo {

class WorkFolderLock {
public:
    // The lock of dir, or nullptr when another running copy holds it.
    // Throws IoError when the lock file cannot be created.
    static std::unique_ptr<WorkFolderLock> tryAcquire(const std::string& dir);
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

private:
    explicit WorkFolderLock(int fd) : m_fd(fd) {}
    int m_fd;
};

inline constexpr const char* kWorkFolderLockFile = ".tessivo.lock";

} // namespace tessivo
