#include "engine/files/sequence_loading.h"

#include "engine/record/io_error.h"
#include "engine/files/sequence_file_format.h"
#include "engine/files/work_files.h"
#include "engine/record/run_messages.h"
#include "engine/record/input_too_large.h"
#include "engine/system/file_system.h"

#include <cerrno>
#include <exception>
#include <thread>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace tessivo {
namespace {

TSequence& slotAt(TRainflowRun& run, std::int32_t index)
{
    if (index < 1 || index > MaxSequences)
        throw std::out_of_range(missingSlotMessage(index));
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
            os::removeFile(m_path);
    }
    PendingWorkFile(const PendingWorkFile&) = delete;
    PendingWorkFile& operator=(const PendingWorkFile&) = delete;

    const std::string& path() const { return m_path; }
    void moveTo(const std::string& target)
    {
        if (os::replaceFile(m_path, target) != 0)
            throwIoError(errno, target);
        m_kept = true;
    }

private:
    std::string m_path;
    bool m_kept = false;
};

} // namespace

namespace {

// What one part of a file holds; `stopped` when it ended the whole input
// (a token that is not a number, or a Ctrl-Z).
struct PartScan {
    std::int64_t points = 0;
    long double highest = NoPeak;
    long double lowest = NoTrough;
    bool malformed = false;
    bool stopped = false;
};

PartScan scanPart(SequenceFileSource& source)
{
    PartScan part;
    long double block[4096];
    long double highest = part.highest, lowest = part.lowest;
    for (std::size_t n; (n = source.nextValues(block, nullptr, 4096)) > 0;) {
        for (std::size_t i = 0; i < n; ++i) {
            const long double v = block[i];
            if (part.points == 0 || v > highest)
                highest = v;
            if (part.points == 0 || v < lowest)
                lowest = v;
            ++part.points;
        }
    }
    part.highest = highest;
    part.lowest = lowest;
    part.malformed = source.malformed();
    part.stopped = part.malformed || source.endedByCtrlZ();
    return part;
}

SequenceStats toStats(const PartScan& part, const std::string& fileName)
{
    if (part.points > std::numeric_limits<std::int32_t>::max())
        throw InputTooLarge(sequenceFileTooLongMessage(fileName));
    SequenceStats stats;
    stats.Points = static_cast<std::int32_t>(part.points);
    stats.HighestPeak = part.highest;
    stats.LowestTrough = part.lowest;
    stats.Proper = !part.malformed && part.points > 0;
    return stats;
}

} // namespace

SequenceStats scanSequenceFile(const std::string& fileName)
{
    const std::uint64_t split = splitPoint(fileName);
    if (split == 0) {
        SequenceFileSource source(fileName);
        return toStats(scanPart(source), fileName);
    }
    // A large file is read as two halves at once; the second counts only
    // when the first ran to its end.
    PartScan second;
    std::exception_ptr secondFailure;
    std::thread reader([&] {
        try {
            SequenceFileSource source(fileName, split, ~std::uint64_t{0});
            second = scanPart(source);
        } catch (...) {
            secondFailure = std::current_exception();
        }
    });
    PartScan first;
    try {
        SequenceFileSource source(fileName, 0, split);
        first = scanPart(source);
    } catch (...) {
        reader.join();
        throw;
    }
    reader.join();
    if (first.stopped)
        return toStats(first, fileName);
    if (secondFailure)
        std::rethrow_exception(secondFailure);
    PartScan whole = second;
    whole.points = first.points + second.points;
    if (first.points > 0) {
        // Only a strictly larger (smaller) value replaces one read before, as when reading in one go.
        whole.highest = second.points > 0 && second.highest > first.highest ? second.highest : first.highest;
        whole.lowest = second.points > 0 && second.lowest < first.lowest ? second.lowest : first.lowest;
    }
    return toStats(whole, fileName);
}

OpenOutcome loadSequenceSlot(TRainflowRun& run, std::int32_t index, const SequenceFormat& format,
                             const std::string& workDir, const std::function<void()>& processMessages)
{
    TSequence& slot = slotAt(run, index);
    const std::string target = workFilePath(workDir, sequenceSlotFileName(index));
    // A rejected or broken read must not cost the sequence loaded before.
    PendingWorkFile pending(target + ".part");
    const SequenceStats stats = format.copyToWorkFile(pending.path(), processMessages);
    if (!stats.Proper)
        return OpenOutcome::Incorrect;
    pending.moveTo(target);
    fillSlot(slot, format.fileName(), stats);
    return OpenOutcome::Ok;
}

OpenOutcome loadSequenceSlot(TRainflowRun& run, std::int32_t index, const std::string& fileName,
                             const std::string& workDir, const std::function<void()>& processMessages)
{
    return loadSequenceSlot(run, index, SequenceFileFormat(fileName), workDir, processMessages);
}

OpenOutcome scanSequenceSlot(TRainflowRun& run, std::int32_t index, const SequenceFormat& format)
{
    TSequence& slot = slotAt(run, index);
    const SequenceStats stats = format.scan();
    if (!stats.Proper)
        return OpenOutcome::Incorrect;
    fillSlot(slot, format.fileName(), stats);
    return OpenOutcome::Ok;
}

OpenOutcome scanSequenceSlot(TRainflowRun& run, std::int32_t index, const std::string& fileName)
{
    return scanSequenceSlot(run, index, SequenceFileFormat(fileName));
}

OpenOutcome openSequence(TRainflowRun& run, const SequenceFormat& format, const std::string& workDir,
                         const std::function<void()>& processMessages)
{
    const OpenOutcome outcome = loadSequenceSlot(run, 1, format, workDir, processMessages);
    if (outcome != OpenOutcome::Ok)
        return outcome;
    run.SeqCount = 1;
    UpdateSequenceTotals(run);
    return OpenOutcome::Ok;
}

OpenOutcome openSequence(TRainflowRun& run, const std::string& fileName, const std::string& workDir,
                         const std::function<void()>& processMessages)
{
    return openSequence(run, SequenceFileFormat(fileName), workDir, processMessages);
}

std::uint64_t splitPoint(const std::string& fileName, std::uint64_t minimumSize)
{
    os::FileStatus st;
    if (os::statusOfPath(fileName, st) != 0 || st.kind != os::FileKind::Regular || st.size < minimumSize)
        return 0;
    const int fd = os::openForReading(fileName, os::kNoWait);
    if (fd < 0)
        return 0;
    const std::uint64_t middle = st.size / 2;
    char window[65536];
    const std::ptrdiff_t n = os::readAt(fd, window, sizeof window, middle);
    os::closeFile(fd);
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(window[i]);
        if (c == 26)
            return 0;
        if (c <= 32)
            return middle + static_cast<std::uint64_t>(i);
    }
    return 0;
}

} // namespace tessivo
