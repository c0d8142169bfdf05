#pragma once
// The operating system's file services that the engine needs, behind one
// interface with a POSIX and a Windows implementation; nothing else in the
// engine includes a platform header.
//
// Calls follow the POSIX conventions so that callers handle failures alike on
// both systems: a descriptor or a count is returned, -1 on failure with errno
// set. On Windows a descriptor is a C runtime descriptor over a handle opened
// with the wide API, the Win32 error mapped to the errno value of the same
// meaning (EIO where there is none). Paths are UTF-8.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tessivo::os {

enum class FileKind { Regular, Folder, Other };

// Options of openForReading.
inline constexpr unsigned kNoFollow = 1; // a symbolic link (a reparse point) is refused with ELOOP
inline constexpr unsigned kNoWait = 2;   // the open of a FIFO without writer does not wait

// Read-only; a folder opens too (fileKind tells it).
int openForReading(const std::string& path, unsigned options);
// Write-only, created or truncated (mode 0644); a symbolic link is refused with ELOOP.
int createForWriting(const std::string& path);
// Creates or opens path as the lock file of a work folder and takes its lock:
// an advisory lock on POSIX, a handle nobody else may share on Windows. Gives
// -1 with errno EWOULDBLOCK while another process holds it. Closing the
// descriptor, or the end of the process, releases the lock.
int openLocked(const std::string& path);
// An anonymous scratch file in the temporary folder (TMPDIR or /tmp; the
// user's temporary folder on Windows), gone when closed. path names it for messages.
int openScratchFile(const std::string& prefix, std::string& path);

std::ptrdiff_t readSome(int fd, void* out, std::size_t size);
// Reads at offset without moving the position that readSome continues from.
std::ptrdiff_t readAt(int fd, void* out, std::size_t size, std::uint64_t offset);
std::ptrdiff_t writeSome(int fd, const void* data, std::size_t size);
int seekTo(int fd, std::uint64_t offset);
int duplicate(int fd); // for handing a second descriptor to zlib
int closeFile(int fd);

struct FileStatus {
    FileKind kind = FileKind::Other;
    std::uint64_t size = 0;
};
int statusOf(int fd, FileStatus& status);
int statusOfPath(const std::string& path, FileStatus& status); // follows symbolic links

// Puts from in the place of to in one step (to may exist).
int replaceFile(const std::string& from, const std::string& to);
int removeFile(const std::string& path);

// The per-user folder for the program's own data: $XDG_DATA_HOME/Tessivo
// (~/.local/share/Tessivo) on POSIX, %LOCALAPPDATA%\Tessivo on Windows. Not
// created; empty when the system names none.
std::string userDataFolder();

// A path for the standard library's streams and std::filesystem: the UTF-8
// bytes as they stand on POSIX, converted to UTF-16 on Windows.
std::filesystem::path nativePath(const std::string& path);

// Standard output and error as bytes: no LF to CR LF on Windows, so that
// reports, CSV and JSON are the same files on both systems. Nothing on POSIX.
void useBinaryStandardStreams();

// Whether a backslash separates folders as "/" does (Windows).
#ifdef _WIN32
inline constexpr bool kBackslashSeparates = true;
#else
inline constexpr bool kBackslashSeparates = false;
#endif

#ifdef _WIN32
// UTF-16 from the wide API to UTF-8 and back.
std::string toUtf8(const wchar_t* text);
std::wstring toWide(const std::string& text);
#endif

} // namespace tessivo::os
