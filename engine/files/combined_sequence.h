#pragma once
// The combined sequence: the active slots 1..SeqCount in order, each repeated
// Repetitions times, every value times the slot's Scale. It is either written
// to "$Sequence.tmp" from the slots' work files, or streamed straight from
// the users' sequence files; both give the same values.

#include "engine/record/io_error.h"
#include "engine/record/run_record.h"
#include "engine/files/sequence_reader.h"
#include "engine/files/value_stream.h"
#include "engine/files/work_files.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tessivo {

// A sequence or work file that ended (or stopped being a proper sequence)
// before the number of values it held when it was loaded.
class FileShortenedError final : public IoError {
public:
    explicit FileShortenedError(const std::string& path);
    const char* what() const noexcept override;
};

// Streams the combined sequence from the slots' work files "$Sequence_NNN.tmp"
// in workDir: Points values per repetition, read by count, each times the
// slot's Scale. next() throws IoError (FileShortenedError when a work file
// holds fewer than Points values) and InputTooLarge when a scaled load is
// beyond the range of long double. With a scale of 1 the value's own line is at
// hand (lastLine), so "$Sequence.tmp" can be written without conversions.
class CombinedWorkFileSource final : public ValueSource {
public:
    CombinedWorkFileSource(const TRainflowRun& run, std::string workDir);
    ~CombinedWorkFileSource() override;
    bool next(long double& value) override;
    const char* lastLine() const override { return m_line; }

private:
    bool advance();
    const TRainflowRun& m_run;
    std::string m_workDir;
    std::int32_t m_slot = 0;
    std::int32_t m_repetition = 0;
    std::int32_t m_left = 0;
    std::string m_path;
    std::unique_ptr<WorkFileReader> m_file;
    const char* m_line = nullptr;
};

// Streams the combined sequence from the slots' own sequence files (FileName),
// reopening a file for each repetition. Each value is rounded as the slot's
// work file would round it, multiplied by the slot's Scale and rounded again
// as "$Sequence.tmp" would, so a run fed from here matches a run through the
// work files. Memory does not grow with the files. The run record must
// outlive the source. next() throws IoError (FileShortenedError when a file
// no longer holds the values it held when it was loaded) and
// InputTooLarge when a scaled load is beyond the range of long double.
class CombinedSequenceSource final : public ValueSource {
public:
    explicit CombinedSequenceSource(const TRainflowRun& run);
    ~CombinedSequenceSource() override;
    bool next(long double& value) override;

private:
    bool advanceSlot();
    const TRainflowRun& m_run;
    std::int32_t m_slot = 0;
    std::int32_t m_repetition = 0;
    std::int32_t m_left = 0; // values still due from the open file
    std::unique_ptr<SequenceFileSource> m_file;
};

} // namespace tessivo
