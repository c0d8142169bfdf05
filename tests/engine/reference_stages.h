#pragma once
// Stages as the behaviour describes them one by one, built from the engine's
// parts: reading a sequence file into a slot's fields, and writing the whole
// combined sequence to "$Sequence.tmp" before it is counted. The program does
// both on the way (sequence loading, the one-pass run); tests use these to
// look at each stage's result alone.

#include "engine/files/combined_sequence.h"
#include "engine/files/sequence_file_format.h"
#include "engine/files/work_file_format.h"
#include "engine/files/sequence_reader.h"
#include "engine/files/work_files.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <string>

namespace tessivo::test {

// Reads a sequence file into the work file of slot `index` in workDir and
// reports its statistics; error becomes SeqFileError for a file that is not
// a proper sequence, and is left as passed otherwise.
inline void ReadSequenceFile(const std::string& fileName, std::int32_t index, const std::string& workDir,
                             std::int32_t& points, long double& highestPeak, long double& lowestTrough,
                             long double& scale, long double& weight, std::int32_t& error)
{
    points = 0;
    highestPeak = NoPeak;
    lowestTrough = NoTrough;
    scale = 1.0L;
    weight = 1.0L;
    const SequenceStats stats = readSequenceToWorkFile(fileName, workFilePath(workDir, sequenceSlotFileName(index)));
    points = stats.Points;
    highestPeak = stats.HighestPeak;
    lowestTrough = stats.LowestTrough;
    if (!stats.Proper)
        error = SeqFileError;
}

// The combined sequence of the slots straight from their own sequence files.
inline CombinedSequence sequenceFilesOf(const TRainflowRun& run)
{
    SlotFormats formats;
    for (std::int32_t i = 1; i <= run.SeqCount; ++i)
        formats.push_back(std::make_shared<SequenceFileFormat>(run.Sequences[static_cast<std::size_t>(i)].FileName));
    return CombinedSequence(run, std::move(formats));
}

// Writes "$Sequence.tmp" in workDir from the active slots' work files and
// returns the number of values written; throws as the combined sequence does.
inline std::int64_t WriteCombinedSequence(const TRainflowRun& run, const std::string& workDir)
{
    CombinedSequence in(run, workFileFormats(run, workDir));
    WorkFileWriter out(workFilePath(workDir, kSequenceFile));
    long double v = 0.0L;
    while (in.next(v)) {
        if (const char* line = in.lastLine())
            out.putLine(line);
        else
            out.put(v);
    }
    out.close();
    return out.written();
}

} // namespace tessivo::test
