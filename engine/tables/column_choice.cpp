#include "engine/tables/column_choice.h"

#include "engine/tables/table_error.h"

#include <algorithm>
#include <charconv>

namespace tessivo {
namespace {

std::string lowered(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

bool findColumn(const TableLayout& layout, const std::string& entry, std::size_t& found)
{
    const auto& columns = layout.columns;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        if (columns[j].name == entry) {
            found = j;
            return true;
        }
    }
    std::size_t matches = 0;
    for (std::size_t j = 0; j < columns.size(); ++j) {
        if (!columns[j].name.empty() && lowered(columns[j].name) == lowered(entry)) {
            found = j;
            ++matches;
        }
    }
    if (matches == 1)
        return true;
    std::size_t number = 0;
    const auto [end, ec] = std::from_chars(entry.data(), entry.data() + entry.size(), number);
    if (ec == std::errc() && end == entry.data() + entry.size() && number >= 1 && number <= columns.size()) {
        found = number - 1;
        return true;
    }
    return false;
}

std::string namesThereAre(const TableLayout& layout)
{
    std::string list;
    for (std::size_t j = 0; j < layout.columns.size(); ++j)
        list += (j == 0 ? "" : ", ") + columnLabel(layout, j);
    return list;
}

} // namespace

std::vector<std::size_t> chooseColumns(const TableLayout& layout, const std::vector<std::string>& wanted,
                                       const std::string& path)
{
    std::vector<std::size_t> chosen;
    for (const std::string& entry : wanted) {
        std::size_t j = 0;
        if (!findColumn(layout, entry, j))
            throw TableFormatError(path, 0, 0, "",
                                   "no column \"" + entry + "\"; the columns are: " + namesThereAre(layout));
        if (std::find(chosen.begin(), chosen.end(), j) == chosen.end())
            chosen.push_back(j);
    }
    return chosen;
}

std::vector<std::size_t> numericColumns(const TableLayout& layout, bool firstIsTime)
{
    std::vector<std::size_t> chosen;
    for (std::size_t j = firstIsTime ? 1 : 0; j < layout.columns.size(); ++j) {
        if (layout.columns[j].numeric)
            chosen.push_back(j);
    }
    return chosen;
}

} // namespace tessivo
