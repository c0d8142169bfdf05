#include "engine/files/regular_file.h"

#include "engine/record/io_error.h"
#include "engine/system/file_system.h"

#include <cerrno>

namespace tessivo {

int openRegularFile(const std::string& path, unsigned options)
{
    // kNoWait keeps the open of a FIFO without writer from waiting; it
    // changes nothing for the regular files that pass the check.
    const int fd = os::openForReading(path, os::kNoWait | options);
    if (fd < 0)
        throwIoError(errno, path);
    os::FileStatus st;
    if (os::statusOf(fd, st) != 0) {
        const int code = errno;
        os::closeFile(fd);
        throwIoError(code, path);
    }
    if (st.kind != os::FileKind::Regular) {
        os::closeFile(fd);
        throwIoError(st.kind == os::FileKind::Folder ? EISDIR : ENODEV, path);
    }
    return fd;
}

} // namespace tessivo
