#pragma once
// Loading sequence files into the slots of the run record: the half of the
// Open command that needs no window. A failed load changes nothing: the slot,
// its work file and the totals stay as they were.

#include "engine/record/run_record.h"
#include "engine/files/sequence_format.h"
#include "engine/files/sequence_reader.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessivo {

enum class OpenOutcome {
    Ok,
    Incorrect, // not a proper sequence: the caller shows kIncorrectSequenceFile
};

// The Open command: loads the values of `format` into slot 1 with its work
// file "$Sequence_001.tmp" in workDir, makes it the only sequence (SeqCount 1,
// one repetition, scale and weight 1.0) and recomputes the totals. The values
// are written to a temporary work file that replaces the slot's work file
// only when the whole input was proper. processMessages, when set, runs once
// after the input has been opened. Throws IoError when the input cannot be
// opened or read or the work file cannot be written, InputTooLarge for more
// than 2147483647 values, and the format's own errors; then, as for
// Incorrect, nothing has changed.
OpenOutcome openSequence(TRainflowRun& run, const SequenceFormat& format, const std::string& workDir,
                         const std::function<void()>& processMessages = {});
// openSequence of a plain sequence file.
OpenOutcome openSequence(TRainflowRun& run, const std::string& fileName, const std::string& workDir,
                         const std::function<void()>& processMessages = {});

// Loads `format` into slot `index` (1..MaxSequences) and its work file, as
// openSequence does, but leaves SeqCount and the totals to the caller. On Ok
// the slot holds the format's file name, Active, one repetition, the
// statistics, and scale and weight 1.0. Throws std::out_of_range for a bad
// index.
OpenOutcome loadSequenceSlot(TRainflowRun& run, std::int32_t index, const SequenceFormat& format,
                             const std::string& workDir, const std::function<void()>& processMessages = {});
OpenOutcome loadSequenceSlot(TRainflowRun& run, std::int32_t index, const std::string& fileName,
                             const std::string& workDir, const std::function<void()>& processMessages = {});

// Fills slot `index` as loadSequenceSlot does, from the format's scan,
// without writing any work file.
OpenOutcome scanSequenceSlot(TRainflowRun& run, std::int32_t index, const SequenceFormat& format);
OpenOutcome scanSequenceSlot(TRainflowRun& run, std::int32_t index, const std::string& fileName);

// The statistics of a sequence file as readSequenceToWorkFile finds them,
// without a work file. Throws IoError and InputTooLarge alike.
SequenceStats scanSequenceFile(const std::string& fileName);

// Files of this size or more are read (and counted) in two halves at once.
inline constexpr std::uint64_t kSplitFrom = 8u << 20;

// Where a large file can be cut in two for two threads: a separator byte near
// its middle, so that no token is split. 0 for a file under minimumSize
// (8 MB), or where there is none (or a Ctrl-Z comes first, which ends the
// file there anyway).
std::uint64_t splitPoint(const std::string& fileName, std::uint64_t minimumSize = kSplitFrom);

} // namespace tessivo
