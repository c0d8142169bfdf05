#pragma once
// A table that cannot be counted as it stands: expected bad input, told to the
// user with the file, and the line and column where it shows.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessivo {

class TableFormatError final : public std::runtime_error {
public:
    // line and column are 1-based; 0 when the fault is not in one place.
    // columnName may be empty. The message reads
    // "FILE: line L, column C (NAME): DETAIL".
    TableFormatError(const std::string& file, std::int64_t line, std::int64_t column, const std::string& columnName,
                     const std::string& detail);
    const std::string& file() const { return m_file; }
    std::int64_t line() const { return m_line; }
    std::int64_t column() const { return m_column; }
    const std::string& detail() const { return m_detail; }

private:
    std::string m_file;
    std::int64_t m_line;
    std::int64_t m_column;
    std::string m_detail;
};

} // namespace tessivo
