#pragma once
// The body of a table found on the evidence of every line sampled: which
// delimiter and decimal separator make the most lines rows of one width, the
// columns that hold numbers, and the first row. Nothing below the first row
// is preamble: a line there that is no row counts against the reading.

#include "engine/tables/line_fields.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessivo {

struct TableOverrides;

struct SampleLine {
    std::int64_t number = 0; // 1-based
    std::string_view text;   // without its line end
};

struct TableBody {
    Delimiter delimiter = Delimiter::Comma;
    char decimal = '.';
    std::size_t width = 0;     // fields of a row; more are allowed when empty
    std::vector<bool> numeric; // per column: it holds numbers
    std::size_t firstRow = 0;  // index of the first row in the lines given
    bool reachesEnd = false;   // the last line given is a row (or the table ended above it)
};

// Decides the body from the non-blank lines of a sample. Throws
// TableFormatError when no line holds a number, and when two readings fit
// the evidence equally (a column of numbers with commas that could be
// decimal commas or the delimiter; numbers like 1,067 that could have a
// thousands separator), naming both and the option that chooses.
TableBody detectTableBody(const std::vector<SampleLine>& lines, const TableOverrides& overrides,
                          const std::string& path);

// Whether the line is a row of the body: as many fields (more only when
// empty), a number or nothing in each column of numbers, a number in one.
bool isBodyRow(const std::vector<Field>& fields, const TableBody& body);

// A line that ends a table: Ctrl-Z, END, a line of delimiters only.
enum class EndMark { None, CtrlZ, End, Delimiters };
EndMark endMarkOf(std::string_view line, Delimiter delimiter);

} // namespace tessivo
