#pragma once
// A slot's work file ("$Sequence_NNN.tmp") as a format of slot values
// (sequence_format.h): the values are already at work precision, each with
// its own line at hand, so the combined sequence copies "$Sequence.tmp" from
// them without conversions.

#include "engine/files/sequence_format.h"
#include "engine/record/run_record.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessivo {

class WorkFileFormat final : public SequenceFormat {
public:
    // The work file at `path`, written with `points` values.
    WorkFileFormat(std::string path, std::int32_t points) : m_path(std::move(path)), m_points(points) {}

    const std::string& fileName() const override { return m_path; }
    SequenceStats scan() const override;
    SequenceStats copyToWorkFile(const std::string& path, const std::function<void()>& processMessages) const override;
    // Throws IoError for a link or anything but a regular file, and
    // FileShortenedError when the file is too short for the values it was
    // written with (cut inside its last line, it would still give them all,
    // the last one a wrong load).
    std::unique_ptr<ValueSource> open() const override;

private:
    std::string m_path;
    std::int32_t m_points;
};

// The work files of slots 1..SeqCount of `run` in workDir, in slot order.
SlotFormats workFileFormats(const TRainflowRun& run, const std::string& workDir);

} // namespace tessivo
