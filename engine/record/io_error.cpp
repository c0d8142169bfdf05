#include "engine/record/io_error.h"
#include "engine/record/run_messages.h"
#include "engine/system/file_system.h"

#include <cerrno>

namespace tessivo {

std::string ioErrorMessage(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return kFileNotFoundMessage;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENODEV: // not a regular file: a FIFO or a device
    case ELOOP:  // a symbolic link where a work file belongs is refused
        return kFileAccessDeniedMessage;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return kDiskFullMessage;
    default:
        return otherIoErrorMessage(code);
    }
}

IoError::IoError(int code, std::string path)
    : std::runtime_error(ioErrorMessage(code))
    , m_code(code)
    , m_path(std::move(path))
{
}

void throwIoError(int code, const std::string& path)
{
    throw IoError(code, path);
}

void writeAll(int fd, const char* data, std::size_t size, const std::string& path)
{
    while (size > 0) {
        const std::ptrdiff_t n = os::writeSome(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwIoError(errno, path);
        }
        if (n == 0)
            throwIoError(kShortWriteCode, path);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace tessivo
