#include "engine/tables/table_error.h"

namespace tessivo {
namespace {

std::string place(const std::string& file, std::int64_t line, std::int64_t column, const std::string& name)
{
    std::string text = file;
    if (line > 0)
        text += ": line " + std::to_string(line);
    if (column > 0) {
        text += (line > 0 ? ", column " : ": column ") + std::to_string(column);
        if (!name.empty())
            text += " (" + name + ")";
    }
    return text;
}

} // namespace

TableFormatError::TableFormatError(const std::string& file, std::int64_t line, std::int64_t column,
                                   const std::string& columnName, const std::string& detail)
    : std::runtime_error(place(file, line, column, columnName) + ": " + detail)
    , m_file(file)
    , m_line(line)
    , m_column(column)
    , m_detail(detail)
{
}

} // namespace tessivo
