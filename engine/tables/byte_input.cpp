#include "engine/tables/byte_input.h"

#include "engine/tables/table_error.h"
#include "engine/record/io_error.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <climits>
#include <zlib.h>

namespace tessivo {
namespace {

bool startsWithGzipSignature(int fd)
{
    unsigned char magic[2] = {0, 0};
    const std::ptrdiff_t n = os::readAt(fd, magic, 2, 0);
    return n == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

} // namespace

ByteInput::ByteInput(std::string path) : m_path(std::move(path))
{
    m_fd = os::openForReading(m_path, 0);
    if (m_fd < 0)
        throwIoError(errno, m_path);
    os::FileStatus st;
    if (os::statusOf(m_fd, st) != 0 || st.kind == os::FileKind::Folder) {
        const int code = st.kind == os::FileKind::Folder ? EISDIR : errno;
        os::closeFile(m_fd);
        throwIoError(code, m_path);
    }
    if (!startsWithGzipSignature(m_fd))
        return;
    const int gzFd = os::duplicate(m_fd);
    gzFile gz = gzFd >= 0 ? gzdopen(gzFd, "rb") : nullptr;
    if (!gz) {
        const int code = errno != 0 ? errno : ENOMEM;
        if (gzFd >= 0)
            os::closeFile(gzFd);
        os::closeFile(m_fd);
        throwIoError(code, m_path);
    }
    gzbuffer(gz, 1 << 17);
    m_gz = gz;
}

ByteInput::~ByteInput()
{
    if (m_gz)
        gzclose_r(static_cast<gzFile>(m_gz));
    if (m_fd >= 0)
        os::closeFile(m_fd);
}

std::size_t ByteInput::read(char* out, std::size_t max)
{
    if (max > INT_MAX / 2)
        max = INT_MAX / 2;
    if (m_gz) {
        auto gz = static_cast<gzFile>(m_gz);
        const int n = gzread(gz, out, static_cast<unsigned>(max));
        int code = Z_OK;
        const char* message = gzerror(gz, &code);
        if (n < 0 || (code != Z_OK && code != Z_STREAM_END)) {
            if (code == Z_ERRNO)
                throwIoError(errno != 0 ? errno : EIO, m_path);
            throw TableFormatError(m_path, 0, 0, "",
                                   std::string("the compressed data is damaged (") + message + ")");
        }
        return static_cast<std::size_t>(n);
    }
    for (;;) {
        const std::ptrdiff_t n = os::readSome(m_fd, out, max);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throwIoError(errno, m_path);
    }
}

} // namespace tessivo
