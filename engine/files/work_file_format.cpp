#include "engine/files/work_file_format.h"

#include "engine/files/combined_sequence.h"
#include "engine/files/work_files.h"
#include "engine/numbers/work_notation.h"
#include "engine/record/io_error.h"
#include "engine/system/file_system.h"

#include <cerrno>

namespace tessivo {

SequenceStats WorkFileFormat::scan() const
{
    WorkFileReader reader(m_path);
    SequenceStats stats;
    for (long double v = 0.0L; reader.next(v);)
        tallyValue(stats, v, m_path);
    stats.Proper = stats.Points > 0;
    return stats;
}

SequenceStats WorkFileFormat::copyToWorkFile(const std::string& path,
                                             const std::function<void()>& processMessages) const
{
    WorkFileReader reader(m_path);
    if (processMessages)
        processMessages();
    WorkFileWriter copy(path);
    SequenceStats stats;
    for (long double v = 0.0L; reader.next(v);) {
        tallyValue(stats, v, m_path);
        if (const char* line = reader.lastCanonicalLine())
            copy.putLine(line);
        else
            copy.put(v);
    }
    copy.close();
    stats.Proper = stats.Points > 0;
    return stats;
}

std::unique_ptr<ValueSource> WorkFileFormat::open() const
{
    auto reader = std::make_unique<WorkFileReader>(m_path); // refuses a link before the size is looked at
    os::FileStatus st;
    if (os::statusOfPath(m_path, st) != 0)
        throwIoError(errno, m_path);
    if (st.size < static_cast<std::uint64_t>(m_points) * kWorkLineWidth)
        throw FileShortenedError(m_path);
    return reader;
}

SlotFormats workFileFormats(const TRainflowRun& run, const std::string& workDir)
{
    SlotFormats formats;
    for (std::int32_t i = 1; i <= run.SeqCount && i <= MaxSequences; ++i) {
        const TSequence& slot = run.Sequences[static_cast<std::size_t>(i)];
        formats.push_back(
            std::make_shared<WorkFileFormat>(workFilePath(workDir, sequenceSlotFileName(i)), slot.Points));
    }
    return formats;
}

} // namespace tessivo
