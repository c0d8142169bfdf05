#include "engine/files/work_files.h"

#include "engine/record/io_error.h"
#include "engine/numbers/pad_left.h"
#include "engine/files/regular_file.h"
#include "engine/numbers/work_notation.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <cstring>

namespace tessivo {
namespace {

constexpr std::size_t kBlockSize = 1 << 20;

} // namespace

std::string sequenceSlotFileName(std::int32_t index)
{
    return "$Sequence_" + PadLeft(std::to_string(index), 3, '0') + ".tmp";
}

std::string workFilePath(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir.back() == '/' || (os::kBackslashSeparates && dir.back() == '\\'))
        return dir + name;
    return dir + '/' + name;
}

WorkFileWriter::WorkFileWriter(std::string path) : m_path(std::move(path)), m_buffer(new char[kBlockSize])
{
    // A symbolic link planted where a work file belongs is refused.
    m_fd = os::createForWriting(m_path);
    if (m_fd < 0)
        throwIoError(errno, m_path);
}

WorkFileWriter::~WorkFileWriter()
{
    if (m_fd >= 0)
        os::closeFile(m_fd);
}

void WorkFileWriter::put(long double value)
{
    if (m_used + kWorkLineWidth > kBlockSize)
        flush();
    char* line = m_buffer.get() + m_used;
    formatWorkValue(value, line);
    line[kWorkValueWidth] = '\r';
    line[kWorkValueWidth + 1] = '\n';
    m_used += kWorkLineWidth;
    ++m_written;
}

void WorkFileWriter::putDigits(bool negative, std::uint64_t digits15, int exponent10)
{
    if (m_used + kWorkLineWidth > kBlockSize)
        flush();
    char* line = m_buffer.get() + m_used;
    formatWorkDigits(negative, digits15, exponent10, line);
    line[kWorkValueWidth] = '\r';
    line[kWorkValueWidth + 1] = '\n';
    m_used += kWorkLineWidth;
    ++m_written;
}

void WorkFileWriter::putLine(const char* text)
{
    if (m_used + kWorkLineWidth > kBlockSize)
        flush();
    char* line = m_buffer.get() + m_used;
    std::memcpy(line, text, kWorkValueWidth);
    line[kWorkValueWidth] = '\r';
    line[kWorkValueWidth + 1] = '\n';
    m_used += kWorkLineWidth;
    ++m_written;
}

void WorkFileWriter::flush()
{
    writeAll(m_fd, m_buffer.get(), m_used, m_path);
    m_used = 0;
}

void WorkFileWriter::close()
{
    if (m_fd < 0)
        return;
    flush();
    const int fd = m_fd;
    m_fd = -1;
    if (os::closeFile(fd) != 0)
        throwIoError(errno, m_path);
}

WorkFileReader::WorkFileReader(std::string path) : m_path(std::move(path)), m_buffer(new char[kBlockSize])
{
    // A work file is ours: a symbolic link or a device in its place (which
    // could feed the reader without end) is refused.
    m_fd = openRegularFile(m_path, os::kNoFollow);
}

WorkFileReader::~WorkFileReader()
{
    if (m_fd >= 0)
        os::closeFile(m_fd);
}

bool WorkFileReader::fill()
{
    if (m_eof)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    for (;;) {
        const std::ptrdiff_t n = os::readSome(m_fd, m_buffer.get() + m_end, kBlockSize - m_end);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwIoError(errno, m_path);
        if (n == 0)
            m_eof = true;
        m_end += static_cast<std::size_t>(n);
        return n > 0;
    }
}

bool WorkFileReader::next(long double& value)
{
    bool skipping = false; // inside a line too long for the buffer: never a value
    for (;;) {
        char* begin = m_buffer.get() + m_begin;
        char* nl = static_cast<char*>(std::memchr(begin, '\n', m_end - m_begin));
        if (nl == nullptr) {
            if (m_end - m_begin == kBlockSize) {
                skipping = true;
                m_begin = m_end;
            }
            if (fill())
                continue;
            if (m_begin == m_end)
                return false;
            begin = m_buffer.get() + m_begin; // fill() may have moved the data
            nl = m_buffer.get() + m_end;      // last line without a line break
        }
        const std::string_view line(begin, static_cast<std::size_t>(nl - begin));
        m_begin = std::min(m_end, static_cast<std::size_t>(nl - m_buffer.get()) + 1);
        const bool ownWidth = line.size() == kWorkLineWidth - 1 && line.back() == '\r';
        if (!skipping && ownWidth && parseCanonicalLine(begin, value)) {
            m_canonical = begin;
            return true;
        }
        m_canonical = nullptr;
        if (!skipping && parseWorkValue(line, value))
            return true;
        skipping = false;
    }
}

} // namespace tessivo
