#include "engine/system/file_system.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessivo::os {
namespace {

void fill(const struct stat& st, FileStatus& status)
{
    status.kind = S_ISREG(st.st_mode) ? FileKind::Regular : S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Other;
    status.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

} // namespace

int openForReading(const std::string& path, unsigned options)
{
    int flags = O_RDONLY | O_CLOEXEC;
    if (options & kNoFollow)
        flags |= O_NOFOLLOW;
    if (options & kNoWait)
        flags |= O_NONBLOCK;
    return ::open(path.c_str(), flags);
}

int createForWriting(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
}

int openLocked(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return -1;
    }
    return fd;
}

// $TMPDIR as it stands, so that a folder that cannot take the files is
// reported rather than passed over.
int openScratchFile(const std::string& prefix, std::string& path)
{
    const char* dir = std::getenv("TMPDIR");
    path = (dir != nullptr && *dir != '\0' ? std::string(dir) : std::string("/tmp")) + "/" + prefix + "XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd >= 0)
        ::unlink(path.c_str());
    return fd;
}

std::ptrdiff_t readSome(int fd, void* out, std::size_t size)
{
    return ::read(fd, out, size);
}

std::ptrdiff_t readAt(int fd, void* out, std::size_t size, std::uint64_t offset)
{
    return ::pread(fd, out, size, static_cast<off_t>(offset));
}

std::ptrdiff_t writeSome(int fd, const void* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int seekTo(int fd, std::uint64_t offset)
{
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0 ? -1 : 0;
}

int duplicate(int fd)
{
    return ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
}

int closeFile(int fd)
{
    return ::close(fd);
}

int statusOf(int fd, FileStatus& status)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return -1;
    fill(st, status);
    return 0;
}

int statusOfPath(const std::string& path, FileStatus& status)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    fill(st, status);
    return 0;
}

int replaceFile(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str());
}

int removeFile(const std::string& path)
{
    return ::unlink(path.c_str());
}

std::string userDataFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/')
        return std::string(data) + "/Tessivo";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return std::string(home) + "/.local/share/Tessivo";
    return {};
}

void useBinaryStandardStreams() {}

std::filesystem::path nativePath(const std::string& path)
{
    return std::filesystem::path(path);
}

} // namespace tessivo::os
