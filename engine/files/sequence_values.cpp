#include "sequence_values.h"

#include "engine/files/sequence_reader.h"

#include <filesystem>
#include <system_error>

namespace tessivo {

SequenceValues readSequenceValues(const std::string& path)
{
    SequenceValues read;
    SequenceFileSource source(path);
    std::vector<long double>& values = read.values;
    // Room for every value at once in the common case (a value and its
    // separator take 8 bytes or more): each regrowth copies the values into
    // fresh pages, which a process that hands freed memory straight back
    // (Dask's workers) takes from the system again every time.
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (!error)
        values.reserve(static_cast<std::size_t>(bytes / 8 + 1));
    constexpr std::size_t kBlock = 4096;
    for (;;) {
        const std::size_t at = values.size();
        values.resize(at + kBlock);
        const std::size_t n = source.nextBlock(values.data() + at, kBlock);
        values.resize(at + n);
        if (n < kBlock)
            break;
    }
    read.proper = !source.malformed() && !read.values.empty();
    return read;
}

} // namespace tessivo
