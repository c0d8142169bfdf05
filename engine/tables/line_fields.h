#pragma once
// Splitting one line of a table into its fields.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessivo {

// What separates the fields of a line. Blanks: any run of blanks and tabs,
// with blanks at the start and end of the line ignored.
enum class Delimiter : char { Comma = ',', Semicolon = ';', Tab = '\t', Blanks = ' ' };

// One field: its text without the surrounding blanks and, when it was quoted,
// without the quotes (a doubled quote inside stays doubled: see unquoted).
struct Field {
    std::string_view text;
    bool quoted = false;
};

// Splits line (no line end) into fields, appending them to out (which is
// cleared first). A quote opens a quoted field only at the start of a field;
// inside it, the delimiter is text and "" stands for one quote. A quoted
// field that is not closed runs to the end of the line. An empty line has
// one empty field (none for Blanks). Does not throw beyond allocation.
void splitFields(std::string_view line, Delimiter delimiter, std::vector<Field>& out);

// The text a field stands for: doubled quotes of a quoted field made single.
std::string unquoted(const Field& field);

// True when the line holds nothing but blanks and tabs.
bool isBlankLine(std::string_view line);

} // namespace tessivo
