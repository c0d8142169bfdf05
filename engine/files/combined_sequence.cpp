#include "engine/files/combined_sequence.h"

#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"
#include "engine/record/run_messages.h"
#include "engine/record/input_too_large.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <cmath>
#include <stdexcept>

namespace tessivo {
namespace {

bool takesPart(const TSequence& s)
{
    return s.Active && s.Repetitions > 0 && s.Points > 0;
}

// Steps to the next repetition: of the current slot while it has some left,
// else the first one of the next slot that takes part. False after the last.
// Returns in `newSlot` whether the slot changed.
bool nextRepetition(const TRainflowRun& run, std::int32_t& slot, std::int32_t& repetition, bool& newSlot)
{
    newSlot = !(slot > 0 && repetition + 1 < run.Sequences[static_cast<std::size_t>(slot)].Repetitions);
    if (!newSlot) {
        ++repetition;
        return true;
    }
    do {
        if (++slot > run.SeqCount || slot > MaxSequences)
            return false;
    } while (!takesPart(run.Sequences[static_cast<std::size_t>(slot)]));
    repetition = 0;
    return true;
}

// The work notation has no form for an infinite load.
long double scaledLoad(long double v, long double scale, const std::string& path)
{
    const long double product = v * scale;
    if (!std::isfinite(product))
        throw InputTooLarge(scaledLoadTooLargeMessage(path));
    return product;
}

// Every line of a slot's work file has the same width. A file cut inside
// its last line would still give Points values, the last one shortened to a
// wrong load, so the size is checked before any value is read.
void requireWholeWorkFile(const std::string& path, std::int32_t points)
{
    os::FileStatus st;
    if (os::statusOfPath(path, st) != 0)
        throwIoError(errno, path);
    if (st.size < static_cast<std::uint64_t>(points) * kWorkLineWidth)
        throw FileShortenedError(path);
}

} // namespace

FileShortenedError::FileShortenedError(const std::string& path) : IoError(EIO, path) {}

const char* FileShortenedError::what() const noexcept
{
    return kFileShortenedMessage;
}

CombinedWorkFileSource::CombinedWorkFileSource(const TRainflowRun& run, std::string workDir)
    : m_run(run)
    , m_workDir(std::move(workDir))
{
}

CombinedWorkFileSource::~CombinedWorkFileSource() = default;

// Opens the next repetition of the current slot, or the next active slot.
bool CombinedWorkFileSource::advance()
{
    m_file.reset();
    bool newSlot = false;
    if (!nextRepetition(m_run, m_slot, m_repetition, newSlot))
        return false;
    if (newSlot)
        m_path = workFilePath(m_workDir, sequenceSlotFileName(m_slot));
    m_left = m_run.Sequences[static_cast<std::size_t>(m_slot)].Points;
    m_file = std::make_unique<WorkFileReader>(m_path); // refuses a link before the size is looked at
    requireWholeWorkFile(m_path, m_left);
    return true;
}

bool CombinedWorkFileSource::next(long double& value)
{
    while (m_left <= 0) {
        if (!advance())
            return false;
    }
    const TSequence& s = m_run.Sequences[static_cast<std::size_t>(m_slot)];
    long double v = 0.0L;
    if (!m_file->next(v))
        throw FileShortenedError(m_path);
    --m_left;
    // A scale of 1 leaves a value's own line as it is.
    m_line = s.Scale == 1.0L ? m_file->lastCanonicalLine() : nullptr;
    value = s.Scale == 1.0L ? v : roundToWorkPrecision(scaledLoad(v, s.Scale, m_path));
    return true;
}

CombinedSequenceSource::CombinedSequenceSource(const TRainflowRun& run) : m_run(run) {}

CombinedSequenceSource::~CombinedSequenceSource() = default;

// Opens the next repetition: of the current slot while it has some left,
// else the first repetition of the next slot that takes part. False after
// the last slot.
bool CombinedSequenceSource::advanceSlot()
{
    m_file.reset();
    bool newSlot = false;
    if (!nextRepetition(m_run, m_slot, m_repetition, newSlot))
        return false;
    const TSequence& s = m_run.Sequences[static_cast<std::size_t>(m_slot)];
    m_file = std::make_unique<SequenceFileSource>(s.FileName);
    m_left = s.Points;
    return true;
}

bool CombinedSequenceSource::next(long double& value)
{
    while (m_left == 0) {
        if (!advanceSlot())
            return false;
    }
    const TSequence& s = m_run.Sequences[static_cast<std::size_t>(m_slot)];
    if (!m_file->next(value))
        throw FileShortenedError(s.FileName);
    --m_left;
    // A value written with at most 15 digits is already what a work file
    // gives back, and a scale of 1 changes nothing: skip both roundings then
    // (and leave the value where the reader stored it, unread).
    if (!m_file->lastDigits().exact)
        value = roundToWorkPrecision(value);
    if (s.Scale != 1.0L)
        value = roundToWorkPrecision(scaledLoad(value, s.Scale, s.FileName));
    return true;
}

} // namespace tessivo
