#include "engine/files/regular_file.h"

#include "engine/record/io_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessivo {

int openRegularFile(const std::string& path, int flags)
{
    // O_NONBLOCK keeps the open of a FIFO without writer from waiting; it
    // changes nothing for the regular files that pass the check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | flags);
    if (fd < 0)
        throwIoError(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        throwIoError(code, path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throwIoError(S_ISDIR(st.st_mode) ? EISDIR : ENODEV, path);
    }
    return fd;
}

} // namespace tessivo
