#include "engine/signal/work_file_range.h"

#include "engine/record/io_error.h"
#include "engine/files/regular_file.h"
#include "engine/numbers/work_notation.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <string_view>

namespace tessivo {

WorkFileRange::WorkFileRange(std::string path) : m_path(std::move(path))
{
    m_fd = openRegularFile(m_path, os::kNoFollow);
}

WorkFileRange::~WorkFileRange()
{
    if (m_fd >= 0)
        os::closeFile(m_fd);
}

void WorkFileRange::read(std::int64_t first, std::int64_t count, std::vector<double>& out)
{
    out.clear();
    if (count <= 0)
        return;
    std::string bytes(static_cast<std::size_t>(count) * kWorkLineWidth, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::ptrdiff_t n =
            os::readAt(m_fd, bytes.data() + got, bytes.size() - got,
                       static_cast<std::uint64_t>(first * kWorkLineWidth + static_cast<std::int64_t>(got)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwIoError(errno, m_path);
        if (n == 0)
            throwIoError(EIO, m_path); // shorter than the sequence it held
        got += static_cast<std::size_t>(n);
    }
    out.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const char* line = bytes.data() + i * kWorkLineWidth;
        long double v = 0.0L;
        if (line[kWorkValueWidth] != '\r' || line[kWorkValueWidth + 1] != '\n'
            || (!parseCanonicalLine(line, v) && !parseWorkValue(std::string_view(line, kWorkValueWidth), v)))
            throwIoError(EIO, m_path);
        out.push_back(static_cast<double>(v));
    }
}

} // namespace tessivo
