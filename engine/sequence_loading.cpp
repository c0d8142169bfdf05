#include "sequence_loading.h"

#include "io_error.h"
#include "work_files.h"

#include <cerrno>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <unistd.h>

namespace tessivo {
namespace {

TSequence& slotAt(TRainflowRun& run, std::int32_t index)
{
    if (index < 1 || index > MaxSequences)
        throw std::out_of_range("Sequence slot " + std::to_string(index) + " does not exist");
    return run.Sequences[static_cast<std::size_t>(index)];
}

void fillSlot(TSequence& slot, const std::string& fileName, const SequenceStats& stats)
{
    slot.FileName = fileName;
    slot.Active = true;
    slot.Repetitions = 1;
    slot.Points = stats.Points;
    slot.HighestPeak = stats.HighestPeak;
    slot.LowestTrough = stats.LowestTrough;
    slot.Scale = 1.0L;
    slot.Weight = 1.0L;
}

// Removes the temporary work file unless it has been put into place.
class PendingWorkFile {
public:
    explicit PendingWorkFile(std::string path) : m_path(std::move(path)) {}
    ~PendingWorkFile()
    {
        if (!m_kept)
            ::unlink(m_path.c_str());
    }
    PendingWorkFile(const PendingWorkFile&) = delete;
    PendingWorkFile& operator=(const PendingWorkFile&) = delete;

    const std::string& path() const { return m_path; }
    void moveTo(const std::string& target)
    {
        if (std::rename(m_path.c_str(), target.c_str()) != 0)
            throwIoError(errno, target);
        m_kept = true;
    }

private:
    std::string m_path;
    bool m_kept = false;
};

} // namespace

SequenceStats scanSequenceFile(const std::string& fileName)
{
    SequenceStats stats;
    SequenceFileSource source(fileName);
    long double v = 0.0L;
    while (source.next(v)) {
        if (stats.Points == std::numeric_limits<std::int32_t>::max())
            throw std::overflow_error("The sequence file " + fileName + " holds more than 2147483647 values");
        if (stats.Points == 0 || v > stats.HighestPeak)
            stats.HighestPeak = v;
        if (stats.Points == 0 || v < stats.LowestTrough)
            stats.LowestTrough = v;
        ++stats.Points;
    }
    stats.Proper = !source.malformed() && stats.Points > 0;
    return stats;
}

OpenOutcome loadSequenceSlot(TRainflowRun& run, std::int32_t index, const std::string& fileName,
                             const std::string& workDir, const std::function<void()>& processMessages)
{
    TSequence& slot = slotAt(run, index);
    const std::string target = workFilePath(workDir, sequenceSlotFileName(index));
    // A rejected or broken read must not cost the sequence loaded before.
    PendingWorkFile pending(target + ".part");
    const SequenceStats stats = readSequenceToWorkFile(fileName, pending.path(), processMessages);
    if (!stats.Proper)
        return OpenOutcome::Incorrect;
    pending.moveTo(target);
    fillSlot(slot, fileName, stats);
    return OpenOutcome::Ok;
}

OpenOutcome scanSequenceSlot(TRainflowRun& run, std::int32_t index, const std::string& fileName)
{
    TSequence& slot = slotAt(run, index);
    const SequenceStats stats = scanSequenceFile(fileName);
    if (!stats.Proper)
        return OpenOutcome::Incorrect;
    fillSlot(slot, fileName, stats);
    return OpenOutcome::Ok;
}

OpenOutcome openSequence(TRainflowRun& run, const std::string& fileName, const std::string& workDir,
                         const std::function<void()>& processMessages)
{
    const OpenOutcome outcome = loadSequenceSlot(run, 1, fileName, workDir, processMessages);
    if (outcome != OpenOutcome::Ok)
        return outcome;
    run.SeqCount = 1;
    UpdateSequenceTotals(run);
    return OpenOutcome::Ok;
}

} // namespace tessivo
