// Any bytes as a table: detection and reading must end with values or with a
// TableFormatError, every value finite, and a column read alone must give
// what the one pass over all columns gives.
#include "engine/tables/table_error.h"
#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"
#include "fuzz_scratch.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void checkColumns(const std::string& path, const tessivo::TableLayout& layout)
{
    std::vector<std::size_t> columns;
    for (std::size_t j = 0; j < layout.columns.size() && j < 8; ++j)
        columns.push_back(j);
    std::vector<tessivo::ColumnStats> stats;
    try {
        stats = tessivo::scanTableColumns(path, layout, columns, true);
    } catch (const tessivo::TableFormatError&) {
        return;
    }
    for (std::size_t k = 0; k < columns.size(); ++k) {
        tessivo::TableColumnSource source(path, layout, columns[k], true);
        long double v = 0.0L;
        std::int64_t n = 0;
        while (source.next(v)) {
            if (!std::isfinite(v) || v > stats[k].highest || v < stats[k].lowest)
                std::abort();
            ++n;
        }
        if (n != stats[k].points || source.skippedEmpty() != stats[k].skippedEmpty)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = tessivo::fuzz::scratchFolder() + "/table.csv";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    tessivo::TableLayout layout;
    try {
        layout = tessivo::detectTableLayout(path);
    } catch (const tessivo::TableFormatError&) {
        return 0;
    }
    if (layout.columns.empty() || layout.firstDataLine < 1)
        std::abort();
    // The file and its bytes in memory give the same layout (a compressed
    // or UTF-16 file's bytes are not its text).
    if (!layout.compressed && !layout.utf16 && size < 64 * 1024) {
        const auto again =
            tessivo::layoutFromSample(std::string_view(reinterpret_cast<const char*>(data), size), true, {}, path);
        if (again.columns.size() != layout.columns.size() || again.firstDataLine != layout.firstDataLine)
            std::abort();
    }
    checkColumns(path, layout);
    return 0;
}
