#include "engine/tables/time_column.h"

#include "engine/tables/table_error.h"
#include "engine/tables/table_reader.h"

namespace tessivo {

std::optional<std::vector<long double>>
readTimeColumn(const std::string& path, const TableLayout& layout,
               const std::function<void(std::int64_t done, std::int64_t total)>& progress)
{
    if (layout.columns.size() < 2)
        return std::nullopt;
    std::vector<long double> times;
    try {
        TableColumnSource column(path, layout, 0, false);
        long double v = 0.0L;
        while (column.next(v)) {
            if (progress && (times.size() & 0xFFFF) == 0)
                progress(column.fileOffset(), column.fileSize());
            if (!times.empty() && !(v > times.back()))
                return std::nullopt;
            times.push_back(v);
        }
    } catch (const TableFormatError&) {
        return std::nullopt; // text or an empty cell: not time
    }
    if (times.size() < 2)
        return std::nullopt;
    return times;
}

} // namespace tessivo
