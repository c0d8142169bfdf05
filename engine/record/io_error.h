#pragma once
// Failures of the environment (a file that cannot be opened, a full disk).
// The message is the one the user sees; the path says which file.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace tessivo {

class IoError : public std::runtime_error {
public:
    IoError(int code, std::string path);
    int code() const { return m_code; }
    const std::string& path() const { return m_path; }

private:
    int m_code;
    std::string m_path;
};

// "File not found", "File access denied", "Disk full" or "I/O error <code>"
// for an errno value.
std::string ioErrorMessage(int code);

// Throws IoError for the errno value, naming the path.
[[noreturn]] void throwIoError(int code, const std::string& path);

// Writes all of data to the file descriptor, or throws IoError naming path.
void writeAll(int fd, const char* data, std::size_t size, const std::string& path);

// Errno value a write shortfall stands for when the system gave none.
constexpr int kShortWriteCode = 28; // ENOSPC

} // namespace tessivo
