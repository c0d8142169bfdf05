#include "column_options.h"

#include "cli_messages.h"

#include <map>

namespace tessivo::cli {

ColumnOptionKind columnOptionKind(const std::string& name)
{
    static const std::map<std::string, ColumnOptionKind> kinds = {
        {"--column", ColumnOptionKind::Value},       {"--all-columns", ColumnOptionKind::Flag},
        {"--keep-time", ColumnOptionKind::Flag},     {"--delimiter", ColumnOptionKind::Value},
        {"--decimal-comma", ColumnOptionKind::Flag}, {"--decimal-point", ColumnOptionKind::Flag},
        {"--skip-empty", ColumnOptionKind::Flag},    {"--show-layout", ColumnOptionKind::Flag},
    };
    const auto kind = kinds.find(name);
    return kind == kinds.end() ? ColumnOptionKind::None : kind->second;
}

std::optional<std::string> applyColumnOption(const std::string& name, const std::string& value, ColumnChoice& options)
{
    if (name == "--column") {
        if (value.empty())
            return "'--column' needs a column name or number";
        options.columns.push_back(value);
    } else if (name == "--all-columns") {
        options.allColumns = true;
    } else if (name == "--keep-time") {
        options.keepTime = true;
    } else if (name == "--delimiter") {
        static const std::map<std::string, Delimiter> names = {
            {"comma", Delimiter::Comma},   {",", Delimiter::Comma},      {"semicolon", Delimiter::Semicolon},
            {";", Delimiter::Semicolon},   {"tab", Delimiter::Tab},      {"\t", Delimiter::Tab},
            {"blanks", Delimiter::Blanks}, {"space", Delimiter::Blanks}, {" ", Delimiter::Blanks},
        };
        const auto d = names.find(value);
        if (d == names.end())
            return "'--delimiter' must be comma, semicolon, tab or blanks, not '" + value + "'";
        options.delimiter = d->second;
    } else if (name == "--decimal-comma" || name == "--decimal-point") {
        const char decimal = name == "--decimal-comma" ? ',' : '.';
        if (options.decimal && *options.decimal != decimal)
            return std::string("'--decimal-comma' and '--decimal-point' exclude each other");
        options.decimal = decimal;
    } else if (name == "--skip-empty") {
        options.skipEmpty = true;
    } else if (name == "--show-layout") {
        options.showLayout = true;
    }
    return std::nullopt;
}

std::optional<std::string> checkColumnOptions(const ColumnChoice& options)
{
    if (options.showLayout && (options.allColumns || !options.columns.empty()))
        return std::string("'--show-layout' counts nothing: give it without '--column' and '--all-columns'");
    if (options.allColumns && !options.columns.empty())
        return std::string("'--all-columns' and '--column' exclude each other");
    // The delimiter and the decimal separator say how a table is read, so
    // --show-layout shows what they make of it; the others choose what is counted.
    const bool readingOnly = options.delimiter || options.decimal;
    const bool countingOnly = options.keepTime || options.skipEmpty;
    if ((countingOnly || (readingOnly && !options.showLayout)) && !options.active())
        return std::string(kTableOptionsNeedColumns);
    if (options.decimal == ',' && options.delimiter == Delimiter::Comma)
        return std::string(kCommaDelimiterAndSeparator);
    return std::nullopt;
}

std::string columnUsageText()
{
    return "Tables (FILEs with a line of names, several columns; gzip too):\n"
           "  --column NAME|N     count this column (by name or 1-based number) of each FILE;\n"
           "                      repeat it for more columns, each counted on its own;\n"
           "                      digits are always a number: name:N is the column named N\n"
           "  --all-columns       count every column of numbers, but not a first column that\n"
           "                      rises all the way (time), unless --keep-time is given\n"
           "  --delimiter D       comma, semicolon, tab or blanks instead of the one detected\n"
           "  --decimal-comma     numbers are written with a decimal comma (--decimal-point:\n"
           "                      with a point) instead of what was detected\n"
           "  --skip-empty        pass over empty cells and say how many (else they are errors)\n"
           "  --show-layout       show the delimiter, decimal separator, lines of names and\n"
           "                      units, first row and columns detected in each FILE, and exit\n";
}

} // namespace tessivo::cli
