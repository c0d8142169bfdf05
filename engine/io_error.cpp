#include "io_error.h"

#include <cerrno>

namespace tessivo {

std::string ioErrorMessage(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENODEV: // not a regular file: a FIFO or a device
    case ELOOP: // a symbolic link where a work file belongs is refused
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

IoError::IoError(int code, std::string path)
    : std::runtime_error(ioErrorMessage(code)), m_code(code), m_path(std::move(path))
{
}

void throwIoError(int code, const std::string& path)
{
    throw IoError(code, path);
}

} // namespace tessivo
