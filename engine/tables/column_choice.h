#pragma once
// Choosing columns of a table by name or by number.

#include "engine/tables/table_layout.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessivo {

// An entry that starts with this names a column even when the name is a number.
inline constexpr const char* kByName = "name:";

// The 0-based columns that `wanted` names, in the order first named; a column
// named twice (by name and by number, say) is taken once. An entry of digits
// is a 1-based column number, always; "name:X" is the column labelled X; any
// other entry is a column's label (exactly, else the one label that differs
// only in case; "column 3" for a column with no name). Throws
// TableFormatError naming the file and listing the columns there are when an
// entry matches none.
std::vector<std::size_t> chooseColumns(const TableLayout& layout, const std::vector<std::string>& wanted,
                                       const std::string& path);

// The columns of numbers, without the first when firstIsTime.
std::vector<std::size_t> numericColumns(const TableLayout& layout, bool firstIsTime);

} // namespace tessivo
