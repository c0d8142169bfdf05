#pragma once
// The time column of a table: its first column, when it holds numbers that
// rise all the way. The cycles of another column of the same table can then
// be placed in time as well as by position, row for row.

#include "engine/tables/table_layout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {

// The first column's values as written (not rounded), one per row; nothing
// when the table has a single column or the first column has fewer than two
// values, an empty cell, text, or a value not above the one before. Throws
// IoError when the file cannot be read. `progress` (bytes read, of the
// file's size), when set, is told after each block and may throw to stop.
std::optional<std::vector<long double>>
readTimeColumn(const std::string& path, const TableLayout& layout,
               const std::function<void(std::int64_t done, std::int64_t total)>& progress = {});

} // namespace tessivo
