#pragma once
// Choosing columns of a table by name or by number.

#include "engine/tables/table_layout.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessivo {

// The 0-based columns that `wanted` names, in the order first named; a column
// named twice (by name and by number, say) is taken once. An entry is a
// column's name (exactly, else the one column whose name differs only in
// case) or, when no column has that name, its 1-based number. Throws
// TableFormatError naming the file and listing the columns there are when an
// entry matches none.
std::vector<std::size_t> chooseColumns(const TableLayout& layout, const std::vector<std::string>& wanted,
                                       const std::string& path);

// The columns of numbers, without the first when firstIsTime.
std::vector<std::size_t> numericColumns(const TableLayout& layout, bool firstIsTime);

} // namespace tessivo
