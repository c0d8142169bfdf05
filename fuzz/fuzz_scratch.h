#pragma once
// A private folder for the fuzz targets that need real files, made once per
// process and reused by every input.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tessivo::fuzz {

inline const std::string& scratchFolder()
{
    static const std::string dir = [] {
        char tmpl[] = "/tmp/tessivo-fuzz-XXXXXX";
        const char* made = mkdtemp(tmpl);
        if (made == nullptr)
            std::abort();
        return std::string(made);
    }();
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
