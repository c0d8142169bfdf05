#pragma once
// The detected layout of a table as the user reads it: a listing for
// `tessivo-count --show-layout` and a JSON object for machine outputs.

#include "engine/tables/table_layout.h"

#include <string>

namespace tessivo {

// Several lines, each ending in a line feed: the file, its delimiter,
// decimal separator, encoding and line ends, the lines of names and units,
// the first row, and one line per column with its number, label, unit and
// whether it holds numbers.
std::string layoutListing(const std::string& path, const TableLayout& layout);

// The same as one JSON object on one line: {"delimiter": "semicolon",
// "decimal": ",", "namesLine": 1, "unitsLine": 0, "firstRow": 2,
// "columns": [{"name": "F", "unit": "", "numbers": true}, ...]}; a line
// that is not there is 0.
std::string layoutJson(const TableLayout& layout);

// "comma", "semicolon", "tab" or "blanks": the spelling of --delimiter.
const char* delimiterName(Delimiter delimiter);

} // namespace tessivo
