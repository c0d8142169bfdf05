#include "engine/files/combined_sequence.h"

#include "engine/numbers/work_notation.h"
#include "engine/record/input_too_large.h"
#include "engine/record/run_messages.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <utility>

namespace tessivo {

FileShortenedError::FileShortenedError(const std::string& path) : IoError(EIO, path) {}

const char* FileShortenedError::what() const noexcept
{
    return kFileShortenedMessage;
}

long double scaledWorkValue(long double value, long double scale, const std::string& fileName)
{
    const long double product = value * scale;
    if (!std::isfinite(product))
        throw InputTooLarge(scaledLoadTooLargeMessage(fileName));
    return roundToWorkPrecision(product);
}

CombinedSequence::CombinedSequence(const TRainflowRun& run, SlotFormats formats)
    : m_run(&run)
    , m_formats(std::move(formats))
{
}

CombinedSequence::~CombinedSequence() = default;
CombinedSequence::CombinedSequence(CombinedSequence&&) noexcept = default;

// Opens the next repetition: of the current slot while it has some left,
// else the first of the next slot that takes part. False after the last.
bool CombinedSequence::advance()
{
    m_values.reset();
    const auto takesPart = [](const TSequence& s) { return s.Active && s.Repetitions > 0 && s.Points > 0; };
    if (m_slot > 0 && m_repetition + 1 < m_run->Sequences[static_cast<std::size_t>(m_slot)].Repetitions) {
        ++m_repetition;
    } else {
        do {
            if (++m_slot > m_run->SeqCount || m_slot > MaxSequences)
                return false;
        } while (!takesPart(m_run->Sequences[static_cast<std::size_t>(m_slot)]));
        m_repetition = 0;
    }
    m_values = m_formats.at(static_cast<std::size_t>(m_slot - 1))->open();
    m_left = m_run->Sequences[static_cast<std::size_t>(m_slot)].Points;
    return true;
}

void CombinedSequence::rethrowPending()
{
    if (m_pending)
        std::rethrow_exception(std::exchange(m_pending, nullptr));
}

bool CombinedSequence::next(long double& value)
{
    rethrowPending();
    while (m_left == 0) {
        if (!advance())
            return false;
    }
    const SequenceFormat& format = *m_formats[static_cast<std::size_t>(m_slot - 1)];
    if (!m_values->next(value))
        throw FileShortenedError(format.fileName());
    --m_left;
    const long double scale = m_run->Sequences[static_cast<std::size_t>(m_slot)].Scale;
    // A scale of 1 leaves a value, and its own line, as it is.
    m_line = scale == 1.0L ? m_values->lastLine() : nullptr;
    if (scale != 1.0L)
        value = scaledWorkValue(value, scale, format.fileName());
    return true;
}

std::size_t CombinedSequence::nextBlock(long double* out, std::size_t max)
{
    rethrowPending();
    while (m_left == 0) {
        if (!advance())
            return 0;
    }
    m_line = nullptr;
    if (m_run->Sequences[static_cast<std::size_t>(m_slot)].Scale == 1.0L) {
        // Unscaled, the common case: the format's own blocks, up to the slot's end.
        const std::size_t n = m_values->nextBlock(out, std::min<std::size_t>(max, static_cast<std::size_t>(m_left)));
        if (n == 0)
            throw FileShortenedError(m_formats[static_cast<std::size_t>(m_slot - 1)]->fileName());
        m_left -= static_cast<std::int32_t>(n);
        return n;
    }
    std::size_t n = 0;
    try {
        while (n < max && next(out[n]))
            ++n;
    } catch (...) {
        // The values before a failure are handed over; the failure follows them.
        if (n == 0)
            throw;
        m_pending = std::current_exception();
    }
    m_line = nullptr;
    return n;
}

} // namespace tessivo
