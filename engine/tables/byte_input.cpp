#include "engine/tables/byte_input.h"

#include "engine/tables/table_error.h"
#include "engine/record/io_error.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace tessivo {
namespace {

bool startsWithGzipSignature(int fd)
{
    unsigned char magic[2] = {0, 0};
    const ssize_t n = ::pread(fd, magic, 2, 0);
    return n == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

// zlib names the stream "<fd:4>" before its reason; the message names the file itself.
std::string zlibReason(const char* message)
{
    std::string reason = message != nullptr ? message : "";
    if (reason.rfind("<fd:", 0) == 0) {
        const std::size_t colon = reason.find(": ");
        reason.erase(0, colon == std::string::npos ? reason.size() : colon + 2);
    }
    return reason.empty() ? "cut short" : reason;
}

} // namespace

ByteInput::ByteInput(std::string path) : m_path(std::move(path))
{
    m_fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        throwIoError(errno, m_path);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(m_fd);
        throwIoError(code, m_path);
    }
    if (!startsWithGzipSignature(m_fd))
        return;
    const int gzFd = ::dup(m_fd);
    gzFile gz = gzFd >= 0 ? gzdopen(gzFd, "rb") : nullptr;
    if (!gz) {
        const int code = errno != 0 ? errno : ENOMEM;
        if (gzFd >= 0)
            ::close(gzFd);
        ::close(m_fd);
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
        ::close(m_fd);
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
            throw TableFormatError(m_path, 0, 0, "", "the compressed data is damaged (" + zlibReason(message) + ")");
        }
        return static_cast<std::size_t>(n);
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, out, max);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throwIoError(errno, m_path);
    }
}

} // namespace tessivo
