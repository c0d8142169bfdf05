#pragma once
// Random access to a work file: every line of the work notation has the same
// width, so the values at positions [first, first + count) are one read at
// first * kWorkLineWidth. Used to show a narrow window of a long sequence
// without holding the sequence in memory.

#include "engine/signal/min_max_pyramid.h"

#include <string>

namespace tessivo {

class WorkFileRange final : public RawValueReader {
public:
    // Opens the file (a regular file, never through a symbolic link); IoError
    // when it cannot be opened.
    explicit WorkFileRange(std::string path);
    ~WorkFileRange() override;
    WorkFileRange(const WorkFileRange&) = delete;
    WorkFileRange& operator=(const WorkFileRange&) = delete;

    // Replaces out with the values. IoError when the file cannot be read, is
    // shorter than the range, or a line there is not a value of the notation
    // (the file changed since it was written).
    void read(std::int64_t first, std::int64_t count, std::vector<double>& out) override;

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace tessivo
