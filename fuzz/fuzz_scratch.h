#pragma once
// A private folder for the fuzz targets that need real files, made once per
// process and reused by every input.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace tessivo::fuzz {

// Under $TMPDIR when set; removed when the process exits normally.
inline const std::string& scratchFolder()
{
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tessivo-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    static const bool cleanup = [] {
        return std::atexit([] {
                   std::error_code ec;
                   std::filesystem::remove_all(scratchFolder(), ec);
               })
               == 0;
    }();
    (void)cleanup;
    return dir;
}

// Replaces the file at path by the bytes; aborts when that fails, since a
// target that cannot write its input would pass without testing anything.
inline void writeBytes(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    if (std::fclose(f) != 0)
        std::abort();
}

} // namespace tessivo::fuzz
