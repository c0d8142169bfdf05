#pragma once
// The values of a sequence file streamed into a count without holding them:
// rounded as a work file holds them, as a count of the values that
// readSequenceValues gives rounds them, with the extent of the values as read.

#include "engine/files/sequence_extent.h"
#include "engine/files/sequence_reader.h"
#include "engine/files/value_stream.h"

#include <string>

namespace tessivo {

class SequenceFileValues final : public ValueSource {
public:
    // Throws IoError when the file cannot be opened.
    explicit SequenceFileValues(const std::string& path) : m_file(path) {}

    bool next(long double& value) override { return nextBlock(&value, 1) == 1; }
    // Throws std::invalid_argument at a value that is not finite.
    std::size_t nextBlock(long double* out, std::size_t max) override;

    // The values read so far, as read.
    const SequenceExtent& extent() const { return m_extent; }
    // At the end: at least one value, every token a number.
    bool proper() const { return !m_file.malformed() && m_extent.points > 0; }

private:
    SequenceFileSource m_file;
    SequenceExtent m_extent;
};

// The extent of a sequence file's values as read; `proper` as
// SequenceFileValues::proper(). Throws as SequenceFileValues does.
SequenceExtent sequenceFileExtent(const std::string& path, bool& proper);

} // namespace tessivo
