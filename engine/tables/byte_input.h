#pragma once
// The bytes of a table file, read in large pieces. A file that starts with the
// gzip signature is decompressed on the way (every member of it, in order),
// so callers see the same bytes whether the table was compressed or not; text
// that starts with a UTF-16 byte-order mark is handed on as UTF-8 without it.

#include <cstddef>
#include <cstdint>
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
    // The text is UTF-16 (known after the first read).
    bool utf16() const { return m_utf16; }
    const std::string& path() const { return m_path; }
    // Bytes of the file itself taken so far (compressed bytes of a gzip
    // file) and its size, for a progress bar.
    std::int64_t fileOffset() const;
    std::int64_t fileSize() const { return m_fileSize; }

private:
    std::size_t readRaw(char* out, std::size_t max);
    std::size_t readUtf16(char* out, std::size_t max);
    std::string m_path;
    bool m_started = false;
    bool m_utf16 = false;
    bool m_bigEndian = false;
    std::string m_head;    // bytes read to look for a byte-order mark, not yet handed on
    std::string m_raw;     // UTF-16 bytes not yet converted
    std::string m_decoded; // UTF-8 not yet handed on
    int m_fd = -1;
    std::int64_t m_fileSize = 0;
    std::int64_t m_rawRead = 0;
    void* m_gz = nullptr; // gzFile, kept out of this header
};

} // namespace tessivo
