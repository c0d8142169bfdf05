#include "engine/tables/byte_input.h"

#include "engine/tables/table_error.h"
#include "engine/record/io_error.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <algorithm>
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
    m_fd = os::openForReading(m_path, 0);
    if (m_fd < 0)
        throwIoError(errno, m_path);
    os::FileStatus st;
    if (os::statusOf(m_fd, st) != 0 || st.kind == os::FileKind::Folder) {
        const int code = st.kind == os::FileKind::Folder ? EISDIR : errno;
        os::closeFile(m_fd);
        throwIoError(code, m_path);
    }
    m_fileSize = static_cast<std::int64_t>(st.size);
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

std::int64_t ByteInput::fileOffset() const
{
    if (m_gz) {
        const auto offset = gzoffset(static_cast<gzFile>(m_gz));
        return offset < 0 ? 0 : static_cast<std::int64_t>(offset);
    }
    return m_rawRead;
}

std::size_t ByteInput::read(char* out, std::size_t max)
{
    if (!m_started) {
        m_started = true;
        char mark[2];
        std::size_t n = 0;
        for (std::size_t got = 1; n < 2 && got > 0; n += got)
            got = readRaw(mark + n, 2 - n);
        const bool little = n == 2 && mark[0] == '\xFF' && mark[1] == '\xFE';
        m_bigEndian = n == 2 && mark[0] == '\xFE' && mark[1] == '\xFF';
        m_utf16 = little || m_bigEndian;
        if (!m_utf16)
            m_head.assign(mark, n);
    }
    if (!m_head.empty() && max > 0) {
        const std::size_t n = std::min(max, m_head.size());
        m_head.copy(out, n);
        m_head.erase(0, n);
        return n;
    }
    return m_utf16 ? readUtf16(out, max) : readRaw(out, max);
}

namespace {

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

// Converts whole code units (and surrogate pairs) of the raw bytes; a lone
// surrogate becomes U+FFFD, so nothing is dropped without a trace.
std::size_t ByteInput::readUtf16(char* out, std::size_t max)
{
    while (m_decoded.empty()) {
        char piece[65536];
        const std::size_t n = readRaw(piece, sizeof piece);
        m_raw.append(piece, n);
        const auto unit = [&](std::size_t i) {
            const auto a = static_cast<unsigned char>(m_raw[i]);
            const auto b = static_cast<unsigned char>(m_raw[i + 1]);
            return static_cast<std::uint32_t>(m_bigEndian ? (a << 8) | b : (b << 8) | a);
        };
        std::size_t i = 0;
        for (; i + 1 < m_raw.size(); i += 2) {
            const std::uint32_t c = unit(i);
            if (c >= 0xD800 && c < 0xDC00) {
                if (i + 3 >= m_raw.size() && n > 0)
                    break; // its pair comes with the next piece
                const std::uint32_t low = i + 3 < m_raw.size() ? unit(i + 2) : 0;
                if (low >= 0xDC00 && low < 0xE000) {
                    appendUtf8(m_decoded, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            appendUtf8(m_decoded, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
        }
        m_raw.erase(0, i);
        if (n == 0) {
            if (!m_raw.empty())
                appendUtf8(m_decoded, 0xFFFD); // an odd byte at the end
            m_raw.clear();
            if (m_decoded.empty())
                return 0;
        }
    }
    const std::size_t n = std::min(max, m_decoded.size());
    m_decoded.copy(out, n);
    m_decoded.erase(0, n);
    return n;
}

std::size_t ByteInput::readRaw(char* out, std::size_t max)
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
        const std::ptrdiff_t n = os::readSome(m_fd, out, max);
        if (n >= 0) {
            m_rawRead += n;
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR)
            throwIoError(errno, m_path);
    }
}

} // namespace tessivo
