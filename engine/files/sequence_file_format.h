#pragma once
// A plain sequence file as a format of slot values (sequence_format.h): the
// values as the sequence reader finds them, each rounded as its work file
// holds it.

#include "engine/files/sequence_format.h"

#include <string>

namespace tessivo {

class SequenceFileFormat final : public SequenceFormat {
public:
    explicit SequenceFileFormat(std::string path) : m_path(std::move(path)) {}

    const std::string& fileName() const override { return m_path; }
    // A large file is scanned in two halves at once (scanSequenceFile).
    SequenceStats scan() const override;
    SequenceStats copyToWorkFile(const std::string& path, const std::function<void()>& processMessages) const override;
    std::unique_ptr<ValueSource> open() const override;

private:
    std::string m_path;
};

} // namespace tessivo
