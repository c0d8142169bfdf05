#pragma once
// The number in one cell of a table. Every conversion of a cell goes through
// parseCell, so the whole reader changes its number parsing in one place.

#include <string_view>

namespace tessivo {

enum class CellStatus {
    Number,    // value holds the number, correctly rounded to long double
    Empty,     // nothing but blanks
    NotNumber, // text, a number with the other decimal separator, too large
    NotFinite, // NaN or an infinity, written as such
};

// Reads cell (without quotes and surrounding blanks) as a decimal number with
// `decimal` ('.' or ',') as its separator: optional sign, digits with an
// optional separator, optional exponent. Blanks around the cell are ignored.
// Does not throw.
CellStatus parseCell(std::string_view cell, char decimal, long double& value);

// The fast part of parseCell for a reader that walks a line: a number of at
// most 19 digits and a small exponent at p (no blanks before it), correctly
// rounded into value. Returns the end of the number, or nullptr when the
// text there needs parseCell (or is no number). Never reads at or past end.
const char* parseShortNumber(const char* p, const char* end, char decimal, long double& value);

} // namespace tessivo
