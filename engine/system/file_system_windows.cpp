#include "engine/system/file_system.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace tessivo::os {
namespace {

// The Win32 errors that mean what an errno value means; the rest are EIO.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    default:
        return EIO;
    }
}

// The Win32 error of the last failure here: setting errno may clear GetLastError.
thread_local DWORD t_lastError = ERROR_SUCCESS;

int fail(DWORD error)
{
    t_lastError = error;
    errno = errnoOf(error);
    return -1;
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// A C runtime descriptor in binary mode owning h; closes h when that fails.
int adopt(HANDLE h, int flags)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        CloseHandle(h);
        errno = EMFILE;
    }
    return fd;
}

bool isReparsePoint(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Opens path with the wide API; kNoFollow opens a link itself and refuses it.
int open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags, bool noFollow,
         int crtFlags)
{
    const std::wstring wide = toWide(path);
    if (wide.empty() && !path.empty())
        return fail(ERROR_INVALID_NAME);
    if (noFollow)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE h = CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return fail(GetLastError());
    if (noFollow && isReparsePoint(h)) {
        CloseHandle(h);
        t_lastError = ERROR_CANT_RESOLVE_FILENAME;
        errno = ELOOP;
        return -1;
    }
    return adopt(h, crtFlags);
}

int statusOfHandle(HANDLE h, FileStatus& status)
{
    const DWORD type = GetFileType(h);
    if (type != FILE_TYPE_DISK) { // a console, a pipe, a device
        status = {FileKind::Other, 0};
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info))
        return fail(GetLastError());
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status.kind = folder ? FileKind::Folder : FileKind::Regular;
    status.size = folder ? 0 : (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return 0;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

std::wstring toWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string toUtf8(const wchar_t* text)
{
    const int length = static_cast<int>(wcslen(text));
    if (length == 0)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
    return out;
}

int openForReading(const std::string& path, unsigned options)
{
    // Backup semantics let a folder open, so that it is told apart from a missing file.
    return open(path, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, (options & kNoFollow) != 0,
                _O_RDONLY);
}

int createForWriting(const std::string& path)
{
    // CREATE_ALWAYS would write through a link: refuse one that is there first.
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        errno = ELOOP;
        return -1;
    }
    return open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, true,
                _O_WRONLY);
}

int openLocked(const std::string& path)
{
    // No sharing: a second copy's open fails until this handle is closed.
    const int fd = open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, true, _O_RDWR);
    if (fd < 0 && t_lastError == ERROR_SHARING_VIOLATION)
        errno = EWOULDBLOCK;
    return fd;
}

int openScratchFile(const std::string& prefix, std::string& path)
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH)
        return fail(GetLastError());
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = toUtf8(folder) + prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(serial++) + "-"
               + std::to_string(GetTickCount64() % 100000);
        const int fd = open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, true, _O_RDWR);
        if (fd >= 0 || t_lastError != ERROR_FILE_EXISTS)
            return fd;
    }
    return fail(ERROR_FILE_EXISTS);
}

std::ptrdiff_t readSome(int fd, void* out, std::size_t size)
{
    DWORD got = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(handleOf(fd), out, want, &got, nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
            return 0;
        return fail(error);
    }
    return static_cast<std::ptrdiff_t>(got);
}

std::ptrdiff_t readAt(int fd, void* out, std::size_t size, std::uint64_t offset)
{
    // A read at an offset moves a synchronous handle's position: put it back.
    const HANDLE h = handleOf(fd);
    LARGE_INTEGER zero{}, position{};
    if (!SetFilePointerEx(h, zero, &position, FILE_CURRENT))
        return fail(GetLastError());
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    const BOOL ok = ReadFile(h, out, want, &got, &at);
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    SetFilePointerEx(h, position, nullptr, FILE_BEGIN);
    if (!ok)
        return error == ERROR_HANDLE_EOF ? 0 : fail(error);
    return static_cast<std::ptrdiff_t>(got);
}

std::ptrdiff_t writeSome(int fd, const void* data, std::size_t size)
{
    DWORD put = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!WriteFile(handleOf(fd), data, want, &put, nullptr))
        return fail(GetLastError());
    return static_cast<std::ptrdiff_t>(put);
}

int seekTo(int fd, std::uint64_t offset)
{
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handleOf(fd), to, nullptr, FILE_BEGIN) ? 0 : fail(GetLastError());
}

int duplicate(int fd)
{
    return _dup(fd);
}

int closeFile(int fd)
{
    return _close(fd);
}

int statusOf(int fd, FileStatus& status)
{
    return statusOfHandle(handleOf(fd), status);
}

int statusOfPath(const std::string& path, FileStatus& status)
{
    // Attributes only: a file that may not be read still has a kind and a size.
    HANDLE h = CreateFileW(toWide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return fail(GetLastError());
    const int result = statusOfHandle(h, status);
    CloseHandle(h);
    return result;
}

int replaceFile(const std::string& from, const std::string& to)
{
    return MoveFileExW(toWide(from).c_str(), toWide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : fail(GetLastError());
}

int removeFile(const std::string& path)
{
    return DeleteFileW(toWide(path).c_str()) ? 0 : fail(GetLastError());
}

std::string userDataFolder()
{
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local != nullptr && *local != L'\0' ? toUtf8(local) + "\\Tessivo" : std::string();
}

void useBinaryStandardStreams()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::filesystem::path nativePath(const std::string& path)
{
    return std::filesystem::path(toWide(path));
}

} // namespace tessivo::os
