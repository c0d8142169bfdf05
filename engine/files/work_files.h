#pragma once
// Work files: text files of values in the work notation inside the work
// folder. Writers never follow a symbolic link; every failure is an IoError.

#include "engine/files/value_stream.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tessivo {

inline constexpr const char* kSequenceFile = "$Sequence.tmp";
inline constexpr const char* kReversalsFile = "$Reversals.tmp";
inline constexpr const char* kRedRevFile = "$RedRev.tmp";

// The work file of sequence slot `index`: "$Sequence_001.tmp" for slot 1.
std::string sequenceSlotFileName(std::int32_t index);

// dir joined with name; dir may or may not end in a separator.
std::string workFilePath(const std::string& dir, const std::string& name);

// Creates (or empties) a work file and appends values to it in large blocks.
class WorkFileWriter final : public ValueSink {
public:
    explicit WorkFileWriter(std::string path);
    ~WorkFileWriter() override; // closes without reporting; call close() to see errors
    WorkFileWriter(const WorkFileWriter&) = delete;
    WorkFileWriter& operator=(const WorkFileWriter&) = delete;

    void put(long double value) override;
    // The line of a value known by its 15 digits (see formatWorkDigits).
    void putDigits(bool negative, std::uint64_t digits15, int exponent10);
    // A line already in the notation, kWorkValueWidth characters.
    void putLine(const char* line);
    void close();
    std::int64_t written() const { return m_written; }
    const std::string& path() const { return m_path; }

private:
    void flush();
    std::string m_path;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    std::int64_t m_written = 0;
};

// Reads a work file line by line. A line that does not convert is skipped.
// A symbolic link or anything else that is not a regular file is refused
// (IoError).
class WorkFileReader final : public ValueSource {
public:
    explicit WorkFileReader(std::string path);
    ~WorkFileReader() override;
    WorkFileReader(const WorkFileReader&) = delete;
    WorkFileReader& operator=(const WorkFileReader&) = delete;

    bool next(long double& value) override;
    // A failure to read ends the run, so losing the block's values does no harm.
    std::size_t nextBlock(long double* out, std::size_t max) override { return nextBlockByValue(*this, out, max); }
    const std::string& path() const { return m_path; }
    // The line of the last value when it was the value's own line (see
    // parseCanonicalLine), else nullptr; valid until the next call of next().
    const char* lastCanonicalLine() const { return m_canonical; }
    const char* lastLine() const override { return m_canonical; }

private:
    bool fill();
    const char* m_canonical = nullptr;
    std::string m_path;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
};

} // namespace tessivo
