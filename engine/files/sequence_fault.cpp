#include "engine/files/sequence_fault.h"

#include "engine/numbers/decimal_parser.h"
#include "engine/record/io_error.h"
#include "engine/system/file_system.h"

#include <cerrno>

namespace tessivo {

SequenceFault findSequenceFault(const std::string& fileName)
{
    const int fd = os::openForReading(fileName, 0);
    if (fd < 0)
        throwIoError(errno, fileName);
    SequenceFault fault;
    DecimalParser parser;
    std::int64_t line = 1;
    bool inToken = false;
    bool tokenBad = false;
    char previous = 0;
    char buffer[65536];
    // Ends the token under way; true when it was not a number.
    const auto endToken = [&] {
        long double value = 0.0L;
        const bool bad = inToken && (tokenBad || !parser.finish(value));
        inToken = false;
        return bad;
    };
    bool ctrlZ = false;
    while (!ctrlZ) {
        const std::ptrdiff_t n = os::readSome(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int code = errno;
            os::closeFile(fd);
            throwIoError(code, fileName);
        }
        if (n == 0)
            break;
        for (std::ptrdiff_t i = 0; i < n && !ctrlZ; ++i) {
            const char c = buffer[i];
            const auto u = static_cast<unsigned char>(c);
            if (u == 26 || u <= 32) {
                if (endToken()) {
                    os::closeFile(fd);
                    fault.line = line;
                    return fault;
                }
                ctrlZ = u == 26;
                if (c == '\n' || (previous == '\r' && c != '\n'))
                    ++line;
                previous = c;
                continue;
            }
            if (previous == '\r')
                ++line; // a carriage return alone ends a line too
            previous = c;
            if (!inToken) {
                inToken = true;
                tokenBad = false;
                parser.reset();
                fault.token.clear();
                fault.truncated = false;
            }
            if (fault.token.size() < kMaxFaultToken)
                fault.token += c;
            else
                fault.truncated = true;
            if (!tokenBad && !parser.feed(c))
                tokenBad = true;
        }
    }
    os::closeFile(fd);
    if (endToken())
        fault.line = line;
    else
        fault.token.clear();
    return fault;
}

} // namespace tessivo
