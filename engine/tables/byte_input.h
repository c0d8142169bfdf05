#pragma once
// The bytes of a table file, read in large pieces. A file that starts with the
// gzip signature is decompressed on the way (every member of it, in order),
// so callers see the same bytes whether the table was compressed or not.

#include <cstddef>
#include <string>

namespace tessivo {

class ByteInput {
public:
    // Throws IoError when the file cannot be opened.
    explicit ByteInput(std::string path);
    ~ByteInput();
    ByteInput(const ByteInput&) = delete;
    ByteInput& operator=(const ByteInput&) = delete;

    // Up to max bytes into out; 0 at the end. Throws IoError when reading
    // fails and TableFormatError for compressed data that is damaged or cut.
    std::size_t read(char* out, std::size_t max);
    bool compressed() const { return m_gz != nullptr; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
    void* m_gz = nullptr; // gzFile, kept out of this header
};

} // namespace tessivo
