#include "engine/tables/layout_text.h"

#include "engine/record/json_text.h"
#include <cstdio>

namespace tessivo {
namespace {

std::string lineOrNone(std::int64_t line)
{
    return line > 0 ? "line " + std::to_string(line) : "none";
}

} // namespace

const char* delimiterName(Delimiter delimiter)
{
    switch (delimiter) {
    case Delimiter::Comma:
        return "comma";
    case Delimiter::Semicolon:
        return "semicolon";
    case Delimiter::Tab:
        return "tab";
    case Delimiter::Blanks:
        return "blanks";
    }
    return "comma";
}

std::string layoutListing(const std::string& path, const TableLayout& layout)
{
    std::string text = path + "\n";
    text += std::string("  delimiter:          ") + delimiterName(layout.delimiter)
            + (layout.columns.size() == 1 ? " (one column)\n" : "\n");
    text += std::string("  decimal separator:  ") + (layout.decimal == ',' ? "comma\n" : "point\n");
    text += std::string("  encoding:           ")
            + (layout.utf16           ? "UTF-16"
               : layout.byteOrderMark ? "UTF-8 with byte-order mark"
                                      : "UTF-8 or Latin-1")
            + (layout.compressed ? ", gzip\n" : "\n");
    text += std::string("  line ends:          ")
            + (layout.lineEnd == '\r' ? "CR\n"
               : layout.crlf          ? "CR LF\n"
                                      : "LF\n");
    text += "  names:              " + lineOrNone(layout.headerLine) + "\n";
    text += "  units:              " + lineOrNone(layout.unitsLine) + "\n";
    text += "  first row:          line " + std::to_string(layout.firstDataLine) + "\n";
    text += "  columns:            " + std::to_string(layout.columns.size()) + "\n";
    for (std::size_t j = 0; j < layout.columns.size(); ++j) {
        const TableColumnInfo& c = layout.columns[j];
        text += "  " + std::to_string(j + 1) + ". " + columnLabel(layout, j) + (c.unit.empty() ? "" : " " + c.unit)
                + (c.numeric ? ": numbers\n" : ": text\n");
    }
    return text;
}

std::string layoutJson(const TableLayout& layout)
{
    std::string json = std::string("{\"delimiter\": \"") + delimiterName(layout.delimiter) + "\", \"decimal\": \""
                       + layout.decimal + "\", \"namesLine\": " + std::to_string(layout.headerLine)
                       + ", \"unitsLine\": " + std::to_string(layout.unitsLine)
                       + ", \"firstRow\": " + std::to_string(layout.firstDataLine) + ", \"columns\": [";
    for (std::size_t j = 0; j < layout.columns.size(); ++j) {
        const TableColumnInfo& c = layout.columns[j];
        json += (j > 0 ? ", " : "") + std::string("{\"name\": ") + jsonString(columnLabel(layout, j))
                + ", \"unit\": " + jsonString(c.unit) + ", \"numbers\": " + (c.numeric ? "true}" : "false}");
    }
    return json + "]}";
}

} // namespace tessivo
