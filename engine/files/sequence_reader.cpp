#include "engine/files/sequence_reader.h"

#include "engine/numbers/plain_decimal.h"
#include "engine/record/io_error.h"
#include "engine/files/regular_file.h"
#include "engine/files/work_files.h"
#include "engine/record/run_messages.h"
#include "engine/record/input_too_large.h"
#include "engine/system/file_system.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <stdexcept>

namespace tessivo {
namespace {

// Below the size from which the allocator maps fresh pages for every buffer
// (it always does when told to hand freed memory straight back, as in Dask's
// workers); larger reads gain nothing measurable.
constexpr std::size_t kBlockSize = 1 << 16;
constexpr char kCtrlZ = 26;

bool isSeparator(unsigned char c)
{
    return c <= 32 && c != kCtrlZ;
}

} // namespace

SequenceFileSource::SequenceFileSource(const std::string& path) : m_path(path), m_buffer(new char[kBlockSize])
{
    m_fd = openRegularFile(m_path, 0);
}

SequenceFileSource::SequenceFileSource(const std::string& path, std::uint64_t from, std::uint64_t to)
    : SequenceFileSource(path)
{
    if (os::seekTo(m_fd, from) != 0)
        throwIoError(errno, m_path);
    m_left = to > from ? to - from : 0;
}

SequenceFileSource::~SequenceFileSource()
{
    if (m_fd >= 0)
        os::closeFile(m_fd);
}

int SequenceFileSource::peek()
{
    if (m_begin == m_end) {
        if (m_ended)
            return -1;
        m_begin = m_end = 0;
        for (;;) {
            const std::ptrdiff_t n = os::readSome(
                m_fd, m_buffer.get(), static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, m_left)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throwIoError(errno, m_path);
            m_end = static_cast<std::size_t>(n);
            m_left -= static_cast<std::uint64_t>(n);
            break;
        }
        if (m_end == 0) {
            m_ended = true;
            return -1;
        }
    }
    const auto c = static_cast<unsigned char>(m_buffer[m_begin]);
    if (c == kCtrlZ) {
        m_ended = true;
        m_ctrlZ = true;
        m_begin = m_end = 0;
        return -1;
    }
    return c;
}

bool SequenceFileSource::next(long double& value)
{
    if (m_malformed)
        return false;
    {
        const char* const base = m_buffer.get();
        const char* p = base + m_begin;
        const char* const stop = base + m_end;
        while (p < stop && isSeparator(static_cast<unsigned char>(*p)))
            ++p;
        m_begin = static_cast<std::size_t>(p - base);
        if (p < stop) {
            WorkDigits digits;
            const char* end = parsePlainDecimal(p, stop, value, digits);
            if (end != nullptr && end != stop && isSeparator(static_cast<unsigned char>(*end))) {
                m_digits = digits;
                m_begin = static_cast<std::size_t>(end - base);
                return true;
            }
        }
    }
    int c = peek();
    while (c >= 0 && isSeparator(static_cast<unsigned char>(c))) {
        advance();
        c = peek();
    }
    if (c < 0)
        return false;
    m_digits = Digits{};
    {
        // A token that ends inside the buffer can be parsed in place.
        const char* begin = m_buffer.get() + m_begin;
        const char* stop = m_buffer.get() + m_end;
        const char* end = begin;
        while (end < stop && !isSeparator(static_cast<unsigned char>(*end)) && *end != kCtrlZ)
            ++end;
        if (end < stop && parseSimpleDecimal(begin, end, value, m_digits)) {
            m_begin += static_cast<std::size_t>(end - begin);
            return true;
        }
        m_digits = Digits{};
    }
    m_parser.reset();
    bool number = true;
    while (c >= 0 && !isSeparator(static_cast<unsigned char>(c))) {
        if (!m_parser.feed(static_cast<char>(c))) {
            number = false;
            break; // the rest of the token is never needed
        }
        advance();
        c = peek();
    }
    if (number && m_parser.finish(value))
        return true;
    m_malformed = true;
    return false;
}

std::size_t SequenceFileSource::nextValues(long double* out, bool* exact, std::size_t max)
{
    std::size_t n = 0;
    while (n < max) {
        // Plain decimals whole inside the buffer without a call each; anything
        // else (a refill, another form, a Ctrl-Z, the end) the way next() goes.
        const char* const base = m_buffer.get();
        const char* p = base + m_begin;
        const char* const stop = base + m_end;
        for (WorkDigits digits; n < max && !m_malformed; ++n) {
            while (p < stop && isSeparator(static_cast<unsigned char>(*p)))
                ++p;
            const char* end = p < stop ? parsePlainDecimal(p, stop, out[n], digits) : nullptr;
            if (end == nullptr || end == stop || !isSeparator(static_cast<unsigned char>(*end)))
                break;
            if (exact != nullptr)
                exact[n] = digits.exact;
            p = end;
        }
        m_begin = static_cast<std::size_t>(p - base);
        if (n == max || !next(out[n]))
            break;
        if (exact != nullptr)
            exact[n] = m_digits.exact;
        ++n;
    }
    return n;
}

void tallyValue(SequenceStats& stats, long double v, const std::string& fileName)
{
    if (stats.Points == std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(sequenceFileTooLongMessage(fileName));
    if (stats.Points == 0 || v > stats.HighestPeak)
        stats.HighestPeak = v;
    if (stats.Points == 0 || v < stats.LowestTrough)
        stats.LowestTrough = v;
    ++stats.Points;
}

SequenceStats readSequenceToWorkFile(const std::string& fileName, const std::string& workFilePath,
                                     const std::function<void()>& processMessages)
{
    SequenceStats stats;
    SequenceFileSource source(fileName);
    if (processMessages)
        processMessages();
    WorkFileWriter work(workFilePath);
    long double v = 0.0L;
    while (source.next(v)) {
        tallyValue(stats, v, fileName);
        if (const auto& d = source.lastDigits(); d.exact)
            work.putDigits(d.negative, d.digits15, d.exponent10); // the token's own digits: no conversion
        else
            work.put(v);
    }
    work.close();
    stats.Proper = !source.malformed() && stats.Points > 0;
    return stats;
}

void UpdateSequenceTotals(TRainflowRun& run)
{
    std::int64_t length = 0;
    long double weight = 0.0L;
    long double highest = NoPeak;
    long double lowest = NoTrough;
    bool any = false;
    for (std::int32_t i = 1; i <= run.SeqCount && i <= MaxSequences; ++i) {
        const TSequence& s = run.Sequences[static_cast<std::size_t>(i)];
        if (!s.Active)
            continue;
        length += static_cast<std::int64_t>(s.Repetitions) * s.Points;
        if (length > std::numeric_limits<std::int32_t>::max())
            throw InputTooLarge(kCombinedSequenceTooLongMessage);
        weight += s.Repetitions * s.Weight;
        // A negative scale turns the slot's troughs into the combined peaks.
        const long double a = s.Scale * s.HighestPeak;
        const long double b = s.Scale * s.LowestTrough;
        const long double peak = a > b ? a : b;
        const long double trough = a > b ? b : a;
        if (!any || peak > highest)
            highest = peak;
        if (!any || trough < lowest)
            lowest = trough;
        any = true;
    }
    run.SeqLength = static_cast<std::int32_t>(length);
    run.TotalWeight = weight;
    run.HighestPeak = highest;
    run.LowestTrough = lowest;
}

} // namespace tessivo
